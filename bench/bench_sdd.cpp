// SEPA direct debit file of 5,000 debits: writing the XML, the file step (sequence types read,
// checks, file written atomically, every debit recorded against its mandate in one transaction),
// and the bank export's OK with the SEPA row (5,000 dispositions from the demo's detail rows,
// file written and movements committed) must each stay under 2 s.
#include "AbiUIBAN.h"
#include "EbcUSddExport.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TVeParamManager.h"
#include "TestDatabase.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

using namespace ccp;
using namespace ccp::directdebit;

namespace {

constexpr int Debits = 5000;

QString creditorId()
{
    // IT, check digits, ZZZ, the school's fiscal code 80012345678.
    const QString national = QStringLiteral("80012345678");
    return QStringLiteral("IT") + creditorIdCheckDigits(QStringLiteral("IT"), national) + QStringLiteral("ZZZ") + national;
}

SddBatch batch(int run)
{
    SddBatch b;
    b.created = QDateTime::currentDateTime();
    b.creditorName = QStringLiteral("Istituto Comprensivo Statale di Prova");
    b.creditorIban = abiban::BuildIBAN(QStringLiteral("05428"), QStringLiteral("11101"), QStringLiteral("000000123456")).value();
    b.creditorAbi = QStringLiteral("05428");
    b.creditorId = creditorId();
    b.cuc = QStringLiteral("1234567A");
    b.transactions.reserve(Debits);
    for (int i = 0; i < Debits; ++i) {
        SddTransaction t;
        t.pupil = QStringLiteral("Alunno %1").arg(i);
        t.acbId = i + 1;
        t.debtorName = QStringLiteral("Cognome%1 Nome%1 genitore dell'alunno con un nome piuttosto lungo").arg(i);
        t.iban = abiban::BuildIBAN(QStringLiteral("03069"), QStringLiteral("09606"),
                                   QString::number(100000 + i).rightJustified(12, u'0')).value();
        t.amount = Money::fromCents(5000 + i % 700);
        t.mandateId = QStringLiteral("RMIC81200X-%1").arg(i + 1, 9, 10, QLatin1Char('0'));
        t.signatureDate = QDate(2025, 9, 1).addDays(i % 300);
        t.endToEndId = QStringLiteral("CCP-%1-%2").arg(run).arg(i + 1);
        t.remittance = QStringLiteral("Contributo scolastico - Prima rata - Alunno %1 classe 3A").arg(i);
        t.collectionDate = QDate(2026, 10, 31).addDays(i % 2 ? 0 : 31);
        b.transactions.append(t);
    }
    return b;
}

void BM_WriteSdd5000(benchmark::State &state)
{
    const SddBatch b = batch(0);
    for (auto _ : state) {
        auto xml = writeSdd(b);
        if (!xml)
            state.SkipWithError(qPrintable(xml.error()));
        benchmark::DoNotOptimize(xml);
    }
}
BENCHMARK(BM_WriteSdd5000)->Unit(benchmark::kMillisecond);

void BM_ExportSdd5000(benchmark::State &state)
{
    test::TestDatabase db;
    QTemporaryDir dir;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SddBatch b = batch(++run);
        state.ResumeTiming();
        if (Status s = exportSdd(db.db(), b, dir.filePath(QStringLiteral("SDD.xml"))); !s)
            state.SkipWithError(qPrintable(s.error()));
    }
}
BENCHMARK(BM_ExportSdd5000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The demo's detail rows of the year repeated under 5,000 payers: one disposition each.
void BM_BankExportSdd5000(benchmark::State &state)
{
    test::TestDatabase db(true);
    QTemporaryDir dir;
    if (!fw::TVeParamManager(db.db(), QStringLiteral("SYSDBA")).load() || !installShippedLayouts(dir.path())) {
        state.SkipWithError("setup");
        return;
    }
    auto &v = fw::TVeGlobalValuesManager::instance();
    const ExportParams params{v.intValue(QStringLiteral("VEUP_DwgId")), v.intValue(QStringLiteral("VEUP_AnsId")),
                              v.intValue(QStringLiteral("EBCP_SprIstId")), 11, QDate(2026, 9, 1), QDate(2027, 8, 31), {}};
    auto rows = loadDetailRows(db.db(), params);
    auto catalogue = loadCatalogue(dir.path());
    if (!rows || rows->isEmpty() || !catalogue) {
        state.SkipWithError("no detail rows");
        return;
    }
    ExportRun run;
    for (const BankLayoutEntry &e : catalogue.value())
        if (isSddLayout(e))
            run.layout = loadLayout(dir.path(), e).value();
    for (int i = 0; i < Debits; ++i) {
        DetailRow r = rows->at(i % rows->size());
        r.iAnaIdGen = 1000000 + i;
        run.rows.append(r);
    }
    run.mainDirectory = dir.path();
    run.movement = MovementParams{params.sprIstId, QDate(2026, 10, 20)};
    run.dispositions = buildDispositions(run.rows, QString(), SddSupportName, run.movement.date, run.movement.date);
    run.path = dir.filePath(QStringLiteral("SDD.xml"));
    run.recordMovements = state.range(0) == 1;
    run.sdd = SddSettings{creditorId(), QStringLiteral("1234567A"), SddVersion::V000100};
    run.mpgId = 11;
    run.dwgId = params.dwgId;
    for (auto _ : state)
        if (Status s = writeExport(db.db(), run); !s)
            state.SkipWithError(qPrintable(s.error()));
    state.counters["dispositions"] = double(run.dispositions.size());
}
// Argument 1: with "Crea il movimento per i dati esportati".
BENCHMARK(BM_BankExportSdd5000)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0)->Arg(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
