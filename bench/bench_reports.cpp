#include "ReportLayout.h"
#include "ReportRender.h"

#include "Money.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace ccp;
using namespace ccp::reports;

namespace {

// A register: movements grouped by month, with page sums, the sum carried from page to page,
// month sums and the year's total.
const char *registerXml = R"(<report id="99001" title="Registro di prova">
  <page top="12" bottom="12"/>
  <pageHeader height="16">
    <text x="0" y="0" w="120" h="6" bold="true" size="11">Istituto Comprensivo di prova</text>
    <text x="120" y="0" w="60" h="6" align="right">Pagina [PAGE] di [PAGES]</text>
    <text x="0" y="7" w="120" h="5">Registro dei movimenti</text>
    <text x="110" y="7" w="70" h="5" align="right">Riporto: [RUNSUM(frdMvm."fImporto")]</text>
    <line x1="0" y1="14" x2="180" y2="14" width="0.3"/>
  </pageHeader>
  <section dataset="frdMvm">
    <columnHeader height="6">
      <text x="0" y="0" w="20" h="5" bold="true">Numero</text>
      <text x="20" y="0" w="25" h="5" bold="true">Data</text>
      <text x="45" y="0" w="60" h="5" bold="true">Versante</text>
      <text x="105" y="0" w="45" h="5" bold="true">Causale</text>
      <text x="150" y="0" w="30" h="5" bold="true" align="right">Importo</text>
    </columnHeader>
    <group key='[frdMvm."iMese"]'>
      <header height="6"><text x="0" y="0" w="100" h="5" bold="true">Mese [frdMvm."iMese"]</text></header>
      <footer height="7"><text x="90" y="1" w="60" h="5" bold="true">Totale del mese</text>
        <text x="150" y="1" w="30" h="5" bold="true" align="right">[SUM(frdMvm."fImporto")]</text></footer>
    </group>
    <detail height="4.5">
      <text x="0" y="0" w="20" h="4.5" size="8">[frdMvm."iNumero"]</text>
      <text x="20" y="0" w="25" h="4.5" size="8">[frdMvm."dData"|date]</text>
      <text x="45" y="0" w="60" h="4.5" size="8">[frdMvm."sVersante"]</text>
      <text x="105" y="0" w="45" h="4.5" size="8">[frdMvm."sCausale"]</text>
      <text x="150" y="0" w="30" h="4.5" size="8" align="right" format="money">[frdMvm."fImporto"]</text>
    </detail>
  </section>
  <summary height="8"><text x="90" y="2" w="60" h="5" bold="true">Totale generale</text>
    <text x="150" y="2" w="30" h="5" bold="true" align="right">[SUM(frdMvm."fImporto")]</text></summary>
  <pageFooter height="8">
    <line x1="0" y1="1" x2="180" y2="1"/>
    <text x="90" y="2" w="60" h="5">A riportare</text>
    <text x="150" y="2" w="30" h="5" align="right">[RUNSUM(frdMvm."fImporto")]</text>
  </pageFooter>
</report>)";

const DataTable &movements()
{
    static const DataTable table = [] {
        DataTable t({QStringLiteral("iNumero"), QStringLiteral("dData"), QStringLiteral("iMese"),
                     QStringLiteral("sVersante"), QStringLiteral("sCausale"), QStringLiteral("fImporto")});
        const QDate start(2026, 1, 1);
        for (int i = 0; i < 20000; ++i) {
            const QDate d = start.addDays(i * 365 / 20000);
            t.addRow({i + 1, d, d.month(), QStringLiteral("Cognome%1 Nome%2").arg(i % 997).arg(i % 13),
                      QStringLiteral("Contributo volontario"), Money::fromCents(100 + (i * 37) % 9000).toSqlExact()});
        }
        return t;
    }();
    return table;
}

std::shared_ptr<const Template> registerTemplate()
{
    static const auto tpl = parseTemplate(QString::fromUtf8(registerXml)).value();
    return tpl;
}

long peakKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double g_pdfMs = -1, g_firstMs = -1;

std::unique_ptr<SqlDataModule> registerData()
{
    auto data = std::make_unique<SqlDataModule>();
    data->setTable(QStringLiteral("frdMvm"), movements());
    return data;
}

void BM_Register20000ToPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        PageList pages;
        if (auto s = layoutReport(registerTemplate(), *registerData(), pages); !s) {
            state.SkipWithError(qPrintable(s.error()));
            return;
        }
        if (auto s = writePdf(pages, dir.filePath(QStringLiteral("registro.pdf")), {}); !s) {
            state.SkipWithError(qPrintable(s.error()));
            return;
        }
        g_pdfMs = std::max(g_pdfMs, double(t.elapsed()));
        state.counters["pages"] = pages.count();
    }
    state.counters["peak_MiB"] = double(peakKiB()) / 1024;
}
BENCHMARK(BM_Register20000ToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

// What the preview waits for before it shows something: the first page laid out and drawn.
void BM_Register20000FirstPage(benchmark::State &state)
{
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        PageList pages;
        LayoutOptions options;
        QImage first;
        options.onPage = [&](const PageList &p) {
            first = renderPage(p, 0, 96);
            return false;
        };
        layoutReport(registerTemplate(), *registerData(), pages, options);
        benchmark::DoNotOptimize(first);
        g_firstMs = std::max(g_firstMs, double(t.elapsed()));
    }
}
BENCHMARK(BM_Register20000FirstPage)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    movements();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    int status = 0;
    if (g_pdfMs >= 0) {
        std::printf("20,000 rows to PDF: slowest %.0f ms (limit 10000); peak memory %.0f MiB\n", g_pdfMs,
                    double(peakKiB()) / 1024);
        status |= g_pdfMs < 10000 ? 0 : 1;
    }
    if (g_firstMs >= 0) {
        std::printf("first page of 20,000 rows: slowest %.0f ms (limit 1000)\n", g_firstMs);
        status |= g_firstMs < 1000 ? 0 : 1;
    }
    return status;
}
