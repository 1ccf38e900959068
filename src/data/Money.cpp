#include "Money.h"

#include <QLocale>

namespace ccp {

namespace {

// Parses digits with at most one decimal separator `dec`; `group` characters are skipped.
bool parseUnits(QStringView text, QChar dec, QChar group, qint64 *out)
{
    qint64 whole = 0;
    qint64 frac = 0;
    int fracDigits = 0;
    bool negative = false;
    bool seenDigit = false;
    bool inFraction = false;
    bool roundUp = false;
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit()) {
            seenDigit = true;
            const int d = c.digitValue();
            if (inFraction) {
                if (fracDigits < 4) {
                    frac = frac * 10 + d;
                    ++fracDigits;
                } else if (fracDigits == 4) {
                    roundUp = d >= 5;
                    ++fracDigits;
                }
            } else {
                if (whole > (std::numeric_limits<qint64>::max() / Money::Scale - 9) / 10)
                    return false;
                whole = whole * 10 + d;
            }
        } else if (c == dec && !inFraction) {
            inFraction = true;
        } else if (c == group && !inFraction) {
            continue;
        } else if (c.isSpace()) {
            // trailing blanks only
            for (; i < text.size(); ++i)
                if (!text[i].isSpace())
                    return false;
            break;
        } else {
            return false;
        }
    }
    if (!seenDigit)
        return false;
    while (fracDigits < 4) {
        frac *= 10;
        ++fracDigits;
    }
    qint64 units = whole * Money::Scale + (fracDigits > 4 ? frac : frac) + (roundUp ? 1 : 0);
    *out = negative ? -units : units;
    return true;
}

QString formatUnits(qint64 units, int decimals, QChar dec, QChar group)
{
    const bool negative = units < 0;
    quint64 abs = negative ? quint64(-(units + 1)) + 1 : quint64(units);
    quint64 divisor = 1;
    for (int i = decimals; i < 4; ++i)
        divisor *= 10;
    // round half away from zero to the requested decimals
    abs = (abs + divisor / 2) / divisor;
    quint64 pow = 1;
    for (int i = 0; i < decimals; ++i)
        pow *= 10;
    const quint64 whole = abs / pow;
    const quint64 frac = abs % pow;
    QString w = QString::number(whole);
    if (!group.isNull()) {
        for (int pos = w.size() - 3; pos > 0; pos -= 3)
            w.insert(pos, group);
    }
    QString s;
    if (negative && abs != 0)
        s += u'-';
    s += w;
    if (decimals > 0)
        s += dec + QStringLiteral("%1").arg(frac, decimals, 10, QLatin1Char('0'));
    return s;
}

} // namespace

Money Money::fromText(const QString &text)
{
    QString t = text.trimmed();
    t.remove(QChar(0x20AC)); // euro sign
    t = t.trimmed();
    qint64 units = 0;
    // Italian first: comma decimal, point grouping. A lone point followed by exactly
    // three digits is grouping ("1.234"), otherwise a point is a decimal point ("12.5").
    if (t.contains(u',')) {
        if (parseUnits(t, u',', u'.', &units))
            return fromUnits(units);
        return Money();
    }
    const int dot = t.indexOf(u'.');
    if (dot >= 0 && t.count(u'.') == 1 && t.size() - dot - 1 != 3) {
        if (parseUnits(t, u'.', QChar(), &units))
            return fromUnits(units);
        return Money();
    }
    if (parseUnits(t, u',', u'.', &units))
        return fromUnits(units);
    return Money();
}

Money Money::fromSqlText(const QString &text, bool *ok)
{
    qint64 units = 0;
    const bool parsed = parseUnits(text, u'.', QChar(), &units);
    if (ok)
        *ok = parsed;
    return parsed ? fromUnits(units) : Money();
}

Money Money::fromVariant(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return Money();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return fromEuros(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return fromUnits(qRound64(value.toDouble() * Scale));
    default: {
        if (value.typeId() == qMetaTypeId<Money>())
            return value.value<Money>();
        // The Firebird driver hands scaled numerics over as the text of a double, which may
        // carry an exponent ("-1e-04") or a binary tail ("12.345600000000001").
        const QString text = value.toString();
        if (text.contains(u'e') || text.contains(u'E')) {
            bool ok = false;
            const double d = text.toDouble(&ok);
            return ok ? fromUnits(qRound64(d * Scale)) : Money();
        }
        return fromSqlText(text);
    }
    }
}

qint64 Money::cents() const
{
    const qint64 half = m_units >= 0 ? 50 : -50;
    return (m_units + half) / 100;
}

QString Money::toList() const { return formatUnits(m_units, 2, u',', u'.'); }
QString Money::toSql() const { return formatUnits(m_units, 2, u'.', QChar()); }
QString Money::toSqlExact() const { return formatUnits(m_units, 4, u'.', QChar()); }
QString Money::toEdit() const { return formatUnits(m_units, 2, u',', QChar()); }

QVariant Money::toVariant() const
{
    // The driver converts strings to scaled integers exactly; a double could lose a unit.
    return QVariant(toSqlExact());
}

} // namespace ccp
