// Posting a movement by hand (row, procedures, three split rows, commit, list brought up to
// date) on an account-year that already holds 1,000 or 50,000 movements. The limits (50 ms,
// at most 1.5 times slower with 50,000) apply to the post itself; the runs with the whole year
// in the list also show what bringing a long list up to date adds.
#include "EbcMMvm.h"
#include "Money.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <vector>
#include <memory>

using namespace ccp;

namespace {

// (movements in the year, list shows the whole year) -> median post
std::map<std::pair<int, bool>, double> g_medianMillis;

// The demo school whose account 1 has `movements` movements, each with one split row, in the
// financial year 2025 (empty in the demo), numbered 1..n as the procedures would have.
// Emptied by main while the application still exists: the connections go before Qt's statics.
std::map<int, std::unique_ptr<test::TestDatabase>> g_databases;

test::TestDatabase &database(int movements)
{
    auto &slot = g_databases[movements];
    if (slot)
        return *slot;
    slot = std::make_unique<test::TestDatabase>(true);
    QSqlDatabase db = slot->db();
    Transaction tr(db);
    SqlQuery q(db);
    const Status s = q.exec(QStringLiteral(
        "EXECUTE BLOCK AS DECLARE i INTEGER = 1; DECLARE id INTEGER; DECLARE cca INTEGER; BEGIN "
        "SELECT FIRST 1 iCcaId FROM TCauCca WHERE iCauId = 21 INTO :cca; "
        "WHILE (i <= %1) DO BEGIN "
        "id = NEXT VALUE FOR G_TMVM_MOVIMENTICCP; "
        "INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, fMvmDifferenza, iMvmProgr, "
        "dMvmDataMov, dMvmDataEc, iBenId, iCbmId, iLocked) VALUES (:id, 1, 21, MOD(:i, 3) / 2, MOD(:i, 97) + 1, 0, :i, "
        "DATEADD(DAY, MOD(:i, 360), DATE '2025-01-01'), DATEADD(DAY, MOD(:i, 360), DATE '2025-01-01'), 1, 4, 0); "
        "INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, :id, :cca, "
        "MOD(:i, 97) + 1); "
        "i = i + 1; END "
        "UPDATE TCai_CassaIst SET iCaiUltProgr = %1, iLocked = 1 WHERE iSprIstId = 1 AND iCaiEsercizioFin = 2025; END")
                                .arg(movements));
    if (!s || !tr.commit())
        qFatal("cannot fill the year: %s", qPrintable(s.error()));
    return *slot;
}

// range(0): movements in the year; range(1): 1 = the list shows the whole year, 0 = the list
// shows only the posting day, so that the post alone (statements and commit) is measured.
void BM_PostMovementByHand(benchmark::State &state)
{
    const int movements = int(state.range(0));
    const bool wholeYear = state.range(1) == 1;
    test::TestDatabase &t = database(movements);
    fw::RecordingMessageSink messages;
    auto &values = fw::TVeGlobalValuesManager::instance();
    values.SetValues(QStringLiteral("EBCP_SprIstId"), 1);
    values.SetValues(QStringLiteral("EBCP_AnfId"), 25);

    movements::TdmEbcMvm store(t.db());
    QList<int> cca;
    {
        SqlQuery q(t.db());
        (void)q.exec(QStringLiteral("SELECT iCcaId FROM TCauCca WHERE iCauId = 21 ORDER BY iCcaId"));
        while (q.next())
            cca << q.value(0).toInt();
    }
    const QList<movements::MvmSplitRow> split{{cca.value(0), QStringLiteral("5.00")}, {cca.value(1), QStringLiteral("3.00")},
                                              {cca.value(2), QStringLiteral("2.00")}};
    store.splitSource = [split](int) { return std::optional<QList<movements::MvmSplitRow>>(split); };
    // The filled year has no movement after 26 December.
    store.setListParams(1, 0, wholeYear ? QDate(2025, 1, 1) : QDate(2025, 12, 28), QDate(2025, 12, 31));
    if (!store.xqcMvm->open().ok()) {
        state.SkipWithError("cannot open the list");
        return;
    }
    auto *c = store.xqcMvm;
    std::vector<double> times;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        c->insert();
        c->setFieldValue(QStringLiteral("iCauId"), 21);
        c->setFieldValue(QStringLiteral("fMvmImporto"), Money::fromEuros(10).toVariant());
        c->setFieldValue(QStringLiteral("fMvmDifferenza"), Money().toVariant());
        c->setFieldValue(QStringLiteral("dMvmDataMov"), QDate(2025, 12, 30));
        c->setFieldValue(QStringLiteral("dMvmDataEc"), QDate(2025, 12, 30));
        c->setFieldValue(QStringLiteral("iBenId"), 1);
        c->setFieldValue(QStringLiteral("iCbmId"), 4);
        if (!c->post()) {
            state.SkipWithError(qPrintable(messages.lastText()));
            break;
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        // Every iteration posts into the same year: the movement goes again, untimed, deleted
        // from the list as the clerk would.
        state.PauseTiming();
        messages.answer(fw::MsgResult::Yes);
        if (c->currentKey().toInt() != store.lastMvmId() || !c->deleteCurrent()) {
            state.SkipWithError("the posted movement is not the current row");
            break;
        }
        state.ResumeTiming();
    }
    if (!times.empty()) {
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        state.counters["median_ms"] = times[times.size() / 2];
        g_medianMillis[{movements, wholeYear}] = times[times.size() / 2];
    }
}
BENCHMARK(BM_PostMovementByHand)
    ->ArgNames({"movements", "wholeYearList"})
    ->Args({1000, 0})
    ->Args({50000, 0})
    ->Args({1000, 1})
    ->Args({50000, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_databases.clear();
    int status = 0;
    for (bool wholeYear : {false, true}) {
        if (!g_medianMillis.count({1000, wholeYear}) || !g_medianMillis.count({50000, wholeYear}))
            continue;
        const double small = g_medianMillis[{1000, wholeYear}];
        const double large = g_medianMillis[{50000, wholeYear}];
        std::printf("median post by hand, list of %s: %.1f ms with 1,000 movements, %.1f ms with 50,000; "
                    "ratio %.2f (limits 50 ms, 1.50)\n", wholeYear ? "the whole year" : "the posting days",
                    small, large, large / small);
        if (large / small > 1.5 || large >= 50)
            status = 1;
    }
    return status;
}
