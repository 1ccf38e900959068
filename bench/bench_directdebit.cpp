// The pupils' bank coordinates with 1,500 coordinates: opening the window (built, three lists
// open, first page shown) must stay under 300 ms; a bulk replace over the 1,500 records under
// 2 s, both for a payment method changed on every record and for a causale added to every
// record with its component rows.
#include "EbcFAluGen.h"
#include "EbcMAluGen.h"
#include "TVeQueryCollection.h"
#include "EbcUAluGen.h"
#include "EbcUDataReplace.h"
#include "SqlQuery.h"
#include "TVeAccess.h"
#include "TVeGlobalValues.h"
#include "TVeParamManager.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSqlQuery>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace ccp;
using namespace ccp::directdebit;

namespace {

constexpr int Coordinates = 1500;

std::unique_ptr<test::TestDatabase> g_db;
QList<int> g_ids;
std::map<std::string, std::vector<double>> g_times;

// The demo school with its coordinates brought to 1,500 (pupils of the working year, in turn).
test::TestDatabase &database()
{
    if (g_db)
        return *g_db;
    g_db = std::make_unique<test::TestDatabase>(true);
    QSqlDatabase db = g_db->db();
    if (!fw::TVeParamManager(db, QStringLiteral("SYSDBA")).load())
        std::abort();
    QSqlQuery q(db);
    fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile::administrator(QStringLiteral("SYSDBA")));
    QList<std::pair<int, int>> pupils;
    q.exec(QStringLiteral("SELECT Sit.iAnaId, (SELECT FIRST 1 G.iAnaId_P FROM TAnaGpt G WHERE G.iAnaId = Sit.iAnaId) "
                          "FROM TSit_Situazioni Sit WHERE Sit.dStart = '2026-09-01' AND Sit.iSitOrdine = 1 "
                          "AND EXISTS (SELECT 1 FROM TAnaGpt G WHERE G.iAnaId = Sit.iAnaId) ORDER BY Sit.iAnaId"));
    while (q.next())
        pupils.append({q.value(0).toInt(), q.value(1).toInt()});
    const int have = test::scalar(db, QStringLiteral("SELECT COUNT(*) FROM TAcb_AluCoordBan")).toInt();
    SqlQuery ins(db);
    (void)ins.prepare(QStringLiteral(
        "INSERT INTO TAcb_AluCoordBan (iAcbId, iAnaId, iAnaId_Gen, iMpgId, sAcbIBan, sAcbIntestatario) "
        "SELECT (SELECT l_iCntId FROM PYSetGetId('TACB_ALUCOORDBAN', 0)), :ana, :gen, 11, "
        "'IT60X0542811101000000123456', sAnaCognome || ' ' || sAnaNome FROM TAna_Anagrafiche WHERE iAnaId = :gen"));
    for (int i = have; i < Coordinates; ++i) {
        const auto &[pupil, parent] = pupils[i % pupils.size()];
        ins.bind(QStringLiteral("ana"), pupil).bind(QStringLiteral("gen"), parent);
        if (auto s = ins.exec(); !s)
            std::fprintf(stderr, "%s\n", qPrintable(s.error()));
    }
    q.exec(QStringLiteral("SELECT iAcbId FROM TAcb_AluCoordBan ORDER BY iAcbId"));
    while (q.next())
        g_ids << q.value(0).toInt();
    return *g_db;
}

ReplaceField shipped(const QString &name)
{
    auto fields = parseReplaceDefinition(readXmlDocument(database().db(), QStringLiteral("EBCREPLACE")).value());
    for (const ReplaceField &f : fields.value())
        if (f.name == name)
            return f;
    return {};
}

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_OpenCoordinatesWindow(benchmark::State &state)
{
    QSqlDatabase db = database().db();
    fw::RecordingMessageSink sink;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto w = std::make_unique<TfmEbcAluGen>(db);
        w->resize(1400, 900);
        w->show();
        QApplication::processEvents();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        g_times["open"].push_back(ms);
        state.SetIterationTime(ms / 1000.0);
        if (w->dataModule()->xqcAluGen->count() == 0)
            state.SkipWithError("empty list");
    }
}

void BM_ReplacePaymentMethod(benchmark::State &state)
{
    const ReplaceField f = shipped(QStringLiteral("iMpgId"));
    int value = 3;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto n = runReplace(database().db(), {f, QVariant(), value, true, g_ids});
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (!n || n.value() != Coordinates)
            state.SkipWithError("replace failed");
        g_times["method"].push_back(ms);
        state.SetIterationTime(ms / 1000.0);
        value = value == 3 ? 11 : 3;
    }
}

void BM_ReplaceAddCausale(benchmark::State &state)
{
    const ReplaceField f = shipped(QStringLiteral("iCauId"));
    const int cauId = test::scalar(database().db(), QStringLiteral(
        "SELECT FIRST 1 iCauId FROM TCau_Causali WHERE sCauSDesc = 'RATE'")).toInt();
    for (auto _ : state) {
        QSqlQuery(database().db()).exec(QStringLiteral("DELETE FROM TAcbCau WHERE iCauId = %1").arg(cauId));
        const auto start = std::chrono::steady_clock::now();
        auto n = runReplace(database().db(), {f, QVariant(), cauId, false, g_ids});
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (!n || n.value() != Coordinates)
            state.SkipWithError("replace failed");
        g_times["causale"].push_back(ms);
        state.SetIterationTime(ms / 1000.0);
    }
}

} // namespace

BENCHMARK(BM_OpenCoordinatesWindow)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplacePaymentMethod)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAddCausale)->Iterations(4)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    int status = 0;
    const struct { const char *key, *what; double limit; } limits[] = {
        {"open", "opening the window with 1,500 coordinates", 300},
        {"method", "replacing the payment method of 1,500 records", 2000},
        {"causale", "adding a causale with its components to 1,500 records", 2000},
    };
    for (const auto &l : limits) {
        const double m = median(g_times[l.key]);
        if (m < 0)
            continue;
        std::printf("%s: median %.0f ms (limit %.0f)\n", l.what, m, l.limit);
        status |= m < l.limit ? 0 : 1;
    }
    return status;
}
