// The database procedures and the triggers that keep the account-year totals, checked against
// figures computed by hand on small fixtures.
#include "Connection.h"
#include "Money.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <QSqlError>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

// Readable failures for texts.
void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

using namespace ccp;

namespace {

constexpr int Account = 900;
constexpr int Ans2020 = 900;     // school year 2020/21
constexpr int Ans2021 = 901;     // school year 2021/22, the target of duplications
constexpr int CauIncome = 900;   // three components: 10.00 tax, 5.50 sub-contribution, 4.50 quota
constexpr int CauExpense = 901;  // one component: 30.00 "other"
constexpr int CauEmpty = 902;    // no components
constexpr int CcaTax = 900, CcaSub = 901, CcaQuota = 902, CcaOther = 903, CcaLoose = 904;

// The rows every case starts from: an institute, one account, two school years, component types
// (1-4 top level, 950 a sub-type of 2, 960 a top-level type outside 1-4), people, causali.
void seedBasics(QSqlDatabase db)
{
    const char *rows[] = {
        "INSERT INTO TDwg_DataOwnerGrp (iDwgId, sDwgSDesc) VALUES (900, 'Istituto di prova')",
        "INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS) VALUES (900, '07601', 'Poste')",
        "INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, SSPRCAB, SSPRDESCS) VALUES (900, 900, '03200', 'Ufficio')",
        "INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, dStart) VALUES (900, 900, 900, '12345678', '2019-01-01')",
        "INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, dStart) VALUES (901, 900, 900, '87654321', '2019-01-01')",
        "UPDATE OR INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (1, 'Tasse', 1) MATCHING (iTccId)",
        "UPDATE OR INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (2, 'Contributi', 2) MATCHING (iTccId)",
        "UPDATE OR INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (3, 'Quote', 3) MATCHING (iTccId)",
        "UPDATE OR INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (4, 'Diversi', 4) MATCHING (iTccId)",
        "INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (950, 'Contributo laboratorio', 2)",
        "INSERT INTO TTcc_TipoCompCaus (iTccId, sTccLDesc, iTccId_P) VALUES (960, 'Altro tipo', 960)",
        "UPDATE OR INSERT INTO TCbm_CatBenefMvm (iCbmId, sCbmDesc) VALUES (1, 'Alunno') MATCHING (iCbmId)",
        "UPDATE OR INSERT INTO TCbm_CatBenefMvm (iCbmId, sCbmDesc) VALUES (6, 'Altro') MATCHING (iCbmId)",
        "INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (900, 'Rossi', 'Mario')",
        "INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome) VALUES (901, 'Bianchi', 'Anna')",
        "INSERT INTO TSit_Situazioni (iSitId, iAnaId, iPosAttId, iSitOrdine, dStart) VALUES (900, 901, NULL, 1, '2020-09-01')",
        "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (900, 'Ditta Alfa Srl')",
        "INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (900, 2020, '2020-09-01', '2021-08-31')",
        "INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) VALUES (901, 2021, '2021-09-01', '2022-08-31')",
        "INSERT INTO TAnf_AnniFinanz (iAnfId, iAnfValore, dAnfVeltoInizio, dAnfVeltoFine) VALUES (900, 2021, '2021-01-01', '2021-12-31')",
        "INSERT INTO TAGG_AGGREGATI (IAGGID, SAGGDESCS, SAGGDESCL) VALUES (900, 'A01', 'Funzionamento')",
        "INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, SVPROCOD, SVPRODESCS, IAGGID) VALUES (900, 'P12', 'Viaggi', 900)",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) "
        "VALUES (900, 'ISCR', 'Iscrizione', 0, 0, 900, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) "
        "VALUES (901, 'SPESA', 'Spese varie', 1, 0, 900, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) "
        "VALUES (902, 'VUOTA', 'Senza componenti', 0, 0, 900, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo, iTccId, iAggId, iDwgId, dCcaDataScadenza, dStart, dEnd) "
        "VALUES (900, 'TAS', 'Tassa iscrizione', 10, 11, 0, 1, 900, 900, '2020-10-31', '2020-09-01', '2021-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId, iVproId, iDwgId, dCcaDataScadenza, dStart, dEnd) "
        "VALUES (901, 'LAB', 'Laboratorio', 5.5, 0, 950, 900, 900, '2021-02-28', '2020-09-01', '2021-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId, iAggId, iDwgId, dStart, dEnd) "
        "VALUES (902, 'QUO', 'Quota assicurazione', 4.5, 0, 3, 900, 900, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId, iDwgId, dStart, dEnd) "
        "VALUES (903, 'VAR', 'Spese diverse', 30, 1, 4, 900, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId, iDwgId, dStart, dEnd) "
        "VALUES (904, 'ALT', 'Fuori tipo', 2, 0, 960, 900, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (900, 900, 900, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (901, 900, 901, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (902, 900, 902, '2020-09-01', '2021-08-31')",
        "INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (903, 901, 903, '2020-09-01', '2021-08-31')",
    };
    for (const char *sql : rows) {
        SqlQuery q(db);
        const Status s = q.exec(QString::fromLatin1(sql));
        ASSERT_TRUE(s.ok()) << qPrintable(s.error()) << "\n in " << sql;
    }
}

struct Split
{
    int ccaId;
    const char *amount;
};

class Procedures : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        db = t.db();
        seedBasics(db);
    }

    // Runs a statement; a select is read to the end, since a selectable procedure only does its
    // work (and raises its errors) while its rows are fetched.
    Status run(const QString &sql)
    {
        SqlQuery q(db);
        if (auto s = q.exec(sql); !s)
            return s;
        if (!sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive))
            return {};  // the driver has no rows to read after an executable procedure
        while (q.next()) {
        }
        if (q.raw().lastError().isValid())
            return Status::failure(Db::errorText(q.raw().lastError()));
        return {};
    }
    void exec(const QString &sql)
    {
        const Status s = run(sql);
        ASSERT_TRUE(s.ok()) << qPrintable(s.error()) << "\n in " << qPrintable(sql);
    }
    qint64 cents(const QString &sql) { return Money::fromVariant(test::scalar(db, sql)).cents(); }
    int integer(const QString &sql) { return test::scalar(db, sql).toInt(); }

    // Opens account-year `year` through the year initialisation; null dates = the calendar year.
    void initYear(int year, const char *balance = "0", const char *from = nullptr, const char *to = nullptr,
                  int account = Account)
    {
        exec(QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(%1, %2, %3, 0, 0, 0, %3, 0, %4, %5)")
                 .arg(year)
                 .arg(account)
                 .arg(QLatin1String(balance),
                      from ? QStringLiteral("'%1'").arg(QLatin1String(from)) : QStringLiteral("NULL"),
                      to ? QStringLiteral("'%1'").arg(QLatin1String(to)) : QStringLiteral("NULL")));
    }

    // Posts a movement as the movement store does: row, the two account-year procedures, split rows.
    int post(int year, int kind, const char *date, std::initializer_list<Split> split, const char *ecDate = nullptr,
             const char *difference = "0", int account = Account)
    {
        const int id = integer(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TMVM_MOVIMENTICCP', 0)"));
        QString total = QStringLiteral("0");
        for (const Split &s : split)
            total += QStringLiteral(" + %1").arg(QLatin1String(s.amount));
        exec(QStringLiteral("INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, "
                            "fMvmDifferenza, iMvmProgr, dMvmDataMov, dMvmDataEc, iLocked) "
                            "VALUES (%1, %2, %3, %4, %5, %6, 0, '%7', %8, 0)")
                 .arg(id)
                 .arg(account)
                 .arg(kind == 0 ? CauIncome : CauExpense)
                 .arg(kind)
                 .arg(total, QLatin1String(difference), QLatin1String(date),
                      ecDate ? QStringLiteral("'%1'").arg(QLatin1String(ecDate)) : QStringLiteral("NULL")));
        exec(QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(%1, %2)").arg(account).arg(year));
        exec(QStringLiteral("EXECUTE PROCEDURE PEbc_LockUnlockAnf(%1, %2)").arg(account).arg(year));
        for (const Split &s : split)
            exec(QStringLiteral("INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) "
                                "VALUES ((SELECT l_iCntId FROM PYSetGetId('TMVMCCA', 0)), %1, %2, %3)")
                     .arg(id)
                     .arg(s.ccaId)
                     .arg(QLatin1String(s.amount)));
        return id;
    }

    qint64 yearCents(const char *column, int year, int account = Account)
    {
        return cents(QStringLiteral("SELECT %1 FROM TCai_CassaIst WHERE iSprIstId = %2 AND iCaiEsercizioFin = %3")
                         .arg(QLatin1String(column))
                         .arg(account)
                         .arg(year));
    }
    int yearInt(const char *column, int year, int account = Account)
    {
        return integer(QStringLiteral("SELECT %1 FROM TCai_CassaIst WHERE iSprIstId = %2 AND iCaiEsercizioFin = %3")
                           .arg(QLatin1String(column))
                           .arg(account)
                           .arg(year));
    }
    QList<int> progressives()
    {
        QList<int> out;
        SqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT iMvmProgr FROM TMvm_MovimentiCcp ORDER BY iMvmId")).ok());
        while (q.next())
            out << q.value(0).toInt();
        return out;
    }

    test::TestDatabase t;
    QSqlDatabase db;
};

// --- Totals, progressives, locks --------------------------------------------------------------

TEST_F(Procedures, TotalsFollowMovementsWithinCustomYearBounds)
{
    // Financial year 2021 of this account runs from 1 September 2020 to 31 August 2021.
    initYear(2020, "0", "2019-09-01", "2020-08-31");
    initYear(2021, "100", "2020-09-01", "2021-08-31");
    post(2021, 0, "2020-09-01", {{CcaTax, "10"}, {CcaSub, "5.5"}});  // first day: counted
    post(2021, 1, "2021-08-31", {{CcaOther, "30"}});                  // last day: counted
    const int outside = post(2020, 0, "2020-08-31", {{CcaTax, "7"}}); // day before: not this year

    EXPECT_EQ(yearCents("fCaiSaldoIn", 2021), 1550);
    EXPECT_EQ(yearCents("fCaiSaldoOut", 2021), 3000);
    EXPECT_EQ(yearCents("fCaiCassaAtt", 2021), 10000 + 1550 - 3000);

    // An update that moves a movement into the year, then a change of amount and kind.
    exec(QStringLiteral("UPDATE TMvm_MovimentiCcp SET dMvmDataMov = '2021-01-15' WHERE iMvmId = %1").arg(outside));
    EXPECT_EQ(yearCents("fCaiSaldoIn", 2021), 2250);
    exec(QStringLiteral("UPDATE TMvm_MovimentiCcp SET fMvmImporto = 8, lMvmTipo = 1 WHERE iMvmId = %1").arg(outside));
    EXPECT_EQ(yearCents("fCaiSaldoIn", 2021), 1550);
    EXPECT_EQ(yearCents("fCaiSaldoOut", 2021), 3800);
    EXPECT_EQ(yearCents("fCaiCassaAtt", 2021), 10000 + 1550 - 3800);

    exec(QStringLiteral("DELETE FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(outside));
    exec(QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(%1, 2021)").arg(Account));
    EXPECT_EQ(yearCents("fCaiSaldoOut", 2021), 3000);
    EXPECT_EQ(yearCents("fCaiCassaAtt", 2021), 10000 + 1550 - 3000);
}

TEST_F(Procedures, MovementMovedToAnotherAccountLeavesBothYearsRight)
{
    initYear(2021, "0");
    initYear(2021, "0", nullptr, nullptr, 901);
    const int id = post(2021, 0, "2021-05-05", {{CcaTax, "10"}});
    exec(QStringLiteral("UPDATE TMvm_MovimentiCcp SET iSprIstId = 901 WHERE iMvmId = %1").arg(id));
    EXPECT_EQ(yearCents("fCaiSaldoIn", 2021, Account), 0);
    EXPECT_EQ(yearCents("fCaiSaldoIn", 2021, 901), 1000);
    // Its number belonged to the old account-year: it gets a new one in the new year.
    exec(QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(901, 2021)"));
    EXPECT_EQ(integer(QStringLiteral("SELECT iMvmProgr FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)), 1);
}

TEST_F(Procedures, ProgressivesFollowIdsAndAreNeverReused)
{
    initYear(2021);
    const int a = post(2021, 0, "2021-03-01", {{CcaTax, "10"}});
    post(2021, 1, "2021-02-01", {{CcaOther, "30"}});  // numbered in order of posting, not of date
    const int c = post(2021, 0, "2021-04-01", {{CcaTax, "10"}});
    EXPECT_EQ(progressives(), (QList<int>{1, 2, 3}));

    exec(QStringLiteral("DELETE FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(c));
    exec(QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(%1, 2021)").arg(Account));
    post(2021, 0, "2021-04-02", {{CcaTax, "10"}});
    EXPECT_EQ(progressives(), (QList<int>{1, 2, 4}));

    // Every account-year counts on its own.
    initYear(2022);
    post(2022, 0, "2022-01-03", {{CcaTax, "10"}});
    EXPECT_EQ(progressives(), (QList<int>{1, 2, 4, 1}));
    // A numbered movement keeps its number when run again.
    exec(QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(%1, 2021)").arg(Account));
    EXPECT_EQ(integer(QStringLiteral("SELECT iMvmProgr FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(a)), 1);
}

TEST_F(Procedures, UpdatingAYearThatWasNeverOpenedIsRefusedInItalian)
{
    const Status s = run(QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(%1, 2030)").arg(Account));
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error(), QStringLiteral("L'anno finanziario 2030 non è stato inizializzato per il conto 900: "
                                        "eseguire prima l'inizio dell'anno finanziario."));
}

TEST_F(Procedures, YearIsLockedWhileItHasMovements)
{
    initYear(2021);
    EXPECT_EQ(yearInt("iLocked", 2021), 0);
    const int id = post(2021, 0, "2021-03-01", {{CcaTax, "10"}});
    EXPECT_EQ(yearInt("iLocked", 2021), 1);
    exec(QStringLiteral("DELETE FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id));
    exec(QStringLiteral("EXECUTE PROCEDURE PEbc_LockUnlockAnf(%1, 2021)").arg(Account));
    EXPECT_EQ(yearInt("iLocked", 2021), 0);
}

TEST_F(Procedures, ClosingAnAccountLocksItsMovementsAndReopeningUnlocksTheLatestYear)
{
    initYear(2020);
    post(2020, 0, "2020-06-01", {{CcaTax, "10"}});
    initYear(2021);  // locks the movements of 2020
    post(2021, 0, "2021-06-01", {{CcaTax, "10"}});
    const QString locks = QStringLiteral("SELECT LIST(iLocked, '') FROM (SELECT iLocked FROM TMvm_MovimentiCcp "
                                         "ORDER BY dMvmDataMov)");
    EXPECT_EQ(test::scalar(db, locks).toString(), QStringLiteral("10"));

    exec(QStringLiteral("UPDATE TSprIst SET dEnd = '2021-06-30' WHERE iSprIstId = %1").arg(Account));
    for (int i = 0; i < 2; ++i) {  // a second run without a change of the closing date changes nothing
        exec(QStringLiteral("EXECUTE PROCEDURE PEbc_ContoOnOff(%1)").arg(Account));
        EXPECT_EQ(test::scalar(db, locks).toString(), QStringLiteral("11"));
    }
    exec(QStringLiteral("UPDATE TSprIst SET dEnd = NULL WHERE iSprIstId = %1").arg(Account));
    for (int i = 0; i < 2; ++i) {
        exec(QStringLiteral("EXECUTE PROCEDURE PEbc_ContoOnOff(%1)").arg(Account));
        EXPECT_EQ(test::scalar(db, locks).toString(), QStringLiteral("10"));
    }
}

// --- Year initialisation ----------------------------------------------------------------------

TEST_F(Procedures, InitialisationWritesTheYearAndItsOpeningAmounts)
{
    exec(QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(2021, %1, 175.50, 100, 50, 0, 25.50, -1.25, "
                        "'2020-09-01', '2021-08-31')").arg(Account));
    SqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT fCaiCassaIn, fCaiCassaAtt, fCaiSaldoIn, fCaiSaldoOut, fCaiDiffIniz, "
                                      "dCaiInizioAnno, dCaiFineAnno, iLocked, iCaiId FROM TCai_CassaIst "
                                      "WHERE iSprIstId = %1 AND iCaiEsercizioFin = 2021").arg(Account)).ok());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.money(0).cents(), 17550);
    EXPECT_EQ(q.money(1).cents(), 17550);
    EXPECT_EQ(q.money(2).cents(), 0);
    EXPECT_EQ(q.money(3).cents(), 0);
    EXPECT_EQ(q.money(4).cents(), -125);
    EXPECT_EQ(q.value(5).toDate(), QDate(2020, 9, 1));
    EXPECT_EQ(q.value(6).toDate(), QDate(2021, 8, 31));
    EXPECT_EQ(q.value(7).toInt(), 0);
    const int caiId = q.value(8).toInt();
    EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT LIST(iTccId || '=' || CAST(fCaiTccImportoIniz AS NUMERIC(18,2)), ' ') "
                                              "FROM (SELECT * FROM TCaiTcc WHERE iCaiId = %1 ORDER BY iTccId)")
                                   .arg(caiId)).toString(),
              QStringLiteral("1=100.00 2=50.00 3=0.00 4=25.50"));

    // Without movements the year may be initialised again: it is rewritten, not duplicated.
    exec(QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(2021, %1, 10, 1, 2, 3, 4, 0, NULL, NULL)").arg(Account));
    EXPECT_EQ(integer(QStringLiteral("SELECT COUNT(*) FROM TCai_CassaIst WHERE iSprIstId = %1").arg(Account)), 1);
    EXPECT_EQ(yearCents("fCaiCassaAtt", 2021), 1000);
    EXPECT_TRUE(test::scalar(db, QStringLiteral("SELECT dCaiInizioAnno FROM TCai_CassaIst WHERE iCaiId = %1")
                                     .arg(caiId)).isNull());
    EXPECT_EQ(cents(QStringLiteral("SELECT SUM(fCaiTccImportoIniz) FROM TCaiTcc WHERE iCaiId = %1").arg(caiId)), 1000);
    EXPECT_EQ(integer(QStringLiteral("SELECT COUNT(*) FROM TCaiTcc WHERE iCaiId = %1").arg(caiId)), 4);

    // With movements it is refused and left as it was.
    post(2021, 0, "2021-02-01", {{CcaTax, "10"}});
    const Status s = run(QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(2021, %1, 99, 99, 0, 0, 0, 0, NULL, NULL)")
                             .arg(Account));
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error(), QStringLiteral("L'anno finanziario 2021 del conto ha già dei movimenti: "
                                        "non può essere inizializzato di nuovo."));
    EXPECT_EQ(yearCents("fCaiCassaIn", 2021), 1000);
}

TEST_F(Procedures, InitialisationLocksTheMovementsOfTheYearBefore)
{
    initYear(2020, "0", "2019-09-01", "2020-08-31");
    post(2020, 0, "2019-09-02", {{CcaTax, "10"}});
    post(2020, 0, "2020-08-31", {{CcaTax, "10"}});
    initYear(2022);  // its year before (2021) does not exist: nothing to lock
    EXPECT_EQ(integer(QStringLiteral("SELECT SUM(iLocked) FROM TMvm_MovimentiCcp")), 0);
    initYear(2021, "20", "2020-09-01", "2021-08-31");
    EXPECT_EQ(integer(QStringLiteral("SELECT SUM(iLocked) FROM TMvm_MovimentiCcp")), 2);
}

// --- Duplication of causali -------------------------------------------------------------------

TEST_F(Procedures, DuplicationCopiesTheCausaleAndReusesTargetComponents)
{
    // The target year already has the tax component (same code, kind and institute).
    exec(QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId, "
                        "iDwgId, dStart, dEnd) VALUES (950, 'TAS', 'Tassa 2021', 12, 0, 1, 900, '2021-09-01', '2022-08-31')"));
    exec(QStringLiteral("EXECUTE PROCEDURE PEBS_DUPLICACAUS(%1, %2)").arg(Ans2021).arg(CauIncome));

    SqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT iCauId, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd "
                                      "FROM TCau_Causali WHERE sCauSDesc = 'ISCR' AND iCauId <> %1").arg(CauIncome)).ok());
    ASSERT_TRUE(q.next());
    const int copy = q.value(0).toInt();
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("Iscrizione"));
    EXPECT_EQ(q.value(2).toInt(), 0);
    EXPECT_EQ(q.value(4).toInt(), 900);
    EXPECT_EQ(q.value(5).toDate(), QDate(2021, 9, 1));
    EXPECT_EQ(q.value(6).toDate(), QDate(2022, 8, 31));
    EXPECT_FALSE(q.next());

    // Links: the existing tax component, copies of the other two with their due dates a year on.
    SqlQuery links(db);
    ASSERT_TRUE(links.exec(QStringLiteral(
        "SELECT Cca.iCcaId, Cca.sCcaSDesc, Cca.fCcaImportoIst, Cca.fCcaImportoEra, Cca.iTccId, Cca.iAggId, Cca.iVproId, "
        "Cca.dCcaDataScadenza, Cca.dStart, Cca.dEnd, CauCca.dStart, CauCca.dEnd FROM TCauCca CauCca "
        "INNER JOIN TCca_CompCausali Cca ON Cca.iCcaId = CauCca.iCcaId WHERE CauCca.iCauId = %1 ORDER BY Cca.sCcaSDesc")
                               .arg(copy)).ok());
    QStringList seen;
    while (links.next()) {
        const QString code = links.value(1).toString();
        seen << code;
        EXPECT_EQ(links.value(8).toDate(), QDate(2021, 9, 1)) << qPrintable(code);
        EXPECT_EQ(links.value(9).toDate(), QDate(2022, 8, 31)) << qPrintable(code);
        EXPECT_EQ(links.value(10).toDate(), QDate(2021, 9, 1)) << qPrintable(code);
        EXPECT_EQ(links.value(11).toDate(), QDate(2022, 8, 31)) << qPrintable(code);
        if (code == QLatin1String("TAS")) {
            EXPECT_EQ(links.value(0).toInt(), 950);
        } else if (code == QLatin1String("LAB")) {
            EXPECT_NE(links.value(0).toInt(), CcaSub);
            EXPECT_EQ(links.money(2).cents(), 550);
            EXPECT_EQ(links.value(4).toInt(), 950);
            EXPECT_EQ(links.value(6).toInt(), 900);
            EXPECT_EQ(links.value(7).toDate(), QDate(2022, 2, 28));
        } else if (code == QLatin1String("QUO")) {
            EXPECT_EQ(links.money(2).cents(), 450);
            EXPECT_EQ(links.value(5).toInt(), 900);
            EXPECT_TRUE(links.value(7).isNull());
        }
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("LAB"), QStringLiteral("QUO"), QStringLiteral("TAS")}));
    EXPECT_EQ(integer(QStringLiteral("SELECT COUNT(*) FROM TCca_CompCausali WHERE dStart = '2021-09-01'")), 3);

    // A second duplication of the same causale into the same year is refused.
    const Status again = run(QStringLiteral("EXECUTE PROCEDURE PEBS_DUPLICACAUS(%1, %2)").arg(Ans2021).arg(CauIncome));
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(again.error(), QStringLiteral("La causale \"ISCR - Iscrizione\" esiste già nell'anno scolastico di destinazione."));
    // So is one into a missing year; neither leaves a causale behind.
    const Status missing = run(QStringLiteral("EXECUTE PROCEDURE PEBS_DUPLICACAUS(12345, %1)").arg(CauIncome));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error(), QStringLiteral("L'anno scolastico di destinazione (12345) non esiste."));
    EXPECT_EQ(integer(QStringLiteral("SELECT COUNT(*) FROM TCau_Causali WHERE sCauSDesc = 'ISCR'")), 2);
}

// --- Bar-code movement ------------------------------------------------------------------------

TEST_F(Procedures, InsMvmPostsTheCausaleWithItsSplit)
{
    initYear(2021, "100");
    struct Row
    {
        const char *name;
        int person, situation, wantPerson, wantCategory;
        bool wantSituation;
    };
    const Row rows[] = {
        {"pupil by situation", 900, 900, 901, 1, true},
        {"negative situation means none", 900, -60, 900, 6, false},
        {"zero situation means none", 901, 0, 901, 6, false},
    };
    int n = 0;
    Transaction tr(db);  // as the bar-code entry does: the procedure, then commit
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        SqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT P.iMvmId, P.fMvmImporto FROM PEbc_InsMvm(%1, 2021, %2, %3, %4, "
                                          "'2021-03-0%5', '2021-03-10') P")
                               .arg(Account).arg(CauIncome).arg(r.person).arg(r.situation).arg(++n)).ok())
            << qPrintable(q.lastError());
        ASSERT_TRUE(q.next());
        const int id = q.value(0).toInt();
        EXPECT_EQ(q.money(1).cents(), 2000);
        SqlQuery m(db);
        ASSERT_TRUE(m.exec(QStringLiteral("SELECT iAnaId, iSitId, iCbmId, lMvmTipo, fMvmDifferenza, iMvmProgr, "
                                          "dMvmDataEc FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).ok());
        ASSERT_TRUE(m.next());
        EXPECT_EQ(m.value(0).toInt(), r.wantPerson);
        EXPECT_EQ(m.value(1).isNull(), !r.wantSituation);
        EXPECT_EQ(m.value(2).toInt(), r.wantCategory);
        EXPECT_EQ(m.value(3).toInt(), 0);
        EXPECT_EQ(m.money(4).cents(), 0);
        EXPECT_EQ(m.value(5).toInt(), n);
        EXPECT_EQ(m.value(6).toDate(), QDate(2021, 3, 10));
        EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT LIST(iCcaId || ':' || CAST(fMvmCcaImporto AS NUMERIC(18,2)), ' ') "
                                                  "FROM (SELECT * FROM TMvmCca WHERE iMvmId = %1 ORDER BY iCcaId)").arg(id))
                      .toString(),
                  QStringLiteral("900:10.00 901:5.50 902:4.50"));
    }
    ASSERT_TRUE(tr.commit().ok());
    EXPECT_EQ(yearCents("fCaiSaldoIn", 2021), 6000);
    EXPECT_EQ(yearCents("fCaiCassaAtt", 2021), 16000);
    EXPECT_EQ(yearInt("iLocked", 2021), 1);

    // An expense causale gives an expense movement.
    exec(QStringLiteral("SELECT * FROM PEbc_InsMvm(%1, 2021, %2, 900, NULL, '2021-04-01', NULL)").arg(Account).arg(CauExpense));
    EXPECT_EQ(yearCents("fCaiSaldoOut", 2021), 3000);
}

TEST_F(Procedures, InsMvmRefusalsAreClearAndLeaveNothing)
{
    initYear(2020);
    post(2020, 0, "2020-05-04", {{CcaTax, "10"}});
    initYear(2021, "0", "2021-01-01", "2021-06-30");  // locks the movements of 2020
    const int before = integer(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp"));
    struct Row
    {
        const char *name;
        int causale, year;
        const char *date;
        const char *closing;
        const char *message;
    };
    const Row rows[] = {
        {"causale without components", CauEmpty, 2021, "2021-02-01", nullptr,
         "La causale non ha componenti: impossibile registrare il movimento."},
        {"date before the custom year start", CauIncome, 2021, "2020-12-31", nullptr,
         "La data del movimento (31/12/2020) non rientra nell'anno finanziario 2021 (dal 01/01/2021 al 30/06/2021)."},
        {"year not opened", CauIncome, 2019, "2019-02-01", nullptr,
         "L'anno finanziario 2019 non è stato inizializzato per il conto 900: eseguire prima l'inizio dell'anno finanziario."},
        {"year locked by the next one", CauIncome, 2020, "2020-06-01", nullptr,
         "I movimenti dell'anno finanziario 2020 del conto sono stati bloccati dall'inizio dell'anno successivo: "
         "non si possono più registrare né modificare."},
        {"account closed on that day", CauIncome, 2021, "2021-05-31", "2021-05-31",
         "Il conto è chiuso dal 31/05/2021: i suoi movimenti non si possono più registrare né modificare."},
        {"account closed later", CauIncome, 2021, "2021-05-30", "2021-05-31",
         "Il conto è chiuso dal 31/05/2021: i suoi movimenti non si possono più registrare né modificare."},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        exec(QStringLiteral("UPDATE TSprIst SET dEnd = %1 WHERE iSprIstId = %2")
                 .arg(r.closing ? QStringLiteral("'%1'").arg(QLatin1String(r.closing)) : QStringLiteral("NULL"))
                 .arg(Account));
        const Status s = run(QStringLiteral("SELECT * FROM PEbc_InsMvm(%1, %2, %3, 900, NULL, '%4', NULL)")
                                 .arg(Account).arg(r.year).arg(r.causale).arg(QLatin1String(r.date)));
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.error(), QString::fromUtf8(r.message));
    }
    EXPECT_EQ(integer(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")), before);
    // Reopened, the account takes the movement.
    exec(QStringLiteral("UPDATE TSprIst SET dEnd = NULL WHERE iSprIstId = %1").arg(Account));
    exec(QStringLiteral("SELECT * FROM PEbc_InsMvm(%1, 2021, %2, 900, NULL, '2021-05-30', NULL)").arg(Account).arg(CauIncome));
    EXPECT_EQ(integer(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")), before + 1);
}

// --- Balances at a date -----------------------------------------------------------------------

class Balances : public Procedures
{
protected:
    void SetUp() override
    {
        Procedures::SetUp();
        // Opening: taxes 100, contributions 50, quotas 0, other 25.50, differences 2.
        exec(QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(2021, %1, 175.50, 100, 50, 0, 25.50, 2, NULL, NULL)")
                 .arg(Account));
        post(2021, 0, "2021-02-10", {{CcaTax, "10"}, {CcaSub, "5.5"}, {CcaQuota, "4.5"}}, "2021-03-01", "1.5");
        post(2021, 1, "2021-03-15", {{CcaOther, "30"}}, "2021-03-16", "0.25");
        post(2021, 0, "2021-03-20", {{CcaSub, "3"}, {CcaLoose, "2"}}, "2021-04-02");
    }
};

TEST_F(Balances, PerTypeBalanceAndCarryOver)
{
    struct Row
    {
        const char *name;
        const char *procedure;
        int type, byStatement;
        const char *date;
        qint64 want;
    };
    const Row rows[] = {
        {"taxes before any movement", "PEbc_SaldoXTcc", 1, 0, "2021-02-09", 10000},
        {"taxes after the first", "PEbc_SaldoXTcc", 1, 0, "2021-02-10", 11000},
        {"sub-type counts in contributions", "PEbc_SaldoXTcc", 2, 0, "2021-12-31", 5000 + 550 + 300},
        {"expense subtracts", "PEbc_SaldoXTcc", 4, 0, "2021-03-15", 2550 - 3000},
        {"by statement date not yet", "PEbc_SaldoXTcc", 2, 1, "2021-02-28", 5000},
        {"by statement date", "PEbc_SaldoXTcc", 2, 1, "2021-03-01", 5550},
        {"a type outside 1-4 counts as other", "PEbc_SaldoXTcc", 4, 0, "2021-12-31", 2550 - 3000 + 200},
        {"a date after the last year reads its closing", "PEbc_SaldoXTcc", 1, 0, "2022-01-01", 11000},
        {"a date before the first year reads nothing", "PEbc_SaldoXTcc", 1, 0, "2020-12-31", 0},
        {"carry-over on the first day is the opening", "PEbc_RiportoXTcc", 1, 0, "2021-01-01", 10000},
        {"carry-over stops the day before", "PEbc_RiportoXTcc", 1, 0, "2021-02-10", 10000},
        {"carry-over includes the day before", "PEbc_RiportoXTcc", 1, 0, "2021-02-11", 11000},
        {"carry-over by statement", "PEbc_RiportoXTcc", 2, 1, "2021-04-02", 5550},
        {"carry-over by statement next day", "PEbc_RiportoXTcc", 2, 1, "2021-04-03", 5850},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cents(QStringLiteral("SELECT fTccImporto FROM %1(%2, %3, %4, '%5')")
                            .arg(QLatin1String(r.procedure))
                            .arg(Account)
                            .arg(r.type)
                            .arg(r.byStatement)
                            .arg(QLatin1String(r.date))),
                  r.want);
    }
}

TEST_F(Balances, DifferencesAndCarriedTotals)
{
    struct Row
    {
        const char *name;
        QString sql;
        qint64 want;
    };
    const auto mvmDiff = [](const char *d) { return QStringLiteral("SELECT fDiff FROM PEbc_MvmDiff(900, '%1')").arg(QLatin1String(d)); };
    const auto differenze = [](const char *d) { return QStringLiteral("SELECT fDiff FROM PEbc_Differenze(900, '%1')").arg(QLatin1String(d)); };
    const auto riporti = [](const char *d, int out, int in, int ec) {
        return QStringLiteral("SELECT fImporto FROM PEbc_RiportiInOut(900, '%1', %2, %3, %4)").arg(QLatin1String(d)).arg(out).arg(in).arg(ec);
    };
    const Row rows[] = {
        {"difference opening", mvmDiff("2021-01-01"), 200},
        {"income difference adds", mvmDiff("2021-02-10"), 350},
        {"expense difference subtracts", mvmDiff("2021-12-31"), 325},
        {"no year: no difference", mvmDiff("2020-12-31"), 0},
        {"differences before the first day", differenze("2021-01-01"), 200},
        {"differences before a date", differenze("2021-02-11"), 350},
        {"income carried", riporti("2021-03-21", 0, 1, 0), 2000 + 500},
        {"expense carried, signed", riporti("2021-03-21", 1, 0, 0), -3000},
        {"expense not yet carried", riporti("2021-03-15", 1, 0, 0), 0},
        {"income carried by statement", riporti("2021-04-02", 0, 1, 1), 2000},
        {"both carried", riporti("2021-12-31", 1, 1, 0), 2500 - 3000},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(cents(r.sql), r.want);
    }
}

TEST_F(Balances, CompositionOfMovements)
{
    const int first = integer(QStringLiteral("SELECT MIN(iMvmId) FROM TMvm_MovimentiCcp"));
    const int last = integer(QStringLiteral("SELECT MAX(iMvmId) FROM TMvm_MovimentiCcp"));
    const auto sint = [&](int id) {
        SqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT fImportoT, fImportoC, fImportoQ, fImportoD FROM PEbc_ComposSint(%1, 0, 0, 0)").arg(id)).ok());
        EXPECT_TRUE(q.next());
        return QList<qint64>{q.money(0).cents(), q.money(1).cents(), q.money(2).cents(), q.money(3).cents()};
    };
    EXPECT_EQ(sint(first), (QList<qint64>{1000, 550, 450, 0}));
    EXPECT_EQ(sint(last), (QList<qint64>{0, 300, 0, 200}));  // type 960 counts as other

    // A movement without split rows counts whole as other.
    exec(QStringLiteral("INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, iMvmProgr, "
                        "dMvmDataMov) VALUES (990, %1, %2, 0, 12.34, 0, '2021-05-05')").arg(Account).arg(CauIncome));
    EXPECT_EQ(sint(990), (QList<qint64>{0, 0, 0, 1234}));

    SqlQuery ana(db);
    ASSERT_TRUE(ana.exec(QStringLiteral("SELECT iCcaId, sCcaLDesc, iTccId, sTccLDesc, fCcaImporto FROM "
                                        "PEbc_ComposAna(%1, 0, 0, 900) WHERE (1=1) AND iCcaId <> %2").arg(first).arg(CcaQuota)).ok());
    QStringList rows;
    while (ana.next())
        rows << QStringLiteral("%1 %2 %3 %4").arg(ana.value(0).toInt()).arg(ana.value(2).toInt())
                    .arg(ana.value(3).toString()).arg(ana.money(4).cents());
    EXPECT_EQ(rows, (QStringList{QStringLiteral("900 1 Tasse 1000"), QStringLiteral("901 2 Contributi 550")}));

    SqlQuery sum(db);
    ASSERT_TRUE(sum.exec(QStringLiteral("SELECT iCcaId, iTccId, fCcaImporto FROM PEbc_Sum_ComposAna(%1, 900) WHERE (1=1)")
                             .arg(Account)).ok());
    rows.clear();
    while (sum.next())
        rows << QStringLiteral("%1/%2/%3").arg(sum.value(0).toInt()).arg(sum.value(1).toInt()).arg(sum.money(2).cents());
    EXPECT_EQ(rows, (QStringList{QStringLiteral("900/1/1000"), QStringLiteral("901/2/850"), QStringLiteral("902/3/450"),
                                 QStringLiteral("904/4/200"), QStringLiteral("903/4/-3000")}));
}

TEST_F(Balances, RegisterCarriesTheRunningBalance)
{
    exec(QStringLiteral("UPDATE TMvm_MovimentiCcp SET iBenId = 900 WHERE lMvmTipo = 1"));
    SqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT iMvmProgr, dMvmDataMov, sBenefDescr, sCauLDesc, sCodiciBilancio, fIn, fOut, "
                                      "fSaldo FROM PEbc_RegistroCcp(%1, '2021-03-01', '2021-12-31')").arg(Account)).ok());
    QStringList rows;
    while (q.next())
        rows << QStringLiteral("%1|%2|%3|%4|%5|%6|%7").arg(q.value(0).toInt()).arg(q.value(2).toString(), q.value(3).toString(),
                                                         q.value(4).toString()).arg(q.money(5).cents()).arg(q.money(6).cents())
                    .arg(q.money(7).cents());
    // Opening 175.50 plus the 20.00 of February.
    EXPECT_EQ(rows, (QStringList{QStringLiteral("2|Ditta Alfa Srl|Spese varie||0|3000|16550"),
                                 QStringLiteral("3||Iscrizione|P12|500|0|17050")}));

    SqlQuery all(db);
    ASSERT_TRUE(all.exec(QStringLiteral("SELECT sCodiciBilancio, fSaldo FROM PEbc_RegistroCcp(%1, '2021-01-01', '2021-02-28')")
                             .arg(Account)).ok());
    ASSERT_TRUE(all.next());
    EXPECT_EQ(all.value(0).toString(), QStringLiteral("A01, P12"));
    EXPECT_EQ(all.money(1).cents(), 17550 + 2000);
}

// The four types of one account at a date, by movement date or by statement date.
struct FourTypes
{
    qint64 t[4];
    qint64 sum() const { return t[0] + t[1] + t[2] + t[3]; }
};

TEST_F(Procedures, ADateAfterAYearEndingInAugustReadsThatYearsClosing)
{
    // 2020 runs 01/09/2019 - 31/08/2020; the year wizard of 2021 reads the balances at 31/12/2020.
    exec(QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(2020, %1, 60, 10, 20, 0, 30, 1, '2019-09-01', '2020-08-31')")
             .arg(Account));
    post(2020, 0, "2019-10-01", {{CcaTax, "10"}, {CcaSub, "5.5"}, {CcaQuota, "4.5"}}, "2019-10-02", "0.5");
    post(2020, 1, "2020-08-31", {{CcaOther, "30"}}, "2020-09-02");
    const auto at = [&](const char *proc, int type, const char *date) {
        return cents(QStringLiteral("SELECT fTccImporto FROM %1(%2, %3, 0, '%4')")
                         .arg(QLatin1String(proc)).arg(Account).arg(type).arg(QLatin1String(date)));
    };
    const qint64 closing[] = {1000 + 1000, 2000 + 550, 450, 3000 - 3000};
    for (int type = 1; type <= 4; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(at("PEbc_SaldoXTcc", type, "2020-12-31"), closing[type - 1]);
        EXPECT_EQ(at("PEbc_RiportoXTcc", type, "2021-01-01"), closing[type - 1]);
    }
    EXPECT_EQ(cents(QStringLiteral("SELECT fDiff FROM PEbc_MvmDiff(%1, '2020-12-31')").arg(Account)), 150);
    EXPECT_EQ(cents(QStringLiteral("SELECT fDiff FROM PEbc_Differenze(%1, '2021-01-01')").arg(Account)), 150);
    EXPECT_EQ(cents(QStringLiteral("SELECT fImporto FROM PEbc_RiportiInOut(%1, '2021-01-01', 1, 1, 0)").arg(Account)),
              2000 - 3000);
    // A register of the gap opens with the same closing.
    initYear(2021, "0");
    post(2021, 0, "2021-01-04", {{CcaTax, "1"}});
    EXPECT_EQ(cents(QStringLiteral("SELECT FIRST 1 fSaldo FROM PEbc_RegistroCcp(%1, '2020-10-01', '2021-12-31')").arg(Account)),
              6000 + 2000 - 3000 + 100);
}

TEST_F(Procedures, AMovementStatedInTheNextYearCountsOnceByStatementDate)
{
    initYear(2020, "0");
    post(2020, 0, "2020-06-01", {{CcaTax, "40"}}, "2020-06-01");
    post(2020, 0, "2020-12-30", {{CcaTax, "10"}}, "2021-01-02");  // paid in December, stated in January
    // The new year's opening carries 2020 by movement date: both movements.
    exec(QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(2021, %1, 50, 50, 0, 0, 0, 0, NULL, NULL)").arg(Account));
    post(2021, 0, "2021-01-02", {{CcaTax, "7"}}, "2021-01-03");

    struct Row
    {
        const char *date;
        qint64 balance;  // by statement date: every movement stated on or before the date
    };
    const Row rows[] = {{"2020-12-31", 4000}, {"2021-01-01", 4000}, {"2021-01-02", 5000}, {"2021-01-03", 5700}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.date);
        EXPECT_EQ(cents(QStringLiteral("SELECT fTccImporto FROM PEbc_SaldoXTcc(%1, 1, 1, '%2')").arg(Account).arg(QLatin1String(r.date))),
                  r.balance);
        // What a statement starting the day after carries is the same balance.
        const QString next = QDate::fromString(QLatin1String(r.date), Qt::ISODate).addDays(1).toString(Qt::ISODate);
        EXPECT_EQ(cents(QStringLiteral("SELECT fTccImporto FROM PEbc_RiportoXTcc(%1, 1, 1, '%2')").arg(Account).arg(next)),
                  r.balance);
    }
    // Income carried into a statement from 3 January: the December movement stated on the 2nd.
    EXPECT_EQ(cents(QStringLiteral("SELECT fImporto FROM PEbc_RiportiInOut(%1, '2021-01-03', 0, 1, 1)").arg(Account)), 0);
    EXPECT_EQ(cents(QStringLiteral("SELECT fImporto FROM PEbc_RiportiInOut(%1, '2021-01-02', 0, 1, 1)").arg(Account)), -1000);
}

TEST_F(Procedures, ASplitRowWithoutTypeCountsAsOther)
{
    exec(QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, lCcaTipo, iTccId, "
                        "dStart, dEnd) VALUES (905, 'NT', 'Senza tipo', 5, 0, NULL, '2020-09-01', '2021-08-31')"));
    initYear(2021, "0");
    const int id = post(2021, 0, "2021-03-01", {{CcaTax, "10"}, {905, "5"}}, "2021-03-01");
    post(2021, 1, "2021-03-02", {{905, "2"}}, "2021-03-02");

    SqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT fImportoT, fImportoC, fImportoQ, fImportoD FROM PEbc_ComposSint(%1, 0, 0, 0)").arg(id)).ok());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.money(3).cents(), 500);
    EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT iTccId FROM PEbc_ComposAna(%1, 0, 0, 900) WHERE iCcaId = 905").arg(id)).toInt(), 4);

    for (int byStatement : {0, 1}) {
        SCOPED_TRACE(byStatement);
        FourTypes f{};
        for (int type = 1; type <= 4; ++type)
            f.t[type - 1] = cents(QStringLiteral("SELECT fTccImporto FROM PEbc_SaldoXTcc(%1, %2, %3, '2021-12-31')")
                                      .arg(Account).arg(type).arg(byStatement));
        EXPECT_EQ(f.t[0], 1000);
        EXPECT_EQ(f.t[3], 500 - 200);
        EXPECT_EQ(f.sum(), yearCents("fCaiCassaAtt", 2021));
    }
}

// Balances read day totals kept by triggers: after every kind of change they must still be the
// sums over the rows.
TEST_F(Procedures, BalancesFollowEveryChangeOfMovementsAndSplitRows)
{
    initYear(2021, "0");
    const int a = post(2021, 0, "2021-02-10", {{CcaTax, "10"}, {CcaSub, "5.5"}, {CcaQuota, "4.5"}}, nullptr, "1");
    const int b = post(2021, 1, "2021-03-15", {{CcaOther, "30"}});
    post(2021, 0, "2021-03-20", {{CcaSub, "3"}, {CcaLoose, "2"}});
    const auto typeSum = [&](int type, const char *date) {
        return cents(QStringLiteral("SELECT COALESCE(SUM(IIF(M.lMvmTipo = 1, -1, 1) * C.fMvmCcaImporto), 0) FROM TMvmCca C "
                                    "JOIN TMvm_MovimentiCcp M ON M.iMvmId = C.iMvmId JOIN TCca_CompCausali Cca ON Cca.iCcaId = C.iCcaId "
                                    "JOIN TTcc_TipoCompCaus T ON T.iTccId = Cca.iTccId WHERE T.iTccId_P = %1 AND M.dMvmDataMov <= '%2'")
                         .arg(type).arg(QLatin1String(date)));
    };
    const auto check = [&](const char *step) {
        SCOPED_TRACE(step);
        for (const char *date : {"2021-03-01", "2021-12-31"}) {
            SCOPED_TRACE(date);
            qint64 four = 0;
            for (int type = 1; type <= 4; ++type) {
                const qint64 got = cents(QStringLiteral("SELECT fTccImporto FROM PEbc_SaldoXTcc(900, %1, 0, '%2')")
                                             .arg(type).arg(QLatin1String(date)));
                if (type < 4) {
                    EXPECT_EQ(got, typeSum(type, date)) << "type " << type;
                }
                four += got;
            }
            EXPECT_EQ(four, cents(QStringLiteral("SELECT COALESCE(SUM(IIF(lMvmTipo = 1, -1, 1) * fMvmImporto), 0) "
                                                 "FROM TMvm_MovimentiCcp WHERE dMvmDataMov <= '%1'").arg(QLatin1String(date))));
            EXPECT_EQ(cents(QStringLiteral("SELECT fDiff FROM PEbc_MvmDiff(900, '%1')").arg(QLatin1String(date))),
                      cents(QStringLiteral("SELECT COALESCE(SUM(IIF(lMvmTipo = 1, -1, 1) * fMvmDifferenza), 0) "
                                           "FROM TMvm_MovimentiCcp WHERE dMvmDataMov <= '%1'").arg(QLatin1String(date))));
        }
    };
    check("posted");
    struct Step
    {
        const char *name;
        QString sql;
    };
    const Step steps[] = {
        {"date moved over the month end", QStringLiteral("UPDATE TMvm_MovimentiCcp SET dMvmDataMov = '2021-03-05' WHERE iMvmId = %1").arg(a)},
        {"expense becomes income", QStringLiteral("UPDATE TMvm_MovimentiCcp SET lMvmTipo = 0, fMvmDifferenza = 2 WHERE iMvmId = %1").arg(b)},
        {"split row changed", QStringLiteral("UPDATE TMvmCca SET fMvmCcaImporto = 7, iCcaId = %1 WHERE iMvmId = %2 AND iCcaId = %3")
                                  .arg(CcaTax).arg(a).arg(CcaQuota)},
        {"split row deleted", QStringLiteral("DELETE FROM TMvmCca WHERE iMvmId = %1 AND iCcaId = %2").arg(a).arg(CcaSub)},
        {"component changes type", QStringLiteral("UPDATE TCca_CompCausali SET iTccId = 3 WHERE iCcaId = %1").arg(CcaSub)},
        {"brought up to date", QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(900, 2021)")},
        {"movement deleted with its split", QStringLiteral("DELETE FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(a)},
    };
    for (const Step &step : steps) {
        exec(step.sql);
        check(step.name);
    }
}

TEST_F(Procedures, BoundsThatWouldMoveAMovementAreRefusedAndChangeNothing)
{
    initYear(2020, "0");
    initYear(2021, "50");
    post(2020, 0, "2020-12-20", {{CcaTax, "10"}});
    post(2021, 0, "2021-01-10", {{CcaTax, "20"}});
    const QString bounds = QStringLiteral("SELECT LIST(iCaiEsercizioFin || ':' || COALESCE(dCaiInizioAnno, '-') || '/' || "
                                          "COALESCE(dCaiFineAnno, '-') || '/' || fCaiSaldoIn, ' ') FROM (SELECT * FROM "
                                          "TCai_CassaIst WHERE iSprIstId = 900 ORDER BY iCaiEsercizioFin)");
    const QString before = test::scalar(db, bounds).toString();
    struct Row
    {
        const char *name;
        const char *update;
        const char *message;
    };
    const Row rows[] = {
        {"start of 2021 over a movement of 2020", "dCaiInizioAnno = '2020-12-01' WHERE iCaiEsercizioFin = 2021",
         "Impossibile cambiare le date dell'anno finanziario 2021: il movimento del 20/12/2020 passerebbe a un altro "
         "anno finanziario o resterebbe fuori da ogni anno. Le date non sono state cambiate."},
        {"end of 2020 leaving a movement in no year", "dCaiFineAnno = '2020-11-30' WHERE iCaiEsercizioFin = 2020",
         "Impossibile cambiare le date dell'anno finanziario 2020: il movimento del 20/12/2020 passerebbe a un altro "
         "anno finanziario o resterebbe fuori da ogni anno. Le date non sono state cambiate."},
        {"start of 2021 moved past its first movement", "dCaiInizioAnno = '2021-02-01' WHERE iCaiEsercizioFin = 2021",
         "Impossibile cambiare le date dell'anno finanziario 2021: il movimento del 10/01/2021 passerebbe a un altro "
         "anno finanziario o resterebbe fuori da ogni anno. Le date non sono state cambiate."},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const Status s = run(QStringLiteral("UPDATE TCai_CassaIst SET %1 AND iSprIstId = 900").arg(QLatin1String(r.update)));
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.error(), QString::fromUtf8(r.message));
        EXPECT_EQ(test::scalar(db, bounds).toString(), before);
    }
    // A new year may not take the movements of another one either.
    const Status overlap = run(QStringLiteral("EXECUTE PROCEDURE PEBC_INITANNOFIN(2022, 900, 0, 0, 0, 0, 0, 0, '2021-01-05', '2022-12-31')"));
    ASSERT_FALSE(overlap.ok());
    EXPECT_EQ(overlap.error(), QStringLiteral("Impossibile creare l'anno finanziario 2022 dal 05/01/2021 al 31/12/2022: "
                                              "il movimento del 10/01/2021 appartiene già a un altro anno finanziario del conto."));

    // Days without movements change hands freely; the balances still read every movement once.
    exec(QStringLiteral("UPDATE TCai_CassaIst SET dCaiFineAnno = '2020-12-25' WHERE iCaiEsercizioFin = 2020 AND iSprIstId = 900"));
    exec(QStringLiteral("UPDATE TCai_CassaIst SET dCaiInizioAnno = '2020-12-26', dCaiFineAnno = '2021-06-30' "
                        "WHERE iCaiEsercizioFin = 2021 AND iSprIstId = 900"));
    EXPECT_EQ(yearCents("fCaiSaldoIn", 2020), 1000);
    EXPECT_EQ(yearCents("fCaiSaldoIn", 2021), 2000);
    EXPECT_EQ(cents(QStringLiteral("SELECT fTccImporto FROM PEbc_SaldoXTcc(900, 1, 0, '2021-06-30')")), 2000);
    EXPECT_EQ(cents(QStringLiteral("SELECT fTccImporto FROM PEbc_SaldoXTcc(900, 1, 0, '2021-12-31')")), 2000);
}

TEST_F(Procedures, UpdTabsNumbersEveryYearOfTheAccountAndAMovementNeedsAYear)
{
    initYear(2020, "0", "2019-09-01", "2020-08-31");
    initYear(2021, "0", "2020-09-01", "2021-08-31");
    // Rows written without the procedure, as a bulk import would leave them.
    const char *dates[] = {"2020-01-10", "2020-10-01", "2019-12-01", "2021-02-01"};
    int id = 800;
    for (const char *d : dates)
        exec(QStringLiteral("INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, iMvmProgr, "
                            "dMvmDataMov) VALUES (%1, 900, %2, 0, 1, 0, '%3')").arg(++id).arg(CauIncome).arg(QLatin1String(d)));
    exec(QStringLiteral("EXECUTE PROCEDURE PEbc_MvmUpdTabs(900, 2021)"));
    // Each year numbers its own movements in the order they were written.
    EXPECT_EQ(progressives(), (QList<int>{1, 1, 2, 2}));
    EXPECT_EQ(yearInt("iCaiUltProgr", 2020), 2);
    EXPECT_EQ(yearInt("iCaiUltProgr", 2021), 2);

    struct Row
    {
        const char *name, *sql, *message;
    };
    const Row rows[] = {
        {"insert before every year", "INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, "
                                     "iMvmProgr, dMvmDataMov) VALUES (900, 900, 900, 0, 1, 0, '2019-08-31')",
         "La data del movimento (31/08/2019) non rientra in nessun anno finanziario del conto: eseguire prima l'inizio "
         "dell'anno finanziario."},
        {"date moved after every year", "UPDATE TMvm_MovimentiCcp SET dMvmDataMov = '2021-09-01' WHERE iMvmId = 801",
         "La data del movimento (01/09/2021) non rientra in nessun anno finanziario del conto: eseguire prima l'inizio "
         "dell'anno finanziario."},
        {"moved to an account without that year", "UPDATE TMvm_MovimentiCcp SET iSprIstId = 901 WHERE iMvmId = 801",
         "La data del movimento (10/01/2020) non rientra in nessun anno finanziario del conto: eseguire prima l'inizio "
         "dell'anno finanziario."},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const Status s = run(QString::fromLatin1(r.sql));
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.error(), QString::fromUtf8(r.message));
    }
    EXPECT_EQ(integer(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iSprIstId = 900 AND dMvmDataMov = '2020-01-10'")), 1);
}

// --- Small lookups ----------------------------------------------------------------------------

TEST_F(Procedures, PayerDescription)
{
    struct Row
    {
        const char *name, *ana, *ben, *want;
    };
    const Row rows[] = {
        {"beneficiary wins", "900", "900", "Ditta Alfa Srl"},
        {"person", "900", "NULL", "Rossi Mario"},
        {"nobody", "NULL", "NULL", ""},
        {"unknown person", "12345", "NULL", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT sBenefDescr FROM PEbc_BenefDescr(%1, %2)")
                                       .arg(QLatin1String(r.ana), QLatin1String(r.ben))).toString(),
                  QString::fromLatin1(r.want));
    }
}

TEST_F(Procedures, PaymentMethodTypologyAndBeneficiaryCategoryFlags)
{
    exec(QStringLiteral("INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, lMpgRisc, lMpgPag) VALUES (901, 'A', 1, 1)"));
    exec(QStringLiteral("INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, lMpgRisc, lMpgPag) VALUES (902, 'B', 0, 1)"));
    exec(QStringLiteral("INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, lMpgRisc, lMpgPag) VALUES (903, 'C', 1, 0)"));
    exec(QStringLiteral("INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, lMpgRisc, lMpgPag) VALUES (904, 'D', 0, NULL)"));
    EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT LIST(TIPOLOGIA, '|') FROM (SELECT TIPOLOGIA FROM PABC_MODPAGAM "
                                              "WHERE iMpgId > 900 ORDER BY iMpgId)")).toString(),
              QStringLiteral("Pag./Risc.|Pagamento|Riscossione|"));

    for (int id = 1; id <= 5; ++id)
        exec(QStringLiteral("UPDATE OR INSERT INTO TBCA_BENCATEG (iBcaId) VALUES (%1) MATCHING (iBcaId)").arg(id));
    EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT LIST(iBcaId || ':' || GIURIDICA || FISICA || EDITORE || RAPPRESENTANTE, ' ') "
                                              "FROM (SELECT * FROM PABC_BENCATEG WHERE iBcaId <= 5 ORDER BY iBcaId)")).toString(),
              QStringLiteral("1:1000 2:0100 3:0010 4:0001 5:0000"));
}

TEST_F(Procedures, IdGenerator)
{
    const int a = integer(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TMVMCCA', 0)"));
    const int b = integer(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('tmvmcca', 0)"));
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(integer(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TMVMCCA', 1)")), b);

    // Another connection: its "last" is the sequence's current value until it takes one itself.
    QSqlDatabase other = t.openAnother(QStringLiteral("ids"));
    ASSERT_TRUE(other.isOpen());
    EXPECT_EQ(test::scalar(other, QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TMVMCCA', 1)")).toInt(), b);
    integer(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TMVMCCA', 0)"));
    EXPECT_EQ(test::scalar(other, QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TMVMCCA', 0)")).toInt(), b + 2);
    EXPECT_EQ(integer(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TMVMCCA', 1)")), b + 1);

    SqlQuery ex(db);
    ASSERT_TRUE(ex.exec(QStringLiteral("EXECUTE PROCEDURE PYSetGetId('TMVMCCA', 0)")).ok());
    ASSERT_TRUE(ex.next());
    EXPECT_EQ(ex.value(0).toInt(), b + 3);

    const Status s = run(QStringLiteral("SELECT l_iCntId FROM PYSetGetId('TNONESISTE', 0)"));
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error(), QStringLiteral("Tabella sconosciuta per il generatore di identificativi: \"TNONESISTE\"."));
}

// --- Two workstations at once -----------------------------------------------------------------

TEST_F(Procedures, ConcurrentPostsGetDistinctProgressivesAndExactTotals)
{
    initYear(2021, "0");
    constexpr int perThread = 200;
    std::atomic<int> failures{0};
    QString firstFailure;
    std::mutex failureLock;
    auto worker = [&](const QString &name, int causale, int dayOffset) {
        QSqlDatabase conn = t.openAnother(name);
        if (!conn.isOpen()) {
            ++failures;
            return;
        }
        for (int i = 0; i < perThread; ++i) {
            const QDate date = QDate(2021, 1, 1).addDays((i + dayOffset) % 365);
            const Status s = runInTransaction(conn, [&]() -> Status {
                SqlQuery q(conn);
                if (auto p = q.prepare(QStringLiteral("SELECT P.iMvmId, P.fMvmImporto FROM PEbc_InsMvm(:iSprIstId, "
                                                      ":iEsercizioFin, :iCauId, :iAnaId, :iSitId, :dMvmDataMov, :dMvmDataEc) P"));
                    !p)
                    return p;
                q.bind(QStringLiteral("iSprIstId"), Account).bind(QStringLiteral("iEsercizioFin"), 2021)
                    .bind(QStringLiteral("iCauId"), causale).bind(QStringLiteral("iAnaId"), 900)
                    .bind(QStringLiteral("iSitId"), -60).bind(QStringLiteral("dMvmDataMov"), date)
                    .bind(QStringLiteral("dMvmDataEc"), date);
                if (auto e = q.exec(); !e)
                    return e;
                if (!q.next())
                    return Status::failure(q.raw().lastError().isValid() ? Db::errorText(q.raw().lastError())
                                                                         : QStringLiteral("nessun movimento"));
                return {};
            }, 200);
            if (!s.ok()) {
                std::lock_guard<std::mutex> g(failureLock);
                if (firstFailure.isEmpty())
                    firstFailure = s.error();
                ++failures;
            }
        }
        conn = QSqlDatabase();
        Db::close(t.connectionName() + u'-' + name);
    };
    std::thread a(worker, QStringLiteral("a"), CauIncome, 0);
    std::thread b(worker, QStringLiteral("b"), CauExpense, 100);
    a.join();
    b.join();
    ASSERT_EQ(failures.load(), 0) << qPrintable(firstFailure);

    SqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT iMvmProgr), MIN(iMvmProgr), MAX(iMvmProgr), "
                                      "SUM(IIF(lMvmTipo = 0, fMvmImporto, 0)), SUM(IIF(lMvmTipo = 1, fMvmImporto, 0)) "
                                      "FROM TMvm_MovimentiCcp WHERE iSprIstId = %1").arg(Account)).ok());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 2 * perThread);
    EXPECT_EQ(q.value(1).toInt(), 2 * perThread);
    EXPECT_EQ(q.value(2).toInt(), 1);
    EXPECT_EQ(q.value(3).toInt(), 2 * perThread);
    EXPECT_EQ(q.money(4).cents(), perThread * 2000);
    EXPECT_EQ(q.money(5).cents(), perThread * 3000);
    EXPECT_EQ(yearCents("fCaiSaldoIn", 2021), perThread * 2000);
    EXPECT_EQ(yearCents("fCaiSaldoOut", 2021), perThread * 3000);
    EXPECT_EQ(yearCents("fCaiCassaAtt", 2021), perThread * (2000 - 3000));
    EXPECT_EQ(yearInt("iCaiUltProgr", 2021), 2 * perThread);
}

} // namespace
