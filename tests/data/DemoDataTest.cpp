#include "AbiUIBAN.h"
#include "DemoData.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace ccp;

namespace {

// Rows of a select as "col1|col2|..." lines.
QStringList rows(QSqlDatabase db, const QString &sql)
{
    SqlQuery q(db);
    QStringList out;
    const Status s = q.exec(sql);
    EXPECT_TRUE(s.ok()) << qPrintable(s.error()) << " in " << qPrintable(sql);
    while (s && q.next()) {
        QStringList cols;
        for (int i = 0; i < q.raw().record().count(); ++i)
            cols << q.value(i).toString();
        out << cols.join(u'|');
    }
    return out;
}

const QString YearBounds = QStringLiteral(
    "M.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)) "
    "AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))");

} // namespace

TEST(DemoData, AccountYearTotalsEqualTheirMovements)
{
    test::TestDatabase t(true);
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    // Every account-year, with its kept totals next to the ones recomputed from the movements.
    const QStringList wrong = rows(t.db(), QStringLiteral(
        "SELECT * FROM (SELECT Cai.iSprIstId, Cai.iCaiEsercizioFin, Cai.fCaiCassaIn, Cai.fCaiSaldoIn, "
        "  Cai.fCaiSaldoOut, Cai.fCaiCassaAtt, "
        "  (SELECT COALESCE(SUM(M.fMvmImporto), 0) FROM TMvm_MovimentiCcp M WHERE M.lMvmTipo = 0 "
        "    AND M.iSprIstId = Cai.iSprIstId AND ") + YearBounds + QStringLiteral(") fIn, "
        "  (SELECT COALESCE(SUM(M.fMvmImporto), 0) FROM TMvm_MovimentiCcp M WHERE M.lMvmTipo = 1 "
        "    AND M.iSprIstId = Cai.iSprIstId AND ") + YearBounds + QStringLiteral(") fOut "
        "  FROM TCai_CassaIst Cai) X "
        "WHERE X.fCaiSaldoIn <> X.fIn OR X.fCaiSaldoOut <> X.fOut "
        "   OR X.fCaiCassaAtt <> X.fCaiCassaIn + X.fIn - X.fOut"));
    EXPECT_TRUE(wrong.isEmpty()) << qPrintable(wrong.join(u'\n'));

    // Postal, bank and cash account, each with 2025 and 2026; 2026 starts where 2025 ended and
    // is the year that holds the movements. Besides: a projects account with September-August
    // 2025 and 2026, and a bank account closed after 2025.
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TCai_CassaIst")).toInt(), 9);
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
                  "SELECT COUNT(*) FROM TCai_CassaIst A INNER JOIN TCai_CassaIst B ON B.iSprIstId = A.iSprIstId "
                  "AND B.iCaiEsercizioFin = 2026 WHERE A.iCaiEsercizioFin = 2025 AND B.fCaiCassaIn = A.fCaiCassaAtt "
                  "AND B.iLocked = 1 AND B.fCaiSaldoIn > 0"))
                  .toInt(),
              3);
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
                  "SELECT COUNT(*) FROM TCai_CassaIst Cai WHERE (SELECT SUM(fCaiTccImportoIniz) FROM TCaiTcc T "
                  "WHERE T.iCaiId = Cai.iCaiId) <> Cai.fCaiCassaIn"))
                  .toInt(),
              0);
    // No expense ever took an account below zero: the running balance in register order.
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
                  "SELECT COUNT(*) FROM TMvm_MovimentiCcp M INNER JOIN TCai_CassaIst Cai ON Cai.iSprIstId = M.iSprIstId "
                  "AND Cai.iCaiEsercizioFin IN (2025, 2026) WHERE Cai.fCaiCassaIn + (SELECT SUM(IIF(P.lMvmTipo = 0, "
                  "P.fMvmImporto, -P.fMvmImporto)) FROM TMvm_MovimentiCcp P WHERE P.iSprIstId = M.iSprIstId "
                  "AND P.iMvmProgr <= M.iMvmProgr AND P.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, "
                  "CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)) AND COALESCE(Cai.dCaiFineAnno, "
                  "CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))) < 0 AND ") + YearBounds)
                  .toInt(),
              0);
}

TEST(DemoData, ProgressivesRunFromOneWithoutGapsInDateOrder)
{
    test::TestDatabase t(true);
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    const QStringList years = rows(t.db(), QStringLiteral(
        "SELECT Cai.iSprIstId, Cai.iCaiEsercizioFin, COUNT(M.iMvmId), MIN(M.iMvmProgr), MAX(M.iMvmProgr), "
        "COUNT(DISTINCT M.iMvmProgr), Cai.iCaiUltProgr FROM TCai_CassaIst Cai "
        "INNER JOIN TMvm_MovimentiCcp M ON M.iSprIstId = Cai.iSprIstId AND ") + YearBounds + QStringLiteral(
        " GROUP BY Cai.iSprIstId, Cai.iCaiEsercizioFin, Cai.iCaiUltProgr"));
    ASSERT_EQ(years.size(), 6) << "every account-year has movements";
    for (const QString &line : years) {
        const QStringList c = line.split(u'|');
        const QString n = c[2];
        EXPECT_EQ(c[3], QStringLiteral("1")) << qPrintable(line);
        EXPECT_EQ(c[4], n) << qPrintable(line);
        EXPECT_EQ(c[5], n) << qPrintable(line);
        EXPECT_EQ(c[6], n) << qPrintable(line);
    }
    // A later progressive number never has an earlier date.
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
                  "SELECT COUNT(*) FROM TMvm_MovimentiCcp A INNER JOIN TMvm_MovimentiCcp B "
                  "ON B.iSprIstId = A.iSprIstId AND B.iMvmProgr = A.iMvmProgr + 1 WHERE B.dMvmDataMov < A.dMvmDataMov "
                  "AND (SELECT iCaiId FROM PEbc_AnnoConto(A.iSprIstId, A.dMvmDataMov)) = "
                  "(SELECT iCaiId FROM PEbc_AnnoConto(B.iSprIstId, B.dMvmDataMov))"))
                  .toInt(),
              0);
    // Statement dates, where given, never come before the movement nor leave its account-year.
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
                  "SELECT COUNT(*) FROM TMvm_MovimentiCcp M WHERE M.dMvmDataEc < M.dMvmDataMov OR M.dMvmDataEc IS NOT NULL AND NOT EXISTS "
                  "(SELECT 1 FROM TCai_CassaIst Cai WHERE Cai.iSprIstId = M.iSprIstId AND ") + YearBounds +
                  QStringLiteral(" AND M.dMvmDataEc BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || "
                                 "'-01-01' AS DATE)) AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || "
                                 "'-12-31' AS DATE)))"))
                  .toInt(),
              0);
}

TEST(DemoData, SplitRowsAddUpToEachMovement)
{
    test::TestDatabase t(true);
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    const QStringList wrong = rows(t.db(), QStringLiteral(
        "SELECT M.iMvmId, M.fMvmImporto, (SELECT SUM(C.fMvmCcaImporto) FROM TMvmCca C WHERE C.iMvmId = M.iMvmId) "
        "FROM TMvm_MovimentiCcp M WHERE M.fMvmImporto IS DISTINCT FROM "
        "(SELECT SUM(C.fMvmCcaImporto) FROM TMvmCca C WHERE C.iMvmId = M.iMvmId)"));
    EXPECT_TRUE(wrong.isEmpty()) << qPrintable(wrong.join(u'\n'));
    // Split rows name only components of the movement's own causale.
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
                  "SELECT COUNT(*) FROM TMvmCca C INNER JOIN TMvm_MovimentiCcp M ON M.iMvmId = C.iMvmId "
                  "WHERE NOT EXISTS (SELECT 1 FROM TCauCca L WHERE L.iCauId = M.iCauId AND L.iCcaId = C.iCcaId)"))
                  .toInt(),
              0);
    // Income and expense, several payer categories, and several-component causali are all used.
    EXPECT_GE(test::scalar(t.db(), QStringLiteral("SELECT COUNT(DISTINCT iCbmId) FROM TMvm_MovimentiCcp")).toInt(), 5);
    EXPECT_GT(test::scalar(t.db(), QStringLiteral(
                  "SELECT COUNT(*) FROM TMvm_MovimentiCcp M WHERE M.lMvmTipo = 1 AND "
                  "(SELECT COUNT(*) FROM TMvmCca C WHERE C.iMvmId = M.iMvmId) > 1"))
                  .toInt(),
              0);
}

TEST(DemoData, EveryStoredIbanIsValidAndItsBranchIsRegistered)
{
    test::TestDatabase t(true);
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    // The IBANs as stored, and those of the institute's accounts rebuilt from their parts.
    const QStringList ibans = rows(t.db(), QStringLiteral(
        "SELECT sAcbIBan FROM TAcb_AluCoordBan UNION ALL SELECT SSPRBENIBAN FROM TSPRBEN WHERE LSPRBENBANESTERA = 0 UNION ALL "
        "SELECT I.sSprIstStato || I.sSprIstCinInt || I.sSprIstCin || B.SBANABI || S.SSPRCAB || I.sSprIstNumCc "
        "FROM TSprIst I INNER JOIN TSPR_SPORTELLICAB S ON S.ISPRID = I.iSprId "
        "INNER JOIN TBAN_BANCHE B ON B.IBANID = S.IBANID WHERE B.SBANABI IS NOT NULL"));
    ASSERT_GE(ibans.size(), 100 + 30 + 2);
    for (const QString &iban : ibans)
        EXPECT_TRUE(abiban::CheckIBAN(iban)) << qPrintable(iban);
    const QStringList unregistered = rows(t.db(), QStringLiteral(
        "SELECT A.sAcbIBan FROM TAcb_AluCoordBan A WHERE NOT EXISTS (SELECT 1 FROM TSPR_SPORTELLICAB S "
        "INNER JOIN TBAN_BANCHE B ON B.IBANID = S.IBANID WHERE B.SBANABI = SUBSTRING(A.sAcbIBan FROM 6 FOR 5) "
        "AND S.SSPRCAB = SUBSTRING(A.sAcbIBan FROM 11 FOR 5)) "
        "UNION ALL SELECT P.SSPRBENIBAN FROM TSPRBEN P INNER JOIN TSPR_SPORTELLICAB S ON S.ISPRID = P.ISPRID "
        "INNER JOIN TBAN_BANCHE B ON B.IBANID = S.IBANID WHERE B.SBANABI <> SUBSTRING(P.SSPRBENIBAN FROM 6 FOR 5) "
        "OR S.SSPRCAB <> SUBSTRING(P.SSPRBENIBAN FROM 11 FOR 5)"));
    EXPECT_TRUE(unregistered.isEmpty()) << qPrintable(unregistered.join(u'\n'));
}

TEST(DemoData, WorkingContextIsCompleteAndPointsToExistingRows)
{
    test::TestDatabase t(true);
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    auto value = [&](const char *key) {
        return test::scalar(t.db(), QStringLiteral("SELECT SPVLVALUE FROM TVE_PARAMVAL WHERE SPVLUSER = 'SYSDBA' "
                                                   "AND UPPER(SPDFKEY) = UPPER('%1')").arg(QLatin1String(key)))
            .toString();
    };
    // Each key with the select that must find the row it names (":v" is the stored value).
    struct Case { const char *key; const char *check; };
    const Case cases[] = {
        {"VEUP_DwgId", "SELECT COUNT(*) FROM TDwg_DataOwnerGrp WHERE iDwgId = :v"},
        {"VEUP_AnsId", "SELECT COUNT(*) FROM TAns_AnniScolast WHERE iAnsId = :v"},
        {"EBSP_CauAnsId", "SELECT COUNT(*) FROM TAns_AnniScolast WHERE iAnsId = :v"},
        {"EBCP_AnfId", "SELECT COUNT(*) FROM TAnf_AnniFinanz WHERE iAnfId = :v"},
        // the working account: the institute's, postal, kept by this program, with a row for the year
        {"EBCP_SprIstId", "SELECT COUNT(*) FROM TSprIst I INNER JOIN TSPR_SPORTELLICAB S ON S.ISPRID = I.iSprId "
                          "INNER JOIN TBAN_BANCHE B ON B.IBANID = S.IBANID INNER JOIN TCai_CassaIst C "
                          "ON C.iSprIstId = I.iSprIstId INNER JOIN TAnf_AnniFinanz F ON F.iAnfValore = C.iCaiEsercizioFin "
                          "WHERE I.iSprIstId = :v AND I.iSprIstPgm = 2 AND B.ICBAID = 7 AND I.dEnd IS NULL "
                          "AND I.iDwgId = (SELECT CAST(SPVLVALUE AS INTEGER) FROM TVE_PARAMVAL WHERE SPDFKEY = 'VEUP_DwgId') "
                          "AND F.iAnfId = (SELECT CAST(SPVLVALUE AS INTEGER) FROM TVE_PARAMVAL WHERE SPDFKEY = 'EBCP_AnfId')"},
        {"EBSP_CausaleInId", "SELECT COUNT(*) FROM TCau_Causali C INNER JOIN TAns_AnniScolast A ON A.dAnsVeltoInizio = C.dStart "
                             "WHERE C.iCauId = :v AND C.lCauTipo = 0 AND A.iAnsId = (SELECT CAST(SPVLVALUE AS INTEGER) "
                             "FROM TVE_PARAMVAL WHERE SPDFKEY = 'EBSP_CauAnsId')"},
        {"EBSP_CausaleOutId", "SELECT COUNT(*) FROM TCau_Causali C INNER JOIN TAns_AnniScolast A ON A.dAnsVeltoInizio = C.dStart "
                              "WHERE C.iCauId = :v AND C.lCauTipo = 1 AND A.iAnsId = (SELECT CAST(SPVLVALUE AS INTEGER) "
                              "FROM TVE_PARAMVAL WHERE SPDFKEY = 'EBSP_CauAnsId')"},
        {"EBSP_ImpIstCauIn", "SELECT COUNT(*) FROM RDB$DATABASE WHERE CAST(:v AS NUMERIC(18,4)) = (SELECT SUM(A.fCcaImportoIst) "
                             "FROM TCca_CompCausali A INNER JOIN TCauCca L ON L.iCcaId = A.iCcaId WHERE L.iCauId = "
                             "(SELECT CAST(SPVLVALUE AS INTEGER) FROM TVE_PARAMVAL WHERE SPDFKEY = 'EBSP_CausaleInId'))"},
        {"EBSP_ImpIstCauOut", "SELECT COUNT(*) FROM RDB$DATABASE WHERE CAST(:v AS NUMERIC(18,4)) = (SELECT SUM(A.fCcaImportoIst) "
                              "FROM TCca_CompCausali A INNER JOIN TCauCca L ON L.iCcaId = A.iCcaId WHERE L.iCauId = "
                              "(SELECT CAST(SPVLVALUE AS INTEGER) FROM TVE_PARAMVAL WHERE SPDFKEY = 'EBSP_CausaleOutId'))"},
        {"EBSP_SprCabProvId", "SELECT COUNT(*) FROM TSPR_SPORTELLICAB WHERE ISPRID = :v AND IBANID = 2"},
        {"EBSP_SprComuneId", "SELECT COUNT(*) FROM TSRPC WHERE ISRPCID = :v AND DEND IS NULL"},
        {"EBCP_MvmBenefCateg", "SELECT COUNT(*) FROM TCbm_CatBenefMvm WHERE iCbmId = :v"},
        {"EBCP_MvmDataMov", "SELECT COUNT(*) FROM RDB$DATABASE WHERE EXTRACT(YEAR FROM CAST(:v AS DATE)) = 2026"},
        {"EBCP_MvmDataEc", "SELECT COUNT(*) FROM RDB$DATABASE WHERE EXTRACT(YEAR FROM CAST(:v AS DATE)) = 2026"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        const QString v = value(c.key);
        ASSERT_FALSE(v.isEmpty());
        SqlQuery q(t.db());
        ASSERT_TRUE(q.prepare(QString::fromLatin1(c.check)).ok());
        q.bind(QStringLiteral("v"), v);
        ASSERT_TRUE(q.exec().ok()) << qPrintable(q.lastError());
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 1) << qPrintable(v);
    }
    // The movements window opens: the working school year is the financial year's or the one before.
    const int ans = value("VEUP_AnsId").toInt();
    const int anf = value("EBCP_AnfId").toInt();
    EXPECT_TRUE(ans == anf || ans == anf - 1) << ans << " " << anf;
    // The working institute is a group of the two institutes.
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM VDow_DataOwner WHERE iDwgId = %1")
                                        .arg(value("VEUP_DwgId")))
                  .toInt(),
              2);
    EXPECT_TRUE(test::scalar(t.db(), QStringLiteral("SELECT iDowId FROM TDwg_DataOwnerGrp WHERE iDwgId = %1")
                                         .arg(value("VEUP_DwgId")))
                    .isNull());
}

TEST(DemoData, LoadingTwiceGivesTheSameDatabase)
{
    // Counts and totals that any change of order, random draw or id would move.
    const QString fingerprint = QStringLiteral(
        "SELECT (SELECT COUNT(*) || '/' || SUM(iAnaId) || '/' || MAX(sAnaCodFiscale) || '/' || MIN(sAnaCognomeNomeIdx) "
        "        FROM TAna_Anagrafiche), "
        "       (SELECT COUNT(*) || '/' || SUM(fMvmImporto) || '/' || SUM(iMvmId * iMvmProgr) || '/' "
        "               || SUM(EXTRACT(DAY FROM dMvmDataMov) * iMvmId) FROM TMvm_MovimentiCcp), "
        "       (SELECT COUNT(*) || '/' || SUM(fMvmCcaImporto * iCcaId) FROM TMvmCca), "
        "       (SELECT LIST(fCaiCassaAtt, ';') FROM (SELECT fCaiCassaAtt FROM TCai_CassaIst ORDER BY iCaiId)), "
        "       (SELECT COUNT(*) || '/' || MAX(sAcbIBan) || '/' || SUM(iAnaId_Gen) FROM TAcb_AluCoordBan), "
        "       (SELECT COUNT(*) || '/' || SUM(iClsPstId) FROM TSit_Situazioni), "
        "       (SELECT COUNT(*) || '/' || SUM(iCcaId) || '/' || SUM(fCcaImportoIst) FROM TCca_CompCausali), "
        "       (SELECT LIST(SPDFKEY || '=' || SPVLVALUE, ';') FROM TVE_PARAMVAL) "
        "FROM RDB$DATABASE");
    QStringList prints;
    for (int i = 0; i < 2; ++i) {
        test::TestDatabase t;
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        QStringList steps;
        const Status s = DemoData::load(t.db(), [&](const QString &step) { steps << step; });
        ASSERT_TRUE(s.ok()) << qPrintable(s.error());
        EXPECT_GT(steps.size(), 10) << "progress is reported along the way";
        const QStringList r = rows(t.db(), fingerprint);
        ASSERT_EQ(r.size(), 1);
        prints << r.first();
        // The sequences have moved past the ids the demo gave: a new row takes a fresh id.
        EXPECT_GE(test::scalar(t.db(), QStringLiteral("SELECT GEN_ID(G_TANA_ANAGRAFICHE, 0) FROM RDB$DATABASE")).toInt(),
                  test::scalar(t.db(), QStringLiteral("SELECT MAX(iAnaId) FROM TAna_Anagrafiche")).toInt());
        EXPECT_GE(test::scalar(t.db(), QStringLiteral("SELECT GEN_ID(G_TANS_ANNISCOLAST, 0) FROM RDB$DATABASE")).toInt(), 26);
    }
    EXPECT_EQ(prints[0], prints[1]);
}
