// SEPA direct debit file of 5,000 debits: writing the XML, and the whole export (sequence
// types read, checks, file written atomically, every debit recorded against its mandate in one
// transaction) must stay under 2 s.
#include "AbiUIBAN.h"
#include "EbcUSddExport.h"
#include "SqlQuery.h"
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
