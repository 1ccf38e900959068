#include "TVeQueryCollection.h"
#include "Connection.h"
#include "Ids.h"
#include "Money.h"
#include "SqlQuery.h"
#include "VeMessageDlg.h"
#include "VeSql.h"

#include <QDate>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <limits>

namespace ccp::fw {

namespace {

const QString kGenId = QStringLiteral("VEGENID");
const QString kCurrId = QStringLiteral("VECURRID");

bool isEmptyValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    return v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty();
}

QString unqualified(const QString &name)
{
    const int dot = int(name.lastIndexOf(u'.'));
    return dot < 0 ? name : name.mid(dot + 1);
}

QString colName(int index) { return QStringLiteral("C%1").arg(index + 1); }

} // namespace

// ---- VeParams ------------------------------------------------------------------------------

int VeParams::indexOf(const QString &name) const
{
    const QString n = name.startsWith(u':') ? name.mid(1) : name;
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].first.compare(n, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void VeParams::set(const QString &name, const QVariant &value)
{
    const int i = indexOf(name);
    if (i >= 0)
        m_items[i].second = value;
    else
        m_items.append({name.startsWith(u':') ? name.mid(1) : name, value});
}

QVariant VeParams::value(const QString &name) const
{
    const int i = indexOf(name);
    return i < 0 ? QVariant() : m_items[i].second;
}

bool VeParams::contains(const QString &name) const { return indexOf(name) >= 0; }

void VeParams::remove(const QString &name)
{
    const int i = indexOf(name);
    if (i >= 0)
        m_items.removeAt(i);
}

QStringList VeParams::names() const
{
    QStringList out;
    for (const auto &p : m_items)
        out << p.first;
    return out;
}

// ---- the reading plan ------------------------------------------------------------------------

// How the select is read. A plain select whose order, key and filter columns are plain
// columns is read as it stands, with the conditions added to its WHERE and the order appended:
// the server can then follow an index and computes the other columns (subselects, procedures)
// only for the rows sent. Any other select is wrapped as a derived table with numbered columns,
// so that order, filter, paging and locate work on it too.
struct TVeQueryCollection::Plan
{
    QString base;                         // the select, or SELECT * FROM (inner) VEQ (C1..Cn)
    bool direct = false;                  // base is the select itself
    QStringList exprs;                    // per column: what conditions and order name it by
    QString filterSql;                    // condition on C1..Cn, empty when none
    QString orderSql;                     // " ORDER BY C2 DESC, C1" or empty
    QList<std::pair<int, bool>> order;    // column, descending
    bool locatable = false;               // order fully known: positions can be counted
    int keyColumn = -1;
};

TVeQueryCollection::TVeQueryCollection(QSqlDatabase db, QObject *parent) : QObject(parent), m_db(std::move(db)) {}

TVeQueryCollection::~TVeQueryCollection() = default;

void TVeQueryCollection::setDatabase(QSqlDatabase db)
{
    close();
    m_db = std::move(db);
    m_tableColumns.reset();
}

void TVeQueryCollection::setSelectText(const QString &sql)
{
    QString s = sql.trimmed();
    while (s.endsWith(u';'))
        s.chop(1);
    m_select = s;
    m_columns.clear();
}

void TVeQueryCollection::setWhere(const QString &condition, const QVariantMap &params)
{
    m_where = condition;
    m_whereParams.clear();
    for (auto it = params.begin(); it != params.end(); ++it)
        m_whereParams.set(it.key(), it.value());
    m_columns.clear();
}

QString TVeQueryCollection::keyField() const
{
    if (!m_keyField.isEmpty())
        return m_keyField;
    return m_columns.isEmpty() ? QString() : m_columns.first().name;
}

QString TVeQueryCollection::tableName() const
{
    return m_table.isEmpty() ? VeSql::selectTable(m_select) : m_table;
}

Status TVeQueryCollection::setFilter(const QString &expression)
{
    auto e = VeExpression::parse(expression);
    if (!e)
        return e.status();
    m_filter = e.value();
    if (m_open && m_filtered)
        return refresh();
    return {};
}

Status TVeQueryCollection::setFiltered(bool on)
{
    if (on == m_filtered)
        return {};
    m_filtered = on;
    return m_open ? refresh() : Status();
}

bool TVeQueryCollection::rowMatchesFilter(const std::function<QVariant(const QString &)> &row) const
{
    return !m_filtered || m_filter.matches(row);
}

QStringList TVeQueryCollection::fieldNames() const
{
    QStringList out;
    for (const auto &c : m_columns)
        out << c.name;
    return out;
}

int TVeQueryCollection::fieldIndex(const QString &field) const
{
    return m_fieldIndex.value(unqualified(field).toUpper(), -1);
}

Status TVeQueryCollection::bindSelectParams(QSqlQuery &q, const QString &sql) const
{
    for (const QString &name : VeSql::parameterNames(sql)) {
        if (name.startsWith(QLatin1String("VEL_")))
            continue;
        QVariant v;
        if (m_whereParams.contains(name))
            v = m_whereParams.value(name);
        else if (m_params.contains(name))
            v = m_params.value(name);
        else
            return Status::failure(QStringLiteral("Parametro %1 non impostato.").arg(name));
        q.bindValue(u':' + name, v);
    }
    return {};
}

Status TVeQueryCollection::prepareColumns()
{
    const QString inner = VeSql::fillWhere(m_select, m_where);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.prepare(inner))
        return Status::failure(ccp::Db::errorText(q.lastError()));
    QSqlRecord rec = q.record();
    if (rec.isEmpty()) {
        if (auto s = bindSelectParams(q, inner); !s)
            return s;
        if (!q.exec())
            return Status::failure(ccp::Db::errorText(q.lastError()));
        rec = q.record();
    }
    m_columns.clear();
    m_fieldIndex.clear();
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField f = rec.field(i);
        VeColumn c;
        c.name = f.name();
        c.type = f.metaType();
        c.length = f.length();
        c.money = f.metaType().id() == QMetaType::Double && f.precision() > 0;
        c.required = f.requiredStatus() == QSqlField::Required;
        m_columns << c;
        const QString upper = c.name.toUpper();
        if (!m_fieldIndex.contains(upper))
            m_fieldIndex.insert(upper, i);
    }
    if (m_columns.isEmpty())
        return Status::failure(QStringLiteral("L'istruzione di selezione non restituisce colonne."));
    return {};
}

Status TVeQueryCollection::buildPlan()
{
    auto plan = std::make_unique<Plan>();
    QString inner = VeSql::fillWhere(m_select, m_where);
    plan->keyColumn = fieldIndex(keyField());
    plan->locatable = plan->keyColumn >= 0;

    auto parseItem = [this](QString item, int *column, bool *desc, const QStringList &exprs) {
        item = item.simplified();
        *desc = false;
        if (item.contains(QLatin1String("NULLS"), Qt::CaseInsensitive))
            return false;
        if (item.endsWith(QLatin1String(" DESC"), Qt::CaseInsensitive)) {
            *desc = true;
            item.chop(5);
        } else if (item.endsWith(QLatin1String(" DESCENDING"), Qt::CaseInsensitive)) {
            *desc = true;
            item.chop(11);
        } else if (item.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive)) {
            item.chop(4);
        } else if (item.endsWith(QLatin1String(" ASCENDING"), Qt::CaseInsensitive)) {
            item.chop(10);
        }
        item = item.trimmed();
        bool isNumber = false;
        const int pos = item.toInt(&isNumber);
        if (isNumber) {
            *column = pos - 1;
            return pos >= 1 && pos <= m_columns.size();
        }
        if (!VeSql::isIdentifier(item))
            return false;
        const int idx = fieldIndex(item);
        if (idx < 0)
            return false;
        // A qualified item must be the very expression of that column.
        if (item.contains(u'.') && idx < exprs.size() && exprs[idx].contains(u'.')
            && exprs[idx].compare(item, Qt::CaseInsensitive) != 0)
            return false;
        *column = idx;
        return true;
    };

    if (!m_sortKeys.trimmed().isEmpty()) {
        inner = VeSql::withoutOrderBy(inner);
        for (const QString &key : m_sortKeys.split(u';', Qt::SkipEmptyParts)) {
            int column = -1;
            bool desc = false;
            if (!parseItem(key, &column, &desc, {}))
                return Status::failure(QStringLiteral("Campo di ordinamento sconosciuto: %1").arg(key.trimmed()));
            plan->order << std::pair{column, desc};
        }
    } else {
        const QStringList items = VeSql::orderByItems(inner);
        if (!items.isEmpty()) {
            const QStringList exprs = VeSql::selectListExpressions(inner);
            QList<std::pair<int, bool>> order;
            bool mapped = true;
            for (const QString &item : items) {
                int column = -1;
                bool desc = false;
                if (!parseItem(item, &column, &desc, exprs)) {
                    mapped = false;
                    break;
                }
                order << std::pair{column, desc};
            }
            if (mapped) {
                inner = VeSql::withoutOrderBy(inner);
                plan->order = order;
            } else {
                plan->locatable = false;  // the server's order inside the select is kept as is
            }
        }
    }
    if (plan->keyColumn >= 0 && (plan->locatable || plan->order.isEmpty())) {
        bool hasKey = false;
        for (const auto &o : plan->order)
            hasKey = hasKey || o.first == plan->keyColumn;
        if (!hasKey)
            plan->order << std::pair{plan->keyColumn, false};
    }
    QStringList cols;
    for (int i = 0; i < m_columns.size(); ++i)
        cols << colName(i);
    const bool filtering = m_filtered && !m_filter.isEmpty();
    if (filtering)
        for (const QString &f : m_filter.fields())
            if (fieldIndex(f) < 0)
                return Status::failure(QStringLiteral("Campo del filtro sconosciuto: %1").arg(f));
    if (VeSql::isPlainSelect(inner)) {
        const QStringList exprs = VeSql::selectListExpressions(inner);
        QList<int> used;
        for (const auto &o : plan->order)
            used << o.first;
        if (plan->keyColumn >= 0)
            used << plan->keyColumn;
        if (filtering)
            for (const QString &f : m_filter.fields())
                used << fieldIndex(f);
        bool plain = exprs.size() == m_columns.size();
        for (int c : used)
            plain = plain && c >= 0 && c < exprs.size() && VeSql::isIdentifier(exprs[c]);
        if (plain) {
            plan->direct = true;
            plan->exprs = exprs;
        }
    }
    if (plan->direct) {
        plan->base = inner;
    } else {
        plan->base = QStringLiteral("SELECT * FROM (") + inner + QStringLiteral(") VEQ (") + cols.join(u',') + u')';
        plan->exprs = cols;
    }
    const QStringList &exprs = plan->exprs;
    if (filtering)
        plan->filterSql = m_filter.toSql([&](const QString &f) { return exprs[fieldIndex(f)]; });
    if (!plan->order.isEmpty()) {
        QStringList items;
        for (const auto &o : plan->order)
            items << exprs[o.first] + (o.second ? QStringLiteral(" DESC") : QString());
        plan->orderSql = QStringLiteral(" ORDER BY ") + items.join(QStringLiteral(", "));
    }
    m_plan = std::move(plan);
    return {};
}

QString TVeQueryCollection::outerSelect(const QString &where, const QString &tail) const
{
    QStringList conds;
    if (!m_plan->filterSql.isEmpty())
        conds << m_plan->filterSql;
    if (!where.isEmpty())
        conds << where;
    if (m_plan->direct) {
        for (QString &c : conds)
            c = u'(' + c + u')';
        return VeSql::withCondition(m_plan->base, conds.join(QStringLiteral(" AND "))) + tail;
    }
    QString sql = m_plan->base;
    if (!conds.isEmpty())
        sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    return sql + tail;
}

QString TVeQueryCollection::keyString(const QVariant &key) const
{
    if (!key.isValid() || key.isNull())
        return {};
    bool ok = false;
    const qlonglong n = key.toLongLong(&ok);
    return ok ? QString::number(n) : key.toString();
}

void TVeQueryCollection::resetRows()
{
    m_rows.clear();
    m_keyIndex.clear();
    m_cursor.reset();
    m_cursorPos = -1;
    m_atEnd = false;
}

Status TVeQueryCollection::readFromCursor(int first, int maxRows) const
{
    int read = 0;
    while (read < maxRows && m_cursor->next()) {
        const int index = first + read;
        while (m_rows.size() <= index)
            m_rows.append(Row{});
        storeRow(index, rowValues(*m_cursor));
        ++read;
    }
    m_cursorPos = first + read;
    if (read < maxRows) {
        if (m_cursor->lastError().isValid() && m_cursor->lastError().type() != QSqlError::NoError) {
            const QString e = ccp::Db::errorText(m_cursor->lastError());
            m_cursor.reset();
            return Status::failure(e);
        }
        m_cursor.reset();
        markEndAt(first + read);
    }
    return {};
}

// The list ends before row `index`; rows known beyond it (the list shrank on the server) read
// as empty.
void TVeQueryCollection::markEndAt(int index) const
{
    m_atEnd = true;
    for (int i = index; i < m_rows.size(); ++i)
        if (!m_rows[i].loaded) {
            m_rows[i].values = QList<QVariant>(m_columns.size());
            m_rows[i].loaded = true;
        }
}

Status TVeQueryCollection::execList(QSqlQuery &q, const QString &sql, const QVariantMap &binds) const
{
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.prepare(sql))
        return Status::failure(ccp::Db::errorText(q.lastError()));
    if (auto s = bindSelectParams(q, sql); !s)
        return s;
    for (auto it = binds.begin(); it != binds.end(); ++it)
        q.bindValue(it.key(), it.value());
    if (!q.exec())
        return Status::failure(ccp::Db::errorText(q.lastError()));
    return {};
}

// Reads the page at `first`. Next to a row already read, the page is read from that row's
// values, which the server finds through an index; skipping `first` rows from the start
// would make it sort the whole list each time.
Status TVeQueryCollection::loadBlock(int first) const
{
    if (!m_open || !m_plan)
        return Status::failure(QStringLiteral("Elenco non aperto."));
    m_loaded = {first, first + PageSize - 1};
    if (m_cursor && m_cursorPos == first)
        return readFromCursor(first, PageSize);
    if (m_plan->locatable && !m_plan->order.isEmpty()) {
        if (first > 0 && first <= m_rows.size() && m_rows[first - 1].loaded) {
            auto done = loadBlockAfter(first);
            if (!done)
                return done.status();
            if (done.value())
                return {};
        }
        int next = first + 1;
        // A window shows more than a page: the rows up to one read a few pages further on.
        while (next < m_rows.size() && next <= first + 4 * PageSize && !m_rows[next].loaded)
            ++next;
        if (next < m_rows.size() && next <= first + 4 * PageSize) {
            auto done = loadBlockBefore(first, next);
            if (!done)
                return done.status();
            if (done.value())
                return {};
            // Read by position instead, but the whole page before that row, not one row of it.
            first = qMax(0, qMin(first, next - PageSize));
            m_loaded = {first, first + PageSize - 1};
        }
    }
    if (m_plan->direct && m_plan->locatable && !m_plan->order.isEmpty())
        return loadBlockByKeys(first);
    const QString sql = outerSelect({}, m_plan->orderSql
                                            + (first > 0 ? QStringLiteral(" OFFSET %1 ROWS").arg(first) : QString()));
    auto q = std::make_unique<QSqlQuery>(m_db);
    if (auto s = execList(*q, sql, {}); !s)
        return s;
    m_cursor = std::move(q);
    m_cursorPos = first;
    return readFromCursor(first, PageSize);
}

// The page at a position: the server sorts only the keys of the list (a sort of whole rows costs
// twice as much), then the page's rows are read by key. The next page is read on from its last row.
Status TVeQueryCollection::loadBlockByKeys(int first) const
{
    const QString keyExpr = m_plan->exprs[m_plan->keyColumn];
    QSqlQuery keys(m_db);
    const QString keySql = VeSql::withSelectList(
        outerSelect({}, m_plan->orderSql + QStringLiteral(" ROWS %1 TO %2").arg(first + 1).arg(first + PageSize)), keyExpr);
    if (auto s = execList(keys, keySql, {}); !s)
        return s;
    QStringList slots;
    QVariantMap binds;
    while (keys.next()) {
        const QString slot = QStringLiteral(":VEL_K%1").arg(slots.size());
        binds.insert(slot, keys.value(0));
        slots << slot;
    }
    m_cursor.reset();
    m_cursorPos = -1;
    if (slots.isEmpty()) {
        markEndAt(first);
        return {};
    }
    auto q = std::make_unique<QSqlQuery>(m_db);
    const QString sql = outerSelect(keyExpr + QStringLiteral(" IN (") + slots.join(u',') + u')', m_plan->orderSql);
    if (auto s = execList(*q, sql, binds); !s)
        return s;
    m_cursor = std::move(q);
    m_cursorPos = first;
    const Status s = readFromCursor(first, PageSize);
    // Whether the list goes on is what the keys said (a row deleted meanwhile does not end it).
    m_atEnd = slots.size() < PageSize;
    m_cursor.reset();
    m_cursorPos = -1;
    return s;
}

// The rows after row first - 1, read on from its values (the cursor stays for the next page).
Result<bool> TVeQueryCollection::loadBlockAfter(int first) const
{
    const QList<QVariant> anchor = m_rows[first - 1].values;
    QVariantMap binds;
    const QString sql = outerSelect(orderCondition(anchor, true, &binds), m_plan->orderSql);
    auto q = std::make_unique<QSqlQuery>(m_db);
    if (auto s = execList(*q, sql, binds); !s)
        return s;
    const int keyColumn = m_plan->keyColumn;
    if (q->next() && q->value(keyColumn) != anchor.value(keyColumn))
        return false;  // the row is gone from the server: its successors are not known here
    m_cursor = std::move(q);
    m_cursorPos = first;
    if (auto s = readFromCursor(first, PageSize); !s)
        return s;
    return true;
}

// The rows from `first` (or the page) up to row `next` (already read), read backwards from its
// values within a range of the first order column that widens until it holds them all.
Result<bool> TVeQueryCollection::loadBlockBefore(int first, int next) const
{
    const auto [column, desc] = m_plan->order.first();
    const QVariant v = m_rows[next].values.value(column);
    const int typeId = m_columns[column].type.id();
    if (!v.isValid() || v.isNull()
        || (typeId != QMetaType::Int && typeId != QMetaType::LongLong && typeId != QMetaType::QDate))
        return false;
    const int from = qMax(0, qMin(first, next - PageSize));
    const int needed = next - from;
    const QString tail = reversedOrderSql() + QStringLiteral(" ROWS %1").arg(needed);
    const QString c = m_plan->exprs[column];
    const QString window = desc ? QStringLiteral("(%1 BETWEEN :VEL_B AND :VEL_W) AND ").arg(c)
                                : QStringLiteral("(%1 BETWEEN :VEL_W AND :VEL_B) AND ").arg(c);
    for (qint64 width = 64; width <= (qint64(1) << 26); width *= 32) {
        QVariantMap binds;
        const QString before = orderCondition(m_rows[next].values, false, &binds);
        if (before.isEmpty())
            return false;
        QVariant w;
        bool whole = false;  // the range reaches the end of the column's domain
        if (typeId == QMetaType::QDate) {
            const QDate far = v.toDate().addDays(desc ? width : -width);
            whole = !far.isValid() || far.year() < 1 || far.year() > 9999;
            w = whole ? (desc ? QDate(9999, 12, 31) : QDate(1, 1, 1)) : far;
        } else {
            const qint64 lo = typeId == QMetaType::Int ? std::numeric_limits<qint32>::min()
                                                       : std::numeric_limits<qint64>::min() / 2;
            const qint64 hi = typeId == QMetaType::Int ? std::numeric_limits<qint32>::max()
                                                       : std::numeric_limits<qint64>::max() / 2;
            const qint64 x = v.toLongLong();
            w = desc ? qMin(hi, x + width) : qMax(lo, x - width);
            whole = w.toLongLong() == (desc ? hi : lo);
        }
        binds.insert(QStringLiteral(":VEL_B"), v);
        binds.insert(QStringLiteral(":VEL_W"), w);
        QSqlQuery q(m_db);
        if (auto s = execList(q, outerSelect(window + before, tail), binds); !s)
            return s;
        QList<QList<QVariant>> rows;
        while (q.next())
            rows << rowValues(q);
        if (rows.size() < needed) {
            if (whole)
                break;  // the rows before are NULLs, or fewer than thought: read by position
            continue;
        }
        for (int i = 0; i < needed; ++i)
            storeRow(next - 1 - i, rows[i]);
        m_loaded = {from, next - 1};
        return true;
    }
    return false;
}

Status TVeQueryCollection::open()
{
    if (m_open)
        close();
    if (m_select.isEmpty())
        return Status::failure(QStringLiteral("Istruzione di selezione non impostata."));
    if (m_columns.isEmpty())
        if (auto s = prepareColumns(); !s)
            return s;
    if (auto s = buildPlan(); !s)
        return s;
    resetRows();
    m_open = true;
    if (auto s = loadBlock(0); !s) {
        m_open = false;
        resetRows();
        return s;
    }
    m_current = m_rows.isEmpty() ? -1 : 0;
    Q_EMIT reset();
    setCurrentInternal(m_current, true);
    return {};
}

void TVeQueryCollection::close()
{
    if (m_mode != DataMode::Browse)
        cancel();
    const bool wasOpen = m_open;
    m_open = false;
    resetRows();
    m_atEnd = true;
    m_current = -1;
    if (wasOpen) {
        Q_EMIT reset();
        Q_EMIT currentChanged(-1);
    }
}

Status TVeQueryCollection::refresh() { return reload(currentKey()); }

Status TVeQueryCollection::refreshTo(const QVariant &key)
{
    if (m_open && m_localRefresh && m_columns.size() > 0) {
        auto done = refreshTail(key);
        if (!done)
            return done.status();
        if (done.value())
            return {};
    }
    return reload(key);
}

// Reads the list again from the start and makes the row with `key` current; when it is gone,
// the row now in the place of the current one.
Status TVeQueryCollection::reload(const QVariant &key)
{
    if (!m_open) {
        if (auto s = open(); !s)
            return s;
        if (keyString(key).size() > 0)
            if (auto found = locate(key); !found)
                return found.status();
        return {};
    }
    // A new where condition or select drops the column list; read it again first.
    if (m_columns.isEmpty())
        if (auto s = prepareColumns(); !s)
            return s;
    QList<QVariant> oldValues;
    if (m_current >= 0 && isRowLoaded(m_current))
        oldValues = m_rows[m_current].values;
    const int oldIndex = m_current;
    if (auto s = buildPlan(); !s)
        return s;
    resetRows();
    // The row to show is read with its page only: the rows before it are read when looked at.
    if (m_plan->locatable && keyString(key).size() > 0) {
        auto values = readRowByKey(key);
        auto pos = values && values.value() ? positionOf(*values.value()) : Result<int>(-1);
        if (pos && pos.value() >= 0) {
            m_rows.resize(pos.value());
            if (auto s = loadBlockAt(pos.value(), *values.value()); !s) {
                close();
                return s;
            }
            // Current before the reset, so that nobody reading it then asks for a stale row.
            m_current = m_keyIndex.value(keyString(key), pos.value());
            Q_EMIT reset();
            setCurrentInternal(m_current, true);
            return {};
        }
        resetRows();
    }
    if (auto s = loadBlock(0); !s) {
        close();
        return s;
    }
    m_current = m_rows.isEmpty() ? -1 : 0;
    Q_EMIT reset();
    int target = m_current;
    if (!m_rows.isEmpty() && keyString(key).size() > 0) {
        auto found = locate(key);
        if (found && found.value() >= 0)
            return {};
        if (!oldValues.isEmpty() && m_plan->locatable) {
            auto pos = positionOf(oldValues);
            if (pos)
                target = pos.value();
        } else if (oldIndex >= 0) {
            target = oldIndex;
        }
        while (target >= m_rows.size() && canFetchMore()) {
            if (target > m_rows.size() + PageSize && m_plan->locatable) {
                const int old = int(m_rows.size());
                m_rows.resize(target + 1);
                Q_EMIT rowsAppended(old, target);
                if (!loadBlock(target))
                    break;
                if (m_rows.size() > target + 1)
                    Q_EMIT rowsAppended(target + 1, int(m_rows.size()) - 1);
            } else if (fetchMore() == 0) {
                break;
            }
        }
        target = qMin(target, int(m_rows.size()) - 1);
    }
    setCurrentInternal(target, true);
    return {};
}

int TVeQueryCollection::fetchMore()
{
    if (!canFetchMore())
        return 0;
    const int before = int(m_rows.size());
    if (auto s = loadBlock(before); !s) {
        m_atEnd = true;
        return 0;
    }
    const int added = int(m_rows.size()) - before;
    if (added > 0)
        Q_EMIT rowsAppended(before, int(m_rows.size()) - 1);
    return added;
}

Status TVeQueryCollection::fetchAll()
{
    while (canFetchMore()) {
        const int before = int(m_rows.size());
        if (auto s = loadBlock(before); !s)
            return s;
        if (m_rows.size() > before)
            Q_EMIT rowsAppended(before, int(m_rows.size()) - 1);
    }
    return {};
}

bool TVeQueryCollection::isRowLoaded(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows[row].loaded;
}

QVariant TVeQueryCollection::value(int row, int field) const
{
    if (row < 0 || row >= m_rows.size() || field < 0 || field >= m_columns.size())
        return {};
    if (!m_rows[row].loaded) {
        if (!loadBlock(row))
            return {};
        const_cast<TVeQueryCollection *>(this)->rowsLoaded(m_loaded.first,
                                                            qMin(m_loaded.second, int(m_rows.size()) - 1));
    }
    return m_rows[row].values.value(field);
}

QVariant TVeQueryCollection::value(int row, const QString &field) const { return value(row, fieldIndex(field)); }

QList<QVariant> TVeQueryCollection::rowValues(const QSqlQuery &q) const
{
    QList<QVariant> values;
    values.reserve(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c) {
        QVariant v = q.value(c);
        if (m_columns[c].money && !v.isNull())
            v = Money::fromVariant(v).toVariant();
        values << v;
    }
    return values;
}

// Puts a row read from the server in its place; a row read there before leaves the key index.
void TVeQueryCollection::storeRow(int index, QList<QVariant> values) const
{
    Row &row = m_rows[index];
    const int keyColumn = m_plan->keyColumn;
    if (keyColumn >= 0 && row.loaded) {
        const auto old = m_keyIndex.constFind(keyString(row.values.value(keyColumn)));
        if (old != m_keyIndex.constEnd() && old.value() == index)
            m_keyIndex.erase(old);
    }
    row.values = std::move(values);
    row.loaded = true;
    if (keyColumn >= 0)
        m_keyIndex.insert(keyString(row.values[keyColumn]), index);
}

void TVeQueryCollection::indexKeysFrom(int row) const
{
    if (!m_plan || m_plan->keyColumn < 0)
        return;
    for (int i = qMax(0, row); i < m_rows.size(); ++i)
        if (m_rows[i].loaded)
            m_keyIndex.insert(keyString(m_rows[i].values.value(m_plan->keyColumn)), i);
}

bool TVeQueryCollection::sameOrderValues(const QList<QVariant> &a, const QList<QVariant> &b) const
{
    for (const auto &o : m_plan->order)
        if (a.value(o.first) != b.value(o.first))
            return false;
    return true;
}

// Reads again the rows of a list read to its end from the first loaded row of its last page
// on. Done (true) only when the row with `key` is among them and no row read again is already
// known before that point; otherwise nothing changes (false) and the caller reads it whole.
Result<bool> TVeQueryCollection::refreshTail(const QVariant &key)
{
    if (!m_plan || !m_plan->locatable || m_plan->order.isEmpty() || !m_atEnd || m_rows.isEmpty()
        || m_mode != DataMode::Browse)
        return false;
    const int n = int(m_rows.size());
    int start = n - 1;
    if (!m_rows[start].loaded)
        return false;
    while (start > 0 && m_rows[start - 1].loaded && n - start < PageSize)
        --start;
    QVariantMap binds;
    const QString sql = outerSelect(orderCondition(m_rows[start].values, true, &binds), m_plan->orderSql);
    QSqlQuery q(m_db);
    if (auto st = execList(q, sql, binds); !st)
        return st;
    const QString wanted = keyString(key);
    const int keyColumn = m_plan->keyColumn;
    QList<QList<QVariant>> tail;
    bool found = false;
    while (q.next()) {
        tail << rowValues(q);
        const QString ks = keyString(tail.last().value(keyColumn));
        if (auto it = m_keyIndex.constFind(ks); it != m_keyIndex.constEnd() && it.value() < start)
            return false;  // a row moved from higher up: its old place is unknown here
        found = found || ks == wanted;
    }
    if (q.lastError().isValid() && q.lastError().type() != QSqlError::NoError)
        return Status::failure(ccp::Db::errorText(q.lastError()));
    if (!found)
        return false;

    m_cursor.reset();
    m_cursorPos = -1;
    for (int i = start; i < n; ++i)
        m_keyIndex.remove(keyString(m_rows[i].values.value(keyColumn)));
    const int newCount = start + int(tail.size());
    m_rows.resize(newCount);
    for (int i = 0; i < tail.size(); ++i)
        m_rows[start + i] = Row{tail[i], true};
    indexKeysFrom(start);
    if (newCount < n)
        Q_EMIT rowsRemoved(newCount, n - 1);
    if (qMin(n, newCount) > start)
        Q_EMIT rowsLoaded(start, qMin(n, newCount) - 1);
    if (newCount > n)
        Q_EMIT rowsAppended(n, newCount - 1);
    setCurrentInternal(m_keyIndex.value(wanted, -1), true);
    return true;
}

// After an update: the row read again in place when its place in the order is unchanged.
Status TVeQueryCollection::refreshRow(const QVariant &key)
{
    const auto it = m_plan ? m_keyIndex.constFind(keyString(key)) : m_keyIndex.constEnd();
    if (!m_plan || !m_plan->locatable || it == m_keyIndex.constEnd())
        return refreshTo(key);
    const int row = it.value();
    auto values = readRowByKey(key);
    if (!values)
        return values.status();
    if (!values.value()) {
        removeRowAt(row);
        return {};
    }
    if (!sameOrderValues(m_rows[row].values, *values.value()))
        return refreshTo(key);
    m_rows[row].values = *values.value();
    Q_EMIT rowsLoaded(row, row);
    setCurrentInternal(row, true);
    return {};
}

void TVeQueryCollection::removeRowAt(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    if (m_plan && m_plan->keyColumn >= 0 && m_rows[row].loaded)
        m_keyIndex.remove(keyString(m_rows[row].values.value(m_plan->keyColumn)));
    m_rows.removeAt(row);
    // Later rows moved up; so did the server's, so paging by position stays right.
    m_cursor.reset();
    m_cursorPos = -1;
    indexKeysFrom(row);
    Q_EMIT rowsRemoved(row, row);
    setCurrentInternal(m_rows.isEmpty() ? -1 : qMin(row, int(m_rows.size()) - 1), true);
}

QVariant TVeQueryCollection::keyOf(int row) const { return value(row, m_plan ? m_plan->keyColumn : -1); }

QVariant TVeQueryCollection::currentKey() const { return m_current < 0 ? QVariant() : keyOf(m_current); }

bool TVeQueryCollection::setCurrentIndex(int row)
{
    if (row < -1 || row >= m_rows.size())
        return false;
    if (m_mode != DataMode::Browse)
        return row == m_current;
    setCurrentInternal(row);
    return true;
}

void TVeQueryCollection::setCurrentInternal(int row, bool force)
{
    if (row >= 0 && !isRowLoaded(row))
        value(row, 0);
    if (row == m_current && !force)
        return;
    m_current = row;
    Q_EMIT currentChanged(row);
    Q_EMIT dataChanged();
}

Result<std::optional<QList<QVariant>>> TVeQueryCollection::readRowByKey(const QVariant &key) const
{
    const QString sql = outerSelect(m_plan->exprs[m_plan->keyColumn] + QStringLiteral(" = :VEL_KEY"), {});
    QSqlQuery q(m_db);
    if (auto s = execList(q, sql, {{QStringLiteral(":VEL_KEY"), key}}); !s)
        return s;
    if (!q.next())
        return std::optional<QList<QVariant>>();
    return std::optional<QList<QVariant>>(rowValues(q));
}

// The condition "comes before" (after = false) or "is this row or comes after" (after = true) a
// row with these values in the list's order: NULLs come first in ascending order and last in
// descending order, as the server sorts them.
QString TVeQueryCollection::orderCondition(const QList<QVariant> &values, bool after, QVariantMap *binds) const
{
    QStringList terms;
    QStringList equal;
    for (int i = 0; i < m_plan->order.size(); ++i) {
        const auto [column, desc] = m_plan->order[i];
        const QString c = m_plan->exprs[column];
        const QString p = QStringLiteral(":VEL_%1").arg(i);
        const QVariant v = values.value(column);
        const bool null = !v.isValid() || v.isNull();
        const bool notNull = m_columns[column].required;
        QString cmp;
        // Ascending: before = smaller; descending: before = greater.
        if (!desc && !after && !null)
            cmp = notNull ? QStringLiteral("%1 < %2").arg(c, p) : QStringLiteral("(%1 IS NULL OR %1 < %2)").arg(c, p);
        else if (!desc && !after)
            cmp.clear();
        else if (!desc && after)
            cmp = null ? QStringLiteral("%1 IS NOT NULL").arg(c) : QStringLiteral("%1 > %2").arg(c, p);
        else if (desc && !after)
            cmp = null ? QStringLiteral("%1 IS NOT NULL").arg(c) : QStringLiteral("%1 > %2").arg(c, p);
        else
            cmp = null ? QString()
                       : (notNull ? QStringLiteral("%1 < %2").arg(c, p) : QStringLiteral("(%1 IS NULL OR %1 < %2)").arg(c, p));
        if (!cmp.isEmpty()) {
            QStringList all = equal;
            all << cmp;
            terms << u'(' + all.join(QStringLiteral(" AND ")) + u')';
        }
        equal << (null ? QStringLiteral("%1 IS NULL").arg(c) : QStringLiteral("%1 = %2").arg(c, p));
        if (!null)
            binds->insert(p, v);
    }
    if (after)
        terms << u'(' + equal.join(QStringLiteral(" AND ")) + u')';
    if (terms.isEmpty())
        return {};
    const QString condition = u'(' + terms.join(QStringLiteral(" OR ")) + u')';
    return after ? leadingBound(values, binds) + condition : condition;
}

// "Rows from here on" as a range on the first order column, in a form the server can serve
// from an index (a BETWEEN rather than >=, which it would rank below a date range of the
// select's own WHERE); empty when the column's type has no such form.
QString TVeQueryCollection::leadingBound(const QList<QVariant> &values, QVariantMap *binds) const
{
    if (m_plan->order.isEmpty())
        return {};
    const auto [column, desc] = m_plan->order.first();
    const QVariant v = values.value(column);
    if (!v.isValid() || v.isNull() || (desc && !m_columns[column].required))
        return {};
    QString far;
    switch (m_columns[column].type.id()) {
    case QMetaType::Int:
        far = desc ? QStringLiteral("-2147483648") : QStringLiteral("2147483647");
        break;
    case QMetaType::LongLong:
        far = desc ? QStringLiteral("-9223372036854775808") : QStringLiteral("9223372036854775807");
        break;
    case QMetaType::QDate:
        far = desc ? QStringLiteral("DATE '0001-01-01'") : QStringLiteral("DATE '9999-12-31'");
        break;
    default:
        return {};
    }
    binds->insert(QStringLiteral(":VEL_B"), v);
    const QString c = m_plan->exprs[column];
    return desc ? QStringLiteral("(%1 BETWEEN %2 AND :VEL_B) AND ").arg(c, far)
                : QStringLiteral("(%1 BETWEEN :VEL_B AND %2) AND ").arg(c, far);
}

Result<int> TVeQueryCollection::positionOf(const QList<QVariant> &values) const
{
    QVariantMap binds;
    const QString before = orderCondition(values, false, &binds);
    if (before.isEmpty())
        return 0;
    // A plain select is counted as it stands: a derived table would compute every column.
    const QString sql = m_plan->direct ? VeSql::withSelectList(outerSelect(before, {}), QStringLiteral("COUNT(*)"))
                                       : QStringLiteral("SELECT COUNT(*) FROM (") + outerSelect(before, {})
                                             + QStringLiteral(") VEC");
    QSqlQuery q(m_db);
    if (auto s = execList(q, sql, binds); !s)
        return s;
    if (!q.next())
        return Status::failure(ccp::Db::errorText(q.lastError()));
    return q.value(0).toInt();
}

Status TVeQueryCollection::loadBlockAt(int first, const QList<QVariant> &values)
{
    QVariantMap binds;
    const QString sql = outerSelect(orderCondition(values, true, &binds), m_plan->orderSql);
    auto q = std::make_unique<QSqlQuery>(m_db);
    if (auto s = execList(*q, sql, binds); !s)
        return s;
    m_cursor = std::move(q);
    m_cursorPos = first;
    return readFromCursor(first, PageSize);
}

// The list's order turned round (NULLs, first in ascending order, come last).
QString TVeQueryCollection::reversedOrderSql() const
{
    QStringList reversed;
    for (const auto &o : m_plan->order)
        reversed << m_plan->exprs[o.first] + (o.second ? QString() : QStringLiteral(" DESC"));
    return QStringLiteral(" ORDER BY ") + reversed.join(QStringLiteral(", "));
}

Status TVeQueryCollection::last()
{
    if (!m_open || !m_plan)
        return Status::failure(QStringLiteral("Elenco non aperto."));
    if (m_mode != DataMode::Browse)
        return {};
    if (!m_atEnd && m_plan->locatable && !m_plan->order.isEmpty()) {
        QSqlQuery q(m_db);
        if (auto s = execList(q, outerSelect({}, reversedOrderSql() + QStringLiteral(" ROWS 1")), {}); !s)
            return s;
        if (q.next()) {
            auto found = locate(q.value(m_plan->keyColumn));
            if (!found)
                return found.status();
            if (found.value() >= 0 && m_atEnd)
                return {};
        }
    }
    if (auto s = fetchAll(); !s)
        return s;
    setCurrentInternal(int(m_rows.size()) - 1);
    return {};
}

Result<int> TVeQueryCollection::locate(const QVariant &key)
{
    if (!m_open || !m_plan)
        return Result<int>::failure(QStringLiteral("Elenco non aperto."));
    if (m_mode != DataMode::Browse || m_plan->keyColumn < 0)
        return -1;
    const QString ks = keyString(key);
    if (ks.isEmpty())
        return -1;
    if (auto it = m_keyIndex.constFind(ks); it != m_keyIndex.constEnd()) {
        setCurrentInternal(it.value());
        return it.value();
    }
    if (!m_plan->locatable) {
        // The order is the select's own: read on until the row appears.
        while (canFetchMore()) {
            if (fetchMore() == 0)
                break;
            if (auto it = m_keyIndex.constFind(ks); it != m_keyIndex.constEnd()) {
                setCurrentInternal(it.value());
                return it.value();
            }
        }
        return -1;
    }
    auto row = readRowByKey(key);
    if (!row)
        return row.status();
    if (!row.value())
        return -1;
    auto pos = positionOf(*row.value());
    if (!pos)
        return pos.status();
    const int p = pos.value();
    if (p >= m_rows.size()) {
        const int old = int(m_rows.size());
        m_rows.resize(p + 1);
        Q_EMIT rowsAppended(old, p);
    }
    if (!m_rows[p].loaded) {
        const int known = int(m_rows.size());
        if (auto s = loadBlockAt(p, *row.value()); !s)
            return s;
        Q_EMIT rowsLoaded(p, qMin(p + PageSize, known) - 1);
        // The rows read past p are known now too.
        if (m_rows.size() > known)
            Q_EMIT rowsAppended(known, int(m_rows.size()) - 1);
    }
    const int index = m_keyIndex.value(ks, p);
    setCurrentInternal(index);
    return index;
}

// ---- editing ---------------------------------------------------------------------------------

void TVeQueryCollection::setMode(DataMode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    Q_EMIT modeChanged(mode);
}

QList<QVariant> TVeQueryCollection::emptyBuffer() const
{
    QList<QVariant> b;
    for (const auto &c : m_columns)
        b << QVariant(c.money ? QMetaType(QMetaType::QString) : c.type);
    return b;
}

bool TVeQueryCollection::insert()
{
    if (!m_open || m_mode != DataMode::Browse)
        return false;
    m_buffer = emptyBuffer();
    m_changed = QList<bool>(m_buffer.size(), false);
    m_extraFields.clear();
    for (const QString &name : m_defaults.names()) {
        const int i = fieldIndex(name);
        if (i >= 0) {
            m_buffer[i] = m_defaults.value(name);
            m_changed[i] = true;
        } else {
            m_extraFields.set(name, m_defaults.value(name));
        }
    }
    setMode(DataMode::Insert);
    Q_EMIT dataChanged();
    return true;
}

bool TVeQueryCollection::edit()
{
    if (!m_open || m_mode != DataMode::Browse || m_current < 0)
        return false;
    value(m_current, 0);
    m_buffer = m_rows[m_current].values;
    m_changed = QList<bool>(m_buffer.size(), false);
    m_extraFields.clear();
    setMode(DataMode::Edit);
    return true;
}

void TVeQueryCollection::cancel()
{
    if (m_mode == DataMode::Browse)
        return;
    m_buffer.clear();
    m_changed.clear();
    m_extraFields.clear();
    setMode(DataMode::Browse);
    Q_EMIT dataChanged();
}

QVariant TVeQueryCollection::fieldValue(const QString &field) const
{
    const int i = fieldIndex(field);
    if (m_mode != DataMode::Browse) {
        if (i >= 0)
            return m_buffer.value(i);
        return m_extraFields.value(field);
    }
    return m_current < 0 ? QVariant() : value(m_current, i);
}

void TVeQueryCollection::setFieldValue(const QString &field, const QVariant &value)
{
    if (m_mode == DataMode::Browse)
        return;
    const int i = fieldIndex(field);
    if (i >= 0) {
        const QVariant old = m_buffer[i];
        if (old == value && old.isNull() == value.isNull())
            return;
        m_buffer[i] = value;
        m_changed[i] = true;
    } else {
        m_extraFields.set(field, value);
    }
    Q_EMIT fieldChanged(field);
    Q_EMIT dataChanged();
}

bool TVeQueryCollection::isFieldChanged(const QString &field) const
{
    const int i = fieldIndex(field);
    if (i >= 0)
        return m_mode != DataMode::Browse && m_changed.value(i);
    return m_mode != DataMode::Browse && m_extraFields.contains(field);
}

QStringList TVeQueryCollection::changedFields() const
{
    QStringList out;
    if (m_mode == DataMode::Browse)
        return out;
    for (int i = 0; i < m_changed.size(); ++i)
        if (m_changed[i])
            out << m_columns[i].name;
    return out + m_extraFields.names();
}

void TVeQueryCollection::setRequired(const QString &field, const QString &caption)
{
    clearRequired(field);
    m_required.append({field, caption});
}

void TVeQueryCollection::clearRequired(const QString &field)
{
    m_required.removeIf([&](const auto &p) { return p.first.compare(field, Qt::CaseInsensitive) == 0; });
}

QString TVeQueryCollection::requiredMessage(const QString &caption)
{
    return QStringLiteral("Il campo %1 è obbligatorio.").arg(caption);
}

QString TVeQueryCollection::deleteQuestion() { return QStringLiteral("Cancellare il record selezionato?"); }

// ---- statement lists -----------------------------------------------------------------------

void TVeQueryCollection::setStatements(VeOperation op, const QStringList &statements)
{
    m_lists[int(op)] = statements;
}

QStringList &TVeQueryCollection::statements(VeOperation op) { return m_lists[int(op)]; }

const QStringList &TVeQueryCollection::statements(VeOperation op) const { return m_lists[int(op)]; }

bool TVeQueryCollection::canDelete() const
{
    return !m_lists[int(VeOperation::Delete)].isEmpty() || (m_autoDelete && !keyField().isEmpty());
}

Result<QStringList> TVeQueryCollection::tableColumns() const
{
    if (m_tableColumns)
        return *m_tableColumns;
    SqlQuery q(m_db);
    if (auto s = q.prepare(QStringLiteral(
            "SELECT TRIM(RF.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS RF "
            "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
            "WHERE RF.RDB$RELATION_NAME = :t AND F.RDB$COMPUTED_BLR IS NULL"));
        !s)
        return s;
    q.bind(QStringLiteral("t"), tableName());
    if (auto s = q.exec(); !s)
        return s;
    QStringList cols;
    while (q.next())
        cols << q.value(0).toString().toUpper();
    m_tableColumns = cols;
    return cols;
}

QStringList TVeQueryCollection::automaticStatements(VeOperation op) const
{
    const QString table = tableName();
    const QString key = keyField().toUpper();
    if (table.isEmpty() || key.isEmpty())
        return {};
    if (op == VeOperation::Delete)
        return m_autoDelete ? QStringList{QStringLiteral("DELETE FROM %1 WHERE %2 = :VECURRID").arg(table, key)} : QStringList{};
    auto cols = tableColumns();
    if (!cols)
        return {};
    QStringList fields;
    for (int i = 0; i < m_changed.size(); ++i) {
        const QString name = m_columns[i].name.toUpper();
        if (m_changed[i] && name != key && cols->contains(name) && !fields.contains(name))
            fields << name;
    }
    if (op == VeOperation::Insert) {
        QStringList values{QStringLiteral(":VEGENID")};
        for (const QString &f : fields)
            values << u':' + f;
        return {QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(table, (QStringList{key} + fields).join(QStringLiteral(", ")), values.join(QStringLiteral(", ")))};
    }
    if (fields.isEmpty())
        return {};
    QStringList sets;
    for (const QString &f : fields)
        sets << QStringLiteral("%1 = :%1").arg(f);
    return {QStringLiteral("UPDATE %1 SET %2 WHERE %3 = :VECURRID").arg(table, sets.join(QStringLiteral(", ")), key)};
}

Status TVeQueryCollection::runStatement(VeOperation op, int index, const QString &sql, const QString &table)
{
    VeParams params;
    VeExecContext ctx{table, op, index, sql, params};
    if (VeBeforeExec) {
        VeBeforeExec(ctx);
        if (!ctx.error.isEmpty())
            return Status::failure(ctx.error);
    }
    if (!ctx.execute)
        return {};
    const QStringList names = VeSql::parameterNames(sql);
    auto uses = [&](const QString &n) {
        return std::any_of(names.begin(), names.end(), [&](const QString &x) { return x.compare(n, Qt::CaseInsensitive) == 0; });
    };
    if (uses(kGenId) && !params.contains(kGenId)) {
        auto id = Ids::next(m_db, table);
        if (!id)
            return id.status();
        params.set(kGenId, id.value());
    }
    if (params.contains(kGenId)) {
        const QVariant id = params.value(kGenId);
        if (!m_genIdForRow.isValid() && table == tableName().toUpper()) {
            m_genIdForRow = id;
            if (const int k = fieldIndex(keyField()); k >= 0 && k < m_buffer.size())
                m_buffer[k] = id;
        }
        if (m_genIdForRow.isValid())
            m_last.set(kGenId, m_genIdForRow);
        else if (!m_last.contains(kGenId))
            m_last.set(kGenId, id);
    }
    if (!params.contains(kCurrId) && op != VeOperation::Insert)
        params.set(kCurrId, m_last.value(kCurrId));

    SqlQuery q(m_db);
    if (auto s = q.prepare(sql); !s)
        return s;
    for (const QString &name : names) {
        QVariant v;
        if (params.contains(name))
            v = params.value(name);
        else if (const int i = fieldIndex(name); i >= 0 && !name.contains(u'.'))
            v = m_buffer.value(i);
        else if (m_extraFields.contains(name))
            v = m_extraFields.value(name);
        else if (m_params.contains(name))
            v = m_params.value(name);
        else
            return Status::failure(QStringLiteral("Il parametro %1 dell'istruzione non ha un valore.").arg(name));
        q.bind(name, v);
    }
    if (auto s = q.exec(); !s)
        return s;
    if (VeAfterExec) {
        VeAfterExec(ctx);
        if (!ctx.error.isEmpty())
            return Status::failure(ctx.error);
    }
    return {};
}

Status TVeQueryCollection::runList(VeOperation op, QStringList list)
{
    const QVariant curr = op == VeOperation::Insert ? QVariant() : currentKey();
    m_last.clear();
    m_genIdForRow = QVariant();
    if (op != VeOperation::Insert)
        m_last.set(kCurrId, curr);
    for (int i = 0; i < list.size(); ++i)
        if (auto s = runStatement(op, i, list[i], VeSql::statementTable(list[i])); !s)
            return s;
    return {};
}

bool TVeQueryCollection::post()
{
    if (m_mode == DataMode::Browse)
        return false;
    for (const auto &[field, caption] : m_required) {
        if (isEmptyValue(fieldValue(field))) {
            showError(requiredMessage(caption));
            return false;
        }
    }
    const VeOperation op = m_mode == DataMode::Insert ? VeOperation::Insert : VeOperation::Update;
    QStringList &list = statements(op);
    QStringList toRun = list;
    if (list.isEmpty()) {
        toRun = automaticStatements(op);
    } else {
        VeListContext ctx{op, list, {}};
        if (op == VeOperation::Insert && VeBeforeInsert)
            VeBeforeInsert(ctx);
        if (op == VeOperation::Update && VeBeforeUpdate)
            VeBeforeUpdate(ctx);
        if (!ctx.error.isEmpty()) {
            showError(ctx.error);
            return false;
        }
        toRun = list;
    }
    const QList<QVariant> savedBuffer = m_buffer;
    m_cursor.reset();
    const Status s = toRun.isEmpty() ? Status() : runInTransaction(m_db, [&]() {
        m_buffer = savedBuffer;
        return runList(op, toRun);
    });
    if (!s) {
        m_buffer = savedBuffer;
        showError(QStringLiteral("Impossibile salvare i dati.\r\n") + s.error());
        return false;
    }
    QVariant key = op == VeOperation::Insert ? m_genIdForRow : currentKey();
    if (!key.isValid() || key.isNull())
        key = fieldValue(keyField());
    m_buffer.clear();
    m_changed.clear();
    m_extraFields.clear();
    setMode(DataMode::Browse);
    if (m_open) {
        // A refresh that fails leaves the list as it was; the post itself is done.
        if (m_localRefresh && op == VeOperation::Update)
            refreshRow(key);
        else
            refreshTo(key);
    }
    if (op == VeOperation::Insert && VeAfterInsert)
        VeAfterInsert();
    if (op == VeOperation::Update && VeAfterUpdate)
        VeAfterUpdate();
    Q_EMIT posted(op);
    return true;
}

bool TVeQueryCollection::deleteCurrent()
{
    if (!m_open || m_mode != DataMode::Browse || m_current < 0 || !canDelete())
        return false;
    if (VeMessageDlg(deleteQuestion(), MsgType::Confirmation, MsgButtons::YesNo) != MsgResult::Yes)
        return false;
    const QStringList list = statements(VeOperation::Delete).isEmpty() ? automaticStatements(VeOperation::Delete)
                                                                        : statements(VeOperation::Delete);
    m_cursor.reset();
    const Status s = runInTransaction(m_db, [&]() { return runList(VeOperation::Delete, list); });
    if (!s) {
        showError(QStringLiteral("Impossibile cancellare il record.\r\n") + s.error());
        return false;
    }
    if (m_localRefresh && !m_rows.isEmpty())
        removeRowAt(m_current);
    else
        refresh();
    if (VeAfterDelete)
        VeAfterDelete();
    Q_EMIT posted(VeOperation::Delete);
    return true;
}

} // namespace ccp::fw
