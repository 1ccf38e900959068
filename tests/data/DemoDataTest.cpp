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

    // Postal, bank and cash account: 2026 starts where 2025 ended and holds the movements.
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
    }
    EXPECT_EQ(prints[0], prints[1]);
}
