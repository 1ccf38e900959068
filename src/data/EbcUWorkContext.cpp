#include "EbcUWorkContext.h"
#include "SqlQuery.h"

namespace ccp::work {

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
