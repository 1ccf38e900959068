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

bool exec(QSqlDatabase db, const QString &sql)
{
    SqlQuery q(db);
    if (auto s = q.execDirect(sql); !s) {
        std::fprintf(stderr, "%s\n", qPrintable(s.error()));
        return false;
    }
    return true;
}

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
    const int present = test::scalar(db, QStringLiteral(
        "SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iSprIstId = %1 AND dMvmDataMov BETWEEN '%2-01-01' AND '%2-12-31'")
        .arg(y->ctx.sprIstId).arg(y->ctx.anfValore)).toInt();
    const int missing = std::max(0, movements - present);
    const QString fill = QStringLiteral(
        "EXECUTE BLOCK AS\n"
        "DECLARE i INTEGER = 0;\n"
        "DECLARE id INTEGER;\n"
        "DECLARE p INTEGER;\n"
        "DECLARE cca1 INTEGER;\n"
        "DECLARE cca2 INTEGER;\n"
        "BEGIN\n"
        "  SELECT COALESCE(iCaiUltProgr, 0) FROM TCai_CassaIst WHERE iSprIstId = %1 AND iCaiEsercizioFin = %2 INTO :p;\n"
        "  SELECT MIN(iCcaId), MAX(iCcaId) FROM TCauCca WHERE iCauId = %3 INTO :cca1, :cca2;\n"
        "  WHILE (i < %4) DO\n"
        "  BEGIN\n"
        "    id = NEXT VALUE FOR G_TMVM_MOVIMENTICCP;\n"
        "    INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, fMvmDifferenza,\n"
        "      iMvmProgr, dMvmDataMov, dMvmDataEc, iSitId, iCbmId, iLocked)\n"
        "    VALUES (:id, %1, %3, 0, 20, 0, :p + :i + 1, DATEADD(MOD(:i, 365) DAY TO DATE '%2-01-01'),\n"
        "      DATEADD(MOD(:i, 365) DAY TO DATE '%2-01-01'), %5, 1, 0);\n"
        "    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, :id, :cca1, 12);\n"
        "    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, :id, :cca2, 8);\n"
        "    i = i + 1;\n"
        "  END\n"
        "  UPDATE TCai_CassaIst SET iCaiUltProgr = :p + %4 WHERE iSprIstId = %1 AND iCaiEsercizioFin = %2;\n"
        "END")
        .arg(y->ctx.sprIstId).arg(y->ctx.anfValore).arg(y->cauId).arg(missing).arg(y->sitId);
    Transaction tr(db);
    if (!exec(db, fill) || !tr.commit().ok())
        return nullptr;
    std::fprintf(stderr, "account-year %d/%d: %d movements\n", y->ctx.sprIstId, y->ctx.anfValore, present + missing);
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

// The same pair typed into the movements window: until the list is refreshed and stands on the
// new, highlighted movement.
void BM_BarCodePairInWindow(benchmark::State &state)
{
    app();
    Year *y = year(int(state.range(0)));
    if (!y || y->sitId == 0 || y->cauId == 0) {
        state.SkipWithError("database preparation failed");
        return;
    }
    fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile::administrator(QStringLiteral("SYSDBA")));
    fw::RecordingMessageSink sink;
    TdmEbcMvm store(y->t->db());
    TfmEbcMvm window(store);
    if (!window.openList()) {
        state.SkipWithError("the movements list did not open");
        return;
    }
    TfrEbcMvm *frame = window.frEbcMvm;
    TfrEbsBarCode *panel = frame->frBarCode;
    panel->setDates(y->ctx.dataEc, y->ctx.dataMov);
    auto enter = [panel]() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(panel->edBarCode, &press);
    };
    const QString pupil = QStringLiteral("9%1").arg(y->sitId);
    const QString causale = QStringLiteral("0%1").arg(y->cauId);
    std::vector<double> millis;
    int onNewRow = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        panel->edBarCode->setText(pupil);
        enter();
        panel->edBarCode->setText(causale);
        enter();
        millis.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        const int highlighted = frame->barCodeReader()->highlightedMvmId();
        if (highlighted > 0 && frame->collection()->fieldValue(QStringLiteral("iMvmId")).toInt() == highlighted)
            ++onNewRow;
    }
    if (onNewRow != int(millis.size()) || !sink.entries().isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("%1 of %2 readings left the list on the new movement; %3")
                                           .arg(onNewRow).arg(millis.size()).arg(sink.lastText())));
        return;
    }
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["max_ms"] = millis.back();
}

} // namespace

BENCHMARK(BM_BarCodePair)->Arg(1000)->Arg(50000)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarCodePairInWindow)->Arg(1000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
