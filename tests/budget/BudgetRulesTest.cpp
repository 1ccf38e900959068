#include "BudgetFixture.h"
#include "TVeGlobalValues.h"

#include <QDate>

using namespace ccp;
using namespace Qt::StringLiterals;
using namespace ccp::budget;

namespace {

QDate d(int y, int m, int day) { return QDate(y, m, day); }

TEST(BudgetCodes, ProposalsFollowTheNumbering)
{
    struct Row { const char *name; QString got; const char *expected; };
    const Row rows[] = {
        {"income aggregates 01 02 07", nextAggregateCode({u"01"_s, u"02"_s, u"07"_s}), "08"},
        {"first aggregate", nextAggregateCode({}), "01"},
        {"items A01 A05", nextItemCode(u"A"_s, {u"A01"_s, u"A05"_s}), "A06"},
        {"after A98", nextItemCode(u"A"_s, {u"A98"_s}), "A99"},
        {"after A99", nextItemCode(u"A"_s, {u"A01"_s, u"A99"_s}), "A100"},
        {"codes of other letters ignored", nextItemCode(u"A"_s, {u"P07"_s, u"A02"_s}), "A03"},
        {"first item of a letter", nextItemCode(u"P"_s, {}), "P01"},
        {"items of a numeric aggregate", nextItemCode(u"07"_s, {u"01"_s, u"02"_s, u"07"_s}), "08"},
        {"sub-items 001 002", nextSubItemCode({u"001"_s, u"002"_s}), "003"},
        {"first sub-item", nextSubItemCode({}), "001"},
        {"no sub-item code left", nextSubItemCode({u"999"_s}), ""},
    };
    for (const Row &r : rows)
        EXPECT_EQ(r.got, QString::fromLatin1(r.expected)) << r.name;
}

TEST(BudgetCodes, ItemCodeMustBeTheAggregateCodeAndDigits)
{
    struct Row { const char *agg; const char *code; bool fits; };
    const Row rows[] = {
        {"A", "A01", true}, {"A", "A100", true}, {"A", "A", false}, {"A", "P01", false},
        {"A", "A1X", false}, {"A", "XA01", false}, {"07", "01", true}, {"07", "0A", false},
        {"07", "", false}, {"", "01", false},
    };
    for (const Row &r : rows)
        EXPECT_EQ(itemCodeFits(QString::fromLatin1(r.agg), QString::fromLatin1(r.code)), r.fits) << r.agg << " " << r.code;
    // What is proposed always passes the check.
    for (const QString &agg : {QStringLiteral("A"), QStringLiteral("07")})
        EXPECT_TRUE(itemCodeFits(agg, nextItemCode(agg, {QStringLiteral("A99"), QStringLiteral("99")}))) << agg.toStdString();
}

using BudgetRules = budgettest::BudgetFixture;

TEST_F(BudgetRules, ProposalsReadTheInstituteAndSharedRowsValidInTheYear)
{
    EXPECT_EQ(store(1, 1).proposeAggregateCode().value(), QStringLiteral("08")) << "09 belongs to institute 20";
    EXPECT_EQ(store(1, 2).proposeAggregateCode().value(), QStringLiteral("100"));
    EXPECT_EQ(store().proposeItemCode(21, 0).value(), QStringLiteral("A06")) << "A98 closed, A07 of institute 20";
    EXPECT_EQ(store(1, 1).proposeItemCode(13, 0).value(), QStringLiteral("02"));
    EXPECT_EQ(store().proposeItemCode(21, 102).value(), QStringLiteral("A02")) << "the item itself does not count";
    EXPECT_EQ(store().proposeSubItemCode(101).value(), QStringLiteral("003")) << "007 belongs to institute 20";
}

TEST_F(BudgetRules, UseByModelsDirectAndThroughAmounts)
{
    struct Row { const char *name; UseKind kind; int id; bool used; bool frozen; int lastYear; };
    const Row rows[] = {
        {"item named by an open model", UseKind::Item, 102, true, false, 2026},
        {"item in an open model's amounts", UseKind::Item, 105, true, false, 2026},
        {"item of a frozen model", UseKind::Item, 106, true, true, 2027},
        {"item of no model", UseKind::Item, 104, false, false, 0},
        {"sub-item of an open model", UseKind::SubItem, 201, true, false, 2026},
        {"sub-item of a frozen model", UseKind::SubItem, 202, true, true, 2025},
        {"sub-item of no model", UseKind::SubItem, 203, false, false, 0},
        {"aggregate of an open model", UseKind::Aggregate, 13, true, false, 2026},
        {"aggregate of a frozen model", UseKind::Aggregate, 11, true, true, 2027},
        {"aggregate of no model", UseKind::Aggregate, 12, false, false, 0},
    };
    for (const Row &r : rows) {
        auto use = modelUse(t.db(), r.kind, r.id);
        ASSERT_TRUE(use) << qPrintable(use.error());
        EXPECT_EQ(use->used, r.used) << r.name;
        EXPECT_EQ(use->frozen, r.frozen) << r.name;
        EXPECT_EQ(use->lastYear, r.lastYear) << r.name;
    }
    exec(QStringLiteral("UPDATE TMPR_MODPROGETTI SET DDELETE = '2026-05-01' WHERE IMPRID = 301"));
    EXPECT_FALSE(modelUse(t.db(), UseKind::Item, 102)->used) << "a deleted model uses nothing";
}

// An expense item as the clerk leaves it before posting.
ItemValues expenseItem(int id, const char *code, QDate start, QDate end = {}, int cor = 3, int aggId = 21)
{
    ItemValues v;
    v.id = id;
    v.aggId = aggId;
    v.aggregateCode = aggId == 22 ? QStringLiteral("P") : aggId == 13 ? QStringLiteral("07") : QStringLiteral("A");
    v.code = QString::fromLatin1(code);
    v.start = start;
    v.end = end;
    v.competence = hasCompetence(cor);
    v.residues = hasResidues(cor);
    v.dwgId = 10;
    return v;
}

StoredItem stored(int aggId, const char *code, int cor, QDate start = QDate(2019, 1, 1))
{
    return {aggId, QString::fromLatin1(code), start, {}, cor};
}

TEST_F(BudgetRules, ItemPostStepsInOrderWithTheirMessageAndField)
{
    struct Row
    {
        const char *name;
        ItemValues item;
        std::optional<StoredItem> stored;
        QString message;    // empty: accepted
        Field field = Field::None;
        int questions = 0;  // questions about the models asked (answered Yes)
    };
    const QDate y0 = d(2026, 1, 1);
    ItemValues noAggregate = expenseItem(0, "A06", y0);
    noAggregate.aggId = 0;
    const Row rows[] = {
        {"start empty", expenseItem(0, "A06", {}), {}, AbcMessages::required(QStringLiteral("Data inizio")), Field::Start},
        {"start after the year", expenseItem(0, "A06", d(2027, 1, 1)), {}, AbcMessages::startAfterYear(d(2026, 12, 31)), Field::Start},
        {"new item before the year", expenseItem(0, "A06", d(2025, 12, 31)), {}, AbcMessages::startBeforeYear(y0), Field::Start},
        {"stored item may start before the year", expenseItem(104, "A07", d(2019, 1, 1)), stored(21, "A07", 3), {}, Field::None},
        {"used item start postponed", expenseItem(102, "A05", d(2019, 2, 1), {}, 1), stored(21, "A05", 1), AbcMessages::StartPostponed, Field::Start},
        {"end equal to start", expenseItem(0, "A06", d(2026, 3, 1), d(2026, 3, 1)), {}, {}, Field::None},
        {"end on the year's first day", expenseItem(0, "A06", y0, y0), {}, AbcMessages::endInYearStart(d(2026, 1, 2)), Field::End},
        {"used item closed in its models' last year", expenseItem(102, "A05", d(2019, 1, 1), d(2026, 12, 31), 1), stored(21, "A05", 1),
         AbcMessages::endBeforeModels(d(2027, 1, 1)), Field::End},
        {"used item closed after its models", expenseItem(102, "A05", d(2019, 1, 1), d(2027, 1, 1), 1), stored(21, "A05", 1), {}, Field::None, 1},
        {"end before start", expenseItem(0, "A06", d(2026, 5, 1), d(2026, 4, 30)), {}, AbcMessages::EndBeforeStart, Field::End},
        {"no account", expenseItem(0, "A06", y0, {}, 0), {}, AbcMessages::NoAccount, Field::Competence},
        {"used item residues to competence", expenseItem(105, "01", d(2019, 1, 1), {}, 1, 13), stored(13, "01", 2), AbcMessages::AccountSwap, Field::Competence},
        {"used item residues to both", expenseItem(105, "01", d(2019, 1, 1), {}, 3, 13), stored(13, "01", 2), {}, Field::None, 1},
        {"aggregate empty", noAggregate, {}, AbcMessages::required(QStringLiteral("Aggregato"), true), Field::Aggregate},
        {"code empty", expenseItem(0, "", y0), {}, AbcMessages::required(QStringLiteral("Codice")), Field::Code},
        {"code of another aggregate", expenseItem(0, "P06", y0), {}, AbcMessages::wrongCode(QStringLiteral("A")), Field::Code},
        {"frozen item's code changed", expenseItem(101, "A09", d(2019, 1, 1)), stored(21, "A01", 3), AbcMessages::Frozen, Field::Code},
        {"frozen item's description changed", expenseItem(101, "A01", d(2019, 1, 1)), stored(21, "A01", 3), {}, Field::None, 1},
        {"used item moved to another aggregate", expenseItem(102, "P05", d(2019, 1, 1), {}, 1, 22), stored(21, "A05", 1),
         AbcMessages::AggregateChange, Field::Aggregate, 1},
        {"overlapping shared code", expenseItem(0, "A01", y0), {}, AbcMessages::Overlap, Field::Code},
        {"code of another institute is free", expenseItem(0, "A07", y0), {}, {}, Field::None},
        {"code of an item closed before is free", expenseItem(0, "A98", y0), {}, {}, Field::None},
    };
    for (const Row &r : rows) {
        sink.clear();
        const Verdict v = store().checkItem(r.item, r.stored);
        EXPECT_EQ(v.has_value(), !r.message.isEmpty()) << r.name;
        if (v) {
            EXPECT_EQ(v->message, r.message) << r.name;
            EXPECT_EQ(v->field, r.field) << r.name;
        }
        EXPECT_EQ(int(sink.entries().size()), r.questions) << r.name;
    }
}

TEST_F(BudgetRules, AggregateAndSubItemPosts)
{
    struct Row
    {
        const char *name;
        std::function<Verdict()> check;
        QString message;
        int questions = 0;
    };
    auto agg = [this](int flow, int id, const char *code) {
        return [this, flow, id, code] { return store(flow, 1).checkAggregate({id, QString::fromLatin1(code)}); };
    };
    auto sub = [this](int id, const char *code, int cor, int storedCor) {
        return [this, id, code, cor, storedCor] {
            return store().checkSubItem({id, QString::fromLatin1(code), hasCompetence(cor), hasResidues(cor), storedCor});
        };
    };
    const Row rows[] = {
        {"aggregate code empty", agg(2, 0, " "), AbcMessages::required(QStringLiteral("Codice"))},
        {"expense code taken by a shared aggregate", agg(2, 0, "a"), AbcMessages::AggregateCodeTaken},
        {"income code taken", agg(1, 0, "07"), AbcMessages::AggregateCodeTaken},
        {"code of another institute", agg(1, 0, "09"), {}},
        {"new expense aggregate", agg(2, 0, "G"), {}},
        {"aggregate of a frozen model", agg(1, 11, "01"), AbcMessages::Frozen},
        {"aggregate of an open model", agg(1, 13, "07"), {}, 1},
        {"unused aggregate", agg(1, 12, "02"), {}},
        {"sub-item without account", sub(0, "003", 0, 3), AbcMessages::NoAccount},
        {"sub-item code empty", sub(0, "", 3, 3), AbcMessages::required(QStringLiteral("Codice"))},
        {"used sub-item competence to residues", sub(201, "001", 2, 1), AbcMessages::AccountSwap},
        {"used sub-item", sub(201, "001", 3, 3), {}, 1},
        {"sub-item of a frozen model", sub(202, "002", 1, 1), AbcMessages::Frozen},
        {"unused sub-item swaps freely", sub(203, "007", 2, 1), {}},
    };
    for (const Row &r : rows) {
        sink.clear();
        const Verdict v = r.check();
        EXPECT_EQ(v.has_value(), !r.message.isEmpty()) << r.name;
        if (v)
            EXPECT_EQ(v->message, r.message) << r.name;
        EXPECT_EQ(int(sink.entries().size()), r.questions) << r.name;
    }
}

TEST(BudgetYearBounds, PublishedBoundsOfAnotherYearAreNotUsed)
{
    auto &values = fw::TVeGlobalValuesManager::instance();
    values.clear();
    values.SetValues(AbcKeys::AnfValore, 2026);
    values.SetValues(AbcKeys::AnfInizio, QDate(2025, 9, 1));
    values.SetValues(AbcKeys::AnfFine, QDate(2025, 12, 31));
    EXPECT_EQ(BudgetYear::fromGlobalValues().start, QDate(2026, 1, 1));
    values.SetValues(AbcKeys::AnfInizio, QDate(2026, 2, 1));
    values.SetValues(AbcKeys::AnfFine, QDate(2026, 11, 30));
    const BudgetYear y = BudgetYear::fromGlobalValues();
    EXPECT_EQ(y.start, QDate(2026, 2, 1));
    EXPECT_EQ(y.end, QDate(2026, 11, 30));
    values.clear();
}

} // namespace
