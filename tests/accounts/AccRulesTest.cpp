#include "AccFixture.h"
#include "EbcMCcp.h"
#include "EbcUCcp.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"

namespace ccp::acctest {

using namespace ccp::accounts;

TEST(AccountNumber, PaddedToTheLengthOfTheBank)
{
    struct Row
    {
        const char *name;
        const char *number;
        QVariant category;
        const char *padded;
    } rows[] = {
        {"postal", "1234", 7, "00001234"},
        {"bank", "1234", 1, "000000001234"},
        {"no category", "1234", QVariant(), "000000001234"},
        {"postal too long stays", "1234567890", 7, "1234567890"},
        {"full bank number stays", "ABC123456789", 1, "ABC123456789"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(padAccountNumber(QString::fromLatin1(r.number), r.category), QString::fromLatin1(r.padded)) << r.name;
}

TEST_F(AccFixture, AccountTypeFollowsBankCategoryAndBankOne)
{
    exec(QStringLiteral("INSERT INTO TBan_Banche (iBanId, sBanAbi, sBanDescS, iCbaId, dStart) VALUES (9901, '09901', "
                        "'Senza categoria', NULL, '2000-01-01')"));
    exec(QStringLiteral("INSERT INTO TSpr_SportelliCab (iSprId, iBanId, sSprCab, sSprDescS, dStart) VALUES "
                        "(9901, 9901, '11111', 'Filiale', '2000-01-01')"));
    exec(QStringLiteral("INSERT INTO TSpr_SportelliCab (iSprId, iBanId, sSprCab, sSprDescS, dStart) VALUES "
                        "(9902, 1, '22222', 'Filiale', '2000-01-01')"));
    const int bankOneBranch = 9902;
    const int cash = scalar(QStringLiteral("SELECT MIN(iSprId) FROM TSpr_SportelliCab WHERE iBanId = 3")).toInt();
    const QMap<int, QString> expected = {{account, QStringLiteral("Postale")},
                                         {addAccount(bankOneBranch), QStringLiteral("Bancario")},
                                         {addAccount(cash), QStringLiteral("Cassa")},
                                         {addAccount(9901), QString()}};
    TdmEbcCcp dm(t.db());
    dm.xqcSprIst->setParam(QStringLiteral("iDwgId"), 3);
    ASSERT_TRUE(dm.xqcSprIst->open().ok());
    ASSERT_TRUE(dm.xqcSprIst->fetchAll().ok());
    int seen = 0;
    for (int row = 0; row < dm.xqcSprIst->count(); ++row) {
        const int id = dm.xqcSprIst->keyOf(row).toInt();
        if (!expected.contains(id))
            continue;
        ++seen;
        EXPECT_EQ(dm.xqcSprIst->value(row, QStringLiteral("sTipoConto")).toString().trimmed(), expected.value(id)) << id;
    }
    EXPECT_EQ(seen, expected.size());
}

// ---- year dates ---------------------------------------------------------------------------------

struct DateCase
{
    const char *name;
    bool newYear;
    QDate start, end;
    QList<fw::MsgResult> answers;
    bool accepted;
    bool endPrevious;
    QStringList texts;  // messages shown, in order (start of each text)
};

class YearDatesTest : public AccFixture
{
protected:
    void run(const DateCase &c, const YearNeighbours &around, bool movementAfter = false)
    {
        messages.clear();
        for (fw::MsgResult a : c.answers)
            messages.answer(a);
        const DateCheck r = checkYearDates(c.start, c.end, 2010, around, c.newYear,
                                           [movementAfter](const QDate &) { return Result<bool>(movementAfter); });
        EXPECT_EQ(r.accepted, c.accepted) << c.name;
        EXPECT_EQ(r.endPrevious, c.endPrevious) << c.name;
        QStringList shown;
        for (const auto &e : messages.entries())
            shown << e.text;
        ASSERT_EQ(shown.size(), c.texts.size()) << c.name << ": " << qPrintable(shown.join(QStringLiteral(" | ")));
        for (int i = 0; i < shown.size(); ++i)
            EXPECT_TRUE(shown[i].startsWith(c.texts[i])) << c.name << ": " << qPrintable(shown[i]);
    }
};

TEST_F(YearDatesTest, NeighboursAndQuestions)
{
    addYear(account, 2009);
    auto around = readNeighbours(t.db(), account, 2010);
    ASSERT_TRUE(around.ok());
    EXPECT_EQ(around->previous.year, 2009);
    EXPECT_EQ(around->previous.last, d(2009, 12, 31));
    EXPECT_FALSE(around->next.exists());
    using M = fw::MsgResult;
    const QString gap = CcpMessages::GapQuestion.arg(QStringLiteral("01/01/2010"), QStringLiteral("31/08/2010"));
    const DateCase cases[] = {
        {"update moved to September, two confirmations", false, d(2010, 9, 1), d(2011, 8, 31), {M::Yes, M::Yes}, true,
         false, {gap, CcpMessages::GapConfirm}},
        {"update gap declined at the second question", false, d(2010, 9, 1), d(2011, 8, 31), {M::Yes, M::No}, false, false,
         {gap, CcpMessages::GapConfirm}},
        {"update overlap refused without offer", false, d(2009, 12, 31), d(2010, 12, 31), {}, false, false,
         {CcpMessages::StartOverlap}},
        {"new calendar year after 2009: no question", true, d(2010, 1, 1), d(2010, 12, 31), {}, true, false, {}},
        {"new year from February: gap named", true, d(2010, 2, 1), d(2010, 12, 31), {M::Yes, M::Yes}, true, false,
         {CcpMessages::GapQuestion.arg(QStringLiteral("01/01/2010"), QStringLiteral("31/01/2010")), CcpMessages::GapConfirm}},
        {"new year overlapping: offer accepted", true, d(2009, 9, 1), d(2010, 8, 31), {M::Yes}, true, true,
         {CcpMessages::StartOverlapOffer.arg(2009).arg(QStringLiteral("31/08/2009"))}},
        {"new year overlapping: offer declined", true, d(2009, 9, 1), d(2010, 8, 31), {M::No}, false, false,
         {CcpMessages::StartOverlapOffer.arg(2009).arg(QStringLiteral("31/08/2009"))}},
        {"start after the year", true, d(2011, 1, 1), d(2011, 12, 31), {}, false, false, {CcpMessages::StartAfterYear}},
        {"end before the year", true, d(2009, 1, 1), d(2009, 12, 31), {}, false, false, {CcpMessages::EndBeforeYear}},
        {"end not after start", true, d(2010, 5, 1), d(2010, 5, 1), {}, false, false, {CcpMessages::EndNotAfterStart}},
    };
    for (const DateCase &c : cases)
        run(c, *around);
}

TEST_F(YearDatesTest, OverlapRefusedWithMovementsAfterTheNewPreviousEnd)
{
    addYear(account, 2009);
    auto around = readNeighbours(t.db(), account, 2010);
    ASSERT_TRUE(around.ok());
    const DateCase c{"movement on 15/09/2009", true, d(2009, 9, 1), d(2010, 8, 31), {fw::MsgResult::Yes}, false, false,
                     {CcpMessages::StartOverlapOffer.arg(2009).arg(QStringLiteral("31/08/2009")),
                      CcpMessages::MovementsAfter.arg(QStringLiteral("31/08/2009")).arg(2009)}};
    run(c, *around, true);
    // What the wizard asks the database: the account's days that would change year.
    const int other = addAccount();
    addYear(other, 2009);
    addMovement(other, d(2009, 9, 15), 0, {{1, eur("1")}});
    EXPECT_FALSE(movementsAfter(t.db(), account, d(2009, 8, 31), d(2009, 12, 31)).value());
    addMovement(account, d(2009, 9, 15), 0, {{1, eur("1")}});
    EXPECT_TRUE(movementsAfter(t.db(), account, d(2009, 8, 31), d(2009, 12, 31)).value());
    EXPECT_FALSE(movementsAfter(t.db(), account, d(2009, 9, 15), d(2009, 12, 31)).value());
}

TEST_F(YearDatesTest, NextYearBoundsTheEnd)
{
    addYear(account, 2011, d(2011, 2, 1), d(2011, 12, 31));
    auto around = readNeighbours(t.db(), account, 2010);
    ASSERT_TRUE(around.ok());
    using M = fw::MsgResult;
    const DateCase cases[] = {
        {"end inside the next year", true, d(2010, 1, 1), d(2011, 2, 1), {}, false, false,
         {CcpMessages::EndOverlap.arg(QStringLiteral("31/01/2011"))}},
        {"gap before the next year", true, d(2010, 1, 1), d(2010, 12, 31), {M::Yes, M::Yes}, true, false,
         {CcpMessages::GapQuestion.arg(QStringLiteral("01/01/2011"), QStringLiteral("31/01/2011")), CcpMessages::GapConfirm}},
        {"up to the day before", true, d(2010, 1, 1), d(2011, 1, 31), {}, true, false, {}},
    };
    for (const DateCase &c : cases)
        run(c, *around);
}

// ---- creation and correction -----------------------------------------------------------------

TEST_F(AccFixture, FailedCreationLeavesNothingBehind)
{
    addYear(account, 2009);
    const int other = addAccount();
    addYear(other, 2010);
    addMovement(other, d(2010, 3, 1), 0, {{1, eur("1")}});
    struct Row
    {
        const char *name;
        int sprIstId;
        int typeCount;
        bool refuseEndChange;
    } rows[] = {
        {"the procedure refuses a year with movements", other, 4, false},
        {"the previous end is refused after the procedure ran", account, 4, true},
        {"three top-level types", account, 3, false},
    };
    exec(QStringLiteral("CREATE EXCEPTION E_TEST_REFUSE 'rifiutato dal test'"));
    for (const Row &r : rows) {
        if (r.refuseEndChange)
            exec(QStringLiteral("CREATE OR ALTER TRIGGER TTest_Refuse FOR TCai_CassaIst ACTIVE BEFORE UPDATE AS BEGIN "
                                "IF (NEW.dCaiFineAnno IS DISTINCT FROM OLD.dCaiFineAnno) THEN EXCEPTION E_TEST_REFUSE; END"));
        const int rowsBefore = scalar(QStringLiteral("SELECT COUNT(*) FROM TCai_CassaIst")).toInt();
        NewYear y{2010, r.sprIstId, {eur("0"), {eur("0"), eur("0"), eur("0"), eur("0")}, eur("0"), false},
                  d(2009, 9, 1), d(2010, 8, 31), 2009, d(2009, 8, 31)};
        EXPECT_FALSE(createYear(t.db(), y, r.typeCount).ok()) << r.name;
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TCai_CassaIst")).toInt(), rowsBefore) << r.name;
        EXPECT_TRUE(scalar(QStringLiteral("SELECT dCaiFineAnno FROM TCai_CassaIst WHERE iSprIstId = %1 AND "
                                          "iCaiEsercizioFin = 2009").arg(account)).isNull())
            << r.name;
        EXPECT_EQ(scalar(QStringLiteral("SELECT dCaiInizioAnno FROM TCai_CassaIst WHERE iSprIstId = %1 AND "
                                        "iCaiEsercizioFin = 2010").arg(other)).toDate(), QDate())
            << r.name;
    }
}

TEST_F(AccFixture, CorrectionRewritesTypesAndOpeningBalance)
{
    const int caiId = addYear(account, 2010, {}, {}, {eur("1"), eur("2"), eur("3"), eur("4")});
    addMovement(account, d(2010, 5, 1), 0, {{1, eur("100")}});
    auto types = readTopTypes(t.db(), 26);
    ASSERT_TRUE(types.ok());
    ASSERT_EQ(types->size(), 4);
    const Opening o{eur("0"), {eur("100"), eur("50"), eur("0"), eur("25.50")}, eur("-3"), true};
    const Status s = modifyYear(t.db(), caiId, *types, o);
    ASSERT_TRUE(s.ok()) << qPrintable(s.error());
    auto back = readOpening(t.db(), account, 2010, *types, true);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->types, o.types);
    EXPECT_EQ(back->balance, eur("175.50"));
    EXPECT_EQ(back->differences, eur("-3"));
    // The current balance still follows the movements.
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral("SELECT fCaiCassaAtt FROM TCai_CassaIst WHERE iCaiId = %1").arg(caiId))),
              eur("275.50"));
}

} // namespace ccp::acctest
