#include "ReportLayout.h"

#include "Money.h"

namespace ccp::reports {

QString PageList::text(const PlacedItem &p) const
{
    if (!p.pageCount)
        return p.text;
    QString t = p.text;
    return t.replace(PageCountMark, complete ? QString::number(count()) : QStringLiteral("?"));
}

QStringList PageList::pageTexts(int page) const
{
    QStringList out;
    if (page < 0 || page >= count())
        return out;
    for (const PlacedItem &p : pages[size_t(page)].items) {
        if (p.item->kind == ItemKind::Text)
            out << text(p);
    }
    return out;
}

namespace {

struct Acc
{
    Money sum;
    qint64 count = 0;
};

struct AggKey
{
    QString dataSet;
    QString fieldKey;  // empty for a count
};

using Scope = std::vector<Acc>;

class Engine : public EvalContext
{
public:
    Engine(const Template &t, DataModule &data, PageList &out, const LayoutOptions &options)
        : m_t(t), m_data(data), m_out(out), m_options(options)
    {
        collectAggregates();
        m_report.assign(m_aggs.size(), {});
        m_page.assign(m_aggs.size(), {});
    }

    Status run()
    {
        // Header data (the school's name and address) is read before anything is placed.
        std::vector<DataTable> header;
        header.reserve(size_t(m_t.headerData.size()));
        for (const QString &name : m_t.headerData) {
            auto t = m_data.open(name.toLower(), m_rows);
            if (!t) {
                fail(t.error());
                return failure();
            }
            header.push_back(std::move(t.value()));
            m_rows.push_back({name.toLower(), &header.back(), header.back().rowCount() > 0 ? 0 : -1});
        }
        startPage();
        place(m_t.title_, &m_report);
        for (const Section &s : m_t.sections) {
            if (!runSection(s))
                return failure();
        }
        place(m_t.summary, &m_report);
        if (!error.isEmpty())
            return failure();
        m_out.complete = true;
        if (!finishPage())
            return failure();
        return {};
    }

    // EvalContext
    QVariant field(const Segment &s) override
    {
        const RowRef *r = rowOf(s.dataSet);
        if (!r)
            return {};
        const int c = r->table->column(s.fieldKey);
        if (c < 0) {
            fail(QStringLiteral("Il campo \"%1\" non esiste nel data set \"%2\".").arg(s.field, s.dataSet));
            return {};
        }
        return r->row < 0 ? QVariant() : r->table->value(r->row, c);
    }

    QVariant variable(const QString &name) override
    {
        if (auto v = m_data.variable(name))
            return *v;
        fail(QStringLiteral("La variabile [%1] non è fornita da questa stampa.").arg(name));
        return {};
    }

    QVariant aggregate(const Segment &s) override
    {
        const int i = m_aggIndex.value(aggName(s), -1);
        Q_ASSERT(i >= 0);
        const Scope &scope = s.kind == Segment::RunSum ? m_report : *m_scope;
        if (s.kind == Segment::Count)
            return scope[size_t(i)].count;
        return QVariant::fromValue(scope[size_t(i)].sum);
    }

    QVariant call(const QString &name, const QVariantList &args) override
    {
        if (auto v = m_data.call(name, args))
            return *v;
        fail(QStringLiteral("La funzione %1 non è fornita da questa stampa.").arg(name));
        return {};
    }

    int pageNumber() const override { return m_out.count(); }

private:
    static QString aggName(const Segment &s)
    {
        return s.dataSet + u'\x1f' + (s.kind == Segment::Count ? QString() : s.fieldKey);
    }

    void fail(const QString &message)
    {
        if (error.isEmpty())
            error = message;
    }

    Status failure()
    {
        m_out.complete = false;
        return Status::failure(QStringLiteral("Stampa \"%1\": %2").arg(m_t.title, error));
    }

    void collectExpr(const Expr &e)
    {
        for (const Segment &s : e.segments) {
            if (!s.isAggregate())
                continue;
            const QString name = aggName(s);
            if (m_aggIndex.contains(name))
                continue;
            m_aggIndex.insert(name, int(m_aggs.size()));
            m_aggs.push_back({s.dataSet, s.kind == Segment::Count ? QString() : s.fieldKey});
        }
    }

    void collectBand(const Band &b)
    {
        collectExpr(b.visible);
        for (const Item &it : b.items) {
            collectExpr(it.text);
            collectExpr(it.visible);
        }
    }

    void collectSection(const Section &s)
    {
        for (const Band *b : {&s.columnHeader, &s.detail, &s.footer, &s.empty})
            collectBand(*b);
        for (const Group &g : s.groups) {
            collectBand(g.header);
            collectBand(g.footer);
        }
        for (const Section &c : s.children)
            collectSection(c);
    }

    void collectAggregates()
    {
        for (const Band *b : {&m_t.title_, &m_t.pageHeader, &m_t.pageFooter, &m_t.summary})
            collectBand(*b);
        for (const Section &s : m_t.sections)
            collectSection(s);
    }

    const RowRef *rowOf(const QString &dataSet)
    {
        for (auto r = m_rows.rbegin(); r != m_rows.rend(); ++r) {
            if (r->dataSet == dataSet)
                return &*r;
        }
        fail(QStringLiteral("Il data set \"%1\" non è aperto in questo punto della stampa.").arg(dataSet));
        return nullptr;
    }

    // Adds the current row of `dataSet` to every open sum.
    void accumulate(const RowRef &row)
    {
        for (size_t i = 0; i < m_aggs.size(); ++i) {
            const AggKey &k = m_aggs[i];
            if (k.dataSet != row.dataSet)
                continue;
            Money value;
            if (!k.fieldKey.isEmpty()) {
                const int c = row.table->column(k.fieldKey);
                if (c < 0) {
                    fail(QStringLiteral("Il campo \"%1\" da sommare non esiste nel data set \"%2\".").arg(k.fieldKey, k.dataSet));
                    return;
                }
                value = Money::fromVariant(row.table->value(row.row, c));
            }
            auto add = [&](Scope &s) {
                s[i].sum += value;
                ++s[i].count;
            };
            add(m_report);
            add(m_page);
            for (Scope *s : m_open)
                add(*s);
        }
    }

    double bottom() const
    {
        return m_t.page.height() - m_t.page.bottom - m_t.pageFooter.height;
    }

    void ensureRoom(double height)
    {
        if (m_y + height > bottom() + 1e-6 && !m_fresh)
            newPage();
    }

    void emitItems(const Band &b, double top)
    {
        auto &items = m_out.pages.back().items;
        for (const Item &it : b.items) {
            if (!evaluateFlag(it.visible, *this))
                continue;
            PlacedItem p;
            p.item = &it;
            p.rect = it.rect.translated(m_t.page.left, top);
            if (it.kind != ItemKind::Line && it.kind != ItemKind::Box) {
                p.text = evaluateText(it.text, *this);
                p.pageCount = it.text.usesPageCount();
            }
            if (it.kind == ItemKind::Image && !m_out.images.contains(p.text))
                m_out.images.insert(p.text, m_data.image(p.text));
            items.push_back(std::move(p));
        }
    }

    // Places a band at the cursor, on a new page when it does not fit.
    void place(const Band &b, Scope *scope, double keepWith = 0)
    {
        if (!b.present() || !error.isEmpty())
            return;
        m_scope = scope;
        if (!evaluateFlag(b.visible, *this))
            return;
        ensureRoom(b.height + keepWith);
        m_scope = scope;
        emitItems(b, m_y);
        m_y += b.height;
        m_fresh = false;
    }

    void startPage()
    {
        m_out.pages.emplace_back();
        m_page.assign(m_aggs.size(), {});
        m_y = m_t.page.top;
        m_fresh = false;
        place(m_t.pageHeader, &m_page);
        for (const auto &[section, scope] : m_active)
            place(section->columnHeader, scope);
        m_fresh = true;
    }

    bool finishPage()
    {
        if (m_t.pageFooter.present()) {
            m_scope = &m_page;
            if (evaluateFlag(m_t.pageFooter.visible, *this))
                emitItems(m_t.pageFooter, m_t.page.height() - m_t.page.bottom - m_t.pageFooter.height);
        }
        if (!error.isEmpty())
            return false;
        if (m_options.onPage && !m_options.onPage(m_out)) {
            fail(QStringLiteral("interrotta dall'utente."));
            return false;
        }
        return true;
    }

    void newPage()
    {
        if (!finishPage()) {
            m_stopped = true;
            return;
        }
        startPage();
    }

    bool runSection(const Section &s)
    {
        const QString ds = s.dataSet.toLower();
        auto opened = m_data.open(ds, m_rows);
        if (!opened) {
            fail(opened.error());
            return false;
        }
        const DataTable table = std::move(opened.value());
        Scope sectionScope(m_aggs.size());
        m_open.push_back(&sectionScope);
        m_rows.push_back({ds, &table, table.rowCount() > 0 ? 0 : -1});
        const bool ok = table.rowCount() == 0 ? runEmpty(s, &sectionScope) : runRows(s, table, &sectionScope);
        m_rows.pop_back();
        m_open.pop_back();
        return ok;
    }

    bool runEmpty(const Section &s, Scope *scope)
    {
        place(s.empty, scope);
        return error.isEmpty() && !m_stopped;
    }

    bool runRows(const Section &s, const DataTable &table, Scope *sectionScope)
    {
        const size_t groups = s.groups.size();
        std::vector<Scope> groupScopes(groups, Scope(m_aggs.size()));
        std::vector<QVariant> keys(groups), next(groups);
        // By position: nested sections grow the row stack and may move it.
        const size_t level = m_rows.size() - 1;
        auto row = [this, level]() -> RowRef & { return m_rows[level]; };
        place(s.columnHeader, sectionScope);
        m_active.emplace_back(&s, sectionScope);
        const int rows = table.rowCount();
        for (int r = 0; r < rows && error.isEmpty() && !m_stopped; ++r) {
            row().row = r;
            for (size_t g = 0; g < groups; ++g)
                next[g] = evaluateValue(s.groups[g].key, *this);
            size_t changed = r == 0 ? 0 : groups;
            for (size_t g = 0; r > 0 && g < groups; ++g) {
                if (next[g] != keys[g]) {
                    changed = g;
                    break;
                }
            }
            if (r > 0 && changed < groups) {
                row().row = r - 1;
                closeGroups(s, groupScopes, changed);
                row().row = r;
            }
            for (size_t g = changed; g < groups; ++g) {
                groupScopes[g].assign(m_aggs.size(), {});
                m_open.push_back(&groupScopes[g]);
                place(s.groups[g].header, &groupScopes[g], s.detail.height);
            }
            keys = next;
            if (s.pageBreak && r > 0 && !m_fresh)
                newPage();
            // The row's page is chosen before it is counted, so page sums hold the rows shown.
            m_scope = sectionScope;
            if (s.detail.present() && evaluateFlag(s.detail.visible, *this))
                ensureRoom(s.detail.height);
            accumulate(row());
            place(s.detail, m_open.back());
            for (const Section &c : s.children) {
                if (!runSection(c))
                    return false;
            }
        }
        if (!error.isEmpty() || m_stopped)
            return false;
        closeGroups(s, groupScopes, 0);
        m_active.pop_back();
        place(s.footer, sectionScope);
        return error.isEmpty() && !m_stopped;
    }

    // Footers of the groups from the innermost down to `from`, each with its own sums.
    void closeGroups(const Section &s, std::vector<Scope> &scopes, size_t from)
    {
        for (size_t g = s.groups.size(); g-- > from;) {
            place(s.groups[g].footer, &scopes[g]);
            m_open.pop_back();
        }
    }

    const Template &m_t;
    DataModule &m_data;
    PageList &m_out;
    const LayoutOptions &m_options;
    std::vector<AggKey> m_aggs;
    QHash<QString, int> m_aggIndex;
    Scope m_report;
    Scope m_page;
    std::vector<Scope *> m_open;  // sections and groups open now, outermost first
    Scope *m_scope = nullptr;     // scope of the band being placed
    MasterRows m_rows;
    std::vector<std::pair<const Section *, Scope *>> m_active;  // sections whose rows are running
    double m_y = 0;
    bool m_fresh = false;  // nothing placed yet below the page's headers
    bool m_stopped = false;
};

} // namespace

Status layoutReport(const std::shared_ptr<const Template> &tpl, DataModule &data, PageList &out,
                    const LayoutOptions &options)
{
    out.tpl = tpl;
    out.pages.clear();
    out.images.clear();
    out.complete = false;
    Engine engine(*tpl, data, out, options);
    return engine.run();
}

} // namespace ccp::reports
