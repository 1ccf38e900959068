#include "FrameworkTestSupport.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBMemo.h"
#include "VeMessageDlg.h"

#include <QCalendarWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::fw;

TEST(DateText, ReadsItalianDatesWithFourDigitYears)
{
    struct Row
    {
        const char *name;
        QString text;
        DateText::Kind kind;
        QDate date;
    };
    const Row rows[] = {
        {"empty", QString(), DateText::Empty, {}},
        {"blanks", QStringLiteral("   "), DateText::Empty, {}},
        {"full", QStringLiteral("01/09/2023"), DateText::Valid, QDate(2023, 9, 1)},
        {"short-day-month", QStringLiteral("1/9/2023"), DateText::Valid, QDate(2023, 9, 1)},
        {"dashes", QStringLiteral("31-12-2024"), DateText::Valid, QDate(2024, 12, 31)},
        {"packed", QStringLiteral("29022024"), DateText::Valid, QDate(2024, 2, 29)},
        {"leap-day-in-common-year", QStringLiteral("29/02/2023"), DateText::Invalid, {}},
        {"two-digit-year", QStringLiteral("01/09/23"), DateText::Invalid, {}},
        {"month-13", QStringLiteral("01/13/2023"), DateText::Invalid, {}},
        {"words", QStringLiteral("ieri"), DateText::Invalid, {}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const DateText d = parseDateText(r.text);
        EXPECT_EQ(d.kind, r.kind);
        EXPECT_EQ(d.date, r.date);
    }
}

TEST(DBEdit, TypingIsCleanedAndReported)
{
    TVeDBEdit e;
    e.setUpperCase(true);
    e.setMaxLength(5);
    e.setCharFilter(CharFilters::digitsAndLetters);
    int changes = 0;
    e.setChangeHandler([&](TVeDBControl *) { ++changes; });
    QTest::keyClicks(&e, QStringLiteral("ab-c 1234"));
    EXPECT_EQ(e.text(), QStringLiteral("ABC12"));
    EXPECT_EQ(e.fieldValue(), QVariant(QStringLiteral("ABC12")));
    EXPECT_GT(changes, 0);

    // Loading a stored value is not a user change; empty text stores null.
    changes = 0;
    e.setFieldValue(QVariant());
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(e.fieldValue().isNull());

    e.setModeEditable(false);
    QTest::keyClicks(&e, QStringLiteral("zz"));
    EXPECT_TRUE(e.text().isEmpty());
    EXPECT_EQ(changes, 0);
}

TEST(DBCurrencyEdit, ItalianInputIsReadAndShownFormatted)
{
    struct Row
    {
        const char *name;
        QString typed;
        qint64 cents;
        QString shown;
    };
    const Row rows[] = {
        {"thousands", QStringLiteral("1.234,50"), 123450, QStringLiteral("1.234,50")},
        {"plain", QStringLiteral("1234,5"), 123450, QStringLiteral("1.234,50")},
        {"integer", QStringLiteral("7"), 700, QStringLiteral("7,00")},
        {"negative", QStringLiteral("-3,25"), -325, QStringLiteral("-3,25")},
        {"millions", QStringLiteral("1000000"), 100000000, QStringLiteral("1.000.000,00")},
    };
    QWidget host;
    auto *amount = new TVeDBCurrencyEdit(&host);
    auto *other = new QLineEdit(&host);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        amount->clearValue();
        amount->setFocus();
        QTest::keyClicks(amount, r.typed);
        other->setFocus();
        EXPECT_EQ(amount->money().cents(), r.cents);
        EXPECT_EQ(amount->text(), r.shown);
        EXPECT_EQ(Money::fromVariant(amount->fieldValue()).cents(), r.cents);
    }
    // Letters are not accepted at all.
    amount->clearValue();
    amount->setFocus();
    QTest::keyClicks(amount, QStringLiteral("12x,5"));
    EXPECT_EQ(amount->text(), QStringLiteral("12,5"));
    // Cleared text stores null, not zero.
    amount->selectAll();
    QTest::keyClick(amount, Qt::Key_Delete);
    QTest::keyClick(amount, Qt::Key_Return);
    EXPECT_TRUE(amount->fieldValue().isNull());
}

TEST(DBDateEdit, BadDateIsRefusedAndKeepsTheFocus)
{
    RecordingMessageSink messages;
    QWidget host;
    auto *date = new TVeDBDateEdit(&host);
    auto *other = new QLineEdit(&host);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    date->setFocus();
    QTest::keyClicks(date, QStringLiteral("31/02/2024"));
    other->setFocus();
    QTest::qWait(20);
    ASSERT_EQ(messages.entries().size(), 1);
    EXPECT_EQ(messages.entries()[0].type, MsgType::Error);
    EXPECT_TRUE(date->hasFocus());
    EXPECT_TRUE(date->fieldValue().isNull());

    date->clear();
    QTest::keyClicks(date, QStringLiteral("1/3/2024"));
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(date->date(), QDate(2024, 3, 1));
    EXPECT_EQ(date->text(), QStringLiteral("01/03/2024"));

    // Empty is allowed and means no date.
    date->selectAll();
    QTest::keyClick(date, Qt::Key_Delete);
    EXPECT_TRUE(date->commitText());
    EXPECT_TRUE(date->fieldValue().isNull());
    EXPECT_EQ(messages.entries().size(), 1);
}

TEST(DBDateEdit, F8OpensTheCalendarAndEnterChooses)
{
    QWidget host;
    auto *date = new TVeDBDateEdit(&host);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    date->setDate(QDate(2024, 5, 10));
    int edits = 0;
    date->setChangeHandler([&](TVeDBControl *) { ++edits; });
    date->setFocus();
    QTest::keyClick(date, Qt::Key_F8);
    ASSERT_NE(date->calendar(), nullptr);
    ASSERT_TRUE(date->calendar()->isVisible());
    EXPECT_EQ(date->calendar()->selectedDate(), QDate(2024, 5, 10));
    QWidget *grid = date->calendar()->focusWidget() ? date->calendar()->focusWidget() : date->calendar();
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_FALSE(date->calendar()->isVisible());
    EXPECT_EQ(date->date(), QDate(2024, 5, 11));
    EXPECT_EQ(edits, 1);

    // Not editable: F8 does nothing.
    date->setModeEditable(false);
    QTest::keyClick(date, Qt::Key_F8);
    EXPECT_FALSE(date->calendar()->isVisible());
}

TEST(DBMemo, TabMovesOnAndLengthIsLimited)
{
    QWidget host;
    auto *memo = new TVeDBMemo(&host);
    auto *next = new QLineEdit(&host);
    memo->setMaxLength(5);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("abcdefgh"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("abcde"));
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
}
