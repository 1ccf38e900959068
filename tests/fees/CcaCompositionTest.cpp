#include "EbsUCauComp.h"

#include <gtest/gtest.h>

using namespace ccp;
using ccp::fees::CompositionComponent;
using ccp::fees::TEbsCompositionGrid;

namespace {

Money euros(const char *text) { return Money::fromText(QString::fromLatin1(text)); }

TEbsCompositionGrid twoComponents(const char *amount, QChar sep = QLatin1Char(','))
{
    TEbsCompositionGrid g;
    g.setDecimalSeparator(sep);
    g.setAmountText(QString::fromLatin1(amount));
    g.build({{11, QStringLiteral("Mensa"), euros("70"), euros("0")}, {12, QStringLiteral("Gita"), euros("30"), euros("0")}});
    return g;
}

TEST(CompositionGrid, ThreeComponentsLeaveAnEmptyRowAboveTheTotal)
{
    TEbsCompositionGrid g;
    g.setShowBothAmounts(true);
    g.setAmountText(QStringLiteral("0"));
    g.build({{1, QStringLiteral("A"), euros("10,5"), euros("1")},
             {2, QStringLiteral("B"), euros("20"), euros("2")},
             {3, QStringLiteral("C"), euros("0,25"), euros("3")}});
    EXPECT_EQ(g.rowCount(), 6);
    EXPECT_EQ(g.componentCount(), 3);
    EXPECT_EQ(g.cell(3, 1), QStringLiteral("C"));
    EXPECT_TRUE(g.cell(4, 1).isEmpty() && g.cell(4, 2).isEmpty());
    EXPECT_EQ(g.cell(5, 2), QStringLiteral("30,75"));
    EXPECT_EQ(g.cell(5, 3), QStringLiteral("6,00"));
    EXPECT_EQ(g.componentIdAt(2), 2);
    // Splitting the institute amount protects the treasury column, and the reverse.
    EXPECT_EQ(g.protectedColumn(), 3);
    EXPECT_TRUE(g.isEditable(3, 2));
    EXPECT_FALSE(g.isEditable(4, 2)) << "the empty row";
    EXPECT_FALSE(g.isEditable(3, 1)) << "the description";
    g.setAmountColumn(3);
    g.build({{1, QStringLiteral("A"), euros("1"), euros("1")}});
    EXPECT_EQ(g.protectedColumn(), 2);
}

struct SplitCase
{
    const char *name;
    const char *amount;
    const char *first;
    const char *second;
    qint64 remainderUnits;
    bool ok;
};

class CompositionSplit : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(CompositionSplit, RemainderAndOkFollowTheTypedShares)
{
    const SplitCase &c = GetParam();
    TEbsCompositionGrid g = twoComponents(c.amount);
    EXPECT_FALSE(g.okEnabled());
    ASSERT_TRUE(g.commitEdit(1, 2, QString::fromLatin1(c.first)));
    g.selectCell(2, 2);
    ASSERT_TRUE(g.commitEdit(2, 2, QString::fromLatin1(c.second)));
    g.selectCell(1, 2);
    EXPECT_EQ(g.remainder().units(), c.remainderUnits);
    EXPECT_EQ(g.okEnabled(), c.ok);
    EXPECT_EQ(g.cell(g.totalRow(), 2), g.format(euros(c.amount) - Money::fromUnits(c.remainderUnits)));
}

INSTANTIATE_TEST_SUITE_P(Splits, CompositionSplit,
                         ::testing::Values(SplitCase{"SixtyForty", "100,00", "60", "40", 0, true},
                                           SplitCase{"FiftyForty", "100,00", "50", "40", 100000, false},
                                           SplitCase{"Decimals", "1.234,56", "1234,5", "0,06", 0, true},
                                           SplitCase{"TooMuch", "10", "8", "2,01", -100, false},
                                           SplitCase{"UnreadableCountsAsZero", "100", "abc", "100", 0, true}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(CompositionGrid, DescriptionAndProtectedCellsKeepTheirText)
{
    TEbsCompositionGrid g;
    g.setShowBothAmounts(true);
    g.setAmountText(QStringLiteral("10"));
    g.build({{1, QStringLiteral("A"), euros("10"), euros("5")}});
    EXPECT_FALSE(g.commitEdit(1, 1, QStringLiteral("altro")));
    EXPECT_FALSE(g.commitEdit(1, 3, QStringLiteral("99")));
    EXPECT_FALSE(g.commitEdit(g.totalRow(), 2, QStringLiteral("99")));
    EXPECT_EQ(g.cell(1, 1), QStringLiteral("A"));
    EXPECT_EQ(g.cell(1, 3), QStringLiteral("5,00"));
    EXPECT_EQ(g.lastEditedRow(), -1);
}

TEST(CompositionGrid, ZeroAmountNeedsAnEditBeforeOk)
{
    TEbsCompositionGrid g;
    g.setAmountText(QStringLiteral("0"));
    g.build({{1, QStringLiteral("A"), Money(), Money()}, {2, QStringLiteral("B"), Money(), Money()}});
    EXPECT_TRUE(g.remainder().isZero());
    EXPECT_FALSE(g.okEnabled());
    g.selectCell(2, 2);
    EXPECT_FALSE(g.okEnabled()) << "nothing edited yet";
    g.commitEdit(1, 2, QStringLiteral("0"));
    EXPECT_FALSE(g.okEnabled()) << "still in the edited cell";
    g.selectCell(2, 2);
    EXPECT_TRUE(g.okEnabled());
    EXPECT_EQ(g.instruction(),
              QStringLiteral("Suddividere la somma 0,00 tra i componenti della causale in modo da azzerare lo scarto."));
}

TEST(CompositionGrid, ReadBackWritesPointsAndReloadRestoresAmounts)
{
    TEbsCompositionGrid g = twoComponents("100");
    g.commitEdit(1, 2, QStringLiteral("12,5"));
    g.selectCell(2, 2);
    EXPECT_EQ(g.amountTextAt(1), QStringLiteral("12.50"));
    EXPECT_EQ(g.amountTextAt(2), QStringLiteral("30.00"));
    EXPECT_EQ(g.componentIdAt(1), 11);
    EXPECT_TRUE(g.amountTextAt(3).isEmpty());
    g.reloadColumn(2, {euros("70"), euros("30")});
    EXPECT_EQ(g.cell(1, 2), QStringLiteral("70,00"));
    EXPECT_EQ(g.cell(g.totalRow(), 2), QStringLiteral("100,00"));
    EXPECT_TRUE(g.remainder().isZero());
}

struct KeyCase
{
    const char *name;
    int key;
    Qt::KeyboardModifiers modifiers;
    const char *text;
    char separator;
    bool passes;
};

class CompositionKeys : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(CompositionKeys, OnlyFiguresSignAndTheSeparatorPass)
{
    const KeyCase &c = GetParam();
    EXPECT_EQ(TEbsCompositionGrid::keyPasses(c.key, c.modifiers, QString::fromLatin1(c.text), QLatin1Char(c.separator)),
              c.passes);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CompositionKeys,
    ::testing::Values(KeyCase{"Digit", Qt::Key_7, Qt::NoModifier, "7", ',', true},
                      KeyCase{"Minus", Qt::Key_Minus, Qt::NoModifier, "-", ',', true},
                      KeyCase{"Letter", Qt::Key_A, Qt::NoModifier, "a", ',', false},
                      KeyCase{"CommaWhenComma", Qt::Key_Comma, Qt::NoModifier, ",", ',', true},
                      KeyCase{"PointWhenComma", Qt::Key_Period, Qt::NoModifier, ".", ',', false},
                      KeyCase{"PointWhenPoint", Qt::Key_Period, Qt::NoModifier, ".", '.', true},
                      KeyCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", ',', true},
                      KeyCase{"CtrlX", Qt::Key_X, Qt::ControlModifier, "\x18", ',', true},
                      KeyCase{"CtrlVDropped", Qt::Key_V, Qt::ControlModifier, "\x16", ',', false},
                      KeyCase{"ArrowNotFiltered", Qt::Key_Left, Qt::NoModifier, "", ',', true}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
