#include "AbiMBen.h"
#include "AbiRSprBen.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

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

TEST_F(InnerFramesTest, DelegatesNeedSurnameNameAndFiscalCode)
{
    TfrDatiBancari bank(t.db());
    bank.openFor(1);
    TfrDelegatiConto *f = bank.frDelegati;
    ASSERT_EQ(f->benId(), 11) << "the delegates of the bank detail under the cursor";
    auto *c = f->collection();
    struct Step { const char *field; const char *value; QString refused; };
    const Step steps[] = {{nullptr, nullptr, invalidMessage(QStringLiteral("Cognome"))},
                          {"SDEGCOGNOME", "Verdi", invalidMessage(QStringLiteral("Nome"))},
                          {"SDEGNOME", "Anna", invalidMessage(QStringLiteral("Codice fiscale"))},
                          {"SDEGCODFISCALE", "  ", invalidMessage(QStringLiteral("Codice fiscale"))}};
    ASSERT_TRUE(f->insert());
    for (const Step &s : steps) {
        if (s.field)
            c->setFieldValue(QString::fromLatin1(s.field), QString::fromLatin1(s.value));
        sink.clear();
        f->OnPostExecute();
        EXPECT_EQ(sink.lastText().toStdString(), s.refused.toStdString()) << (s.field ? s.field : "empty");
        EXPECT_TRUE(c->isEditing());
    }
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
