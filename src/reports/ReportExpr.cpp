#include "ReportExpr.h"

#include "Money.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

namespace ccp::reports {

namespace {

const QRegularExpression &fieldPattern()
{
    static const QRegularExpression re(QStringLiteral(R"re(^(\w+)\s*\.\s*(?:"([^"]+)"|(\w+))$)re"));
    return re;
}

const QRegularExpression &callPattern()
{
    static const QRegularExpression re(QStringLiteral(R"(^(\w+)\s*\((.*)\)$)"),
                                       QRegularExpression::DotMatchesEverythingOption);
    return re;
}

// Splits at commas outside quotes.
QStringList splitArgs(const QString &text)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            cur += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            cur += c;
        } else if (c == u',') {
            out << cur.trimmed();
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.trimmed().isEmpty() || !out.isEmpty())
        out << cur.trimmed();
    return out;
}

Result<Segment> fieldSegment(const QString &text)
{
    const auto m = fieldPattern().match(text);
    if (!m.hasMatch())
        return Result<Segment>::failure(QStringLiteral("\"%1\" non indica un campo (scrivere dataset.\"campo\").").arg(text));
    Segment s;
    s.kind = Segment::Field;
    s.dataSet = m.captured(1).toLower();
    s.field = m.captured(2).isEmpty() ? m.captured(3) : m.captured(2);
    s.fieldKey = s.field.toLower();
    return s;
}

Result<Segment> argument(const QString &text)
{
    Segment s;
    if (text.size() >= 2 && text.startsWith(u'\'') && text.endsWith(u'\'')) {
        s.text = text.mid(1, text.size() - 2);
        return s;
    }
    bool isNumber = false;
    text.toLongLong(&isNumber);
    if (isNumber) {
        s.text = text;
        return s;
    }
    return fieldSegment(text);
}

Result<Segment> valueSegment(QString inner, Format format)
{
    inner = inner.trimmed();
    const int bar = inner.lastIndexOf(u'|');
    if (bar > 0 && !inner.mid(bar).contains(u'"')) {
        auto f = parseFormat(inner.mid(bar + 1).trimmed());
        if (!f)
            return f.status();
        format = f.value();
        inner = inner.left(bar).trimmed();
    }
    Segment s;
    s.format = format;
    if (inner == QLatin1String("PAGE")) {
        s.kind = Segment::Page;
        return s;
    }
    if (inner == QLatin1String("PAGES")) {
        s.kind = Segment::Pages;
        return s;
    }
    if (inner == QLatin1String("DATE")) {
        s.kind = Segment::PrintDate;
        return s;
    }
    if (const auto m = callPattern().match(inner); m.hasMatch()) {
        const QString name = m.captured(1);
        const QString upper = name.toUpper();
        const QString body = m.captured(2).trimmed();
        if (upper == QLatin1String("COUNT")) {
            s.kind = Segment::Count;
            s.dataSet = body.toLower();
            if (!fieldPattern().match(body + QStringLiteral(".x")).hasMatch())
                return Result<Segment>::failure(QStringLiteral("COUNT vuole il nome di un data set: \"%1\".").arg(inner));
            return s;
        }
        if (upper == QLatin1String("SUM") || upper == QLatin1String("RUNSUM")) {
            auto f = fieldSegment(body);
            if (!f)
                return f;
            Segment agg = f.value();
            agg.kind = upper == QLatin1String("SUM") ? Segment::Sum : Segment::RunSum;
            agg.format = format == Format::Plain ? Format::Money : format;
            return agg;
        }
        s.kind = Segment::Call;
        s.text = name;
        for (const QString &a : splitArgs(body)) {
            auto arg = argument(a);
            if (!arg)
                return arg;
            s.args.push_back(arg.value());
        }
        return s;
    }
    if (fieldPattern().match(inner).hasMatch()) {
        auto f = fieldSegment(inner);
        if (f)
            f.value().format = format;
        return f;
    }
    if (inner.isEmpty())
        return Result<Segment>::failure(QStringLiteral("Espressione vuota \"[]\"."));
    s.kind = Segment::Variable;
    s.text = inner;
    return s;
}

QVariant argumentValue(const Segment &s, EvalContext &ctx)
{
    if (s.kind == Segment::Literal) {
        bool ok = false;
        const qlonglong n = s.text.toLongLong(&ok);
        return ok ? QVariant(n) : QVariant(s.text);
    }
    return ctx.field(s);
}

QVariant segmentValue(const Segment &s, EvalContext &ctx)
{
    switch (s.kind) {
    case Segment::Literal:
        return s.text;
    case Segment::Field:
        return ctx.field(s);
    case Segment::Variable:
        return ctx.variable(s.text);
    case Segment::Sum:
    case Segment::Count:
    case Segment::RunSum:
        return ctx.aggregate(s);
    case Segment::Page:
        return ctx.pageNumber();
    case Segment::Pages:
        return QString(PageCountMark);
    case Segment::PrintDate:
        return QDate::currentDate();
    case Segment::Call: {
        QVariantList args;
        for (const Segment &a : s.args)
            args << argumentValue(a, ctx);
        return ctx.call(s.text, args);
    }
    }
    return {};
}

} // namespace

bool Expr::usesPageCount() const
{
    for (const Segment &s : segments) {
        if (s.kind == Segment::Pages)
            return true;
    }
    return false;
}

Result<Format> parseFormat(const QString &name)
{
    const QString n = name.toLower();
    if (n.isEmpty() || n == QLatin1String("plain"))
        return Format::Plain;
    if (n == QLatin1String("money"))
        return Format::Money;
    if (n == QLatin1String("date"))
        return Format::Date;
    if (n == QLatin1String("int") || n == QLatin1String("integer"))
        return Format::Integer;
    return Result<Format>::failure(QStringLiteral("Formato sconosciuto \"%1\" (money, date, int).").arg(name));
}

Result<Expr> compileExpr(const QString &text, Format format)
{
    Expr e;
    e.source = text;
    QString literal;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const QChar c = text[i];
        if (c != u'[') {
            literal += c;
            ++i;
            continue;
        }
        // "[[" stands for a bracket of its own.
        if (i + 1 < n && text[i + 1] == u'[') {
            literal += c;
            i += 2;
            continue;
        }
        int end = i + 1;
        bool inQuote = false;
        while (end < n && (inQuote || text[end] != u']')) {
            if (text[end] == u'"')
                inQuote = !inQuote;
            ++end;
        }
        if (end >= n)
            return Result<Expr>::failure(QStringLiteral("Parentesi \"[\" non chiusa in \"%1\".").arg(text));
        if (!literal.isEmpty()) {
            Segment lit;
            lit.text = literal;
            e.segments.push_back(lit);
            literal.clear();
        }
        auto seg = valueSegment(text.mid(i + 1, end - i - 1), format);
        if (!seg)
            return Result<Expr>::failure(QStringLiteral("%1 (in \"%2\")").arg(seg.error(), text));
        e.segments.push_back(seg.value());
        i = end + 1;
    }
    if (!literal.isEmpty()) {
        Segment lit;
        lit.text = literal;
        e.segments.push_back(lit);
    }
    return e;
}

QString formatValue(const QVariant &v, Format f)
{
    if (v.isNull() || !v.isValid())
        return {};
    switch (f) {
    case Format::Money:
        return Money::fromVariant(v).toList();
    case Format::Date: {
        QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        if (!d.isValid() && v.typeId() == QMetaType::QString)
            d = QDate::fromString(v.toString(), Qt::ISODate);
        return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : v.toString();
    }
    case Format::Integer: {
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        return ok ? QString::number(n) : v.toString();
    }
    case Format::Plain:
        break;
    }
    if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
        return formatValue(v, Format::Date);
    if (v.typeId() == qMetaTypeId<Money>())
        return v.value<Money>().toList();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    return v.toString();
}

QString evaluateText(const Expr &e, EvalContext &ctx)
{
    if (e.segments.size() == 1 && e.segments[0].kind == Segment::Literal)
        return e.segments[0].text;
    QString out;
    for (const Segment &s : e.segments) {
        if (s.kind == Segment::Literal)
            out += s.text;
        else
            out += formatValue(segmentValue(s, ctx), s.format);
    }
    return out;
}

QVariant evaluateValue(const Expr &e, EvalContext &ctx)
{
    if (e.segments.size() == 1)
        return segmentValue(e.segments[0], ctx);
    return evaluateText(e, ctx);
}

bool evaluateFlag(const Expr &e, EvalContext &ctx)
{
    if (e.empty())
        return true;
    const QVariant v = evaluateValue(e, ctx);
    if (v.isNull() || !v.isValid())
        return false;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    const QString t = v.toString().trimmed();
    if (t.isEmpty() || t == QLatin1String("0") || t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    if (v.typeId() == qMetaTypeId<Money>())
        return !v.value<Money>().isZero();
    return true;
}

} // namespace ccp::reports
