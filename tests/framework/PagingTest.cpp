#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

TEST_F(BigList, LocateFollowsTheFilterAndSwitchingItKeepsTheRow)
{
    ASSERT_TRUE(coll->open().ok());
    ASSERT_TRUE(coll->setFilter(QStringLiteral("DEND IS NULL")).ok());
    ASSERT_TRUE(coll->setFiltered(true).ok());
    ASSERT_TRUE(coll->refresh().ok());
    EXPECT_EQ(coll->value(0, QStringLiteral("ID")).toInt(), 2);
    EXPECT_EQ(coll->locate(99999).value(), -1);  // filtered out
    EXPECT_EQ(coll->locate(kRows).value(), kRows / 2 - 1);
    ASSERT_TRUE(coll->setFiltered(false).ok());
    EXPECT_EQ(coll->currentKey().toInt(), kRows);  // switching the filter keeps the row
    EXPECT_EQ(coll->currentIndex(), kRows - 1);
}

void execSql(QSqlDatabase db, const QString &sql)
{
    Transaction tr(db);
    SqlQuery q(db);
    ASSERT_TRUE(q.exec(sql).ok()) << qPrintable(sql);
    ASSERT_TRUE(tr.commit().ok());
}

TEST_F(BigList, RefreshKeepsTheCurrentRowOrTheOneInItsPlace)
{
    ASSERT_TRUE(coll->open().ok());
    ASSERT_TRUE(coll->locate(70000).ok());
    execSql(s_db->db(), QStringLiteral("INSERT INTO TFW_BIG (ID, NAME, GRP) VALUES (0, 'N000000', 0)"));
    ASSERT_TRUE(coll->refresh().ok());
    EXPECT_EQ(coll->currentKey().toInt(), 70000);
    EXPECT_EQ(coll->currentIndex(), 70000);
    execSql(s_db->db(), QStringLiteral("DELETE FROM TFW_BIG WHERE ID IN (0, 70000)"));
    ASSERT_TRUE(coll->refresh().ok());
    EXPECT_EQ(coll->currentKey().toInt(), 70001);
    EXPECT_EQ(coll->currentIndex(), 69999);
    execSql(s_db->db(), QStringLiteral("INSERT INTO TFW_BIG (ID, NAME, GRP) VALUES (70000, 'N070000', 0)"));
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

// Ids of the table in the order GRP DESC, NAME (NAME follows ID).
const std::vector<int> &idsByGroupDesc()
{
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        for (int g = 6; g >= 0; --g)
            for (int i = 1; i <= kRows; ++i)
                if (i % 7 == g)
                    v.push_back(i);
        return v;
    }();
    return ids;
}

// Rows are read from wherever the list is looked at: onward from the start, backwards from a
// located row (through ties of the first sort column, and past its NULLs), onward again; every
// row must be the one the server's order puts there, never a gap or a repeat at the seams.
TEST_F(BigList, RowsReadBackwardsOrOnwardFromALocatedRowAreThoseOfTheOrder)
{
    coll->setSortKeys(QStringLiteral("GRP DESC;NAME"));
    ASSERT_TRUE(coll->open().ok());
    const auto &ids = idsByGroupDesc();
    const int id = ids[60000];
    ASSERT_EQ(coll->locate(id).value(), 60000);
    for (int row = 60000; row > 59800; --row)  // backwards, across the start of a group
        ASSERT_EQ(coll->value(row - 1, QStringLiteral("ID")).toInt(), ids[row - 1]) << row - 1;
    for (int row = 60000; row < 60200; ++row) {
        if (row == coll->count())
            ASSERT_EQ(coll->fetchMore(), TVeQueryCollection::PageSize);  // onward from the last row read
        ASSERT_EQ(coll->value(row, QStringLiteral("ID")).toInt(), ids[row]) << row;
    }
    EXPECT_EQ(coll->value(100, QStringLiteral("ID")).toInt(), ids[100]);
    EXPECT_EQ(coll->locate(ids[kRows - 1]).value(), kRows - 1);

    // Dates first, NULLs before them: reading back from the first dated rows reaches the
    // undated ones.
    coll->setSortKeys(QStringLiteral("DEND;ID"));
    ASSERT_TRUE(coll->refresh().ok());
    ASSERT_EQ(coll->locate(21).value(), kRows / 2 + 10);
    for (int row = kRows / 2 + 10; row > kRows / 2 - 40; --row) {
        const int expected = row - 1 >= kRows / 2 ? 2 * (row - 1 - kRows / 2) + 1 : 2 * (row - 1) + 2;
        ASSERT_EQ(coll->value(row - 1, QStringLiteral("ID")).toInt(), expected) << row - 1;
    }
}

// A list that shows computed columns is read as it stands (no derived table), and gives the
// same rows, positions and counts as the same list read through one.
TEST_F(BigList, PlainAndWrappedReadingsAgree)
{
    const QString computed = QStringLiteral(
        "SELECT B.ID, B.NAME, B.GRP, (SELECT COUNT(*) FROM TFW_BIG C WHERE C.ID = B.ID) AS NSELF, "
        "B.GRP * 10 AS G10 FROM TFW_BIG B WHERE B.ID <= 3000");
    TVeQueryCollection plain(s_db->db());
    plain.setSelectText(computed);
    plain.setSortKeys(QStringLiteral("GRP;ID"));
    TVeQueryCollection wrapped(s_db->db());
    wrapped.setSelectText(computed);
    wrapped.setSortKeys(QStringLiteral("G10;ID"));  // an expression: read through a derived table
    ASSERT_TRUE(plain.open().ok());
    ASSERT_TRUE(wrapped.open().ok());
    ASSERT_TRUE(plain.setFilter(QStringLiteral("NAME LIKE 'N001%'")).ok());  // 1000 to 1999
    ASSERT_TRUE(wrapped.setFilter(QStringLiteral("NAME LIKE 'N001%'")).ok());
    for (auto *c : {&plain, &wrapped}) {
        ASSERT_TRUE(c->setFiltered(true).ok());
        ASSERT_TRUE(c->fetchAll().ok());
    }
    ASSERT_EQ(plain.count(), 1000);
    ASSERT_EQ(wrapped.count(), plain.count());
    for (int row = 0; row < plain.count(); ++row) {
        ASSERT_EQ(plain.value(row, QStringLiteral("ID")), wrapped.value(row, QStringLiteral("ID"))) << row;
        ASSERT_EQ(plain.value(row, QStringLiteral("NSELF")).toInt(), 1);
    }
    EXPECT_EQ(plain.locate(1999).value(), wrapped.locate(1999).value());
}

class BigListLocal : public BigList
{
protected:
    void SetUp() override
    {
        BigList::SetUp();
        coll->setLocalRefresh(true);
        coll->setAutoDelete(true);
        coll->setTableName(QStringLiteral("TFW_BIG"));
    }
    void TearDown() override { execSql(s_db->db(), QStringLiteral("DELETE FROM TFW_BIG WHERE ID > %1").arg(kRows)); }
};

// After a post of this workstation only the end of the list, or the posted row, is read again;
// rows added at the end by another workstation come with it.
TEST_F(BigListLocal, InsertAtTheEndReadsOnlyTheEndAgain)
{
    ASSERT_TRUE(coll->open().ok());
    TVeQueryModel model(coll.get());
    ASSERT_EQ(coll->locate(kRows).value(), kRows - 1);
    execSql(s_db->db(), QStringLiteral("INSERT INTO TFW_BIG (ID, NAME, GRP) VALUES (%1, 'X1', 1)").arg(kRows + 1));
    execSql(s_db->db(), QStringLiteral("INSERT INTO TFW_BIG (ID, NAME, GRP) VALUES (%1, 'X2', 2)").arg(kRows + 2));
    ASSERT_TRUE(coll->refreshTo(kRows + 1).ok());
    EXPECT_EQ(coll->count(), kRows + 2);
    EXPECT_EQ(model.rowCount(), kRows + 2);
    EXPECT_EQ(coll->currentIndex(), kRows);
    EXPECT_EQ(coll->value(kRows + 1, QStringLiteral("NAME")).toString(), QStringLiteral("X2"));
    EXPECT_FALSE(coll->isRowLoaded(50000));  // the middle of the list was not read again
    EXPECT_EQ(coll->value(kRows - 1, QStringLiteral("ID")).toInt(), kRows);

    // A row whose place is higher up: the whole list is read again and the row found.
    execSql(s_db->db(), QStringLiteral("UPDATE TFW_BIG SET ID = %1 WHERE ID = %2").arg(kRows + 3).arg(kRows + 2));
    ASSERT_TRUE(coll->refreshTo(500).ok());
    EXPECT_EQ(coll->currentIndex(), 499);
    EXPECT_EQ(coll->count(), 500 + TVeQueryCollection::PageSize - 1);  // read again up to its page
    EXPECT_EQ(coll->locate(kRows + 3).value(), kRows + 1);
}

TEST_F(BigListLocal, UpdateInPlaceAndDeleteLeaveTheOtherRowsAlone)
{
    fw::RecordingMessageSink sink;
    ASSERT_TRUE(coll->open().ok());
    TVeQueryModel model(coll.get());
    ASSERT_EQ(coll->locate(50000).value(), 49999);
    ASSERT_TRUE(coll->edit());
    coll->setFieldValue(QStringLiteral("NAME"), QStringLiteral("cambiato"));
    ASSERT_TRUE(coll->post());
    EXPECT_EQ(coll->currentIndex(), 49999);
    EXPECT_EQ(coll->value(49999, QStringLiteral("NAME")).toString(), QStringLiteral("cambiato"));
    EXPECT_FALSE(coll->isRowLoaded(30000));

    const int known = coll->count();
    sink.answer(MsgResult::Yes);
    ASSERT_TRUE(coll->deleteCurrent());
    EXPECT_EQ(coll->count(), known - 1);
    EXPECT_EQ(model.rowCount(), known - 1);
    EXPECT_EQ(coll->currentKey().toInt(), 50001);
    EXPECT_EQ(coll->currentIndex(), 49999);
    // Rows after the removed one moved up, as on the server; so do those read later.
    EXPECT_EQ(coll->value(50010, QStringLiteral("ID")).toInt(), 50012);
    ASSERT_GT(coll->fetchMore(), 0);
    EXPECT_EQ(coll->value(known + 5, QStringLiteral("ID")).toInt(), known + 7);
    EXPECT_EQ(coll->value(1000, QStringLiteral("ID")).toInt(), 1001);
    execSql(s_db->db(), QStringLiteral("INSERT INTO TFW_BIG (ID, NAME, GRP, AMT, DEND) VALUES "
                                       "(50000, 'N050000', 3, 500, NULL)"));
}

} // namespace
