#include "Money.h"

#include <gtest/gtest.h>

using ccp::Money;

struct ParseCase
{
    const char *name;
    const char16_t *text;
    qint64 units;
};

class MoneyParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(MoneyParse, ItalianInput)
{
    const auto &c = GetParam();
    EXPECT_EQ(Money::fromText(QString::fromUtf16(c.text)).units(), c.units) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MoneyParse,
    ::testing::Values(ParseCase{"grouped_comma", u"1.234,50", 12345000},
                      ParseCase{"one_decimal", u"12,5", 125000},
                      ParseCase{"negative_integer", u"-3", -30000},
                      ParseCase{"euro_sign", u"\u20AC 7,10", 71000},
                      ParseCase{"point_decimal", u"12.5", 125000},
                      ParseCase{"point_grouping", u"1.234", 12340000},
                      ParseCase{"four_decimals", u"0,0001", 1},
                      ParseCase{"rounds_fifth_decimal", u"0,00005", 1},
                      ParseCase{"blanks", u"  42  ", 420000},
                      ParseCase{"empty_is_zero", u"", 0},
                      ParseCase{"letters_are_zero", u"dodici", 0},
                      ParseCase{"two_commas_are_zero", u"1,2,3", 0},
                      ParseCase{"inner_garbage_is_zero", u"12a,5", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Money, Formats)
{
    const Money m = Money::fromText(QStringLiteral("-1234567,891"));
    EXPECT_EQ(m.toList(), QStringLiteral("-1.234.567,89"));
    EXPECT_EQ(m.toSql(), QStringLiteral("-1234567.89"));
    EXPECT_EQ(m.toSqlExact(), QStringLiteral("-1234567.8910"));
    EXPECT_EQ(Money::fromUnits(5).toList(), QStringLiteral("0,00"));   // no "-0,00" either
    EXPECT_EQ(Money::fromUnits(-5).toList(), QStringLiteral("0,00"));
    EXPECT_EQ(Money::fromUnits(50).toList(), QStringLiteral("0,01"));  // half away from zero
    EXPECT_EQ(Money::fromText(QStringLiteral("999,995")).toList(), QStringLiteral("1.000,00"));
}

TEST(Money, CentsRoundHalfAwayFromZero)
{
    EXPECT_EQ(Money::fromUnits(12350).cents(), 124);
    EXPECT_EQ(Money::fromUnits(-12350).cents(), -124);
    EXPECT_EQ(Money::fromUnits(12349).cents(), 123);
}

TEST(Money, FromDatabaseValues)
{
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral("12.3456"))).units(), 123456);
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral("-0.1"))).units(), -1000);
    EXPECT_EQ(Money::fromVariant(QVariant(0.1 + 0.2)).units(), 3000);
    EXPECT_EQ(Money::fromVariant(QVariant(qlonglong(7))).units(), 70000);
    EXPECT_TRUE(Money::fromVariant(QVariant()).isZero());
    // Summing many cents stays exact.
    Money sum;
    for (int i = 0; i < 1000; ++i)
        sum += Money::fromText(QStringLiteral("0,10"));
    EXPECT_EQ(sum, Money::fromEuros(100));
}

TEST(Money, DriverTextsOfDoubles)
{
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral("-1e-04"))).units(), -1);
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral("12.345600000000001"))).units(), 123456);
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral("0.29999999999999999"))).units(), 3000);
    EXPECT_EQ(Money::fromVariant(QVariant(QStringLiteral("99999999999.99991"))).units(), 999999999999999);
}
