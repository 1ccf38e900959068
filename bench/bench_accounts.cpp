// The accounts window with 50,000 movements in the year before the new one: opening the window
// (under 300 ms), computing the carry-over page of the year wizard and moving on the balances
// list with its composition read again (each under 200 ms).
#include "EbcFCcp.h"
#include "EbcFInitAnf.h"
#include "EbcMCcp.h"
#include "EbcUCcp.h"
#include "MovementFill.h"
#include "TVeGlobalValues.h"
#include "TVeParamManager.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

using namespace ccp;
using namespace ccp::accounts;

namespace {

constexpr int Movements = 50000;

struct Prepared
{
    std::unique_ptr<test::TestDatabase> t;
    int sprIstId = 0;
    int year = 0;  // the filled year; the wizard opens the one after
};
std::unique_ptr<Prepared> prepared;

Prepared *prepare(benchmark::State &state)
{
    if (prepared)
        return prepared.get();
    auto p = std::make_unique<Prepared>();
    p->t = std::make_unique<test::TestDatabase>(true);
    if (!p->t->ok()) {
        state.SkipWithError("database");
        return nullptr;
    }
    QSqlDatabase db = p->t->db();
    fw::TVeGlobalValuesManager::instance().clear();
    fw::TVeParamManager params(db, QStringLiteral("SYSDBA"));
    if (!params.load().ok()) {
        state.SkipWithError("parameters");
        return nullptr;
    }
    auto &values = fw::TVeGlobalValuesManager::instance();
    p->sprIstId = values.intValue(QStringLiteral("EBCP_SprIstId"));
    p->year = test::scalar(db, QStringLiteral("SELECT iAnfValore FROM TAnf_AnniFinanz WHERE iAnfId = %1")
                                   .arg(values.intValue(QStringLiteral("EBCP_AnfId")))).toInt();
    const int sitId = test::scalar(db, QStringLiteral("SELECT MIN(iSitId) FROM TSit_Situazioni")).toInt();
    const int cauId = test::scalar(db, QStringLiteral("SELECT MIN(iCauId) FROM TCauCca")).toInt();
    auto filled = test::fillAccountYear(db, p->sprIstId, p->year, cauId, sitId, Movements);
    if (!filled) {
        state.SkipWithError(qPrintable(filled.error()));
        return nullptr;
    }
    prepared = std::move(p);
    return prepared.get();
}

void report(benchmark::State &state, std::vector<double> millis)
{
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["max_ms"] = millis.back();
}

template<typename F>
double timed(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_OpenAccountsWindow(benchmark::State &state)
{
    Prepared *p = prepare(state);
    if (!p)
        return;
    fw::RecordingMessageSink sink;
    std::vector<double> millis;
    for (auto _ : state) {
        millis.push_back(timed([&] {
            TfmEbcCcp w(p->t->db());
            w.resize(1400, 900);
            w.show();
            QApplication::processEvents();
        }));
    }
    if (!sink.entries().isEmpty())
        state.SkipWithError(qPrintable(sink.lastText()));
    report(state, millis);
}

void BM_CarryOverPage(benchmark::State &state)
{
    Prepared *p = prepare(state);
    if (!p)
        return;
    fw::RecordingMessageSink sink;
    TfmEbcInitAnf w(p->t->db(), p->sprIstId, fw::TVeGlobalValuesManager::instance().intValue(QStringLiteral("VEUP_AnsId")));
    std::vector<double> millis;
    for (auto _ : state) {
        bool ok = true;
        millis.push_back(timed([&] { ok = readOpening(p->t->db(), p->sprIstId, p->year + 1, w.types(), false).ok(); }));
        if (!ok) {
            state.SkipWithError("carry-over");
            return;
        }
    }
    report(state, millis);
}

void BM_MoveOnBalances(benchmark::State &state)
{
    Prepared *p = prepare(state);
    if (!p)
        return;
    fw::RecordingMessageSink sink;
    TfmEbcCcp w(p->t->db());
    w.resize(1400, 900);
    w.show();
    QApplication::processEvents();
    fw::TVeQueryCollection *cai = w.dm()->xqcCai;
    if (cai->count() < 2) {
        state.SkipWithError("fewer than two years");
        return;
    }
    std::vector<double> millis;
    int row = cai->currentIndex();
    for (auto _ : state) {
        row = row == 0 ? 1 : 0;
        millis.push_back(timed([&] {
            cai->setCurrentIndex(row);
            QApplication::processEvents();
        }));
    }
    if (!sink.entries().isEmpty())
        state.SkipWithError(qPrintable(sink.lastText()));
    report(state, millis);
}

} // namespace

BENCHMARK(BM_OpenAccountsWindow)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CarryOverPage)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveOnBalances)->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    prepared.reset();
    return 0;
}
