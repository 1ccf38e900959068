// The beneficiary registry on 20,000 beneficiaries: opening the window (list and detail),
// search as you type once the pause is over, and the one-off IBAN batch over 20,000 bank
// details. Limits: window under 300 ms, search under 100 ms.
#include "AbiFBen.h"
#include "AbiMBen.h"
#include "AbiUDatiBancari.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <memory>

using namespace ccp;

namespace {

constexpr int Beneficiaries = 20000;
std::unique_ptr<test::TestDatabase> g_db;

// 20,000 beneficiaries, one in ten a natural person, each with bank details on one branch.
test::TestDatabase &database()
{
    if (g_db)
        return *g_db;
    g_db = std::make_unique<test::TestDatabase>();
    QSqlDatabase db = g_db->db();
    Transaction tr(db);
    SqlQuery q(db);
    const Status s = q.exec(QStringLiteral(
        "EXECUTE BLOCK AS DECLARE i INTEGER = 1; DECLARE ana INTEGER; BEGIN "
        "INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS) VALUES (900000, '03069', 'Banca prova'); "
        "INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, SSPRCAB) VALUES (900000, 900000, '02400'); "
        "WHILE (i <= %1) DO BEGIN "
        "ana = NULL; "
        "IF (MOD(i, 10) = 0) THEN BEGIN ana = 900000 + i; "
        "INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, SANANOME, DANANASCITA, IIOCTRLCODE) "
        "VALUES (:ana, 'Cognome' || :i, 'Nome', DATE '1970-01-01', :i); END "
        "INSERT INTO TBEN_BENEFICIARI (IBENID, IANAID, SBENRAGSOC, SBENCODFISCALE, LBENEND, LBENPRIVACY) "
        "VALUES (900000 + :i, :ana, 'Fornitore ' || (MOD(:i * 7919, 100000)) || ' s.r.l.', 'CF' || :i, 0, MOD(:i, 2)); "
        "INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (900000 + :i, 900000 + :i, IIF(:ana IS NULL, 1, 2)); "
        "INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, ISPRID, SSPRBENNUMCC) VALUES (900000 + :i, 900000 + :i, 3, 900000, :i); "
        "i = i + 1; END END").arg(Beneficiaries));
    if (!s || !tr.commit())
        qFatal("cannot fill the registry: %s", qPrintable(s.error()));
    return *g_db;
}

void BM_OpenRegistryWindow(benchmark::State &state)
{
    test::TestDatabase &t = database();
    fw::RecordingMessageSink messages;
    for (auto _ : state) {
        ben::TdmBeneficiari dm(t.db());
        if (!dm.open())
            state.SkipWithError("open failed");
        ben::TfmBeneficiari window(dm);
        window.tabs()->setCurrentIndex(0);
        benchmark::DoNotOptimize(dm.xqcBeneficiari()->value(0, QStringLiteral("SBENRAGSOC")));
    }
}
BENCHMARK(BM_OpenRegistryWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What the pause in typing sets off: the list narrowed by the typed name, and its first page.
void BM_SearchAfterPause(benchmark::State &state)
{
    test::TestDatabase &t = database();
    fw::RecordingMessageSink messages;
    ben::TdmBeneficiari dm(t.db());
    (void)dm.open();
    const QStringList texts = {QStringLiteral("fornitore 123"), QStringLiteral("4567"), QStringLiteral("s.r.l"),
                               QStringLiteral("nessuno")};
    int i = 0;
    for (auto _ : state) {
        if (!dm.setView(false, texts[i++ % texts.size()]))
            state.SkipWithError("search failed");
        benchmark::DoNotOptimize(dm.xqcBeneficiari()->count());
    }
}
BENCHMARK(BM_SearchAfterPause)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_IbanBatch(benchmark::State &state)
{
    test::TestDatabase &t = database();
    for (auto _ : state) {
        auto r = ben::updateBeneficiariesIban(t.db());
        if (!r || r->updated != Beneficiaries)
            state.SkipWithError("batch failed");
    }
}
BENCHMARK(BM_IbanBatch)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    return 0;
}
