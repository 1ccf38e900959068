// Fee definitions with a full school year: 2,000 causali (half income, half expense) and
// 10,000 components, each causale made of five. Opening a window and switching its tab must
// each stay under 200 ms: the lists read one page, whatever the size of the year.
#include "EbsFCau.h"
#include "EbsMDataSets.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TestDatabase.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabBar>
#include <cstdio>
#include <memory>

using namespace ccp;

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "bench_fees";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication a(argc, argv);
    return a;
}

// The year 2026/27 (id 41) filled with EXECUTE BLOCK loops; built once per run.
test::TestDatabase *fullYear()
{
    static std::unique_ptr<test::TestDatabase> t;
    if (t)
        return t.get();
    t = std::make_unique<test::TestDatabase>();
    if (!t->ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(t->error()));
        std::exit(1);
    }
    const QStringList script = {
        QStringLiteral("INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) "
                       "VALUES (41, 2026, '2026-09-01', '2027-08-31')"),
        QStringLiteral("INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (10, 'Istituto')"),
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN"
            " WHILE (i < 10000) DO BEGIN"
            "  INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra,"
            "   lCcaTipo, lCcaRette, iDwgId, dStart, dEnd)"
            "  VALUES (100000 + :i, 'C' || LPAD(:i, 5, '0'), 'Componente ' || :i, MOD(:i, 97) + 0.5, 0,"
            "   IIF(:i < 5000, 0, 1), MOD(:i, 2), IIF(MOD(:i, 3) = 0, NULL, 10), '2026-09-01', '2027-08-31');"
            "  i = i + 1; END END"),
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE i INTEGER = 0; DECLARE k INTEGER; BEGIN"
            " WHILE (i < 2000) DO BEGIN"
            "  INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd)"
            "  VALUES (100000 + :i, 'K' || LPAD(:i, 5, '0'), 'Causale ' || :i, IIF(:i < 1000, 0, 1), 1, 10,"
            "   '2026-09-01', '2027-08-31');"
            "  k = 0;"
            "  WHILE (k < 5) DO BEGIN"
            "   INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd)"
            "   VALUES (100000 + :i * 5 + :k, 100000 + :i, 100000 + :i * 5 + :k, '2026-09-01', '2027-08-31');"
            "   k = k + 1; END"
            "  i = i + 1; END END"),
    };
    for (const QString &sql : script) {
        SqlQuery q(t->db());
        if (auto s = q.execDirect(sql); !s) {
            std::fprintf(stderr, "%s\n", qPrintable(s.error()));
            std::exit(1);
        }
    }
    auto &values = fw::TVeGlobalValuesManager::instance();
    values.SetValues(QStringLiteral("EBSP_CauAnsId"), QStringLiteral("41"));
    values.SetValues(QStringLiteral("VEUP_AnsId"), QStringLiteral("41"));
    values.SetValues(QStringLiteral("VEUP_DwgId"), QStringLiteral("10"));
    return t.get();
}

fees::TdmEbsDataSets &dataSets()
{
    static std::unique_ptr<fees::TdmEbsDataSets> ds;
    if (!ds)
        ds = std::make_unique<fees::TdmEbsDataSets>(fullYear()->db());
    return *ds;
}

void BM_OpenCausaliWindow(benchmark::State &state)
{
    app();
    fees::TdmEbsDataSets &ds = dataSets();
    for (auto _ : state) {
        auto w = std::make_unique<fees::TfmEbsCau>(ds);
        w->resize(1200, 800);
        w->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(ds.xqcCaus->count());
        if (ds.xqcCaus->count() != 25 || ds.xqcCauCca->count() != 5)
            state.SkipWithError("the window did not list the year");
        w->close();
    }
}
BENCHMARK(BM_OpenCausaliWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SwitchCausaliTab(benchmark::State &state)
{
    app();
    fees::TdmEbsDataSets &ds = dataSets();
    auto w = std::make_unique<fees::TfmEbsCau>(ds);
    w->resize(1200, 800);
    w->show();
    QApplication::processEvents();
    int tab = 0;
    for (auto _ : state) {
        tab = 1 - tab;
        w->selectTab(tab);
        QApplication::processEvents();
        if (ds.xqcCaus->fieldValue(QStringLiteral("lCauTipo")).toInt() != tab)
            state.SkipWithError("the tab did not switch");
    }
    w->close();
}
BENCHMARK(BM_SwitchCausaliTab)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
