// The movement store: statement lists, split rows, the note and the all-or-nothing post, on the
// demo school (account 1, postal; year 2026 full of movements, year 2025 empty).
#include "EbcMMvm.h"
#include "EbsFCauComp.h"
#include "EbsMDataSets.h"
#include "Money.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QMutex>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QThread>
#include <gtest/gtest.h>
#include <atomic>
#include <memory>

namespace ccp::movements {
namespace {

using fw::VeOperation;

class FakeOwner : public TEbcMvmOwner
{
public:
    int tab = 0;
    MvmPayer who;
    QString amount;
    std::optional<QString> note;
    int tabIndex() const override { return tab; }
    MvmPayer payer() const override { return who; }
    QString amountText() const override { return amount; }
    std::optional<QString> noteText() const override { return note; }
};

class MvmStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        auto &values = fw::TVeGlobalValuesManager::instance();
        values.clear();
        values.SetValues(QStringLiteral("EBCP_SprIstId"), QStringLiteral("1"));
        values.SetValues(QStringLiteral("EBCP_AnfId"), QStringLiteral("26"));
        store = std::make_unique<TdmEbcMvm>(t.db());
        store->setOwner(&owner);
        single = scalar(QStringLiteral(
                            "SELECT FIRST 1 c.iCauId FROM TCau_Causali c WHERE c.lCauTipo = 0 AND "
                            "(SELECT COUNT(*) FROM TCauCca x WHERE x.iCauId = c.iCauId) = 1 ORDER BY c.iCauId"))
                     .toInt();
        ASSERT_GT(single, 0);
        singleCca = scalar(QStringLiteral("SELECT iCcaId FROM TCauCca WHERE iCauId = %1").arg(single)).toInt();
        QSqlQuery q(t.db());
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT iCcaId FROM TCauCca WHERE iCauId = 21 ORDER BY iCcaId")));
        while (q.next())
            multiCca << q.value(0).toInt();
        ASSERT_EQ(multiCca.size(), 3);
    }
    void TearDown() override { fees::TfmEbsCauComp::release(); }

    QVariant scalar(const QString &sql) { return test::scalar(t.db(), sql); }
    int count(const QString &sql) { return scalar(sql).toInt(); }

    void openYear(int year, int tab = 0)
    {
        store->setListParams(1, tab, QDate(year, 1, 1), QDate(year, 12, 31));
        ASSERT_TRUE(store->xqcMvm->open().ok());
    }
    // Starts a movement of account 1 for beneficiary 1 on `date` with `causale` and amount.
    void startInsert(int causale, const QString &amount, const QDate &date = QDate(2026, 12, 21))
    {
        ASSERT_TRUE(store->xqcMvm->insert());
        auto *c = store->xqcMvm;
        c->setFieldValue(QStringLiteral("iCauId"), causale);
        c->setFieldValue(QStringLiteral("fMvmImporto"), Money::fromText(amount).toVariant());
        c->setFieldValue(QStringLiteral("fMvmDifferenza"), Money().toVariant());
        c->setFieldValue(QStringLiteral("dMvmDataMov"), date);
        c->setFieldValue(QStringLiteral("dMvmDataEc"), date);
        c->setFieldValue(QStringLiteral("iCbmId"), 4);
        owner.amount = amount;
        owner.who = {QVariant(), 1, QVariant(), QVariant()};
    }
    bool editLast(int causale, const QString &amount)
    {
        if (!store->xqcMvm->locate(store->lastMvmId()).ok() || !store->xqcMvm->edit())
            return false;
        store->xqcMvm->setFieldValue(QStringLiteral("iCauId"), causale);
        store->xqcMvm->setFieldValue(QStringLiteral("fMvmImporto"), Money::fromText(amount).toVariant());
        owner.amount = amount;
        return true;
    }
    void useSplit(const QList<MvmSplitRow> &rows)
    {
        store->splitSource = [rows](int) { return std::optional<QList<MvmSplitRow>>(rows); };
    }
    QStringList splitOf(int mvmId)
    {
        QStringList out;
        QSqlQuery q(t.db());
        q.setNumericalPrecisionPolicy(QSql::HighPrecision);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT iCcaId, fMvmCcaImporto FROM TMvmCca WHERE iMvmId = %1 "
                                          "ORDER BY iCcaId").arg(mvmId)));
        while (q.next())
            out << QStringLiteral("%1:%2").arg(q.value(0).toInt()).arg(Money::fromVariant(q.value(1)).toSql());
        return out;
    }
    struct Totals
    {
        int movements, splits, lastProgr;
        QString in, out, cassa;
        bool operator==(const Totals &) const = default;
    };
    Totals totals(int year = 2026)
    {
        QSqlQuery q(t.db());
        q.setNumericalPrecisionPolicy(QSql::HighPrecision);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT fCaiSaldoIn, fCaiSaldoOut, fCaiCassaAtt, iCaiUltProgr FROM "
                                          "TCai_CassaIst WHERE iSprIstId = 1 AND iCaiEsercizioFin = %1").arg(year)));
        EXPECT_TRUE(q.next());
        return {count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")),
                count(QStringLiteral("SELECT COUNT(*) FROM TMvmCca")), q.value(3).toInt(),
                Money::fromVariant(q.value(0)).toSql(), Money::fromVariant(q.value(1)).toSql(),
                Money::fromVariant(q.value(2)).toSql()};
    }

    test::TestDatabase t{true};
    fw::RecordingMessageSink messages;
    FakeOwner owner;
    std::unique_ptr<TdmEbcMvm> store;
    int single = 0;
    int singleCca = 0;
    QList<int> multiCca;
};

TEST_F(MvmStoreTest, ExpenseListHoldsOnlyTheAccountsExpensesOfThePeriodInProgressiveOrder)
{
    const QDate from(2026, 3, 1), to(2026, 6, 30);
    store->setListParams(1, 1, from, to);
    ASSERT_TRUE(store->xqcMvm->open().ok());
    ASSERT_TRUE(store->xqcMvm->fetchAll().ok());
    auto *c = store->xqcMvm;
    const int expected = count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND "
                                              "lMvmTipo = 1 AND dMvmDataMov BETWEEN '2026-03-01' AND '2026-06-30'"));
    ASSERT_GT(expected, 5);
    ASSERT_EQ(c->count(), expected);
    int previous = -1;
    for (int r = 0; r < c->count(); ++r) {
        EXPECT_EQ(c->value(r, QStringLiteral("lMvmTipo")).toInt(), 1);
        EXPECT_EQ(c->value(r, QStringLiteral("iSprIstId")).toInt(), 1);
        const QDate d = c->value(r, QStringLiteral("dMvmDataMov")).toDate();
        EXPECT_TRUE(d >= from && d <= to) << qPrintable(d.toString());
        const int progr = c->value(r, QStringLiteral("iMvmProgr")).toInt();
        EXPECT_GT(progr, previous);
        previous = progr;
        EXPECT_TRUE(c->value(r, QStringLiteral("note")).isNull());
    }
    // The sum of the split rows and the payer's name come with each row.
    const int id = c->value(0, QStringLiteral("iMvmId")).toInt();
    const Money split = Money::fromVariant(
        scalar(QStringLiteral("SELECT COALESCE(SUM(fMvmCcaImporto), 0) FROM TMvmCca WHERE iMvmId = %1").arg(id)));
    EXPECT_EQ(Money::fromVariant(c->value(0, QStringLiteral("fImporto_CCA"))), split);
}

TEST_F(MvmStoreTest, NewMovementOnASingleComponentCausaleWritesOneSplitRowWithTheTypedAmount)
{
    openYear(2026, 1);
    const Totals before = totals();
    owner.tab = 1;
    startInsert(single, QStringLiteral("1.234,50"));
    owner.who = {7, QVariant(), 11, QVariant()};
    ASSERT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());

    const int id = store->lastMvmId();
    ASSERT_GT(id, 0);
    EXPECT_EQ(splitOf(id), QStringList{QStringLiteral("%1:1234.50").arg(singleCca)});

    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT iSprIstId, lMvmTipo, iAnaId, iBenId, iSitId, iAnaPerId, iMvmProgr, "
                                      "iLocked FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_EQ(q.value(1).toInt(), 1);                    // the owner's tab, not the buffer's
    EXPECT_EQ(q.value(2).toInt(), 7);                    // payer from the owner
    EXPECT_TRUE(q.value(3).isNull());
    EXPECT_EQ(q.value(4).toInt(), 11);
    EXPECT_TRUE(q.value(5).isNull());
    EXPECT_EQ(q.value(6).toInt(), before.lastProgr + 1);  // numbered by the procedure
    EXPECT_EQ(q.value(7).toInt(), 0);
    const Totals after = totals();
    EXPECT_EQ(after.out, (Money::fromSqlText(before.out) + Money::fromText(QStringLiteral("1234,50"))).toSql());
    EXPECT_EQ(after.lastProgr, before.lastProgr + 1);
    // The list shows the new row.
    EXPECT_EQ(store->xqcMvm->currentKey().toInt(), id);
}

TEST_F(MvmStoreTest, EditingTwiceLeavesExactlyTheCurrentSplitRows)
{
    openYear(2026);
    useSplit({{multiCca[0], QStringLiteral("50.00")}, {multiCca[1], QStringLiteral("30.00")},
              {multiCca[2], QStringLiteral("20.00")}});
    startInsert(21, QStringLiteral("100,00"));
    ASSERT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());
    const int id = store->lastMvmId();
    const int splitsBefore = count(QStringLiteral("SELECT COUNT(*) FROM TMvmCca"));

    struct Step
    {
        const char *name;
        int causale;
        QString amount;
        QList<MvmSplitRow> split;
        QStringList expected;
    };
    const QList<Step> steps = {
        {"new split of the same causale", 21, QStringLiteral("90,00"),
         {{multiCca[0], QStringLiteral("45.5")}, {multiCca[1], QStringLiteral("44,5")}, {multiCca[2], QStringLiteral("0")}},
         {QStringLiteral("%1:45.50").arg(multiCca[0]), QStringLiteral("%1:44.50").arg(multiCca[1]),
          QStringLiteral("%1:0.00").arg(multiCca[2])}},
        {"again, two rows", 21, QStringLiteral("70,00"),
         {{multiCca[1], QStringLiteral("35.00")}, {multiCca[2], QStringLiteral("35.00")}},
         {QStringLiteral("%1:35.00").arg(multiCca[1]), QStringLiteral("%1:35.00").arg(multiCca[2])}},
        {"changed to a single-component causale", single, QStringLiteral("12,00"), {},
         {QStringLiteral("%1:12.00").arg(singleCca)}},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.name);
        useSplit(s.split);
        ASSERT_TRUE(editLast(s.causale, s.amount));
        ASSERT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());
        EXPECT_EQ(store->lastMvmId(), id);
        EXPECT_EQ(splitOf(id), s.expected);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TMvmCca")), splitsBefore - 3 + s.expected.size());
    }
    // The insert list kept its split statements only until the next insert.
    useSplit({{multiCca[0], QStringLiteral("10.00")}});
    startInsert(21, QStringLiteral("10,00"));
    ASSERT_TRUE(store->xqcMvm->post());
    EXPECT_EQ(splitOf(store->lastMvmId()), QStringList{QStringLiteral("%1:10.00").arg(multiCca[0])});
}

TEST_F(MvmStoreTest, DeleteRunsBothProceduresWithTheWorkingAccountAndYear)
{
    // Year 2025 of account 1 has no movement: the first one locks it, deleting it unlocks it.
    fw::TVeGlobalValuesManager::instance().SetValues(QStringLiteral("EBCP_AnfId"), QStringLiteral("25"));
    openYear(2025);
    auto lockOf2025 = [&] {
        return count(QStringLiteral("SELECT iLocked FROM TCai_CassaIst WHERE iSprIstId = 1 AND iCaiEsercizioFin = 2025"));
    };
    ASSERT_EQ(lockOf2025(), 0);
    startInsert(single, QStringLiteral("5,00"), QDate(2025, 3, 10));
    ASSERT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());
    EXPECT_EQ(lockOf2025(), 1);
    const int id = store->lastMvmId();
    EXPECT_EQ(count(QStringLiteral("SELECT iMvmProgr FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)), 1);

    ASSERT_EQ(store->xqcMvm->locate(id).value(), store->xqcMvm->currentIndex());
    messages.answer(fw::MsgResult::Yes);
    ASSERT_TRUE(store->xqcMvm->deleteCurrent()) << qPrintable(messages.lastText());
    EXPECT_EQ(lockOf2025(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TMvmCca WHERE iMvmId = %1").arg(id)), 0);
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral(
                  "SELECT fCaiSaldoIn FROM TCai_CassaIst WHERE iSprIstId = 1 AND iCaiEsercizioFin = 2025"))),
              Money());
}

TEST_F(MvmStoreTest, APostWhoseThirdSplitRowFailsLeavesNothing)
{
    openYear(2026);
    const Totals before = totals();
    const int lastBefore = store->lastMvmId();
    owner.note = QStringLiteral("non deve restare");
    useSplit({{multiCca[0], QStringLiteral("50.00")}, {multiCca[1], QStringLiteral("30.00")},
              {999999, QStringLiteral("20.00")}});
    startInsert(21, QStringLiteral("100,00"));
    EXPECT_FALSE(store->xqcMvm->post());
    EXPECT_TRUE(messages.lastText().startsWith(QStringLiteral("Impossibile salvare i dati."))) << qPrintable(messages.lastText());
    EXPECT_EQ(totals(), before);
    EXPECT_EQ(store->lastMvmId(), lastBefore);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE bMvmNote IS NOT NULL AND "
                                   "CAST(bMvmNote AS VARCHAR(100)) = 'non deve restare'")), 0);
    EXPECT_EQ(store->xqcMvm->mode(), fw::DataMode::Insert);  // the row stays for a correction

    // Corrected, the same row posts whole.
    useSplit({{multiCca[0], QStringLiteral("50.00")}, {multiCca[1], QStringLiteral("30.00")},
              {multiCca[2], QStringLiteral("20.00")}});
    ASSERT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());
    EXPECT_EQ(splitOf(store->lastMvmId()).size(), 3);
    EXPECT_EQ(totals().movements, before.movements + 1);

    // An edit that fails the same way keeps the movement and its old split rows.
    const int id = store->lastMvmId();
    const QStringList split = splitOf(id);
    useSplit({{multiCca[0], QStringLiteral("1.00")}, {multiCca[1], QStringLiteral("1.00")}, {999999, QStringLiteral("1.00")}});
    ASSERT_TRUE(editLast(21, QStringLiteral("3,00")));
    EXPECT_FALSE(store->xqcMvm->post());
    EXPECT_EQ(splitOf(id), split);
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral("SELECT fMvmImporto FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id))),
              Money::fromEuros(100));
}

TEST_F(MvmStoreTest, TheNoteIsWrittenWithTheMovementAndEmptiedWhenCleared)
{
    openYear(2026);
    owner.note = QStringLiteral("Versato allo sportello\r\nricevuta n. 12");
    startInsert(single, QStringLiteral("3,00"));
    ASSERT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());
    const int id = store->lastMvmId();
    auto note = [&] { return scalar(QStringLiteral("SELECT bMvmNote FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)); };
    EXPECT_EQ(note().toString(), *owner.note);

    owner.note = QString();
    ASSERT_TRUE(editLast(single, QStringLiteral("3,00")));
    ASSERT_TRUE(store->xqcMvm->post());
    EXPECT_TRUE(note().isNull());

    // Without a note from the owner the stored one is left alone.
    ASSERT_TRUE(store->xqcMvm->locate(id).ok());
    QSqlQuery(t.db()).exec(QStringLiteral("UPDATE TMvm_MovimentiCcp SET bMvmNote = 'resta' WHERE iMvmId = %1").arg(id));
    owner.note.reset();
    ASSERT_TRUE(editLast(single, QStringLiteral("4,00")));
    ASSERT_TRUE(store->xqcMvm->post());
    EXPECT_EQ(note().toString(), QStringLiteral("resta"));
}

// Whatever the split's source, a movement whose rows do not add up to its amount is refused
// with the sums named, and nothing of the post stays.
TEST_F(MvmStoreTest, SplitThatDoesNotAddUpIsRefusedAndLeavesNothing)
{
    openYear(2026);
    useSplit({{multiCca[0], QStringLiteral("50.00")}, {multiCca[1], QStringLiteral("30.00")}});
    startInsert(21, QStringLiteral("80,00"));
    ASSERT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());
    const int id = store->lastMvmId();
    const QStringList stored = splitOf(id);
    const Totals before = totals();

    struct Row
    {
        const char *name;
        bool edit;
        int causale;
        QString amount;
        std::optional<QList<MvmSplitRow>> split;
        QString sums;
    };
    const Row rows[] = {
        {"new, split short of the amount", false, 21, QStringLiteral("100,00"),
         QList<MvmSplitRow>{{multiCca[0], QStringLiteral("50.00")}, {multiCca[1], QStringLiteral("20.00")}},
         QStringLiteral("(70,00) non corrisponde all'importo del movimento (100,00)")},
        {"new, no split at all", false, 21, QStringLiteral("10,00"), std::nullopt,
         QStringLiteral("(0,00) non corrisponde all'importo del movimento (10,00)")},
        {"edit of the amount, old split", true, 21, QStringLiteral("90,00"),
         QList<MvmSplitRow>{{multiCca[0], QStringLiteral("50.00")}, {multiCca[1], QStringLiteral("30.00")}},
         QStringLiteral("(80,00) non corrisponde all'importo del movimento (90,00)")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        owner.note = QStringLiteral("non deve restare");
        store->splitSource = [&r](int) { return r.split; };
        if (r.edit)
            ASSERT_TRUE(editLast(r.causale, r.amount));
        else
            startInsert(r.causale, r.amount);
        messages.clear();
        EXPECT_FALSE(store->xqcMvm->post());
        EXPECT_TRUE(messages.lastText().contains(r.sums)) << qPrintable(messages.lastText());
        EXPECT_TRUE(messages.lastText().startsWith(QStringLiteral("Impossibile salvare i dati.\r\nLa somma delle componenti")));
        EXPECT_EQ(totals(), before);
        EXPECT_EQ(splitOf(id), stored);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE bMvmNote IS NOT NULL")), 0);
        store->xqcMvm->cancel();
    }
}

// A closed account, and an account-year whose movements the initialisation of the next year
// locked, take no new movement and let none be changed or removed.
TEST_F(MvmStoreTest, ClosedAccountOrLockedYearRefusesEveryPost)
{
    openYear(2026);
    startInsert(single, QStringLiteral("5,00"));
    ASSERT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());
    const int id = store->lastMvmId();

    struct Row
    {
        const char *name;
        const char *prepare;
        const char *undo;
        QString message;
    };
    const Row rows[] = {
        {"closed account", "UPDATE TSprIst SET dEnd = '2026-12-31' WHERE iSprIstId = 1",
         "UPDATE TSprIst SET dEnd = NULL WHERE iSprIstId = 1",
         QStringLiteral("Il conto è chiuso dal 31/12/2026: i suoi movimenti non si possono più registrare né modificare.")},
        {"year locked by the next one", "UPDATE TMvm_MovimentiCcp SET iLocked = 1 WHERE iSprIstId = 1 AND iMvmProgr = 1 "
         "AND dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31'",
         "UPDATE TMvm_MovimentiCcp SET iLocked = 0 WHERE iSprIstId = 1",
         QStringLiteral("I movimenti dell'anno finanziario 2026 del conto sono stati bloccati dall'inizio dell'anno "
                        "successivo: non si possono più registrare né modificare.")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        QSqlQuery(t.db()).exec(QString::fromUtf8(r.prepare));
        const Totals before = totals();
        startInsert(single, QStringLiteral("7,00"));
        messages.clear();
        EXPECT_FALSE(store->xqcMvm->post());
        EXPECT_EQ(messages.lastText(), QStringLiteral("Impossibile salvare i dati.\r\n") + r.message);
        store->xqcMvm->cancel();
        ASSERT_TRUE(editLast(single, QStringLiteral("6,00")));
        EXPECT_FALSE(store->xqcMvm->post());
        store->xqcMvm->cancel();
        ASSERT_TRUE(store->xqcMvm->locate(id).ok());
        messages.answer(fw::MsgResult::Yes);
        EXPECT_FALSE(store->xqcMvm->deleteCurrent());
        EXPECT_EQ(messages.lastText(), QStringLiteral("Impossibile cancellare il record.\r\n") + r.message);
        EXPECT_EQ(totals(), before);
        QSqlQuery(t.db()).exec(QString::fromUtf8(r.undo));
    }
    // Open again, the same edit goes through.
    ASSERT_TRUE(editLast(single, QStringLiteral("6,00")));
    EXPECT_TRUE(store->xqcMvm->post()) << qPrintable(messages.lastText());
}

TEST_F(MvmStoreTest, EveryPostRefreshesTheOpenFeesListsOnly)
{
    openYear(2026);
    fees::TdmEbsDataSets sets(t.db());
    sets.xqcCompCaus->setSelectText(QStringLiteral("SELECT iCcaId, sCcaLDesc FROM TCca_CompCausali"));
    ASSERT_TRUE(sets.xqcCompCaus->open().ok());
    QSignalSpy components(sets.xqcCompCaus, &fw::TVeQueryCollection::reset);
    QSignalSpy causali(sets.xqcCaus, &fw::TVeQueryCollection::reset);
    QSignalSpy posted(store.get(), &TdmEbcMvm::movementPosted);

    startInsert(single, QStringLiteral("2,00"));
    ASSERT_TRUE(store->xqcMvm->post());
    EXPECT_EQ(components.count(), 1);
    ASSERT_TRUE(editLast(single, QStringLiteral("3,00")));
    ASSERT_TRUE(store->xqcMvm->post());
    EXPECT_EQ(components.count(), 2);
    messages.answer(fw::MsgResult::Yes);
    ASSERT_TRUE(store->xqcMvm->deleteCurrent());
    EXPECT_EQ(components.count(), 3);
    EXPECT_EQ(causali.count(), 0);            // never opened: left closed
    EXPECT_FALSE(sets.xqcCaus->isOpen());
    ASSERT_EQ(posted.count(), 3);

    // A refused post refreshes nothing.
    useSplit({{999999, QStringLiteral("1.00")}});
    startInsert(21, QStringLiteral("1,00"));
    EXPECT_FALSE(store->xqcMvm->post());
    EXPECT_EQ(components.count(), 3);
    EXPECT_EQ(posted.count(), 3);
}

TEST(MvmStoreAmounts, AmountTextsGoIntoStatementsWithADecimalPoint)
{
    struct Row
    {
        const char *name;
        QString edit;
        QString expected;
    };
    const Row edits[] = {
        {"comma", QStringLiteral("12,50"), QStringLiteral("12.50")},
        {"thousands", QStringLiteral("1.234,50"), QStringLiteral("1234.50")},
        {"whole", QStringLiteral("-3"), QStringLiteral("-3.00")},
        {"unreadable", QStringLiteral("dieci"), QStringLiteral("0.00")},
        {"four decimals", QStringLiteral("0,1234"), QStringLiteral("0.1234")},
        {"injection", QStringLiteral("1); DELETE FROM TMvmCca; --"), QStringLiteral("0.00")},
    };
    for (const Row &r : edits)
        EXPECT_EQ(TdmEbcMvm::sqlAmountFromEdit(r.edit), r.expected) << r.name;
    const Row splits[] = {
        {"point", QStringLiteral("12.50"), QStringLiteral("12.50")},
        {"comma", QStringLiteral("12,5"), QStringLiteral("12.50")},
        {"negative", QStringLiteral("-20.00"), QStringLiteral("-20.00")},
        {"empty", QString(), QStringLiteral("0.00")},
        {"injection", QStringLiteral("1), (2"), QStringLiteral("0.00")},
    };
    for (const Row &r : splits)
        EXPECT_EQ(TdmEbcMvm::sqlAmountFromSplit(r.edit), r.expected) << r.name;
}

// ---- two workstations at once -----------------------------------------------------------------

// Messages of worker threads, kept under a lock.
class LockedSink : public fw::MessageSink
{
public:
    LockedSink() { m_previous = fw::setMessageSink(this); }
    ~LockedSink() override { fw::setMessageSink(m_previous); }
    fw::MsgResult show(const QString &text, fw::MsgType, fw::MsgButtons) override
    {
        QMutexLocker lock(&m_mutex);
        m_texts << text;
        return fw::MsgResult::Ok;
    }
    QStringList texts()
    {
        QMutexLocker lock(&m_mutex);
        return m_texts;
    }

private:
    QMutex m_mutex;
    QStringList m_texts;
    fw::MessageSink *m_previous = nullptr;
};

TEST_F(MvmStoreTest, TwoWorkstationsPostingAtOnceStoreEveryMovementOnceWithGapFreeProgressives)
{
    const int perStation = qEnvironmentVariableIntValue("CCP_MVM_STRESS") > 0
                               ? qEnvironmentVariableIntValue("CCP_MVM_STRESS") : 500;
    LockedSink sink;
    const Totals before = totals();
    const int maxBefore = count(QStringLiteral("SELECT MAX(iMvmProgr) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 "
                                               "AND dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31'"));
    std::atomic<int> failures{0};
    auto station = [&](int number) {
        QSqlDatabase db = t.openAnother(QStringLiteral("station%1").arg(number));
        if (!db.isOpen()) {
            ++failures;
            return;
        }
        {
            FakeOwner own;
            TdmEbcMvm dm(db);
            dm.setOwner(&own);
            const QList<MvmSplitRow> split{{multiCca[0], QStringLiteral("1.00")}, {multiCca[1], QStringLiteral("0.50")},
                                           {multiCca[2], QStringLiteral("0.25")}};
            dm.splitSource = [split](int) { return std::optional<QList<MvmSplitRow>>(split); };
            dm.setListParams(1, number, QDate(2026, 1, 1), QDate(2026, 12, 31));
            if (!dm.xqcMvm->open().ok()) {
                ++failures;
                return;
            }
            own.tab = number;
            own.who = {QVariant(), 1, QVariant(), QVariant()};
            own.amount = QStringLiteral("1,75");
            for (int i = 0; i < perStation; ++i) {
                auto *c = dm.xqcMvm;
                if (!c->insert()) {
                    ++failures;
                    continue;
                }
                c->setFieldValue(QStringLiteral("iCauId"), 21);
                c->setFieldValue(QStringLiteral("fMvmImporto"), Money::fromText(own.amount).toVariant());
                c->setFieldValue(QStringLiteral("dMvmDataMov"), QDate(2026, 12, 22));
                c->setFieldValue(QStringLiteral("dMvmDataEc"), QDate(2026, 12, 22));
                c->setFieldValue(QStringLiteral("iCbmId"), 4);
                if (!c->post()) {
                    ++failures;
                    c->cancel();
                }
            }
        }
        const QString name = db.connectionName();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    };
    std::unique_ptr<QThread> a(QThread::create(station, 0));
    std::unique_ptr<QThread> b(QThread::create(station, 1));
    a->start();
    b->start();
    a->wait();
    b->wait();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_TRUE(sink.texts().isEmpty()) << qPrintable(sink.texts().value(0));
    const Totals after = totals();
    EXPECT_EQ(after.movements, before.movements + 2 * perStation);
    EXPECT_EQ(after.splits, before.splits + 6 * perStation);
    // Progressives of the year: unique and without gaps.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(DISTINCT iMvmProgr) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND "
                                   "dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31'")),
              count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND "
                                   "dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31'")));
    EXPECT_EQ(count(QStringLiteral("SELECT MAX(iMvmProgr) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND "
                                   "dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31'")),
              maxBefore + 2 * perStation);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND iMvmProgr >= %1")
                        .arg(maxBefore + 1)),
              2 * perStation);
    EXPECT_EQ(after.lastProgr, maxBefore + 2 * perStation);
    // Totals equal the sums of the movements.
    const Money in = Money::fromVariant(scalar(QStringLiteral(
        "SELECT SUM(fMvmImporto) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND lMvmTipo = 0 AND "
        "dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31'")));
    const Money out = Money::fromVariant(scalar(QStringLiteral(
        "SELECT SUM(fMvmImporto) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND lMvmTipo = 1 AND "
        "dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31'")));
    EXPECT_EQ(after.in, in.toSql());
    EXPECT_EQ(after.out, out.toSql());
    EXPECT_EQ(Money::fromSqlText(after.in) - Money::fromSqlText(before.in), Money::fromUnits(17500LL * perStation));
}

} // namespace
} // namespace ccp::movements
