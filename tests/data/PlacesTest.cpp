#include "Ids.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

using namespace ccp;
using namespace Qt::StringLiterals;
using test::scalar;

TEST(PlacesIds, ForeignTownTakesOneIdForBothItsRows)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    // A foreign town takes one id for both its rows, as the foreign-towns window does.
    auto id = Ids::next(t.db(), u"TSRPC"_s);
    ASSERT_TRUE(id.ok());
    Transaction tr(t.db());
    SqlQuery com(t.db());
    ASSERT_TRUE(com.prepare(u"INSERT INTO TCOM_COMUNI (ICOMID, SCOMDESC, DSTART) VALUES (:VEGENID, :SCOMDESC, '0001/01/01')"_s));
    com.bind(u"VEGENID"_s, *id).bind(u"SCOMDESC"_s, u"PARIGI"_s);
    ASSERT_TRUE(com.exec()) << qPrintable(com.lastError());
    SqlQuery srpc(t.db());
    ASSERT_TRUE(srpc.prepare(u"INSERT INTO TSRPC (ISRPCID, ISTAID, ICOMID, DSTART, IPROID, SSRPCCOMRISTAT, SSRPCCODCATA) "
                             "VALUES (:VEGENID, :ISTAID, :ICOMID, '0001/01/01', 20000, :SSRPCCOMRISTAT, :SSRPCCODCATA)"_s));
    srpc.bind(u"VEGENID"_s, *id).bind(u"ISTAID"_s, 215).bind(u"ICOMID"_s, *id);
    srpc.bind(u"SSRPCCOMRISTAT"_s, u"215"_s).bind(u"SSRPCCODCATA"_s, u"Z110"_s);
    ASSERT_TRUE(srpc.exec()) << qPrintable(srpc.lastError());
    ASSERT_TRUE(tr.commit());
    EXPECT_EQ(scalar(t.db(), u"SELECT COUNT(*) FROM TSRPC WHERE ISTAID = 215"_s).toInt(), 1);
}
