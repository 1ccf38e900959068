#include "EbsUCca.h"

#include "SqlQuery.h"

namespace ccp::fees {

namespace CcaSql {

QString select()
{
    // The type is joined from the left: a treasury-only component may have none and must stay listed.
    return QStringLiteral(
        "SELECT Cca.iCcaId, Cca.sCcaLDesc, Cca.sCcaSDesc, Cca.iTccId, Cca.iAggId, Cca.iVproId, Cca.iSvoId, Cca.iDwgId, "
        "Cca.fCcaImportoEra, Cca.fCcaImportoIst, Cca.lCcaRette, Cca.dStart, Cca.dEnd, Cca.iLocked, Tcc.sTccSDesc, "
        "Ans.sAnsAnnoDesc, Cca.dCcaDataScadenza "
        "FROM TCca_CompCausali Cca "
        "LEFT OUTER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId) "
        "INNER JOIN VAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cca.dStart AND Ans.dAnsVeltoFine = Cca.dEnd) "
        "WHERE (Ans.iAnsId = :iAnsId) AND ((Cca.lCcaRette = 1  AND Cca.lCcaTipo = 0) OR (:ShowAll = 1)) "
        "AND (Cca.lCcaTipo = :lCcaTipo)");
}

QString insert()
{
    return QStringLiteral(
        " INSERT INTO TCca_CompCausali (iCcaId, sCcaLDesc, sCcaSDesc, iTccId, iAggId, iVproId, iSvoId, iDwgId, "
        "fCcaImportoIst, fCcaImportoEra, lCcaRette, lCcaTipo, dStart, dEnd) VALUES (:VEGENID, :sCcaLDesc, :sCcaSDesc, "
        ":iTccId, :iAggId, :iVproId, :iSvoId, :iDwgId, :fCcaImportoIst, :fCcaImportoEra, :lCcaRette, :lCcaTipo, "
        ":dStart, :dEnd)");
}

QString update()
{
    return QStringLiteral(
        " UPDATE TCca_CompCausali SET sCcaLDesc = :sCcaLDesc, sCcaSDesc = :sCcaSDesc, iTccId = :iTccId, "
        "iAggId = :iAggId, iVproId = :iVproId, iSvoId = :iSvoId, iDwgId = :iDwgId, fCcaImportoIst = :fCcaImportoIst, "
        "fCcaImportoEra = :fCcaImportoEra, lCcaRette = :lCcaRette WHERE iCcaId = :VECURRID");
}

QString recomputeCausaliRette()
{
    return QStringLiteral(
        " UPDATE TCau_Causali SET lCauRette = (SELECT MIN(Cca.lCcaRette) FROM TCca_CompCausali Cca "
        "INNER JOIN TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId) WHERE Ccc.iCauId = TCau_Causali.iCauId) "
        "WHERE iCauId IN (SELECT iCauId FROM TCauCca WHERE iCcaId = :VECURRID)");
}

QString remove() { return QStringLiteral(" DELETE FROM TCca_CompCausali  WHERE iCcaId = :VECURRID"); }

QString inUse()
{
    return QStringLiteral(
        " SELECT Ccc.iCcaId FROM TCauCca Ccc INNER JOIN TMvm_MovimentiCcp Mvm ON (Mvm.iCauId = Ccc.iCauId) "
        "WHERE Ccc.iCcaId = :iCcaId UNION SELECT Ccc.iCcaId FROM TCauCca Ccc INNER JOIN TVrs_VersRegTasse Vrs "
        "ON (Vrs.iCauId = Ccc.iCauId) WHERE Ccc.iCcaId = :iCcaId");
}

namespace {
// A type is valid in a school year when it starts on or before the year and has not ended
// before the year's end, or when it starts after the year's first day.
const char *const Validity =
    "((Tcc.dStart <= Ans.dAnsVeltoInizio AND (Tcc.dEnd IS NULL OR Tcc.dEnd >= Ans.dAnsVeltoFine)) "
    "OR (Tcc.dStart > Ans.dAnsVeltoInizio))";
} // namespace

QString typeSelect(int ansId)
{
    return QStringLiteral(
               "SELECT Tcc.iTccId, Tcc_P.sTccLDesc LDesc_P, Tcc.sTccLDesc LDesc FROM TTcc_TipoCompCaus Tcc "
               "INNER JOIN TTcc_TipoCompCaus Tcc_P ON (Tcc_P.iTccId = Tcc.iTccId_P) "
               "INNER JOIN TAns_AnniScolast Ans ON %1 WHERE (Ans.iAnsId = %2) AND ##WHERE##")
        .arg(QLatin1String(Validity))
        .arg(ansId);
}

QString typeSearchSelect(int ansId)
{
    return QStringLiteral(
               "SELECT U.iTccId, U.LDesc_P, U.LDesc FROM ("
               "SELECT Tcc.iTccId, Tcc.sTccLDesc LDesc_P, CAST('.' AS VARCHAR(100)) LDesc FROM TTcc_TipoCompCaus Tcc "
               "INNER JOIN TAns_AnniScolast Ans ON %1 WHERE (Ans.iAnsId = %2) AND (Tcc.iTccId = Tcc.iTccId_P) "
               "UNION ALL "
               "SELECT Tcc.iTccId, Tcc_P.sTccLDesc, Tcc.sTccLDesc FROM TTcc_TipoCompCaus Tcc "
               "INNER JOIN TTcc_TipoCompCaus Tcc_P ON (Tcc_P.iTccId = Tcc.iTccId_P) "
               "INNER JOIN TAns_AnniScolast Ans ON %1 WHERE (Ans.iAnsId = %2) AND (Tcc.iTccId <> Tcc.iTccId_P)"
               ") U WHERE ##WHERE##")
        .arg(QLatin1String(Validity))
        .arg(ansId);
}

QString aggregateSelect(int dwgId, int flow)
{
    return QStringLiteral(
               " SELECT Agg.iAggId, Agg.sAggDescS, Agg.sAggDescL, Agg.dStart, Agg.dEnd, Agg.iDwgId FROM TAgg_Aggregati "
               "Agg WHERE ##WHERE## AND (Agg.iDwgId IS NULL OR (Agg.iDwgId = %1)) AND (Agg.iFlsId = %2)")
        .arg(dwgId)
        .arg(flow);
}

QString itemSelect(int aggId, int dwgId)
{
    return QStringLiteral(
               " SELECT iVproId, sVproCod, sVproDescS, dStart, dEnd, iDwgId FROM TVpro_VociProgetti WHERE (iAggId = %1) "
               "AND  (TVpro_VociProgetti.iDwgId IS NULL OR (TVpro_VociProgetti.iDwgId = %2)) AND ##WHERE##")
        .arg(aggId)
        .arg(dwgId);
}

QString subItemSelect(int itemId, int dwgId)
{
    return QStringLiteral(
               " SELECT iSvoId, sSvoDescS, sSvoDescL, iDwgId FROM TSvo_SottoVoci WHERE (iVproId = %1) AND  "
               "(TSvo_SottoVoci.iDwgId IS NULL OR (TSvo_SottoVoci.iDwgId = %2)) AND ##WHERE##")
        .arg(itemId)
        .arg(dwgId);
}

} // namespace CcaSql

namespace CcaRules {

QString subTypeText(const QVariant &key, const QString &ownText, const QString &typeText)
{
    if (key.isNull() || !key.isValid() || key.toInt() < FirstSubTypeId || ownText == typeText)
        return {};
    return ownText;
}

QString missingField(const Entry &e)
{
    if (e.description.trimmed().isEmpty())
        return QStringLiteral("Descrizione");
    if (e.code.trimmed().isEmpty())
        return QStringLiteral("Codice");
    const bool treasuryOnly = !e.instituteEmpty && e.institute.isZero() && !e.treasuryEmpty && !e.treasury.isZero();
    if (treasuryOnly)
        return {};
    auto empty = [](const QVariant &v) { return v.isNull() || !v.isValid() || v.toString().isEmpty(); };
    if (empty(e.type))
        return QStringLiteral("Tipo");
    if (empty(e.aggregate))
        return QStringLiteral("Aggregato");
    if (empty(e.item))
        return QStringLiteral("Voce");
    return {};
}

Result<YearBounds> schoolYearBounds(QSqlDatabase db, int ansId)
{
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral("SELECT dAnsVeltoInizio, dAnsVeltoFine FROM TAns_AnniScolast WHERE iAnsId = :iAnsId")); !s)
        return Result<YearBounds>::failure(s.error());
    q.bind(QStringLiteral("iAnsId"), ansId);
    if (auto s = q.exec(); !s)
        return Result<YearBounds>::failure(s.error());
    YearBounds b;
    if (q.next()) {
        b.start = q.value(0).toDate();
        b.end = q.value(1).toDate();
    }
    return b;
}

QString schoolYearDescription(QSqlDatabase db, int ansId)
{
    SqlQuery q(db);
    if (!q.prepare(QStringLiteral("SELECT VAns.sAnsAnnoDesc FROM VAns_AnniScolast VAns WHERE VAns.iAnsId = :iAnsId")))
        return {};
    q.bind(QStringLiteral("iAnsId"), ansId);
    if (!q.exec() || !q.next())
        return {};
    return q.value(0).toString();
}

Result<bool> componentInUse(QSqlDatabase db, int ccaId)
{
    SqlQuery q(db);
    if (auto s = q.prepare(CcaSql::inUse()); !s)
        return Result<bool>::failure(s.error());
    q.bind(QStringLiteral("iCcaId"), ccaId);
    if (auto s = q.exec(); !s)
        return Result<bool>::failure(s.error());
    return q.next();
}

} // namespace CcaRules
} // namespace ccp::fees
