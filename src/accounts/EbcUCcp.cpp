#include "EbcUCcp.h"

#include "SqlQuery.h"
#include "TVeDBDateEdit.h"
#include "VeMessageDlg.h"

namespace ccp::accounts {

namespace {
QString S(const char *s) { return QString::fromUtf8(s); }

// Effective first and last day of an account-year row aliased Cai.
const char *const FirstDay = "COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE))";
const char *const LastDay = "COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))";

Result<YearBound> readBound(QSqlDatabase db, int sprIstId, int year, bool before)
{
    SqlQuery q(db);
    const QString sql = S("SELECT FIRST 1 Cai.iCaiEsercizioFin, %1 AS dInizio, %2 AS dFine FROM TCai_CassaIst Cai "
                          "WHERE Cai.iSprIstId = :iSprIstId AND Cai.iCaiEsercizioFin %3 :iEsercizioFin "
                          "ORDER BY Cai.iCaiEsercizioFin %4")
                            .arg(S(FirstDay), S(LastDay), before ? S("<") : S(">"), before ? S("DESC") : S("ASC"));
    if (auto s = q.prepare(sql); !s)
        return s;
    q.bind(S("iSprIstId"), sprIstId).bind(S("iEsercizioFin"), year);
    if (auto s = q.exec(); !s)
        return s;
    YearBound b;
    if (q.next()) {
        b.year = q.value(0).toInt();
        b.first = q.value(1).toDate();
        b.last = q.value(2).toDate();
    }
    return b;
}

bool gapAccepted(const QDate &from, const QDate &to)
{
    const QString q = CcpMessages::GapQuestion.arg(fw::formatDate(from), fw::formatDate(to));
    if (fw::VeMessageDlg(q, fw::MsgType::Warning, fw::MsgButtons::YesNo) != fw::MsgResult::Yes)
        return false;
    return fw::VeMessageDlg(CcpMessages::GapConfirm, fw::MsgType::Warning, fw::MsgButtons::YesNo) == fw::MsgResult::Yes;
}
} // namespace

int accountNumberLength(const QVariant &iCbaId)
{
    return !iCbaId.isNull() && iCbaId.toInt() == PostalCategory ? 8 : 12;
}

QString padAccountNumber(const QString &number, const QVariant &iCbaId)
{
    return number.rightJustified(accountNumberLength(iCbaId), QLatin1Char('0'));
}

Result<MovementSpan> movementSpan(QSqlDatabase db, int sprIstId)
{
    SqlQuery q(db);
    const QString sql = S("SELECT MIN(Mvm.dMvmDataMov), MAX(Mvm.dMvmDataMov) FROM TMvm_MovimentiCcp Mvm "
                          "WHERE Mvm.iSprIstId = :iSprIstId AND EXISTS (SELECT 1 FROM TCai_CassaIst Cai "
                          "INNER JOIN TAnf_AnniFinanz Anf ON (Anf.iAnfValore = Cai.iCaiEsercizioFin) "
                          "WHERE Cai.iSprIstId = Mvm.iSprIstId AND Mvm.dMvmDataMov BETWEEN %1 AND %2)")
                            .arg(S(FirstDay), S(LastDay));
    if (auto s = q.prepare(sql); !s)
        return s;
    q.bind(S("iSprIstId"), sprIstId);
    if (auto s = q.exec(); !s)
        return s;
    MovementSpan span;
    if (q.next()) {
        span.first = q.value(0).toDate();
        span.last = q.value(1).toDate();
    }
    return span;
}

Result<QVariant> cashBranchId(QSqlDatabase db)
{
    return SqlQuery::scalar(db, S("SELECT FIRST 1 iSprId FROM TSpr_SportelliCab WHERE iBanId = :iBanId AND sSprCab = :sCab "
                                  "ORDER BY iSprId"),
                            {{S("iBanId"), CashBankId}, {S("sCab"), CashBranchCab}});
}

Result<YearNeighbours> readNeighbours(QSqlDatabase db, int sprIstId, int year)
{
    auto prev = readBound(db, sprIstId, year, true);
    if (!prev)
        return prev.status();
    auto next = readBound(db, sprIstId, year, false);
    if (!next)
        return next.status();
    return YearNeighbours{*prev, *next};
}

Result<bool> movementsAfter(QSqlDatabase db, int sprIstId, const QDate &day, const QDate &upTo)
{
    auto r = SqlQuery::scalar(db, S("SELECT FIRST 1 iMvmId FROM TMVM_MOVIMENTICCP WHERE iSprIstId = :iSprIstId AND "
                                    "dMvmDataMov > :dMvmDataMov AND dMvmDataMov <= :dFino"),
                              {{S("iSprIstId"), sprIstId}, {S("dMvmDataMov"), day}, {S("dFino"), upTo}});
    if (!r)
        return r.status();
    return r->isValid() && !r->isNull();
}

DateCheck checkYearDates(const QDate &start, const QDate &end, int year, const YearNeighbours &around, bool newYear,
                         const std::function<Result<bool>(const QDate &)> &movementsAfterDay)
{
    DateCheck r;
    auto refuse = [&r](DateCheck::Field f, const QString &error) {
        if (!error.isEmpty())
            fw::showError(error);
        r.focus = f;
        r.accepted = false;
        r.endPrevious = false;
        return r;
    };
    if (!start.isValid() || !end.isValid())
        return refuse(start.isValid() ? DateCheck::End : DateCheck::Start, CcpMessages::DatesRequired);
    if (end <= start)
        return refuse(DateCheck::End, CcpMessages::EndNotAfterStart);
    if (start > QDate(year, 12, 31))
        return refuse(DateCheck::Start, CcpMessages::StartAfterYear);
    if (end < QDate(year, 1, 1))
        return refuse(DateCheck::End, CcpMessages::EndBeforeYear);
    const YearBound &p = around.previous;
    if (p.exists() && start <= p.last) {
        if (!newYear)
            return refuse(DateCheck::Start, CcpMessages::StartOverlap);
        const QDate dayBefore = start.addDays(-1);
        const QString q = CcpMessages::StartOverlapOffer.arg(p.year).arg(fw::formatDate(dayBefore));
        if (fw::VeMessageDlg(q, fw::MsgType::Warning, fw::MsgButtons::YesNo) != fw::MsgResult::Yes)
            return refuse(DateCheck::Start, {});
        // The previous year would lose its own first day or more: nothing left of it.
        if (dayBefore < p.first)
            return refuse(DateCheck::Start, CcpMessages::StartOverlap);
        if (movementsAfterDay) {
            auto after = movementsAfterDay(dayBefore);
            if (!after)
                return refuse(DateCheck::Start, after.error());
            if (*after)
                return refuse(DateCheck::Start, CcpMessages::MovementsAfter.arg(fw::formatDate(dayBefore)).arg(p.year));
        }
        r.endPrevious = true;
    } else if (p.exists() && p.last.addDays(1) < start) {
        if (!gapAccepted(p.last.addDays(1), start.addDays(-1)))
            return refuse(DateCheck::Start, {});
    }
    const YearBound &n = around.next;
    if (n.exists() && end >= n.first)
        return refuse(DateCheck::End, CcpMessages::EndOverlap.arg(fw::formatDate(n.first.addDays(-1))));
    if (n.exists() && n.first.addDays(-1) > end) {
        if (!gapAccepted(end.addDays(1), n.first.addDays(-1)))
            return refuse(DateCheck::End, {});
    }
    r.accepted = true;
    return r;
}

Result<QList<TopType>> readTopTypes(QSqlDatabase db, int ansId)
{
    SqlQuery q(db);
    if (auto s = q.prepare(S("SELECT Tcc.iTccId, Tcc.sTccLDesc FROM TTcc_TipoCompCaus Tcc INNER JOIN TAns_AnniScolast Ans "
                             "ON (Tcc.dStart <= Ans.dAnsVeltoInizio AND (Tcc.dEnd IS NULL OR Tcc.dEnd >= Ans.dAnsVeltoFine)) "
                             "WHERE (Ans.iAnsId = :iAnsId) AND (Tcc.iTccId = Tcc.iTccId_P) ORDER BY Tcc.iTccId"));
        !s)
        return s;
    q.bind(S("iAnsId"), ansId);
    if (auto s = q.exec(); !s)
        return s;
    QList<TopType> types;
    while (q.next())
        types.append({q.value(0).toInt(), q.value(1).toString()});
    return types;
}

Result<Opening> readOpening(QSqlDatabase db, int sprIstId, int year, const QList<TopType> &types, bool modify,
                            const std::function<void()> &step)
{
    Opening o;
    SqlQuery row(db);
    if (auto s = row.prepare(S("SELECT Cai.iCaiId, Cai.fCaiCassaIn, Cai.fCaiCassaAtt, Cai.fCaiDiffIniz FROM TCai_CassaIst Cai "
                               "WHERE (Cai.iSprIstId = :iSprIstId) AND (Cai.iCaiEsercizioFin = :iEsercizioFin)"));
        !s)
        return s;
    row.bind(S("iSprIstId"), sprIstId).bind(S("iEsercizioFin"), year);
    if (auto s = row.exec(); !s)
        return s;
    if (row.next()) {
        // A stored year: its own figures, each type by its id (a type without a row is 0).
        o.stored = true;
        o.balance = row.money(modify ? 1 : 2);
        o.differences = row.money(3);
        const int caiId = row.value(0).toInt();
        SqlQuery amounts(db);
        if (auto s = amounts.prepare(S("SELECT iTccId, fCaiTccImportoIniz FROM TCaiTcc WHERE iCaiId = :iCaiId")); !s)
            return s;
        amounts.bind(S("iCaiId"), caiId);
        if (auto s = amounts.exec(); !s)
            return s;
        QHash<int, Money> byType;
        while (amounts.next())
            byType.insert(amounts.value(0).toInt(), amounts.money(1));
        for (const TopType &t : types)
            o.types.append(byType.value(t.tccId));
        return o;
    }
    const QDate d(year - 1, 12, 31);
    SqlQuery bal(db);
    if (auto s = bal.prepare(S("SELECT fTccImporto FROM PEbc_SaldoXTcc(:iSprIstId, :iTccId, 0, :dDataMax)")); !s)
        return s;
    for (const TopType &t : types) {
        bal.bind(S("iSprIstId"), sprIstId).bind(S("iTccId"), t.tccId).bind(S("dDataMax"), d);
        if (auto s = bal.exec(); !s)
            return s;
        const Money m = bal.next() ? bal.money(0) : Money();
        o.types.append(m);
        o.balance += m;
        if (step)
            step();
    }
    auto diff = SqlQuery::scalar(db, S("SELECT fDiff FROM PEbc_MvmDiff(:iSprIstId, :dDataMax)"),
                                 {{S("iSprIstId"), sprIstId}, {S("dDataMax"), d}});
    if (!diff)
        return diff.status();
    o.differences = Money::fromVariant(*diff);
    return o;
}

bool openingBalances(const Opening &o)
{
    Money sum;
    for (Money m : o.types)
        sum += m;
    return sum == o.balance;
}

Status createYear(QSqlDatabase db, const NewYear &y, int typeCount)
{
    if (typeCount != 4 || y.opening.types.size() != 4)
        return Status::failure(CcpMessages::TypeCountWrong.arg(typeCount));
    return runInTransaction(db, [&]() -> Status {
        SqlQuery q(db);
        if (auto s = q.prepare(S("EXECUTE PROCEDURE PEBC_INITANNOFIN (:ieserciziofin, :ispristid, :fsaldo, :ftasse, "
                                 ":fcontributi, :fquote, :fdiversi, :fdifferenze, :dinizioannofin, :dfineannofin)"));
            !s)
            return s;
        q.bind(S("ieserciziofin"), y.year).bind(S("ispristid"), y.sprIstId).bind(S("fsaldo"), y.opening.balance);
        const char *names[] = {"ftasse", "fcontributi", "fquote", "fdiversi"};
        for (int i = 0; i < 4; ++i)
            q.bind(S(names[i]), y.opening.types[i]);
        q.bind(S("fdifferenze"), y.opening.differences);
        if (y.start.isValid() && y.end.isValid())
            q.bind(S("dinizioannofin"), y.start).bind(S("dfineannofin"), y.end);
        else
            q.bindNull(S("dinizioannofin"), QMetaType(QMetaType::QDate)).bindNull(S("dfineannofin"), QMetaType(QMetaType::QDate));
        if (auto s = q.exec(); !s)
            return s;
        if (y.previousYear != 0 && y.previousEnd.isValid()) {
            SqlQuery u(db);
            if (auto s = u.prepare(S("UPDATE TCAI_CASSAIST SET DCAIFINEANNO = :DCAIFINEANNO WHERE ICAIESERCIZIOFIN = "
                                     ":IANFVALORE AND ISPRISTID = :ISPRISTID"));
                !s)
                return s;
            u.bind(S("DCAIFINEANNO"), y.previousEnd).bind(S("IANFVALORE"), y.previousYear).bind(S("ISPRISTID"), y.sprIstId);
            if (auto s = u.exec(); !s)
                return s;
        }
        return {};
    });
}

Status modifyYear(QSqlDatabase db, int caiId, const QList<TopType> &types, const Opening &o)
{
    return runInTransaction(db, [&]() -> Status {
        SqlQuery q(db);
        if (auto s = q.prepare(S("UPDATE TCaiTcc SET FCaiTccImportoIniz = :fTccImporto WHERE TCaiTcc.iTccId = :iTccId "
                                 "AND TCaiTcc.iCaiId = :iCaiId"));
            !s)
            return s;
        for (int i = 0; i < types.size() && i < o.types.size(); ++i) {
            q.bind(S("fTccImporto"), o.types[i]).bind(S("iTccId"), types[i].tccId).bind(S("iCaiId"), caiId);
            if (auto s = q.exec(); !s)
                return s;
        }
        SqlQuery u(db);
        if (auto s = u.prepare(S("UPDATE TCai_CassaIst SET fCaiCassaIn = (SELECT COALESCE(SUM(CaiTcc.fCaiTccImportoIniz), 0) "
                                 "FROM TCaiTcc CaiTcc WHERE CaiTcc.iCaiId = :iCaiId), fCaiDiffIniz = :fCaiDiffIniz "
                                 "WHERE TCai_CassaIst.iCaiId = :iCaiId"));
            !s)
            return s;
        u.bind(S("iCaiId"), caiId).bind(S("fCaiDiffIniz"), o.differences);
        return u.exec();
    });
}

Status updateYearDates(QSqlDatabase db, int caiId, const QDate &start, const QDate &end)
{
    return runInTransaction(db, [&]() -> Status {
        SqlQuery q(db);
        if (auto s = q.prepare(S("UPDATE TCai_CassaIst SET dCaiInizioAnno = :dCaiInizioAnno, dCaiFineAnno = :dCaiFineAnno "
                                 "WHERE iCaiId = :iCaiId"));
            !s)
            return s;
        q.bind(S("dCaiInizioAnno"), start).bind(S("dCaiFineAnno"), end).bind(S("iCaiId"), caiId);
        return q.exec();
    });
}

} // namespace ccp::accounts
