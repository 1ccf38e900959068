#include "AbiMBen.h"
#include "AbiRDettagli.h"
#include "AbiRSprBen.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QDate>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::ben;
using fw::MsgResult;

namespace {

class InnerFramesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (1, 'Ben 1')"));
        exec(QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID, SSPRBENNUMCC) VALUES (11, 1, '111')"));
        exec(QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID, SSPRBENNUMCC) VALUES (12, 1, '222')"));
        bologna = test::scalar(t.db(), QStringLiteral("SELECT FIRST 1 ISRPCID FROM TSRPC WHERE SSRPCCOMRISTAT = '037006'")).toInt();
        ASSERT_GT(bologna, 0);
    }
    void exec(const QString &sql)
    {
        SqlQuery q(t.db());
        ASSERT_TRUE(q.exec(sql).ok()) << sql.toStdString();
    }
    int count(const QString &sql) { return test::scalar(t.db(), sql).toInt(); }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    int bologna = 0;
};

TEST_F(InnerFramesTest, DelegatesBelongToTheirBankDetailAndNeedAFiscalCode)
{
    TfrDatiBancari bank(t.db());
    bank.openFor(1);
    TfrDelegatiConto *f = bank.frDelegati;
    ASSERT_EQ(f->benId(), 11) << "the delegates of the bank detail under the cursor";
    auto *c = f->collection();
    ASSERT_TRUE(f->insert());
    c->setFieldValue(QStringLiteral("SDEGCOGNOME"), QStringLiteral("Verdi"));
    c->setFieldValue(QStringLiteral("SDEGNOME"), QStringLiteral("Anna"));
    c->setFieldValue(QStringLiteral("SDEGCODFISCALE"), QStringLiteral("  "));
    f->OnPostExecute();
    EXPECT_EQ(sink.lastText(), invalidMessage(QStringLiteral("Codice fiscale"))) << "blanks are no fiscal code";
    EXPECT_TRUE(c->isEditing());
    c->setFieldValue(QStringLiteral("SDEGCODFISCALE"), QStringLiteral("VRDNNA80A41A944X"));
    c->setFieldValue(QStringLiteral("DSTART"), QDate(2024, 1, 1));
    f->OnPostExecute();
    ASSERT_FALSE(c->isEditing()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TDEG_DELEGATI WHERE ISPRBENID = 11 AND SDEGCOGNOME = 'Verdi'")), 1);

    // Another bank detail has its own delegates; a delegate removed is gone from the table.
    ASSERT_GE(bank.collection()->locate(12).value(), 0);
    EXPECT_EQ(f->benId(), 12);
    EXPECT_EQ(c->count(), 0);
    ASSERT_GE(bank.collection()->locate(11).value(), 0);
    sink.answer(MsgResult::Yes);
    ASSERT_TRUE(f->deleteCurrent()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TDEG_DELEGATI")), 0);
}

TEST_F(InnerFramesTest, SignerWithANameNeedsCodeAndAddressWrittenInOneTransaction)
{
    TfrQuietanzante f(t.db());
    f.openFor(11);
    auto *c = f.collection();
    ASSERT_TRUE(f.insert());
    c->setFieldValue(QStringLiteral("SQUINOMINATIVO"), QStringLiteral("Mario Rossi"));
    struct Step { const char *field; QVariant value; QString refused; };
    const Step steps[] = {{nullptr, {}, invalidMessage(QStringLiteral("Codice Fiscale del quietanzante"))},
                          {"SQUICODICEFISCALE", QStringLiteral("RSSMRA80A01A944X"), invalidMessage(QStringLiteral("Indirizzo del quietanzante"))},
                          {"SQUIINDIRIZZO", QStringLiteral("Via Roma 1"), invalidMessage(QStringLiteral("Comune del quietanzante"))},
                          {"ISRPCID", bologna, invalidMessage(QStringLiteral("CAP del quietanzante"))}};
    for (const Step &s : steps) {
        if (s.field)
            c->setFieldValue(QString::fromLatin1(s.field), s.value);
        sink.clear();
        f.OnPostExecute();
        EXPECT_EQ(sink.lastText().toStdString(), s.refused.toStdString()) << (s.field ? s.field : "name only");
        EXPECT_TRUE(c->isEditing());
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TQUI_QUIETANZANTE")), 0);

    // A new hamlet is written with the signer, and goes with it when the post fails.
    const int fractions = count(QStringLiteral("SELECT COUNT(*) FROM TFRAQUA"));
    exec(QStringLiteral("DELETE FROM TSPRBEN WHERE ISPRBENID = 11"));
    c->setFieldValue(QStringLiteral("SCAPVALUE"), QStringLiteral("40132"));
    c->setFieldValue(QStringLiteral("SFRAQUADESC"), QStringLiteral("Borgo Nuovo"));
    sink.clear();
    f.OnPostExecute();
    EXPECT_TRUE(c->isEditing()) << "the bank detail is gone: refused by the database";
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TFRAQUA")), fractions) << "nothing of the refused post is left";

    f.cancel();
    f.openFor(12);
    ASSERT_TRUE(f.insert());
    for (const Step &s : steps)
        if (s.field)
            c->setFieldValue(QString::fromLatin1(s.field), s.value);
    c->setFieldValue(QStringLiteral("SQUINOMINATIVO"), QStringLiteral("Mario Rossi"));
    c->setFieldValue(QStringLiteral("SCAPVALUE"), QStringLiteral("40132"));
    c->setFieldValue(QStringLiteral("SFRAQUADESC"), QStringLiteral("Borgo Nuovo"));
    f.OnPostExecute();
    ASSERT_FALSE(c->isEditing()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TQUI_QUIETANZANTE Q INNER JOIN VCOMCAP V ON (V.ICOMCAPID = Q.ICOMCAPID)"
                                   " WHERE Q.ISPRBENID = 12 AND V.ISRPCID = %1 AND V.SCAPVALUE = '40132'"
                                   " AND V.SFRAQUADESC = 'Borgo Nuovo'").arg(bologna)), 1);
}

} // namespace

namespace {

TEST_F(InnerFramesTest, DurcListsTheCodesOfTheBeneficiaryAndOfItsDocumentsOnce)
{
    exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (2, 'Ben 2')"));
    struct Code { int id; const char *ben; int type; const char *code; const char *date; };
    const Code codes[] = {{1, "1", 3, "D-BEN", "2024-03-01"}, {2, "NULL", 3, "D-MOV", "2024-01-01"},
                          {3, "NULL", 3, "D-OFF", "2024-02-01"}, {4, "1", 1, "CIG-1", "2024-01-01"},
                          {5, "2", 3, "D-ALTRO", "2024-01-01"}, {6, "NULL", 3, "D-DUE", "2024-04-01"}};
    for (const Code &c : codes)
        exec(QStringLiteral("INSERT INTO TCCD_CIGCUPDURC (ICCDID, IBENID, ITCCDID, SCCDCODICE, DCCDDATAASSEGN)"
                            " VALUES (%1, %2, %3, '%4', '%5')")
                 .arg(c.id).arg(QString::fromLatin1(c.ben)).arg(c.type).arg(QString::fromLatin1(c.code), QString::fromLatin1(c.date)));
    exec(QStringLiteral("INSERT INTO TMOV_MOVIMENTI (IMOVID, IBENID, ICCDID_DURC) VALUES (1, 1, 2)"));
    exec(QStringLiteral("INSERT INTO TMOV_MOVIMENTI (IMOVID, IBENID, ICCDID_DURC) VALUES (2, 1, 6)"));
    exec(QStringLiteral("INSERT INTO TOMG_ORDINIMAGAZ (IOMGID, IBENID, ICCDID_DURC) VALUES (1, 1, 6)"));
    exec(QStringLiteral("INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, IBENID, ICCDID_DURC) VALUES (1, 2, 5)"));
    exec(QStringLiteral("INSERT INTO TPREBEN (IPREBENID, IBENID) VALUES (1, 1)"));
    exec(QStringLiteral("INSERT INTO TOFF_OFFERTE (IOFFID, IPREBENID, ICCDID_DURC) VALUES (1, 1, 3)"));
    TfrDurc f(t.db());
    f.openFor(1);
    QStringList shown;
    for (int i = 0; i < f.collection()->count(); ++i)
        shown << f.collection()->value(i, QStringLiteral("SCCDCODICE")).toString();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("D-MOV"), QStringLiteral("D-OFF"), QStringLiteral("D-BEN"), QStringLiteral("D-DUE")}));
    EXPECT_FALSE(f.xacInsert()->isEnabled());
    EXPECT_FALSE(f.xacEdit()->isEnabled());
}

} // namespace
