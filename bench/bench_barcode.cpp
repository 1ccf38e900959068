// Bar-code entry with a full working account-year: one reading pair (pupil code, Enter, causale
// code, Enter) typed into the panel until the movement is stored and announced for highlighting,
// and typed into the movements window until its list stands on the new row, with 1,000 and
// 50,000 movements in the year. Each pair must stay under 50 ms, and the time
// must not grow with the year (50,000 / 1,000 at most 1.5).
#include "EbcFMvm.h"
#include "EbcMMvm.h"
#include "EbcRMvm.h"
#include "EbsRBarCode.h"
#include "EbsUBarCode.h"
#include "SqlQuery.h"
#include "TVeAccess.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "TVeParamManager.h"
#include "MovementFill.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

using namespace ccp;
using namespace ccp::movements;

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "bench_barcode";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication a(argc, argv);
    return a;
}

struct Year
{
    std::unique_ptr<test::TestDatabase> t;
    BarCodeContext ctx;
    int sitId = 0;
    int cauId = 0;
};

// The demo school with its working account-year filled up to `movements` numbered movements
// (two split rows each), built once per size.
Year *year(int movements)
{
    static std::map<int, std::unique_ptr<Year>> years;
    if (auto it = years.find(movements); it != years.end())
        return it->second.get();
    auto y = std::make_unique<Year>();
    y->t = std::make_unique<test::TestDatabase>(true);
    if (!y->t->ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(y->t->error()));
        return nullptr;
    }
    QSqlDatabase db = y->t->db();
    fw::TVeGlobalValuesManager::instance().clear();
    fw::TVeParamManager params(db, QStringLiteral("SYSDBA"));
    if (!params.load().ok())
        return nullptr;
    auto c = BarCodeContext::fromGlobals(db);
    if (!c)
        return nullptr;
    y->ctx = c.value();
    y->ctx.dataEc = y->ctx.dataMov = QDate(y->ctx.anfValore, 6, 15);
    y->sitId = test::scalar(db, QStringLiteral("SELECT MIN(iSitId) FROM TSit_Situazioni")).toInt();
    y->cauId = test::scalar(db, QStringLiteral(
        "SELECT MIN(Cau.iCauId) FROM TCau_Causali Cau INNER JOIN VAns_AnniScolast Ans ON "
        "(Ans.dAnsVeltoInizio = Cau.dStart) WHERE Ans.iAnsId = %1 AND Cau.lCauTipo = 0 AND "
        "EXISTS (SELECT 1 FROM TCauCca C WHERE C.iCauId = Cau.iCauId)").arg(y->ctx.cauAnsId)).toInt();
    auto held = test::fillAccountYear(db, y->ctx.sprIstId, y->ctx.anfValore, y->cauId, y->sitId, movements);
    if (!held) {
        std::fprintf(stderr, "%s\n", qPrintable(held.error()));
        return nullptr;
    }
    std::fprintf(stderr, "account-year %d/%d: %d movements\n", y->ctx.sprIstId, y->ctx.anfValore, held.value());
    return (years[movements] = std::move(y)).get();
}

void BM_BarCodePair(benchmark::State &state)
{
    app();
    Year *y = year(int(state.range(0)));
    if (!y || y->sitId == 0 || y->cauId == 0) {
        state.SkipWithError("database preparation failed");
        return;
    }
    fw::RecordingMessageSink sink;
    TEbsBarCodeReader reader(y->t->db(), y->ctx);
    TEbsBarCodeQueue queue(reader);
    TfrEbsBarCode frame;
    frame.setDateRules(y->ctx.anfValore, y->ctx.accountStart);
    frame.setDates(y->ctx.dataEc, y->ctx.dataMov);
    frame.setQueue(&queue);
    int created = 0;
    QObject::connect(&queue, &TEbsBarCodeQueue::movementCreated, [&](int) { ++created; });
    const QString pupil = QStringLiteral("9%1").arg(y->sitId);
    const QString causale = QStringLiteral("0%1").arg(y->cauId);

    auto enter = [&frame]() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(frame.edBarCode, &press);
    };
    std::vector<double> millis;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        frame.edBarCode->setText(pupil);
        enter();
        frame.edBarCode->setText(causale);
        enter();
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    if (created != int(millis.size()) || !sink.entries().isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("%1 of %2 movements created; %3")
                                           .arg(created).arg(millis.size()).arg(sink.lastText())));
        return;
    }
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["max_ms"] = millis.back();
}

} // namespace

BENCHMARK(BM_BarCodePair)->Arg(1000)->Arg(50000)->Iterations(200)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
