// The rules of the movement windows without a window: amount decisions, dates, availability.
#include "EbcUMvm.h"

#include <gtest/gtest.h>

namespace ccp::movements {
namespace {

struct AmountCase
{
    const char *name;
    const char *expected;
    const char *entered;
    const char *shown;
    AmountDecision::Action action;
    bool showDifference;
    const char *difference;
};

class AmountDecisionTest : public ::testing::TestWithParam<AmountCase>
{
};

TEST_P(AmountDecisionTest, DecidesSplitAndDifference)
{
    const AmountCase &c = GetParam();
    const AmountDecision d = decideAmount(QString::fromUtf8(c.expected), QString::fromUtf8(c.entered),
                                          Money::fromText(QString::fromUtf8(c.shown)));
    EXPECT_EQ(d.action, c.action);
    EXPECT_EQ(d.showDifference, c.showDifference);
    if (c.showDifference)
        EXPECT_EQ(d.difference.toList(), QString::fromUtf8(c.difference));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AmountDecisionTest,
    ::testing::Values(
        AmountCase{"EqualToTotal", "100,00", "100", "0", AmountDecision::ReleaseSplit, true, "0,00"},
        AmountCase{"LessThanTotal", "100,00", "80,00", "0", AmountDecision::OpenSplit, true, "-20,00"},
        AmountCase{"SameDifferenceAgain", "100,00", "80", "-20", AmountDecision::Nothing, true, "-20,00"},
        AmountCase{"MoreThanTotal", "100", "1.250,50", "0", AmountDecision::OpenSplit, true, "1.150,50"},
        AmountCase{"TextsDifferMoneyEqual", "100,00", "100,0000", "5", AmountDecision::ReleaseSplit, true, "0,00"},
        AmountCase{"ZeroTotal", "0", "35", "0", AmountDecision::OpenSplit, false, ""},
        AmountCase{"EmptyTotal", "", "35", "0", AmountDecision::OpenSplit, false, ""},
        AmountCase{"UnreadableAmountIsZero", "40", "abc", "0", AmountDecision::OpenSplit, true, "-40,00"}),
    [](const auto &info) { return std::string(info.param.name); });

struct DateCase
{
    const char *name;
    MvmDateKind kind;
    QDate date;
    QDate statement;
    QString message;
};

class MovementDateTest : public ::testing::TestWithParam<DateCase>
{
};

TEST_P(MovementDateTest, FirstFailingRuleWins)
{
    const DateCase &c = GetParam();
    // User period 1 January - 31 August 2026, account opened on 10 March 2026.
    EXPECT_EQ(checkMovementDate(c.kind, c.date, QDate(2026, 1, 1), QDate(2026, 8, 31), QDate(2026, 3, 10), c.statement),
              c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MovementDateTest,
    ::testing::Values(
        DateCase{"DecemberOutsidePeriod", MvmDateKind::Movement, QDate(2026, 12, 31), {}, MvmText::OutsideYear},
        DateCase{"NoDate", MvmDateKind::Movement, QDate(), {}, MvmText::OutsideYear},
        DateCase{"LastDayOfPeriod", MvmDateKind::Movement, QDate(2026, 8, 31), QDate(2026, 8, 31), QString()},
        DateCase{"MovementBeforeOpening", MvmDateKind::Movement, QDate(2026, 3, 9), {},
                 QStringLiteral("La data del movimento dev'essere maggiore o uguale a 10/03/2026")},
        DateCase{"StatementBeforeOpening", MvmDateKind::Statement, QDate(2026, 2, 1), {},
                 QStringLiteral("La data dell'estratto conto dev'essere maggiore o uguale a 10/03/2026")},
        DateCase{"OpeningDayAccepted", MvmDateKind::Statement, QDate(2026, 3, 10), {}, QString()},
        DateCase{"MovementAfterStatement", MvmDateKind::Movement, QDate(2026, 5, 2), QDate(2026, 5, 1),
                 MvmText::MovementAfterStatement},
        DateCase{"StatementIsNotComparedWithItself", MvmDateKind::Statement, QDate(2026, 5, 2), QDate(2026, 5, 1),
                 QString()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MvmAvailability, ExpenseMayUseTheBalanceAndTheStoredAmount)
{
    const Money balance = Money::fromEuros(80);
    EXPECT_TRUE(exceedsAvailability(Money::fromEuros(100), balance, Money()));
    EXPECT_FALSE(exceedsAvailability(Money::fromEuros(80), balance, Money()));
    EXPECT_FALSE(exceedsAvailability(Money::fromEuros(100), balance, Money::fromEuros(50)));
    EXPECT_TRUE(exceedsAvailability(Money::fromUnits(1300001), balance, Money::fromEuros(50)));
}

} // namespace
} // namespace ccp::movements
