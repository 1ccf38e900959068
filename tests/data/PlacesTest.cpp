#include "Ids.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

using namespace ccp;
using namespace Qt::StringLiterals;
using test::scalar;

namespace {

// The place data is read-only here: one database serves every read check.
class Places : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_db = std::make_unique<test::TestDatabase>(); }
    static void TearDownTestSuite() { s_db.reset(); }
    void SetUp() override { ASSERT_TRUE(s_db->ok()) << qPrintable(s_db->error()); }
    static QSqlDatabase db() { return s_db->db(); }
    static int count(const QString &sql) { return scalar(db(), sql).toInt(); }

    static std::unique_ptr<test::TestDatabase> s_db;
};
std::unique_ptr<test::TestDatabase> Places::s_db;

} // namespace

TEST_F(Places, HoldsEveryItalianMunicipalityOnce)
{
    const int municipalities = count(u"SELECT COUNT(*) FROM TCOM_COMUNI"_s);
    EXPECT_GT(municipalities, 7800);
    EXPECT_LT(municipalities, 8200);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM TSRPC WHERE ISTAID = 1"_s), municipalities);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM TREG_REGIONI"_s), 20);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM TPRO_PROVINCE WHERE IREGID IS NOT NULL"_s), 107);
    // Codes identify a municipality: no two rows share one.
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM (SELECT SSRPCCOMRISTAT FROM TSRPC GROUP BY 1 HAVING COUNT(*) > 1)"_s), 0);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM (SELECT SSRPCCODCATA FROM TSRPC GROUP BY 1 HAVING COUNT(*) > 1)"_s), 0);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM (SELECT SCAPVALUE FROM TCAP GROUP BY 1 HAVING COUNT(*) > 1)"_s), 0);
}

TEST_F(Places, EveryMunicipalityIsConsistentAndHasAPostcode)
{
    // The ISTAT code starts with the province code and the region is the province's own.
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM TSRPC S JOIN TPRO_PROVINCE P ON P.IPROID = S.IPROID "
                    "WHERE S.ISTAID = 1 AND (CHAR_LENGTH(S.SSRPCCOMRISTAT) <> 6 "
                    "OR SUBSTRING(S.SSRPCCOMRISTAT FROM 1 FOR 3) <> LPAD(P.IPROID, 3, '0') "
                    "OR P.IREGID IS DISTINCT FROM S.IREGID OR S.ICOMID IS NULL "
                    "OR CHAR_LENGTH(S.SSRPCCODCATA) <> 4)"_s),
              0);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM TSRPC S WHERE S.ISTAID = 1 AND NOT EXISTS "
                    "(SELECT 1 FROM TCOMCAP C WHERE C.ISRPCID = S.ISRPCID)"_s),
              0);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM (SELECT ISRPCID, ICAPID FROM TCOMCAP GROUP BY 1, 2 HAVING COUNT(*) > 1)"_s), 0);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM TCAP WHERE CHAR_LENGTH(SCAPVALUE) <> 5"_s), 0);
    // Names are stored in upper case, accents included.
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM TCOM_COMUNI WHERE SCOMDESC <> UPPER(SCOMDESC)"_s), 0);
}

TEST_F(Places, DoubleApostropheNameIsFoundByItsText)
{
    EXPECT_EQ(scalar(db(), u"SELECT P.SPROSIGLA FROM TCOM_COMUNI M JOIN TSRPC S ON S.ICOMID = M.ICOMID "
                           "JOIN TPRO_PROVINCE P ON P.IPROID = S.IPROID "
                           "WHERE M.SCOMDESC = 'SANT''ANNA D''ALFAEDO'"_s)
                  .toString(),
              u"VR"_s);
}

TEST_F(Places, ViewsJoinTheParts)
{
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM VSRPC"_s), count(u"SELECT COUNT(*) FROM TSRPC"_s));
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM VCOMCAP"_s), count(u"SELECT COUNT(*) FROM TCOMCAP"_s));

    SqlQuery q(db());
    ASSERT_TRUE(q.exec(u"SELECT SCOMDESC, SPROSIGLA, SSTALDESC, SREGDESC, SPRODESC, SSRPCCODCATA "
                       "FROM VSRPC WHERE SSRPCCOMRISTAT = '058091'"_s));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.text(u"SCOMDESC"_s), u"ROMA"_s);
    EXPECT_EQ(q.text(u"SPROSIGLA"_s), u"RM"_s);
    EXPECT_EQ(q.text(u"SSTALDESC"_s), u"ITALIA"_s);
    EXPECT_EQ(q.text(u"SREGDESC"_s), u"LAZIO"_s);
    EXPECT_EQ(q.text(u"SPRODESC"_s), u"ROMA"_s);
    EXPECT_EQ(q.text(u"SSRPCCODCATA"_s), u"H501"_s);

    EXPECT_EQ(count(u"SELECT COUNT(*) FROM VCOMCAP WHERE SCOMDESC = 'ROMA' AND SPROSIGLA = 'RM' "
                    "AND SCAPVALUE = '00184' AND SFRAQUADESC IS NULL"_s),
              1);
}

TEST(PlacesIds, NewIdsFromTheSequencesPassTheGeneratedOnes)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    struct Row
    {
        const char *table;
        const char *maxId;
    };
    const Row rows[] = {
        {"TSTA_STATI", "SELECT MAX(ISTAID) FROM TSTA_STATI"},
        {"TREG_REGIONI", "SELECT MAX(IREGID) FROM TREG_REGIONI"},
        {"TPRO_PROVINCE", "SELECT MAX(IPROID) FROM TPRO_PROVINCE"},
        {"TCOM_COMUNI", "SELECT MAX(ICOMID) FROM TCOM_COMUNI"},
        {"TSRPC", "SELECT MAX(ISRPCID) FROM TSRPC"},
        {"TCAP", "SELECT MAX(ICAPID) FROM TCAP"},
        {"TCOMCAP", "SELECT MAX(ICOMCAPID) FROM TCOMCAP"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.table);
        auto id = Ids::next(t.db(), QLatin1String(r.table));
        ASSERT_TRUE(id.ok()) << qPrintable(id.error());
        EXPECT_GT(*id, scalar(t.db(), QLatin1String(r.maxId)).toInt());
    }

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
