#include "EbcRCca.h"
#include "EbsFCca.h"
#include "EbsMDataSets.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QTabBar>
#include <benchmark/benchmark.h>

using namespace ccp;

namespace {

constexpr int kComponents = 10000;

// The demo school with 10,000 more components in the causali year (one in five an expense).
test::TestDatabase &database()
{
    static test::TestDatabase *t = [] {
        auto *db = new test::TestDatabase(true);
        Transaction tr(db->db());
        SqlQuery q(db->db());
        (void)q.exec(QStringLiteral(
            "EXECUTE BLOCK AS DECLARE i INTEGER = 1; DECLARE s DATE; DECLARE e DATE; BEGIN "
            "SELECT dAnsVeltoInizio, dAnsVeltoFine FROM TAns_AnniScolast WHERE iAnsId = 26 INTO :s, :e; "
            "WHILE (i <= %1) DO BEGIN "
            "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo, lCcaRette, "
            "iTccId, iDwgId, dStart, dEnd) VALUES (NEXT VALUE FOR G_TCCA_COMPCAUSALI, 'B' || :i, 'Componente ' || LPAD(:i, 5, '0'), "
            "MOD(:i, 90) + 10, 0, IIF(MOD(:i, 5) = 0, 1, 0), MOD(:i, 2), 100 + MOD(:i, 4), 3, :s, :e); i = i + 1; END END")
                         .arg(kComponents));
        (void)tr.commit();
        auto &values = fw::TVeGlobalValuesManager::instance();
        values.SetValues(QStringLiteral("EBSP_CauAnsId"), 26);
        values.SetValues(QStringLiteral("VEUP_DwgId"), 3);
        values.SetValues(QStringLiteral("EBCP_CcaRette"), 1);
        return db;
    }();
    return *t;
}

// Opening the window: the list of the income components with its first page, the first row's
// lookups and locking.
void BM_OpenComponentsWindow(benchmark::State &state)
{
    fees::TdmEbsDataSets ds(database().db());
    for (auto _ : state) {
        fees::TfmEbsCca w(ds);
        w.resize(1000, 700);
        w.show();
        QApplication::processEvents();
        if (ds.xqcCompCaus->count() == 0)
            state.SkipWithError("empty list");
        w.close();
    }
}
BENCHMARK(BM_OpenComponentsWindow)->Unit(benchmark::kMillisecond);

// Switching between the income and the expense tab on an open window (one switch per iteration).
void BM_SwitchComponentsTab(benchmark::State &state)
{
    fees::TdmEbsDataSets ds(database().db());
    fees::TfmEbsCca w(ds);
    w.resize(1000, 700);
    w.show();
    QApplication::processEvents();
    int tab = 0;
    for (auto _ : state) {
        tab = 1 - tab;
        w.tcMain()->setCurrentIndex(tab);
        QApplication::processEvents();
        if (w.tipo() != tab)
            state.SkipWithError("tab not switched");
    }
}
BENCHMARK(BM_SwitchComponentsTab)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
