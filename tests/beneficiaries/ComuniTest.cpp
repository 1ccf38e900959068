#include "AbiMCom.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::ben;

namespace {

class ComuniTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << t.error().toStdString();
        dm = std::make_unique<TdmComuni>(t.db());
        ASSERT_TRUE(dm->open().ok());
    }
    int count(const QString &sql) { return test::scalar(t.db(), sql).toInt(); }
    // A new town in Germany; its place id.
    int addTown(const QString &name)
    {
        auto *c = dm->xqcComEsteri();
        EXPECT_TRUE(c->insert());
        c->setFieldValue(QStringLiteral("SCOMDESC"), name);
        c->setFieldValue(QStringLiteral("ISTAID"), 216);
        c->setFieldValue(QStringLiteral("SSRPCCODCATA"), QStringLiteral("Z112"));
        c->setFieldValue(QStringLiteral("SSRPCCOMRISTAT"), QStringLiteral("216"));
        EXPECT_TRUE(c->post()) << sink.lastText().toStdString();
        return c->currentKey().toInt();
    }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    std::unique_ptr<TdmComuni> dm;
};

TEST_F(ComuniTest, NewTownWritesItsMunicipalityAndPlaceDeleteRemovesBoth)
{
    const int municipalities = count(QStringLiteral("SELECT COUNT(*) FROM TCOM_COMUNI"));
    const int places = count(QStringLiteral("SELECT COUNT(*) FROM TSRPC"));
    const int srpc = addTown(QStringLiteral("AMBURGO"));
    ASSERT_GT(srpc, 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCOM_COMUNI")), municipalities + 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TSRPC")), places + 1);
    SqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT S.IPROID, S.DSTART, C.DSTART, C.SCOMDESC, S.ISTAID FROM TSRPC S"
                                      " INNER JOIN TCOM_COMUNI C ON (C.ICOMID = S.ICOMID) WHERE S.ISRPCID = %1").arg(srpc)).ok());
    ASSERT_TRUE(q.next()) << "the place points to its municipality";
    EXPECT_EQ(q.value(0).toInt(), TdmComuni::ForeignProvince);
    EXPECT_EQ(q.value(4).toInt(), 216);

    sink.answer(fw::MsgResult::Yes);
    ASSERT_TRUE(dm->xqcComEsteri()->deleteCurrent()) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCOM_COMUNI")), municipalities);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TSRPC")), places);
}

TEST_F(ComuniTest, TownInUseIsNotDeleted)
{
    const int srpc = addTown(QStringLiteral("COLONIA"));
    SqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, ISRPCID) VALUES (900, 'Weber', %1)").arg(srpc)).ok());
    sink.answer(fw::MsgResult::Yes);
    EXPECT_FALSE(dm->xqcComEsteri()->deleteCurrent());
    EXPECT_TRUE(sink.lastText().contains(QStringLiteral("luogo di nascita"))) << sink.lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TSRPC WHERE ISRPCID = %1").arg(srpc)), 1);
}

TEST_F(ComuniTest, StateLookupNeverOffersTheHomeState)
{
    const QString sql = QString(TdmComuni::statesSql()).replace(QStringLiteral("##WHERE##"), QStringLiteral("1 = 1"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (%1) X WHERE X.ISTAID = 1").arg(sql)), 0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM (%1) X").arg(sql)), 10);
    // The list of towns leaves out the home state's municipalities too.
    auto *c = dm->xqcComEsteri();
    c->fetchAll();
    for (int i = 0; i < c->count(); ++i)
        EXPECT_NE(c->value(i, QStringLiteral("ISTAID")).toInt(), 1);
}

} // namespace
