// Cost of posting one movement (row, account-year procedures, three split rows, commit), and of
// reading the four per-type balances at a date, in a year that already holds 1,000 or 50,000
// movements. Totals and day totals are kept incrementally, so each pair must cost about the same:
// the ratios of the medians are printed at the end (limit 1.5).
#include "Connection.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

using namespace ccp;

namespace {

constexpr int Account = 900;
constexpr int Year = 2021;

std::map<int, double> g_medianMicros;
std::map<int, double> g_balanceMicros;

void keepMedian(benchmark::State &state, std::vector<double> &micros, std::map<int, double> &into)
{
    if (micros.empty())
        return;
    std::sort(micros.begin(), micros.end());
    const double median = micros[micros.size() / 2];
    into[int(state.range(0))] = median;
    state.counters["median_us"] = median;
}

bool execAll(QSqlDatabase db, const QStringList &statements)
{
    for (const QString &sql : statements) {
        SqlQuery q(db);
        if (auto s = q.execDirect(sql); !s) {
            std::fprintf(stderr, "%s\n  in %s\n", qPrintable(s.error()), qPrintable(sql.left(200)));
            return false;
        }
    }
    return true;
}

// One account with its 2021 account-year, an income causale of three components, and
// `movements` movements (each with three split rows) spread over the year.
std::unique_ptr<test::TestDatabase> prepare(int movements)
{
    auto t = std::make_unique<test::TestDatabase>();
    if (!t->ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(t->error()));
        return nullptr;
    }
    QSqlDatabase db = t->db();
    const QStringList seed = {
        QStringLiteral("INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (900, 'Istituto')"),
        QStringLiteral("INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS) VALUES (900, '07601', 'Poste')"),
        QStringLiteral("INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, SSPRCAB) VALUES (900, 900, '03200')"),
        QStringLiteral("INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, dStart) VALUES (900, 900, 900, '2019-01-01')"),
        QStringLiteral("UPDATE OR INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (1, 'Tasse', 1) MATCHING (iTccId)"),
        QStringLiteral("UPDATE OR INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (2, 'Contributi', 2) MATCHING (iTccId)"),
        QStringLiteral("UPDATE OR INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (3, 'Quote', 3) MATCHING (iTccId)"),
        QStringLiteral("UPDATE OR INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (4, 'Diversi', 4) MATCHING (iTccId)"),
        QStringLiteral("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, dStart, dEnd) "
                       "VALUES (900, 'ISCR', 'Iscrizione', 0, '2020-09-01', '2021-08-31')"),
        QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId) "
                       "VALUES (900, 'A', 'Tassa', 10, 0, 1)"),
        QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId) "
                       "VALUES (901, 'B', 'Contributo', 5.5, 0, 2)"),
        QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId) "
                       "VALUES (902, 'C', 'Quota', 4.5, 0, 3)"),
        QStringLiteral("INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId) VALUES (900, 900, 900)"),
        QStringLiteral("INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId) VALUES (901, 900, 901)"),
        QStringLiteral("INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId) VALUES (902, 900, 902)"),
        QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(2021, 900, 1000, 250, 250, 250, 250, 0, NULL, NULL)"),
    };
    if (!execAll(db, seed))
        return nullptr;

    // The year's movements in one transaction, already numbered.
    Transaction tr(db);
    const QString fill = QStringLiteral(
        "EXECUTE BLOCK AS\n"
        "DECLARE i INTEGER = 0;\n"
        "DECLARE id INTEGER;\n"
        "BEGIN\n"
        "  WHILE (i < %1) DO\n"
        "  BEGIN\n"
        "    id = NEXT VALUE FOR G_TMVM_MOVIMENTICCP;\n"
        "    INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, fMvmDifferenza,\n"
        "      iMvmProgr, dMvmDataMov, dMvmDataEc, iLocked)\n"
        "    VALUES (:id, 900, 900, 0, 20, 0, :i + 1, DATEADD(MOD(:i, 365) DAY TO DATE '2021-01-01'),\n"
        "      DATEADD(MOD(:i, 365) DAY TO DATE '2021-01-01'), 0);\n"
        "    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, :id, 900, 10);\n"
        "    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, :id, 901, 5.5);\n"
        "    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, :id, 902, 4.5);\n"
        "    i = i + 1;\n"
        "  END\n"
        "END").arg(movements);
    if (!execAll(db, {fill, QStringLiteral("UPDATE TCai_CassaIst SET iCaiUltProgr = %1, iLocked = 1 "
                                           "WHERE iSprIstId = 900 AND iCaiEsercizioFin = 2021").arg(movements)}))
        return nullptr;
    if (!tr.commit().ok())
        return nullptr;
    return t;
}

void BM_PostMovement(benchmark::State &state)
{
    const int movements = int(state.range(0));
    auto t = prepare(movements);
    if (!t) {
        state.SkipWithError("database preparation failed");
        return;
    }
    QSqlDatabase db = t->db();

    std::vector<double> micros;
    micros.reserve(size_t(state.max_iterations));
    int n = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Transaction tr(db);
        // The driver ties a statement to the transaction open when it was prepared: prepare inside.
        SqlQuery id(db), row(db), upd(db), lock(db), split(db);
        id.prepare(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TMVM_MOVIMENTICCP', 0)"));
        row.prepare(QStringLiteral(
            "INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, fMvmDifferenza, iMvmProgr, "
            "dMvmDataMov, dMvmDataEc, iLocked) VALUES (:id, :acc, 900, 0, 20, 0, 0, :d, :d, 0)"));
        upd.prepare(QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(:acc, :y)"));
        lock.prepare(QStringLiteral("EXECUTE PROCEDURE PEbc_LockUnlockAnf(:acc, :y)"));
        split.prepare(QStringLiteral("INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES "
                                     "((SELECT l_iCntId FROM PYSetGetId('TMVMCCA', 0)), :id, :cca, :amount)"));
        bool ok = id.exec().ok() && id.next();
        const int mvmId = ok ? id.value(0).toInt() : 0;
        id.finish();
        const QDate date = QDate(Year, 1, 1).addDays(n++ % 365);
        ok = ok && row.bind(QStringLiteral("id"), mvmId).bind(QStringLiteral("acc"), Account)
                       .bind(QStringLiteral("d"), date).exec().ok();
        ok = ok && upd.bind(QStringLiteral("acc"), Account).bind(QStringLiteral("y"), Year).exec().ok();
        ok = ok && lock.bind(QStringLiteral("acc"), Account).bind(QStringLiteral("y"), Year).exec().ok();
        const std::pair<int, const char *> parts[] = {{900, "10"}, {901, "5.5"}, {902, "4.5"}};
        for (const auto &[cca, amount] : parts)
            ok = ok && split.bind(QStringLiteral("id"), mvmId).bind(QStringLiteral("cca"), cca)
                           .bind(QStringLiteral("amount"), QString::fromLatin1(amount)).exec().ok();
        ok = ok && tr.commit().ok();
        if (!ok) {
            state.SkipWithError("posting failed");
            break;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    keepMedian(state, micros, g_medianMicros);
}

BENCHMARK(BM_PostMovement)->Arg(1000)->Arg(50000)->Iterations(400)->Unit(benchmark::kMicrosecond);

// The four per-type balances at a month end, as the year wizard and the accounts window read them.
void BM_BalancesAtADate(benchmark::State &state)
{
    auto t = prepare(int(state.range(0)));
    if (!t) {
        state.SkipWithError("database preparation failed");
        return;
    }
    QSqlDatabase db = t->db();
    std::vector<double> micros;
    int n = 0;
    for (auto _ : state) {
        const QDate date = QDate(Year, 1 + n++ % 12, 1).addMonths(1).addDays(-1);
        const auto start = std::chrono::steady_clock::now();
        bool ok = true;
        for (int type = 1; type <= 4 && ok; ++type) {
            SqlQuery q(db);
            ok = q.prepare(QStringLiteral("SELECT fTccImporto FROM PEbc_SaldoXTcc(:acc, :tcc, 0, :d)")).ok()
                 && q.bind(QStringLiteral("acc"), Account).bind(QStringLiteral("tcc"), type)
                        .bind(QStringLiteral("d"), date).exec().ok()
                 && q.next();
        }
        if (!ok) {
            state.SkipWithError("balance failed");
            break;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    keepMedian(state, micros, g_balanceMicros);
}

BENCHMARK(BM_BalancesAtADate)->Arg(1000)->Arg(50000)->Iterations(240)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bool flat = true;
    const auto report = [&flat](const char *what, std::map<int, double> &medians) {
        if (!medians.count(1000) || !medians.count(50000))
            return;
        const double ratio = medians[50000] / medians[1000];
        std::printf("median %s: %.0f us with 1,000 movements, %.0f us with 50,000; ratio %.2f (limit 1.50)\n", what,
                    medians[1000], medians[50000], ratio);
        flat = flat && ratio <= 1.5;
    };
    report("post", g_medianMicros);
    report("four balances", g_balanceMicros);
    return flat ? 0 : 1;
}
