#pragma once
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <compare>
#include <cstdint>

namespace ccp {

// Euro amount held as integer units of 1/10000, as the database's NUMERIC(18,4) columns.
class Money
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units) { Money m; m.m_units = units; return m; }
    static constexpr Money fromCents(qint64 cents) { return fromUnits(cents * 100); }
    static constexpr Money fromEuros(qint64 euros) { return fromUnits(euros * Scale); }

    // Italian input: "1.234,50", "12,5", "-3", "€ 7". Unreadable text is 0.
    static Money fromText(const QString &text);
    // Text with a decimal point as the database and files write it ("1234.5", "-0.0100").
    static Money fromSqlText(const QString &text, bool *ok = nullptr);
    // A value read from the database (string with HighPrecision, integer, double or null).
    static Money fromVariant(const QVariant &value);

    constexpr qint64 units() const { return m_units; }
    // Cents rounded half away from zero, as bank files carry them.
    qint64 cents() const;
    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }

    QString toList() const;      // "#,###.00" with Italian separators: "1.234,50"
    QString toSql() const;       // "0.00" with a point, two decimals: "1234.50"
    QString toSqlExact() const;  // four decimals with a point: "1234.5000"
    QString toEdit() const;      // plain Italian edit text: "1234,50"
    QVariant toVariant() const;  // what the database driver binds to a NUMERIC(18,4)

    constexpr Money operator-() const { return fromUnits(-m_units); }
    constexpr Money operator+(Money o) const { return fromUnits(m_units + o.m_units); }
    constexpr Money operator-(Money o) const { return fromUnits(m_units - o.m_units); }
    constexpr Money &operator+=(Money o) { m_units += o.m_units; return *this; }
    constexpr Money &operator-=(Money o) { m_units -= o.m_units; return *this; }
    constexpr auto operator<=>(const Money &) const = default;

private:
    qint64 m_units = 0;
};

} // namespace ccp

Q_DECLARE_METATYPE(ccp::Money)
