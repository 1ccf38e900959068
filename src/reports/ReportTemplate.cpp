#include "ReportTemplate.h"

#include <QDomDocument>

namespace ccp::reports {

namespace {

struct Parser
{
    QString error;

    bool fail(const QDomElement &e, const QString &message)
    {
        if (error.isEmpty())
            error = QStringLiteral("Riga %1: %2").arg(e.lineNumber()).arg(message);
        return false;
    }

    bool number(const QDomElement &e, const QString &name, double *out, bool required = true)
    {
        if (!e.hasAttribute(name)) {
            if (required)
                return fail(e, QStringLiteral("<%1> senza l'attributo \"%2\".").arg(e.tagName(), name));
            return true;
        }
        bool ok = false;
        const double v = e.attribute(name).toDouble(&ok);
        if (!ok || v < 0)
            return fail(e, QStringLiteral("\"%1\" non è una misura valida per \"%2\".").arg(e.attribute(name), name));
        *out = v;
        return true;
    }

    bool flag(const QDomElement &e, const QString &name)
    {
        const QString v = e.attribute(name).toLower();
        return v == QLatin1String("true") || v == QLatin1String("1") || v == QLatin1String("yes");
    }

    bool expr(const QDomElement &e, const QString &text, Expr *out, Format format = Format::Plain)
    {
        auto c = compileExpr(text, format);
        if (!c)
            return fail(e, c.error());
        *out = c.value();
        return true;
    }

    bool item(const QDomElement &e, Item *it)
    {
        const QString tag = e.tagName();
        if (tag == QLatin1String("line")) {
            it->kind = ItemKind::Line;
            double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            if (!number(e, QStringLiteral("x1"), &x1) || !number(e, QStringLiteral("y1"), &y1)
                || !number(e, QStringLiteral("x2"), &x2) || !number(e, QStringLiteral("y2"), &y2))
                return false;
            it->rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
        } else {
            if (tag == QLatin1String("text"))
                it->kind = ItemKind::Text;
            else if (tag == QLatin1String("box"))
                it->kind = ItemKind::Box;
            else if (tag == QLatin1String("image"))
                it->kind = ItemKind::Image;
            else if (tag == QLatin1String("barcode"))
                it->kind = ItemKind::BarCode;
            else
                return fail(e, QStringLiteral("oggetto sconosciuto <%1>.").arg(tag));
            double x = 0, y = 0, w = 0, h = 0;
            if (!number(e, QStringLiteral("x"), &x) || !number(e, QStringLiteral("y"), &y)
                || !number(e, QStringLiteral("w"), &w) || !number(e, QStringLiteral("h"), &h))
                return false;
            it->rect = QRectF(x, y, w, h);
        }
        auto format = parseFormat(e.attribute(QStringLiteral("format")));
        if (!format)
            return fail(e, format.error());
        const QString content = it->kind == ItemKind::Image ? e.attribute(QStringLiteral("name")) : e.text();
        if (!expr(e, content, &it->text, format.value())
            || !expr(e, e.attribute(QStringLiteral("visible")), &it->visible))
            return false;
        const QString align = e.attribute(QStringLiteral("align"), QStringLiteral("left"));
        if (align == QLatin1String("right"))
            it->align = HAlign::Right;
        else if (align == QLatin1String("center"))
            it->align = HAlign::Center;
        else if (align != QLatin1String("left"))
            return fail(e, QStringLiteral("allineamento \"%1\" sconosciuto (left, center, right).").arg(align));
        it->bold = flag(e, QStringLiteral("bold"));
        it->italic = flag(e, QStringLiteral("italic"));
        it->wrap = flag(e, QStringLiteral("wrap"));
        it->frame = flag(e, QStringLiteral("frame"));
        if (e.hasAttribute(QStringLiteral("fill"))) {
            it->fill = QColor(e.attribute(QStringLiteral("fill")));
            if (!it->fill.isValid())
                return fail(e, QStringLiteral("colore \"%1\" non valido.").arg(e.attribute(QStringLiteral("fill"))));
        }
        return number(e, QStringLiteral("size"), &it->fontSize, false)
            && number(e, QStringLiteral("width"), &it->lineWidth, false);
    }

    bool band(const QDomElement &e, Band *b)
    {
        if (!number(e, QStringLiteral("height"), &b->height))
            return false;
        if (!expr(e, e.attribute(QStringLiteral("visible")), &b->visible))
            return false;
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            Item it;
            if (!item(c, &it))
                return false;
            b->items.push_back(std::move(it));
        }
        return true;
    }

    bool section(const QDomElement &e, Section *s)
    {
        s->dataSet = e.attribute(QStringLiteral("dataset"));
        if (s->dataSet.isEmpty())
            return fail(e, QStringLiteral("<section> senza l'attributo \"dataset\"."));
        s->pageBreak = flag(e, QStringLiteral("pageBreak"));
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            const QString tag = c.tagName();
            bool ok = true;
            if (tag == QLatin1String("columnHeader"))
                ok = band(c, &s->columnHeader);
            else if (tag == QLatin1String("detail"))
                ok = band(c, &s->detail);
            else if (tag == QLatin1String("footer"))
                ok = band(c, &s->footer);
            else if (tag == QLatin1String("empty"))
                ok = band(c, &s->empty);
            else if (tag == QLatin1String("section")) {
                Section child;
                ok = section(c, &child);
                s->children.push_back(std::move(child));
            } else if (tag == QLatin1String("group")) {
                Group g;
                ok = expr(c, c.attribute(QStringLiteral("key")), &g.key);
                if (ok && g.key.empty())
                    ok = fail(c, QStringLiteral("<group> senza l'attributo \"key\"."));
                for (QDomElement gb = c.firstChildElement(); ok && !gb.isNull(); gb = gb.nextSiblingElement()) {
                    if (gb.tagName() == QLatin1String("header"))
                        ok = band(gb, &g.header);
                    else if (gb.tagName() == QLatin1String("footer"))
                        ok = band(gb, &g.footer);
                    else
                        ok = fail(gb, QStringLiteral("in <group> sono ammessi solo <header> e <footer>."));
                }
                s->groups.push_back(std::move(g));
            } else {
                ok = fail(c, QStringLiteral("elemento sconosciuto <%1> in <section>.").arg(tag));
            }
            if (!ok)
                return false;
        }
        return true;
    }
};

void collect(const Section &s, QStringList *out)
{
    out->append(s.dataSet);
    for (const Section &c : s.children)
        collect(c, out);
}

} // namespace

QStringList Template::dataSets() const
{
    QStringList out = headerData;
    for (const Section &s : sections)
        collect(s, &out);
    return out;
}

Result<std::shared_ptr<const Template>> parseTemplate(const QString &xml)
{
    using R = Result<std::shared_ptr<const Template>>;
    QDomDocument doc;
    QString message;
    int line = 0;
    if (!doc.setContent(xml, &message, &line))
        return R::failure(QStringLiteral("Modello non leggibile, riga %1: %2").arg(line).arg(message));
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("report"))
        return R::failure(QStringLiteral("Il modello deve iniziare con <report>."));
    auto t = std::make_shared<Template>();
    Parser p;
    t->id = root.attribute(QStringLiteral("id")).toInt();
    t->title = root.attribute(QStringLiteral("title"));
    t->subject = root.attribute(QStringLiteral("subject"));
    if (root.hasAttribute(QStringLiteral("font")))
        t->fontFamily = root.attribute(QStringLiteral("font"));
    for (QDomElement c = root.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        const QString tag = c.tagName();
        bool ok = true;
        if (tag == QLatin1String("page")) {
            const QString o = c.attribute(QStringLiteral("orientation"), QStringLiteral("portrait"));
            if (o != QLatin1String("portrait") && o != QLatin1String("landscape"))
                ok = p.fail(c, QStringLiteral("orientamento \"%1\" sconosciuto (portrait, landscape).").arg(o));
            t->page.landscape = o == QLatin1String("landscape");
            ok = ok && p.number(c, QStringLiteral("left"), &t->page.left, false)
                && p.number(c, QStringLiteral("top"), &t->page.top, false)
                && p.number(c, QStringLiteral("right"), &t->page.right, false)
                && p.number(c, QStringLiteral("bottom"), &t->page.bottom, false);
        } else if (tag == QLatin1String("title")) {
            ok = p.band(c, &t->title_);
        } else if (tag == QLatin1String("pageHeader")) {
            ok = p.band(c, &t->pageHeader);
        } else if (tag == QLatin1String("pageFooter")) {
            ok = p.band(c, &t->pageFooter);
        } else if (tag == QLatin1String("summary")) {
            ok = p.band(c, &t->summary);
        } else if (tag == QLatin1String("section")) {
            Section s;
            ok = p.section(c, &s);
            t->sections.push_back(std::move(s));
        } else if (tag == QLatin1String("data")) {
            t->headerData << c.attribute(QStringLiteral("dataset"));
            if (t->headerData.last().isEmpty())
                ok = p.fail(c, QStringLiteral("<data> senza l'attributo \"dataset\"."));
        } else if (tag == QLatin1String("category")) {
            // read when the template is stored (ReportRegistration)
        } else {
            ok = p.fail(c, QStringLiteral("elemento sconosciuto <%1> in <report>.").arg(tag));
        }
        if (!ok)
            return R::failure(p.error);
    }
    const double room = t->page.height() - t->page.top - t->page.bottom - t->pageHeader.height - t->pageFooter.height;
    if (room < 20)
        return R::failure(QStringLiteral("Margini, intestazione e piè di pagina lasciano meno di 2 cm per le righe."));
    return R(std::shared_ptr<const Template>(std::move(t)));
}

} // namespace ccp::reports
