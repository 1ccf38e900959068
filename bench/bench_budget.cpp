// The budget windows with a large budget (2,000 items and 10,000 sub-items of the working
// institute and shared): opening the items window (built, items list open, sub-items of the
// first item shown) and the aggregates window must each stay under 300 ms.
#include "AbcFAggregati.h"
#include "AbcFVoci.h"
#include "SqlQuery.h"
#include "TestDatabase.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace ccp;
using namespace ccp::budget;

namespace {

constexpr int Items = 2000;
constexpr int SubItemsPerItem = 5;

std::unique_ptr<test::TestDatabase> g_db;
std::map<std::string, double> g_medians;

// Two expense aggregates with 1,000 items each (every other one shared), five sub-items each.
test::TestDatabase *database()
{
    if (g_db)
        return g_db.get();
    auto t = std::make_unique<test::TestDatabase>();
    if (!t->ok())
        return nullptr;
    SqlQuery q(t->db());
    const QString statements[] = {
        QStringLiteral("INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (10, 'IC UNO')"),
        QStringLiteral("INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART) "
                       "VALUES (1, NULL, 'A', 'Attività', 2, 1, '2019-01-01')"),
        QStringLiteral("INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART) "
                       "VALUES (2, NULL, 'P', 'Progetti', 2, 1, '2019-01-01')"),
        QStringLiteral("EXECUTE BLOCK AS DECLARE i INTEGER = 1; DECLARE s INTEGER; BEGIN "
                       "WHILE (i <= %1) DO BEGIN "
                       "INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, ICORID, IAGGID, IDWGID, ITCKID, SVPROCOD, SVPRODESCS, DSTART) "
                       "VALUES (:i, 3, 1 + MOD(:i, 2), IIF(MOD(:i, 4) < 2, 10, NULL), -1, "
                       "IIF(MOD(:i, 2) = 0, 'A', 'P') || LPAD(CAST((:i + 1) / 2 AS VARCHAR(6)), 4, '0'), "
                       "'Voce di bilancio numero ' || :i, '2019-01-01'); "
                       "s = 1; WHILE (s <= %2) DO BEGIN "
                       "INSERT INTO TSVO_SOTTOVOCI (ISVOID, ICORID, IVPROID, IDWGID, SSVODESCS, SSVODESCL, DSTART) "
                       "VALUES (:i * 10 + :s, 3, :i, IIF(MOD(:i, 4) < 2, 10, NULL), LPAD(CAST(:s AS VARCHAR(3)), 3, '0'), "
                       "'Sottovoce ' || :s || ' della voce ' || :i, '2019-01-01'); "
                       "s = s + 1; END "
                       "i = i + 1; END END")
            .arg(Items)
            .arg(SubItemsPerItem),
    };
    for (const QString &sql : statements) {
        if (auto s = q.execDirect(sql); !s) {
            std::fprintf(stderr, "%s\n", qPrintable(s.error()));
            return nullptr;
        }
    }
    g_db = std::move(t);
    return g_db.get();
}

void report(benchmark::State &state, std::vector<double> millis, const char *name)
{
    std::sort(millis.begin(), millis.end());
    const double median = millis[millis.size() / 2];
    state.counters["median_ms"] = median;
    state.counters["max_ms"] = millis.back();
    g_medians[name] = median;
}

template<typename W>
void measureOpening(benchmark::State &state, const char *name, const std::function<int(W &)> &rows)
{
    test::TestDatabase *t = database();
    if (!t) {
        state.SkipWithError("database preparation failed");
        return;
    }
    fw::RecordingMessageSink sink;
    std::vector<double> millis;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto w = std::make_unique<W>(t->db(), BudgetYear::calendar(2026, 10), BudgetView{2, 1});
        w->resize(1200, 800);
        w->show();
        QApplication::processEvents();
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (rows(*w) == 0)
            state.SkipWithError("empty list");
        w->close();
    }
    if (!sink.entries().isEmpty()) {
        state.SkipWithError(qPrintable(sink.lastText()));
        return;
    }
    report(state, millis, name);
}

void BM_OpenItemsWindow(benchmark::State &state)
{
    measureOpening<TfmVoci>(state, "items", [](TfmVoci &w) { return w.xqcVoci()->count() * w.xqcSottoVoci()->count(); });
}

void BM_OpenAggregatesWindow(benchmark::State &state)
{
    measureOpening<TfmAggregati>(state, "aggregates", [](TfmAggregati &w) { return w.xqcAggregati()->count(); });
}

} // namespace

BENCHMARK(BM_OpenItemsWindow)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAggregatesWindow)->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    // Limit: each window open under 300 ms with 2,000 items and 10,000 sub-items.
    int status = 0;
    for (const auto &[name, median] : g_medians) {
        std::printf("opening the %s window (2,000 items, 10,000 sub-items): median %.0f ms (limit 300)\n", name.c_str(), median);
        status |= median < 300 ? 0 : 1;
    }
    return status;
}
