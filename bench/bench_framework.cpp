#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "TestDatabase.h"

#include <benchmark/benchmark.h>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::fw;

namespace {

constexpr int kRows = 100000;

// A database with a 100,000-row list, built once for the run.
QSqlDatabase bigDatabase()
{
    static ccp::test::TestDatabase *db = [] {
        auto *t = new ccp::test::TestDatabase;
        QSqlDatabase d = t->db();
        {
            Transaction tr(d);
            SqlQuery q(d);
            (void)q.exec(QStringLiteral("CREATE TABLE TFW_BIG (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(40), "
                                        "GRP INTEGER, AMT NUMERIC(18,4), DEND DATE)"));
            (void)tr.commit();
        }
        Transaction tr(d);
        SqlQuery q(d);
        (void)q.exec(QStringLiteral(
            "EXECUTE BLOCK AS DECLARE i INTEGER = 1; BEGIN WHILE (i <= %1) DO BEGIN "
            "INSERT INTO TFW_BIG (ID, NAME, GRP, AMT, DEND) VALUES (:i, 'N' || LPAD(:i, 6, '0'), MOD(:i, 7), "
            "CAST(:i AS NUMERIC(18,4)) / 100, IIF(MOD(:i, 2) = 1, DATE '2024-01-01', NULL)); i = i + 1; END END")
                         .arg(kRows));
        (void)tr.commit();
        return t;
    }();
    return db->db();
}

const QString kSelect = QStringLiteral("SELECT B.ID, B.NAME, B.GRP, B.AMT, B.DEND FROM TFW_BIG B ORDER BY B.ID");

// Opening a grid on the list and showing its first page (the values of its 25 rows).
void BM_OpenGridFirstPage(benchmark::State &state)
{
    QSqlDatabase db = bigDatabase();
    for (auto _ : state) {
        TVeQueryCollection coll(db);
        coll.setSelectText(kSelect);
        TVeQueryModel model(&coll);
        if (!coll.open())
            state.SkipWithError("open failed");
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                benchmark::DoNotOptimize(model.data(model.index(r, c)));
    }
}
BENCHMARK(BM_OpenGridFirstPage)->Unit(benchmark::kMillisecond);

// Locating the last row by key on an open list (the page around it is read).
void BM_LocateLastRow(benchmark::State &state)
{
    QSqlDatabase db = bigDatabase();
    const QString sortKeys = state.range(0) ? QStringLiteral("NAME DESC") : QString();
    for (auto _ : state) {
        state.PauseTiming();
        TVeQueryCollection coll(db);
        coll.setSelectText(kSelect);
        coll.setSortKeys(sortKeys);
        if (!coll.open())
            state.SkipWithError("open failed");
        state.ResumeTiming();
        auto pos = coll.locate(state.range(0) ? 1 : kRows);
        if (!pos || pos.value() != kRows - 1)
            state.SkipWithError("wrong position");
    }
}
BENCHMARK(BM_LocateLastRow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
