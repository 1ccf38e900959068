// The movements window with a full working account-year (1,000 and 50,000 movements):
// opening it (window built, list open, first page shown) must stay under 300 ms; one bar-code
// reading pair typed into its panel, until the new movement is the highlighted current row of
// the list, under 50 ms and flat in the size of the year.
#include "EbcFMvm.h"
#include "EbcMMvm.h"
#include "EbcRMvm.h"
#include "EbsRBarCode.h"
#include "SqlQuery.h"
#include "TVeAccess.h"
#include "TVeGlobalValues.h"
#include "TVeParamManager.h"
#include "MovementFill.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace ccp;
using namespace ccp::movements;

namespace {

// Enter pressed in a control, as the scanner sends it.
void pressEnter(QWidget *w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

// The application main made (a static one would outlive the database connections' registry).
QApplication &app() { return *static_cast<QApplication *>(QCoreApplication::instance()); }

struct Year
{
    std::unique_ptr<test::TestDatabase> t;
    int sitId = 0;
    int cauId = 0;
};

// Emptied by main while the application still exists: the connections go before Qt's statics.
std::map<int, std::unique_ptr<Year>> years;

// The demo school with the working account-year filled up to `movements` movements.
Year *year(int movements)
{
    if (auto it = years.find(movements); it != years.end())
        return it->second.get();
    auto y = std::make_unique<Year>();
    y->t = std::make_unique<test::TestDatabase>(true);
    if (!y->t->ok())
        return nullptr;
    QSqlDatabase db = y->t->db();
    fw::TVeGlobalValuesManager::instance().clear();
    fw::TVeParamManager params(db, QStringLiteral("SYSDBA"));
    if (!params.load().ok())
        return nullptr;
    auto &values = fw::TVeGlobalValuesManager::instance();
    const int spr = values.intValue(QStringLiteral("EBCP_SprIstId"));
    const int anf = test::scalar(db, QStringLiteral("SELECT iAnfValore FROM TAnf_AnniFinanz WHERE iAnfId = %1")
                                         .arg(values.intValue(QStringLiteral("EBCP_AnfId")))).toInt();
    y->sitId = test::scalar(db, QStringLiteral("SELECT MIN(iSitId) FROM TSit_Situazioni")).toInt();
    y->cauId = test::scalar(db, QStringLiteral(
        "SELECT MIN(Cau.iCauId) FROM TCau_Causali Cau INNER JOIN VAns_AnniScolast Ans ON "
        "(Ans.dAnsVeltoInizio = Cau.dStart) WHERE Ans.iAnsId = %1 AND Cau.lCauTipo = 0 AND "
        "EXISTS (SELECT 1 FROM TCauCca C WHERE C.iCauId = Cau.iCauId)")
        .arg(values.intValue(QStringLiteral("EBSP_CauAnsId")))).toInt();
    auto held = test::fillAccountYear(db, spr, anf, y->cauId, y->sitId, movements);
    if (!held) {
        std::fprintf(stderr, "%s\n", qPrintable(held.error()));
        return nullptr;
    }
    std::fprintf(stderr, "account-year %d/%d: %d movements\n", spr, anf, held.value());
    return (years[movements] = std::move(y)).get();
}

// (benchmark, movements in the year) -> median, for the limits checked at the end
std::map<std::pair<std::string, int>, double> g_medians;

void report(benchmark::State &state, std::vector<double> &millis, const char *what)
{
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["max_ms"] = millis.back();
    g_medians[{std::string(what), int(state.range(0))}] = millis[millis.size() / 2];
}

// The year of the benchmark's size, worked on by the administrator (null: skipped).
Year *prepare(benchmark::State &state)
{
    app();
    Year *y = year(int(state.range(0)));
    if (!y) {
        state.SkipWithError("database preparation failed");
        return nullptr;
    }
    fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile::administrator(QStringLiteral("SYSDBA")));
    return y;
}

void BM_OpenMovementsWindow(benchmark::State &state)
{
    Year *y = prepare(state);
    if (!y)
        return;
    fw::RecordingMessageSink sink;
    TdmEbcMvm store(y->t->db());
    std::vector<double> millis;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto w = std::make_unique<TfmEbcMvm>(store);
        w->resize(1200, 800);
        w->show();
        QApplication::processEvents();
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (store.xqcMvm->count() == 0)
            state.SkipWithError("empty list");
        w->close();
    }
    if (!sink.entries().isEmpty()) {
        state.SkipWithError(qPrintable(sink.lastText()));
        return;
    }
    report(state, millis, "open");
}

void BM_BarCodePairToHighlightedRow(benchmark::State &state)
{
    Year *y = prepare(state);
    if (!y)
        return;
    fw::RecordingMessageSink sink;
    TdmEbcMvm store(y->t->db());
    TfmEbcMvm w(store);
    w.resize(1200, 800);
    w.show();
    QApplication::processEvents();
    TfrEbcMvm *f = w.frEbcMvm;
    const QDate day = w.context().periodStart.addDays(200);
    f->frBarCode->setDates(day, day);
    // The clerk enters the code edit first: the list is taken to its end there, once.
    f->frBarCode->edBarCode->setFocus();
    const auto entered = std::chrono::steady_clock::now();
    QApplication::processEvents();
    state.counters["enter_ms"] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - entered).count();
    const QString pupil = QStringLiteral("9%1").arg(y->sitId);
    const QString causale = QStringLiteral("0%1").arg(y->cauId);
    std::vector<double> millis;
    int wrong = 0;
    for (auto _ : state) {
        const int before = f->highlightedMvmId();
        const auto start = std::chrono::steady_clock::now();
        f->frBarCode->edBarCode->setText(pupil);
        pressEnter(f->frBarCode->edBarCode);
        f->frBarCode->edBarCode->setText(causale);
        pressEnter(f->frBarCode->edBarCode);
        QApplication::processEvents();  // the list painted with the new row highlighted
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        const int id = f->highlightedMvmId();
        if (id == before || store.xqcMvm->currentKey().toInt() != id)
            ++wrong;
    }
    if (wrong || !sink.entries().isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("%1 readings not highlighted; %2").arg(wrong).arg(sink.lastText())));
        return;
    }
    state.counters["first_ms"] = millis.front();
    report(state, millis, "pair");
}

} // namespace
BENCHMARK(BM_OpenMovementsWindow)->Arg(1000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarCodePairToHighlightedRow)->Arg(1000)->Arg(50000)->Iterations(100)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    years.clear();
    // Limits: opening under 300 ms with 50,000 movements; a reading pair under 50 ms, and at
    // most 1.5 times the pair with 1,000.
    int status = 0;
    const auto at = [](const char *name, int n) {
        const auto it = g_medians.find({name, n});
        return it == g_medians.end() ? -1.0 : it->second;
    };
    if (const double open = at("open", 50000); open >= 0) {
        std::printf("opening the window with 50,000 movements: median %.0f ms (limit 300)\n", open);
        status |= open < 300 ? 0 : 1;
    }
    const double small = at("pair", 1000);
    const double large = at("pair", 50000);
    if (small > 0 && large >= 0) {
        std::printf("reading pair to the highlighted row: %.1f ms with 1,000, %.1f ms with 50,000; ratio %.2f "
                    "(limits 50 ms, 1.50)\n", small, large, large / small);
        status |= large < 50 && large / small <= 1.5 ? 0 : 1;
    }
    std::fflush(stdout);
    return status;
}
