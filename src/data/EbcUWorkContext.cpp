#include "EbcUWorkContext.h"
#include "SqlQuery.h"

namespace ccp::work {

namespace {
// An owner of the suite that keeps only the accounting of past years: never offered.
const QString excludedOwner = QStringLiteral("Contabilita' 2019 D.M. 44/2001");
} // namespace

Result<QList<Institute>> instituteList(QSqlDatabase db, int dwgId, bool isGroup, int ansId)
{
    QList<Institute> out;
    SqlQuery q(db);
    if (!isGroup) {
        if (auto s = q.prepare(QStringLiteral(
                " SELECT Dow.sDowSDesc FROM TDwg_DataOwnerGrp Dwg INNER JOIN TDow_DataOwner Dow ON (Dow.iDowId = Dwg.iDowId)"
                " WHERE Dwg.iDwgId = :iDwgId   AND Dow.sDowSDesc <> :sExcluded"));
            !s)
            return s;
        q.bind(QStringLiteral("iDwgId"), dwgId).bind(QStringLiteral("sExcluded"), excludedOwner);
        if (auto s = q.exec(); !s)
            return s;
        while (q.next())
            out << Institute{q.value(0).toString(), dwgId};
        return out;
    }
    if (ansId == 0)
        return out;
    // The members of the group valid on the first day of the working school year, each under
    // its own single-owner institute, which is what the movement searches filter classes by.
    if (auto s = q.prepare(QStringLiteral(
            "SELECT Own.sDowSDesc, Own.iDwgId, Own.dStart_Dwg FROM VDow_DataOwner Own"
            " INNER JOIN VAns_AnniScolast Ans ON (Ans.iAnsId = :iAnsId)"
            " WHERE Own.lDwgGruppo = 0 AND Own.iDowId IS NOT NULL AND Own.sDowSDesc <> :sExcluded"
            "   AND (Own.dStart_Dwg IS NULL OR Own.dStart_Dwg <= Ans.dAnsVeltoInizio)"
            "   AND (Own.dEnd_Dwg IS NULL OR Own.dEnd_Dwg >= Ans.dAnsVeltoInizio)"
            "   AND EXISTS (SELECT 1 FROM VDow_DataOwner Grp WHERE Grp.iDwgId = :iDwgId AND Grp.iDowId = Own.iDowId"
            "     AND (Grp.dStart_Dwg IS NULL OR Grp.dStart_Dwg <= Ans.dAnsVeltoInizio)"
            "     AND (Grp.dEnd_Dwg IS NULL OR Grp.dEnd_Dwg >= Ans.dAnsVeltoInizio)"
            "     AND (Grp.dStart_OtgDwg IS NULL OR Grp.dStart_OtgDwg <= Ans.dAnsVeltoInizio)"
            "     AND (Grp.dEnd_OtgDwg IS NULL OR Grp.dEnd_OtgDwg >= Ans.dAnsVeltoInizio))"
            " ORDER BY Own.sDowSDesc, Own.dStart_Dwg"));
        !s)
        return s;
    q.bind(QStringLiteral("iAnsId"), ansId).bind(QStringLiteral("iDwgId"), dwgId)
        .bind(QStringLiteral("sExcluded"), excludedOwner);
    if (auto s = q.exec(); !s)
        return s;
    while (q.next())
        out << Institute{q.value(0).toString(), q.value(1).toInt()};
    return out;
}


QString accountTypeOf(const QVariant &iCbaId, const QVariant &iBanId)
{
    const int cba = iCbaId.isNull() ? 0 : iCbaId.toInt();
    if (cba == 7)
        return AccountType::Postal;
    if (cba == 8)
        return AccountType::Cash;
    if (cba != 0)
        return AccountType::Bank;
    return (!iBanId.isNull() && iBanId.toInt() == 1) ? AccountType::Bank : QString();
}

QString accountType(QSqlDatabase db, int sprIstId)
{
    if (sprIstId == 0)
        return {};
    SqlQuery q(db);
    if (!q.prepare(QStringLiteral(
            "SELECT Ban.iCbaId, Ban.iBanId FROM TSprIst SprIst"
            " INNER JOIN TSpr_SportelliCab Spr ON (Spr.iSprId = SprIst.iSprId)"
            " INNER JOIN TBan_Banche Ban ON (Ban.iBanId = Spr.iBanId)"
            " WHERE SprIst.iSprIstId = :iSprIstId")))
        return {};
    q.bind(QStringLiteral("iSprIstId"), sprIstId);
    if (!q.exec() || !q.next())
        return {};
    return accountTypeOf(q.value(0), q.value(1));
}

QVariant financialYearValue(QSqlDatabase db, int anfId)
{
    auto r = SqlQuery::scalar(db, QStringLiteral(" SELECT iAnfValore FROM TAnf_AnniFinanz WHERE iAnfId = :iAnfId"),
                              {{QStringLiteral("iAnfId"), anfId}});
    return r && r.value().isValid() ? r.value() : QVariant();
}

Result<UserPeriod> readUserPeriod(QSqlDatabase db, int sprIstId, int anfValore)
{
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral(
            "SELECT COALESCE(cai.DCAIINIZIOANNO, CAST(cai.ICAIESERCIZIOFIN || '-01-01' AS DATE)) AS INIZIOUTENTE,"
            " COALESCE(cai.DCAIFINEANNO, CAST(cai.ICAIESERCIZIOFIN || '-12-31' AS DATE)) AS FINEUTENTE"
            " FROM TCai_CassaIst cai WHERE cai.iSprIstId = :iSprIstId AND cai.iCaiEsercizioFin = :iAnfValore"));
        !s)
        return s;
    q.bind(QStringLiteral("iSprIstId"), sprIstId).bind(QStringLiteral("iAnfValore"), anfValore);
    if (auto s = q.exec(); !s)
        return s;
    UserPeriod p;
    if (q.next()) {
        p.start = q.value(0).toDate();
        p.end = q.value(1).toDate();
    }
    return p;
}

} // namespace ccp::work
