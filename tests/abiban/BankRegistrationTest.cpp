#include "AbiUIBAN.h"
#include "Ids.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::abiban;

namespace {

int count(QSqlDatabase db, const char *table)
{
    return test::scalar(db, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)).toInt();
}

void exec(QSqlDatabase db, const QString &sql)
{
    SqlQuery q(db);
    ASSERT_TRUE(q.exec(sql).ok()) << qPrintable(q.lastError());
}

int addDeletedBank(QSqlDatabase db, const QString &abi)
{
    const int id = Ids::next(db, QStringLiteral("TBAN_BANCHE")).value();
    exec(db, QStringLiteral("INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, DDELETE) "
                            "VALUES (%1, '%2', 'Vecchia banca', DATE '2020-01-01')")
                 .arg(id)
                 .arg(abi));
    return id;
}

const QString Published = QStringLiteral("IT60X0542811101000000123456"); // 05428 / 11101
const QString SameBankOtherBranch = QStringLiteral("IT93S0123405678000001000000"); // 01234 / 05678

class BankRegistry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        // The codes used here must be unknown to the reference data.
        EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
                                           "SELECT COUNT(*) FROM TBAN_BANCHE WHERE SBANABI IN "
                                           "('01234', '05428', '09876', '01111', '02222')"))
                      .toInt(),
                  0);
    }
    test::TestDatabase t;
};

} // namespace

TEST_F(BankRegistry, DeletedBankAndBranchAreFoundNotAddedAgain)
{
    const int bankId = addDeletedBank(t.db(), QStringLiteral("09876"));
    const int branchId = Ids::next(t.db(), QStringLiteral("TSPR_SPORTELLICAB")).value();
    exec(t.db(), QStringLiteral("INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, SSPRCAB, DDELETE) "
                                "VALUES (%1, %2, '09605', DATE '2020-01-01')")
                     .arg(branchId)
                     .arg(bankId));
    const int banks = count(t.db(), "TBAN_BANCHE");
    const int branches = count(t.db(), "TSPR_SPORTELLICAB");

    bool added = true;
    EXPECT_EQ(FindOrAddBank(t.db(), QStringLiteral("09876"), added).value(), bankId);
    EXPECT_FALSE(added);
    added = true;
    EXPECT_EQ(FindOrAddBranch(t.db(), QStringLiteral("09605"), bankId, added).value(), branchId);
    EXPECT_FALSE(added);
    EXPECT_EQ(count(t.db(), "TBAN_BANCHE"), banks);
    EXPECT_EQ(count(t.db(), "TSPR_SPORTELLICAB"), branches);
}

TEST_F(BankRegistry, SameCabOfAnotherBankIsAnotherBranch)
{
    bool added = false;
    const int bankA = FindOrAddBank(t.db(), QStringLiteral("01111"), added).value();
    const int bankB = FindOrAddBank(t.db(), QStringLiteral("02222"), added).value();
    const auto branchA = FindOrAddBranch(t.db(), QStringLiteral("05678"), bankA, added);
    ASSERT_TRUE(branchA.ok()) << qPrintable(branchA.error());
    EXPECT_TRUE(added);
    const auto branchB = FindOrAddBranch(t.db(), QStringLiteral("05678"), bankB, added);
    ASSERT_TRUE(branchB.ok());
    EXPECT_TRUE(added);
    EXPECT_NE(*branchA, *branchB);
}

TEST_F(BankRegistry, NewBankAndBranchAreAddedAndAnnounced)
{
    const int banks = count(t.db(), "TBAN_BANCHE");
    const int branches = count(t.db(), "TSPR_SPORTELLICAB");
    const auto r = CheckIBANAndRegisterBank(t.db(), Published);
    ASSERT_TRUE(r.ok()) << qPrintable(r.error());
    EXPECT_TRUE(r->valid);
    EXPECT_TRUE(r->bankAdded);
    EXPECT_TRUE(r->branchAdded);
    EXPECT_EQ(r->message,
              QStringLiteral("Attenzione!!!\r\n"
                             "E' stata aggiunta una nuova Banca con l'ABI: 05428.\r\n"
                             "Controllare i dati della Banca nella sezzione \"BANCHE\".\r\n"
                             "E' stato aggiunto un nuova Sportello con il CAB: 11101, per la banca ABI: 05428.\r\n"
                             "Controllare i dati dello Sportello nella sezzione \"BANCHE\"."));
    EXPECT_EQ(count(t.db(), "TBAN_BANCHE"), banks + 1);
    EXPECT_EQ(count(t.db(), "TSPR_SPORTELLICAB"), branches + 1);
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT IBANID FROM TSPR_SPORTELLICAB WHERE ISPRID = %1")
                                       .arg(r->branchId)).toInt(),
              r->bankId);
    // The calculator still holds the parts of the typed IBAN for the caller.
    EXPECT_EQ(IBANCalculator().DomesticBBAN()->Account(), QStringLiteral("000000123456"));
    EXPECT_EQ(IBANCalculator().CheckDigits(), QStringLiteral("60"));

    const auto again = CheckIBANAndRegisterBank(t.db(), Published);
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(again->valid);
    EXPECT_FALSE(again->bankAdded || again->branchAdded);
    EXPECT_TRUE(again->message.isEmpty());
    EXPECT_EQ(again->bankId, r->bankId);
    EXPECT_EQ(again->branchId, r->branchId);
    EXPECT_EQ(count(t.db(), "TSPR_SPORTELLICAB"), branches + 1);
}

TEST_F(BankRegistry, NewBranchOfAKnownBankAddsOneRowAndOnlyTheBranchSentence)
{
    bool added = false;
    const int bankId = FindOrAddBank(t.db(), QStringLiteral("01234"), added).value();
    const int banks = count(t.db(), "TBAN_BANCHE");
    const int branches = count(t.db(), "TSPR_SPORTELLICAB");

    const auto r = CheckIBANAndRegisterBank(t.db(), SameBankOtherBranch);
    ASSERT_TRUE(r.ok()) << qPrintable(r.error());
    EXPECT_TRUE(r->valid);
    EXPECT_EQ(r->bankId, bankId);
    EXPECT_FALSE(r->bankAdded);
    EXPECT_TRUE(r->branchAdded);
    EXPECT_EQ(r->message,
              QStringLiteral("Attenzione!!!\r\n"
                             "E' stato aggiunto un nuova Sportello con il CAB: 05678, per la banca ABI: 01234.\r\n"
                             "Controllare i dati dello Sportello nella sezzione \"BANCHE\"."));
    EXPECT_EQ(count(t.db(), "TBAN_BANCHE"), banks);
    EXPECT_EQ(count(t.db(), "TSPR_SPORTELLICAB"), branches + 1);
}

TEST_F(BankRegistry, InvalidIbanTouchesNothing)
{
    const int banks = count(t.db(), "TBAN_BANCHE");
    const int branches = count(t.db(), "TSPR_SPORTELLICAB");
    for (const QString &text : {QStringLiteral("IT40S0542811101000000123456"),
                                QStringLiteral("SM86U0322509800000000270100"),
                                QStringLiteral("it60x0542811101000000123456")}) {
        const auto r = CheckIBANAndRegisterBank(t.db(), text);
        ASSERT_TRUE(r.ok()) << qPrintable(text);
        EXPECT_FALSE(r->valid) << qPrintable(text);
        EXPECT_TRUE(r->message.isEmpty());
    }
    EXPECT_EQ(count(t.db(), "TBAN_BANCHE"), banks);
    EXPECT_EQ(count(t.db(), "TSPR_SPORTELLICAB"), branches);
}

TEST_F(BankRegistry, FailedBranchLeavesNoBankBehind)
{
    exec(t.db(), QStringLiteral("ALTER TABLE TSPR_SPORTELLICAB ADD CONSTRAINT CK_TEST_NO_11101 "
                                "CHECK (SSPRCAB <> '11101')"));
    const int banks = count(t.db(), "TBAN_BANCHE");
    const auto r = CheckIBANAndRegisterBank(t.db(), Published);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().contains(QLatin1String("CK_TEST_NO_11101"))) << qPrintable(r.error());
    EXPECT_EQ(count(t.db(), "TBAN_BANCHE"), banks);
}
