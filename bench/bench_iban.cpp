#include "AbiUIBAN.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

using namespace ccp::abiban;

namespace {

// 100,000 typed IBANs: nine in ten valid, the rest with one wrong digit.
const QStringList &sampleIbans()
{
    static const QStringList list = [] {
        QStringList out;
        QRandomGenerator rng(97);
        for (int i = 0; i < 100000; ++i) {
            const QString abi = QString::number(rng.bounded(1, 99999)).rightJustified(5, u'0');
            const QString cab = QString::number(rng.bounded(1, 99999)).rightJustified(5, u'0');
            const QString account = QString::number(rng.bounded(1, 999999999));
            QString iban = BuildIBAN(abi, cab, account).value();
            if (i % 10 == 0)
                iban[20] = QChar(u'0' + (iban[20].digitValue() + 1) % 10);
            out << iban;
        }
        return out;
    }();
    return list;
}

void BM_CheckIBAN_100k(benchmark::State &state)
{
    const QStringList &ibans = sampleIbans();
    for (auto _ : state) {
        int valid = 0;
        for (const QString &iban : ibans)
            valid += CheckIBAN(iban) ? 1 : 0;
        benchmark::DoNotOptimize(valid);
        if (valid != 90000)
            state.SkipWithError("unexpected count of valid IBANs");
    }
    state.SetItemsProcessed(state.iterations() * ibans.size());
}
BENCHMARK(BM_CheckIBAN_100k)->Unit(benchmark::kMillisecond);

void BM_BuildIBAN(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildIBAN(QStringLiteral("1234"), QStringLiteral("5678"),
                                           QStringLiteral("1000000")));
}
BENCHMARK(BM_BuildIBAN);

} // namespace

BENCHMARK_MAIN();
