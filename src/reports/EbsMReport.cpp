#include "EbsMReport.h"

#include "SqlQuery.h"

namespace ccp::reports {

namespace RptSql {

QString pupils(bool newEnrolled)
{
    // The institute chosen may be a group: its pupils are those of its member institutes.
    return QStringLiteral(
        "SELECT Sit.iSitId, Ana.iAnaId, Ana.sAnaCognome, Ana.sAnaNome, AnaCag.sAnaCagCode, VCls.sClsSDesc,"
        " VCls.sClsDesc, Ana.dAnaNascita, Com.sComDesc sLuogoNascita, Pro.sProSigla sProNascita, Ana.iSexId"
        " FROM TAna_Anagrafiche Ana"
        " INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = Ana.iAnaId)"
        " INNER JOIN TSit_Situazioni Sit ON (Sit.iAnaId = Ana.iAnaId)"
        " INNER JOIN TAns_AnniScolast Ans ON ((Sit.dStart = Ans.dAnsVeltoInizio) AND (Sit.dEnd = Ans.dAnsVeltoFine))"
        " LEFT OUTER JOIN TClsPst ClsPst ON (ClsPst.iClsPstId = Sit.iClsPstId)"
        " LEFT OUTER JOIN VCls_Classi VCls ON (VCls.iClsId = ClsPst.iClsId)"
        " LEFT OUTER JOIN TSrpc Srpc ON (Srpc.iSrpcId = Ana.iSrpcId)"
        " LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = Srpc.iComId)"
        " LEFT OUTER JOIN TPro_Province Pro ON (Pro.iProId = Srpc.iProId)"
        " WHERE (Sit.iSitOrdine = 1) AND (AnaCag.iCagId = 1) AND (Ans.iAnsId = :iAnsId)"
        " AND ((Sit.iDwgId = :iDwgId) OR Sit.iDwgId IN (SELECT Mem.iDwgId FROM VDow_DataOwner Grp"
        "   INNER JOIN VDow_DataOwner Mem ON (Mem.iDowId = Grp.iDowId) WHERE Grp.iDwgId = :iDwgId))"
        "%1"
        " AND (**MY_FILTER**) /*AND VERPTFILTER*/"
        " ORDER BY Ana.sAnaCognomeNomeIdx, Ana.sAnaCognome, Ana.sAnaNome")
        .arg(newEnrolled ? QStringLiteral(" AND (Sit.iClsPstId IS NULL)")
                         : QStringLiteral(" AND (CAST(COALESCE(VCls.iClsId, 0) AS VARCHAR(12)) LIKE :iClsId)"));
}

QString withMyFilter(const QString &sql, bool onlyAttending)
{
    QString out = sql;
    return out.replace(QStringLiteral("**MY_FILTER**"), onlyAttending ? QStringLiteral("iPosAttId=1") : QStringLiteral("1=1"));
}

QString withReportFilter(const QString &sql, const QString &condition)
{
    if (condition.isEmpty())
        return sql;
    QString out = sql;
    return out.replace(QStringLiteral("/*AND VERPTFILTER*/"), QStringLiteral("AND (%1)").arg(condition));
}

} // namespace RptSql

const QString TdmEbsReport::CompCauSql = QStringLiteral(
    "SELECT Cca.iCcaId, Cca.sCcaSDesc, Cca.sCcaLDesc, Cca.fCcaImportoIst, Cca.fCcaImportoEra, Cca.dCcaDataScadenza,"
    " Tcc.sTccSDesc, Tcc.sTccLDesc, Agg.sAggDescS, Agg.sAggDescL, VPro.sVProCod, VPro.sVproDescS"
    " FROM TCca_CompCausali Cca"
    " INNER JOIN TAns_AnniScolast Ans ON ((Ans.dAnsVeltoInizio = Cca.dStart) AND (Ans.dAnsVeltoFine = Cca.dEnd))"
    " LEFT OUTER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)"
    " LEFT OUTER JOIN TAgg_Aggregati Agg ON (Agg.iAggId = Cca.iAggId)"
    " LEFT OUTER JOIN TVPro_VociProgetti VPro ON (VPro.iVproId = Cca.iVproId)"
    " WHERE (Ans.iAnsId = :iAnsId) AND (Cca.DDELETE IS NULL)"
    " AND (((Cca.lCcaRette = 1) AND (Cca.lCcaTipo = 0)) OR (%d = 1)) /*AND VERPTFILTER*/"
    " ORDER BY Cca.sCcaLDesc");

const QString TdmEbsReport::CauSql = QStringLiteral(
    "SELECT Cau.iCauId, Cau.sCauSDesc, Cau.sCauLDesc, Cau.lCauTipo,"
    " (SELECT SUM(Cca.fCcaImportoIst) FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId)"
    "   WHERE CauCca.iCauId = Cau.iCauId) fCauImportoIst,"
    " (SELECT SUM(Cca.fCcaImportoEra) FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId)"
    "   WHERE CauCca.iCauId = Cau.iCauId) fCauImportoEra"
    " FROM TCau_Causali Cau"
    " INNER JOIN TAns_AnniScolast Ans ON ((Ans.dAnsVeltoInizio = Cau.dStart) AND (Ans.dAnsVeltoFine = Cau.dEnd))"
    " WHERE (Ans.iAnsId = :iAnsId) AND (Cau.lCauTipo = :lCauTipo) AND (Cau.DDELETE IS NULL) /*AND VERPTFILTER*/"
    " ORDER BY Cau.sCauLDesc");

const QString TdmEbsReport::CompXCauSql = QStringLiteral(
    "SELECT Cca.sCcaSDesc, Cca.sCcaLDesc, Cca.fCcaImportoEra, Cca.fCcaImportoIst, Cca.dCcaDataScadenza"
    " FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId)"
    " WHERE (CauCca.iCauId = :iCauId)");

const QString TdmEbsReport::CauBollettinoSql = QStringLiteral(
    "SELECT Cau.iCauId, Cau.sCauSDesc, Cau.sCauLDesc,"
    " COALESCE((SELECT SUM(Cca.fCcaImportoIst) FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca"
    "   ON (Cca.iCcaId = CauCca.iCcaId) WHERE CauCca.iCauId = Cau.iCauId), 0) fCauImportoIst,"
    " COALESCE((SELECT SUM(Cca.fCcaImportoEra) FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca"
    "   ON (Cca.iCcaId = CauCca.iCcaId) WHERE CauCca.iCauId = Cau.iCauId), 0) fCauImportoEra"
    " FROM TCau_Causali Cau WHERE Cau.iCauId = :iCauId");

QString TdmEbsReport::addressSql(int kind)
{
    return QStringLiteral(
        "SELECT FIRST 1 Abt.sAbtIndirizzo, Cap.sCapValue, Com.sComDesc, Pro.sProSigla"
        " FROM TAnaAbt AnaAbt"
        " INNER JOIN TAbt_Abitaz Abt ON (Abt.iAbtId = AnaAbt.iAbtId)"
        " INNER JOIN TAbtLoc AbtLoc ON (AbtLoc.iAbtId = Abt.iAbtId)"
        " LEFT OUTER JOIN TComCap ComCap ON (ComCap.iComCapId = Abt.iComCapId)"
        " LEFT OUTER JOIN TCap Cap ON (Cap.iCapId = ComCap.iCapId)"
        " LEFT OUTER JOIN TSrpc Srpc ON (Srpc.iSrpcId = ComCap.iSrpcId)"
        " LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = Srpc.iComId)"
        " LEFT OUTER JOIN TPro_Province Pro ON (Pro.iProId = Srpc.iProId)"
        " WHERE (AnaAbt.iAnaId = :iAnaId) AND (AbtLoc.iLocId = %1)"
        " AND (AnaAbt.DDELETE IS NULL) AND (Abt.DDELETE IS NULL) AND (AbtLoc.DDELETE IS NULL)"
        " ORDER BY AnaAbt.dStart DESC").arg(kind);
}

const QString TdmEbsReport::DatiScuolaSql = QStringLiteral(
    "SELECT Sed.sSedNomLDesc, Sed.sSedIndIndirizzo, Sed.sCapValue, Sed.sComDesc, Sed.sProSigla, Sed.sSedTelTelefono,"
    " Sed.sSedFaxNo, Sed.sSedEmlEmail, Sed.sSedMecCod, Sed.sSedNomCodiceFisc"
    " FROM VSed_Sedi Sed WHERE (Sed.iDwgId = :iDwgId) AND (Sed.dEnd_DwgSed IS NULL)"
    " ORDER BY Sed.lDwgSedMain DESC, Sed.iDwgSedId");

Result<QString> TdmEbsReport::yearText(int ansId)
{
    auto v = SqlQuery::scalar(m_db, QStringLiteral("SELECT sAnsAnnoDesc FROM VAns_AnniScolast WHERE iAnsId = :id"),
                              {{QStringLiteral("id"), ansId}});
    if (!v)
        return v.status();
    if (!v.value().isValid())
        return Result<QString>::failure(QStringLiteral("L'anno scolastico %1 non esiste.").arg(ansId));
    return v.value().toString();
}

Result<std::unique_ptr<SqlDataModule>> TdmEbsReport::module(int ansId)
{
    auto year = yearText(ansId);
    if (!year)
        return year.status();
    schoolYear = year.value();
    auto m = std::make_unique<SqlDataModule>(m_db);
    m->setVariable(QStringLiteral("Anno scolastico"), schoolYear);
    m->setVariable(QStringLiteral("BarCode"), barCode);
    m->setVariable(QStringLiteral("Erario"), erario);
    m->setVariable(QStringLiteral("NumeroCC"), accountNumber);
    m->setQuery(QStringLiteral("frdDatiScuola"), DatiScuolaSql);
    m->setParam(QStringLiteral("frdDatiScuola"), QStringLiteral("iDwgId"), dwgId);
    return m;
}

Result<std::unique_ptr<SqlDataModule>> TdmEbsReport::componentsOfYear(int ansId, bool allComponents)
{
    auto made = module(ansId);
    if (!made)
        return made;
    auto &m = made.value();
    QString sql = CompCauSql;
    m->setQuery(QStringLiteral("frdCompCau"), sql.replace(QStringLiteral("%d"), allComponents ? QStringLiteral("1") : QStringLiteral("0")));
    m->setParam(QStringLiteral("frdCompCau"), QStringLiteral("iAnsId"), ansId);
    return made;
}

Result<std::unique_ptr<SqlDataModule>> TdmEbsReport::causali(int ansId, bool income)
{
    auto made = module(ansId);
    if (!made)
        return made;
    auto &m = made.value();
    m->setQuery(QStringLiteral("frdCau"), CauSql);
    m->setParam(QStringLiteral("frdCau"), QStringLiteral("iAnsId"), ansId);
    m->setParam(QStringLiteral("frdCau"), QStringLiteral("lCauTipo"), income ? 0 : 1);
    m->setVariable(QStringLiteral("Tipo causali"), income ? QStringLiteral("Causali di entrata") : QStringLiteral("Causali di uscita"));
    // Re-read for every causale, with the causale's id from its row.
    m->setQuery(QStringLiteral("frdCompXCau"), CompXCauSql);
    return made;
}

Result<std::unique_ptr<SqlDataModule>> TdmEbsReport::notices(const NoticeChoice &c)
{
    barCode = c.barCodes;
    erario = c.erario;
    accountNumber = c.accountNumber;
    dwgId = c.dwgId;
    auto made = module(c.ansId);
    if (!made)
        return made;
    auto &m = made.value();
    QString filter;
    if (!c.sitIds.isEmpty()) {
        QStringList ids;
        for (int id : c.sitIds)
            ids << QString::number(id);
        filter = QStringLiteral("Sit.iSitId IN (%1)").arg(ids.join(u','));
    }
    const QString alunni = QStringLiteral("frdAlunni");
    m->setQuery(alunni, RptSql::withReportFilter(RptSql::withMyFilter(RptSql::pupils(c.newEnrolled), c.onlyAttending), filter));
    m->setParam(alunni, QStringLiteral("iAnsId"), c.ansId);
    m->setParam(alunni, QStringLiteral("iDwgId"), c.dwgId);
    if (!c.newEnrolled)
        m->setParam(alunni, QStringLiteral("iClsId"), c.clsId.isEmpty() ? QStringLiteral("%") : c.clsId);
    m->setQuery(QStringLiteral("frdCauBollettino"), CauBollettinoSql);
    m->setParam(QStringLiteral("frdCauBollettino"), QStringLiteral("iCauId"), c.cauId);
    m->setQuery(QStringLiteral("frdCompXCau"), CompXCauSql);
    m->setQuery(QStringLiteral("frdDomicilio"), addressSql(1));
    m->setQuery(QStringLiteral("frdResidenza"), addressSql(2));
    return made;
}

} // namespace ccp::reports
