#include "EbcMCcp.h"

#include "TVeQueryCollection.h"

namespace ccp::accounts {

QString TdmEbcCcp::accountsSelect()
{
    return QStringLiteral(
        "SELECT Spi.iSprIstId, Spi.sSprIstStato, Spi.sSprIstCinInt, Spi.sSprIstCin, Spi.sSprIstNumCc, Spi.sSprIstIntest, "
        "Spi.dStart, Spi.dEnd, Spr.iSprId, Spr.sSprCab, Spr.sSprDescS, "
        "Spr.sSprIndirizzo || '-' || Com.sComDesc || ' (' || Pro.sProSigla || ')' AS sIndCom, "
        "Ban.iBanId, Ban.sBanAbi, Ban.sBanDescS, Ban.iCbaId, "
        "CAST(CASE WHEN Ban.iCbaId = 7 THEN 'Postale' WHEN Ban.iCbaId = 8 THEN 'Cassa' "
        "WHEN Ban.iCbaId IS NOT NULL THEN 'Bancario' WHEN Ban.iBanId = 1 THEN 'Bancario' ELSE '' END AS VARCHAR(25)) "
        "AS sTipoConto "
        "FROM TSprIst Spi INNER JOIN TSpr_SportelliCab Spr ON (Spr.iSprId = Spi.iSprId) "
        "INNER JOIN TBan_Banche Ban ON (Ban.iBanId = Spr.iBanId) "
        "LEFT OUTER JOIN TSrpc ON (Spr.iSrpcId = TSrpc.iSrpcId) "
        "LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = TSrpc.iComId) "
        "LEFT OUTER JOIN TPro_Province Pro ON (Pro.iProId = TSrpc.iProId) "
        "WHERE (Spi.iDwgId = :iDwgId) AND (Spi.iSprIstPgm = 2) ORDER BY Ban.sBanAbi, Spr.sSprCab");
}

QString TdmEbcCcp::balancesSelect()
{
    // The differences are read at the year's own last day: with dates of its own, 31 December
    // may lie in the next year or in none.
    return QStringLiteral(
        "SELECT Cai.iCaiId, Cai.iCaiEsercizioFin, Cai.iSprIstId, Cai.fCaiCassaIn, Cai.fCaiSaldoIn, Cai.fCaiSaldoOut, "
        "Cai.fCaiCassaAtt, Cai.fCaiDiffIniz, "
        "COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)) AS dInizioAnno, "
        "COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE)) AS dFineAnno, "
        "(SELECT fDiff FROM PEbc_MvmDiff(Cai.iSprIstId, "
        "COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE)))) AS fDiff "
        "FROM TCai_CassaIst Cai WHERE (Cai.iSprIstId = :iSprIstId) ORDER BY Cai.iCaiEsercizioFin");
}

QString TdmEbcCcp::compositionSelect()
{
    return QStringLiteral(
        "SELECT Tcc.iTccId, Tcc.sTccLDesc, "
        "(SELECT Ct.fCaiTccImportoIniz FROM TCaiTcc Ct INNER JOIN TCai_CassaIst Cai ON (Cai.iCaiId = Ct.iCaiId) "
        "WHERE Cai.iSprIstId = :iSprIstId AND Cai.iCaiEsercizioFin = :icaieserciziofin AND Ct.iTccId = Tcc.iTccId) "
        "AS fTccImporto_Iniz, "
        "(SELECT fTccImporto FROM PEbc_SaldoXTcc(:iSprIstId, Tcc.iTccId, 0, :dDataMax)) AS fTccImporto "
        "FROM TTcc_TipoCompCaus Tcc WHERE (Tcc.iTccId = Tcc.iTccId_P) ORDER BY Tcc.iTccId");
}

TdmEbcCcp::TdmEbcCcp(QSqlDatabase db, QObject *parent) : QObject(parent), m_db(db)
{
    xqcSprIst = new fw::TVeQueryCollection(db, this);
    xqcSprIst->setObjectName(QStringLiteral("xqcSprIst"));
    xqcSprIst->setSelectText(accountsSelect());
    xqcSprIst->setKeyField(QStringLiteral("iSprIstId"));
    xqcSprIst->setTableName(QStringLiteral("TSprIst"));
    xqcSprIst->setStatements(
        fw::VeOperation::Insert,
        {QStringLiteral("INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, sSprIstIntest, sSprIstCin, "
                        "sSprIstStato, sSprIstCinInt, iSprIstPgm, dStart) VALUES (:VEGENID, :iDwgId, :iSprId, "
                        ":sSprIstNumCc, :sSprIstIntest, :sSprIstCin, :sSprIstStato, :sSprIstCinInt, :iSprIstPgm, :dStart)")});
    xqcSprIst->setStatements(
        fw::VeOperation::Update,
        {QStringLiteral("UPDATE TSprIst SET iSprId = :iSprId, sSprIstNumCc = :sSprIstNumCc, sSprIstIntest = :sSprIstIntest, "
                        "sSprIstCin = :sSprIstCin, sSprIstStato = :sSprIstStato, sSprIstCinInt = :sSprIstCinInt, "
                        "dStart = :dStart, dEnd = :dEnd WHERE iSprIstId = :VECURRID"),
         QStringLiteral("EXECUTE PROCEDURE PEbc_ContoOnOff(:iSprIstId)")});
    xqcSprIst->setAutoDelete(true);
    xqcSprIst->setFilter(QStringLiteral("dEnd IS NULL"));
    xqcSprIst->setFiltered(true);

    xqcCai = new fw::TVeQueryCollection(db, this);
    xqcCai->setObjectName(QStringLiteral("xqcCai"));
    xqcCai->setSelectText(balancesSelect());
    xqcCai->setKeyField(QStringLiteral("iCaiId"));
    xqcCai->setTableName(QStringLiteral("TCai_CassaIst"));

    xqcTcc = new fw::TVeQueryCollection(db, this);
    xqcTcc->setObjectName(QStringLiteral("xqcTcc"));
    xqcTcc->setSelectText(compositionSelect());
    xqcTcc->setKeyField(QStringLiteral("iTccId"));
}

} // namespace ccp::accounts
