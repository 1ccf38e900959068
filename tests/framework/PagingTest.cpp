#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "TestDatabase.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::fw;

namespace {

constexpr int kRows = 100000;

// One database with a 100,000-row table for the whole suite (filling it takes a while).
class BigList : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_db = new ccp::test::TestDatabase;
        ASSERT_TRUE(s_db->ok());
        QSqlDatabase db = s_db->db();
        {
            Transaction tr(db);
            SqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE TFW_BIG (ID INTEGER NOT NULL PRIMARY KEY, "
                                              "NAME VARCHAR(40), GRP INTEGER, AMT NUMERIC(18,4), DEND DATE)")).ok());
            ASSERT_TRUE(tr.commit().ok());
        }
        Transaction tr(db);
        SqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral(
            "EXECUTE BLOCK AS DECLARE i INTEGER = 1; BEGIN WHILE (i <= %1) DO BEGIN "
            "INSERT INTO TFW_BIG (ID, NAME, GRP, AMT, DEND) VALUES (:i, 'N' || LPAD(:i, 6, '0'), MOD(:i, 7), "
            "CAST(:i AS NUMERIC(18,4)) / 100, IIF(MOD(:i, 2) = 1, DATE '2024-01-01', NULL)); i = i + 1; END END").arg(kRows)).ok());
        ASSERT_TRUE(tr.commit().ok());
    }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }
    void SetUp() override
    {
        coll = std::make_unique<TVeQueryCollection>(s_db->db());
        coll->setSelectText(QStringLiteral("SELECT B.ID, B.NAME, B.GRP, B.AMT, B.DEND FROM TFW_BIG B ORDER BY B.ID"));
    }

    static ccp::test::TestDatabase *s_db;
    std::unique_ptr<TVeQueryCollection> coll;
};

ccp::test::TestDatabase *BigList::s_db = nullptr;

TEST_F(BigList, OpensOnOnePageAndFetchesTwentyFiveAtATime)
{
    ASSERT_TRUE(coll->open().ok());
    EXPECT_EQ(coll->count(), 25);
    EXPECT_TRUE(coll->canFetchMore());
    EXPECT_EQ(coll->fetchMore(), 25);
    EXPECT_EQ(coll->count(), 50);
    EXPECT_EQ(coll->value(49, QStringLiteral("id")).toInt(), 50);
    EXPECT_TRUE(coll->columns()[3].money);
    EXPECT_EQ(Money::fromVariant(coll->value(49, QStringLiteral("AMT"))), Money::fromCents(50));

    TVeQueryModel model(coll.get());
    model.addColumn(QStringLiteral("NAME"), QStringLiteral("Nome"));
    model.addColumn(QStringLiteral("AMT"), QStringLiteral("Importo"));
    EXPECT_EQ(model.rowCount(), 50);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("0,01"));
    EXPECT_TRUE(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    EXPECT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 75);
}

TEST_F(BigList, LocatesTheLastRowWithoutReadingTheList)
{
    ASSERT_TRUE(coll->open().ok());
    TVeQueryModel model(coll.get());
    QSignalSpy current(coll.get(), &TVeQueryCollection::currentChanged);
    auto pos = coll->locate(kRows);
    ASSERT_TRUE(pos.ok()) << qPrintable(pos.error());
    EXPECT_EQ(pos.value(), kRows - 1);
    EXPECT_EQ(coll->currentIndex(), kRows - 1);
    EXPECT_EQ(coll->count(), kRows);
    EXPECT_FALSE(coll->canFetchMore());
    EXPECT_EQ(model.rowCount(), kRows);
    EXPECT_EQ(current.count(), 1);
    EXPECT_FALSE(coll->isRowLoaded(50000));
    EXPECT_EQ(coll->value(50000, QStringLiteral("ID")).toInt(), 50001);  // read on demand
    EXPECT_TRUE(coll->isRowLoaded(50000));
    EXPECT_EQ(coll->locate(kRows + 5).value(), -1);
    EXPECT_EQ(coll->currentIndex(), kRows - 1);
}

// Expected position of `id` ordered by GRP DESC, NAME, ID.
int expectedPosition(int id)
{
    const int g = id % 7;
    int before = 0;
    for (int i = 1; i <= kRows; ++i)
        if (i % 7 > g || (i % 7 == g && i < id))
            ++before;
    return before;
}

TEST_F(BigList, LocateFollowsServerSortAndFilter)
{
    coll->setSortKeys(QStringLiteral("GRP DESC;NAME"));
    ASSERT_TRUE(coll->open().ok());
    EXPECT_EQ(coll->value(0, QStringLiteral("ID")).toInt(), 6);
    for (int id : {1, 7, 50000, 99999}) {
        auto pos = coll->locate(id);
        ASSERT_TRUE(pos.ok()) << qPrintable(pos.error());
        EXPECT_EQ(pos.value(), expectedPosition(id)) << id;
        EXPECT_EQ(coll->currentKey().toInt(), id);
    }

    ASSERT_TRUE(coll->setFilter(QStringLiteral("DEND IS NULL")).ok());
    ASSERT_TRUE(coll->setFiltered(true).ok());
    coll->setSortKeys({});
    ASSERT_TRUE(coll->refresh().ok());
    EXPECT_EQ(coll->value(0, QStringLiteral("ID")).toInt(), 2);
    EXPECT_EQ(coll->locate(99999).value(), -1);  // filtered out
    EXPECT_EQ(coll->locate(kRows).value(), kRows / 2 - 1);
    ASSERT_TRUE(coll->setFiltered(false).ok());
    EXPECT_EQ(coll->currentKey().toInt(), kRows);  // switching the filter keeps the row
    EXPECT_EQ(coll->currentIndex(), kRows - 1);
}

TEST_F(BigList, RefreshKeepsTheCurrentRowOrTheOneInItsPlace)
{
    ASSERT_TRUE(coll->open().ok());
    ASSERT_TRUE(coll->locate(70000).ok());
    ccp::test::scalar(s_db->db(), QStringLiteral("SELECT COUNT(*) FROM TFW_BIG"));
    {
        Transaction tr(s_db->db());
        SqlQuery q(s_db->db());
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TFW_BIG (ID, NAME, GRP) VALUES (0, 'N000000', 0)")).ok());
        ASSERT_TRUE(tr.commit().ok());
    }
    ASSERT_TRUE(coll->refresh().ok());
    EXPECT_EQ(coll->currentKey().toInt(), 70000);
    EXPECT_EQ(coll->currentIndex(), 70000);
    {
        Transaction tr(s_db->db());
        SqlQuery q(s_db->db());
        ASSERT_TRUE(q.exec(QStringLiteral("DELETE FROM TFW_BIG WHERE ID IN (0, 70000)")).ok());
        ASSERT_TRUE(tr.commit().ok());
    }
    ASSERT_TRUE(coll->refresh().ok());
    EXPECT_EQ(coll->currentKey().toInt(), 70001);
    EXPECT_EQ(coll->currentIndex(), 69999);
    Transaction tr(s_db->db());
    SqlQuery q(s_db->db());
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TFW_BIG (ID, NAME, GRP) VALUES (70000, 'N070000', 0)")).ok());
    ASSERT_TRUE(tr.commit().ok());
}

TEST_F(BigList, SelectParametersAndWhereSlotAreBound)
{
    coll->setSelectText(QStringLiteral("SELECT ID, NAME FROM TFW_BIG WHERE ##WHERE## AND GRP = :iGrp ORDER BY NAME DESC"));
    EXPECT_FALSE(coll->open().ok());  // :iGrp not set
    coll->setParam(QStringLiteral("IGRP"), 3);
    coll->setWhere(QStringLiteral("ID < :maxId"), {{QStringLiteral("maxId"), 30}});
    ASSERT_TRUE(coll->open().ok());
    ASSERT_EQ(coll->count(), 4);  // 3, 10, 17, 24
    EXPECT_EQ(coll->value(0, QStringLiteral("ID")).toInt(), 24);
    EXPECT_EQ(coll->locate(10).value(), 2);

    // A new condition on the open list, even one no row meets, takes effect on refresh.
    coll->setWhere(QStringLiteral("ID < 0"));
    ASSERT_TRUE(coll->refresh().ok());
    EXPECT_EQ(coll->count(), 0);
    coll->setWhere(QStringLiteral("ID < :maxId"), {{QStringLiteral("maxId"), 20}});
    ASSERT_TRUE(coll->refresh().ok());
    EXPECT_EQ(coll->count(), 3);  // 3, 10, 17
}

} // namespace
