#include "EbcUMvm.h"

#include "SqlQuery.h"
#include "TVeGlobalValues.h"

namespace ccp::movements {

Result<MvmContext> MvmContext::read(QSqlDatabase db)
{
    const auto &values = fw::TVeGlobalValuesManager::instance();
    MvmContext c;
    c.dwgId = values.intValue(MvmKeys::DwgId);
    c.ansId = values.intValue(MvmKeys::AnsId);
    c.sprIstId = values.intValue(MvmKeys::SprIstId);
    c.cauAnsId = values.intValue(MvmKeys::CauAnsId);

    c.anfValore = work::financialYearValue(db, values.intValue(MvmKeys::AnfId)).toInt();
    auto period = work::readUserPeriod(db, c.sprIstId, c.anfValore);
    if (!period)
        return period.status();
    c.periodStart = period->start;
    c.periodEnd = period->end;

    SqlQuery a(db);
    if (auto s = a.prepare(QStringLiteral(
            "SELECT SprIst.dStart, SprIst.dEnd, Ban.iCbaId, Ban.iBanId FROM TSprIst SprIst"
            " LEFT OUTER JOIN TSpr_SportelliCab Spr ON (Spr.iSprId = SprIst.iSprId)"
            " LEFT OUTER JOIN TBan_Banche Ban ON (Ban.iBanId = Spr.iBanId)"
            " WHERE SprIst.iSprIstId = :iSprIstId"));
        !s)
        return s;
    a.bind(QStringLiteral("iSprIstId"), c.sprIstId);
    if (auto s = a.exec(); !s)
        return s;
    if (a.next()) {
        c.accountStart = a.value(0).toDate();
        c.accountEnd = a.value(1).toDate();
        c.accountType = a.value(3).isNull() ? QString() : accountTypeOf(a.value(2), a.value(3));
    }

    SqlQuery g(db);
    if (auto s = g.prepare(QStringLiteral(" SELECT iDowId FROM TDwg_DataOwnerGrp WHERE iDwgId = :iDwgId")); !s)
        return s;
    g.bind(QStringLiteral("iDwgId"), c.dwgId);
    if (auto s = g.exec(); !s)
        return s;
    c.isGroup = g.next() && g.value(0).isNull();
    return c;
}

QString checkMovementDate(MvmDateKind kind, const QDate &date, const QDate &periodStart,
                          const QDate &periodEnd, const QDate &accountStart, const QDate &statementDate)
{
    if (!date.isValid() || (periodStart.isValid() && date < periodStart)
        || (periodEnd.isValid() && date > periodEnd))
        return MvmText::OutsideYear;
    if (accountStart.isValid() && date < accountStart)
        return MvmText::BeforeOpening.arg(
            kind == MvmDateKind::Movement ? QStringLiteral(" movimento") : QStringLiteral("l'estratto conto"),
            accountStart.toString(QStringLiteral("dd/MM/yyyy")));
    if (kind == MvmDateKind::Movement && statementDate.isValid() && date > statementDate)
        return MvmText::MovementAfterStatement;
    return {};
}

AmountDecision decideAmount(const QString &expected, const QString &entered, Money shown)
{
    AmountDecision d;
    const Money total = Money::fromText(expected);
    if (total.isZero()) {
        // A causale without preset amounts is always split by hand.
        d.action = AmountDecision::OpenSplit;
        return d;
    }
    d.difference = Money::fromText(entered) - total;
    d.showDifference = true;
    if (d.difference.isZero())
        d.action = AmountDecision::ReleaseSplit;
    else if (d.difference != shown)
        d.action = AmountDecision::OpenSplit;
    return d;
}

bool exceedsAvailability(Money amount, Money available, Money storedWhenEditing)
{
    return amount > available + storedWhenEditing;
}

Result<Money> accountAvailability(QSqlDatabase db, int sprIstId, int anfValore)
{
    SqlQuery q(db);
    if (auto s = q.prepare(MvmSql::Availability); !s)
        return s;
    q.bind(QStringLiteral("iSprIstId"), sprIstId).bind(QStringLiteral("iEsercizioFin"), anfValore);
    if (auto s = q.exec(); !s)
        return s;
    return q.next() ? q.money(0) : Money();
}

Result<bool> yearFullyLocked(QSqlDatabase db, int sprIstId, int anfValore)
{
    // Same answer as MIN(iLocked) over the year (LockedYear), without reading every movement:
    // one unlocked movement is enough to keep the year editable.
    for (const QString &sql : {MvmSql::UnlockedInYear, MvmSql::LockedInYear}) {
        SqlQuery q(db);
        if (auto s = q.prepare(sql); !s)
            return s;
        q.bind(QStringLiteral("iSprIstId"), sprIstId).bind(QStringLiteral("iEsercizioFin"), anfValore);
        if (auto s = q.exec(); !s)
            return s;
        const bool found = q.next() && !q.value(0).isNull();
        if (sql == MvmSql::UnlockedInYear && found)
            return false;
        if (sql == MvmSql::LockedInYear)
            return found;
    }
    return false;
}

namespace MvmSql {

QString causaleList(bool allCausali, int kind, int dwgId, bool allInstitutes)
{
    return QStringLiteral(
               " SELECT Cau.iCauId, Cau.sCauLDesc || ' (A.S.: ' || ans.iAnsValore || '/' || (ans.iAnsValore + 1) || ')' AS sCauLDesc,"
               " Cau.sCauSDesc,  (SELECT SUM(Cca.fCcaImportoIst)   FROM TCca_CompCausali Cca     INNER JOIN TCauCca Ccc ON"
               " (Ccc.iCcaId = Cca.iCcaId)   WHERE Ccc.iCauId = Cau.iCauId) fCauImportoIst,  (SELECT SUM(Cca.fCcaImportoEra)"
               "   FROM TCca_CompCausali Cca     INNER JOIN TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId)   WHERE Ccc.iCauId ="
               " Cau.iCauId) fCauImportoEra FROM TCau_Causali Cau   INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio ="
               " Cau.dStart AND Ans.dAnsVeltoFine = Cau.dEnd) WHERE ##WHERE## AND ((Cau.lCauRette = 1) OR (%1 = 1)) AND"
               " (Cau.lCauTipo = %2) AND ((Cau.iDwgId IS NULL) OR (Cau.iDwgId = %3) OR (%4 = 1))")
        .arg(allCausali ? 1 : 0)
        .arg(kind)
        .arg(dwgId)
        .arg(allInstitutes ? 1 : 0);
}

const QString CausaleYear = QStringLiteral(
    " SELECT Ans.iAnsId FROM TAns_AnniScolast Ans INNER JOIN TCau_Causali Cau ON (Cau.dStart = Ans.dAnsVeltoInizio"
    " AND Cau.dEnd = Ans.dAnsVeltoFine) WHERE (Cau.iCauId = :iCauId)");
const QString CausaleComponents = QStringLiteral(
    " SELECT Cca.iCcaId, Cca.sCcaLDesc, Cca.fCcaImportoIst, Cca.fCcaImportoEra FROM TCca_CompCausali Cca INNER JOIN"
    " TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId) WHERE (Ccc.iCauId = :iCauId) ORDER BY Cca.sCcaLDesc");
const QString ComponentCount = QStringLiteral(" SELECT COUNT(iCcaId) iCount FROM TCauCca WHERE iCauId = :iCauId");
const QString CausaleTotal = QStringLiteral(
    " SELECT SUM(Cca.fCcaImportoIst) FROM TCca_CompCausali Cca INNER JOIN TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId)"
    " WHERE Ccc.iCauId = :iCauId");
const QString SplitExists = QStringLiteral(" SELECT iMvmCcaId FROM TMvmCca WHERE iMvmId = :iMvmId");
const QString SplitRows = QStringLiteral(
    " SELECT Cca.iCcaId, Cca.sCcaLDesc, Mva.fMvmCcaImporto FROM TCca_CompCausali Cca INNER JOIN TMvmCca Mva ON"
    " (Mva.iCcaId = Cca.iCcaId) WHERE Mva.iMvmId = :iMvmId ORDER BY Cca.sCcaLDesc");
const QString CabList = QStringLiteral(
    " SELECT Spr.iSprId, Spr.sSprCab, Spr.sSprDescS, Spr.sSprIndirizzo, Com.sComDesc, Srpc.iProId FROM"
    " TSpr_SportelliCab Spr LEFT OUTER JOIN TSrpc Srpc ON (Spr.iSrpcId = Srpc.iSrpcId) LEFT OUTER JOIN TCom_Comuni Com"
    " ON (Com.iComId = Srpc.iComId) WHERE (##WHERE## AND Spr.iBanId = %1)");
const QString CabProvince = QStringLiteral(
    " SELECT Srpc.iProId FROM TSpr_SportelliCab Spr INNER JOIN TSrpc Srpc ON (Spr.iSrpcId = Srpc.iSrpcId) WHERE"
    " Spr.iSprId = :iSprId");
const QString MunicipalityList = QStringLiteral(
    " SELECT Srpc.iSrpcId, Com.sComDesc FROM TSrpc Srpc LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = Srpc.iComId)"
    " WHERE (##WHERE## AND Srpc.iProId = %1)");
const QString LocationList = QStringLiteral(
    " SELECT ComCap.iComCapId, Cap.sCapValue, FraQua.sFraQuaDesc FROM TComCap ComCap LEFT OUTER JOIN TFraQua FraQua ON"
    " (FraQua.iFraQuaId = ComCap.iFraQuaId) LEFT OUTER JOIN TCap Cap ON (Cap.iCapId = ComCap.iCapId) WHERE (##WHERE##"
    " AND ComCap.iSrpcId = %1)");
const QString CategoryList = QStringLiteral(
    " SELECT iCbmId, sCbmDesc FROM TCbm_CatBenefMvm WHERE ((iCbmId <> 5 AND 1 = 0) OR (1 = 1)) AND ##WHERE##");
const QString NewEnrolments = QStringLiteral(
    " SELECT Sit.iSitId, Ana.sAnaCognome, Ana.sAnaNome, AnaCag.sAnaCagCode, Ana.iAnaId, Ana.sAnaCognome || ' ' ||"
    " Ana.sAnaNome sCognomeNome FROM TAna_Anagrafiche Ana INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = Ana.iAnaId)"
    " INNER JOIN TSit_Situazioni Sit ON (Sit.iAnaId = Ana.iAnaId) INNER JOIN TAns_AnniScolast Ans ON ((Sit.dStart ="
    " Ans.dAnsVeltoInizio)                                     AND (Sit.dEnd = Ans.dAnsVeltoFine)) WHERE"
    " (Sit.iSitOrdine = 1) AND (AnaCag.iCagId = 1) AND (Sit.iClsPstId IS NULL) AND ##WHERE##");
const QString Persons = QStringLiteral(
    " SELECT Ana.iAnaId, Ana.sAnaCognome, Ana.sAnaNome, AnaCag.sAnaCagCode, Ana.dAnaNascita, Ana.sAnaCognome || ' ' ||"
    " Ana.sAnaNome sCognomeNome FROM TAna_Anagrafiche Ana INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = Ana.iAnaId)"
    " WHERE ##WHERE## AND iCagId = ");
const QString Staff = QStringLiteral(
    " SELECT AnaPer.iAnaPerId, Ana.sAnaCognome, Ana.sAnaNome, AnaCag.sAnaCagCode, Ana.iAnaId, Ana.sAnaCognome || ' '"
    " || Ana.sAnaNome sCognomeNome, Dct.sDctSDesc FROM TAnaPer_Personale AnaPer INNER JOIN TAnaCag AnaCag ON"
    " (AnaCag.iAnaCagId = AnaPer.iAnaCagId) INNER JOIN TAna_Anagrafiche Ana ON (Ana.iAnaId = AnaCag.iAnaId) LEFT"
    " OUTER JOIN TDct_DocenteAta Dct ON (Dct.iDctId = AnaPer.iDctId) WHERE ##WHERE## AND (AnaCag.iCagId = 3) AND"
    " (AnaPer.iDwgId = %1)");
const QString Others = QStringLiteral(" SELECT iBenId, sBenRagSoc FROM TBen_Beneficiari WHERE ##WHERE##");

QString pupils(bool isGroup, int dwgId, const QString &yearCondition)
{
    QString sql = QStringLiteral(
        " SELECT Sit.iSitId, Ana.sAnaCognome, Ana.sAnaNome, AnaCag.sAnaCagCode, VCls.sClsDesc, Ana.iAnaId,"
        " Ana.sAnaCognome || ' ' || Ana.sAnaNome sCognomeNome, VCls.sClsSDesc || '-' || VCls.sClsAnnoScol sClsAnno,"
        " ans.iAnsId FROM TAna_Anagrafiche Ana INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = Ana.iAnaId) INNER JOIN"
        " TSit_Situazioni Sit ON (Sit.iAnaId = Ana.iAnaId) INNER JOIN TAns_AnniScolast Ans ON ((Sit.dStart ="
        " Ans.dAnsVeltoInizio) AND (Sit.dEnd = Ans.dAnsVeltoFine)) LEFT OUTER JOIN TClsPst ClsPst ON"
        " (ClsPst.iClsPstId = Sit.iClsPstId) LEFT OUTER JOIN VCls_Classi VCls ON (VCls.iClsId = ClsPst.iClsId)"
        " WHERE##WHERE## AND (Sit.iSitOrdine = 1) AND (AnaCag.iCagId = 1)");
    if (!isGroup)
        sql += QStringLiteral(" AND VCls.iDwgId = %1").arg(dwgId);
    return sql + yearCondition;
}

const QString PupilInstitute = QStringLiteral(
    " SELECT Cls.iDwgId FROM TCls_Classi Cls INNER JOIN TClsPst ClsPst ON (ClsPst.iClsId = Cls.iClsId) INNER JOIN"
    " TSit_Situazioni Sit ON (Sit.iClsPstId = ClsPst.iClsPstId) WHERE Sit.iSitId = :iSitId");
const QString SchoolYearsWithClasses = QStringLiteral(
    " SELECT DISTINCT VAns.iAnsId, VAns.sAnsAnnoDesc FROM VAns_AnniScolast VAns   INNER JOIN TCls_Classi cls ON"
    " cls.dStart BETWEEN VAns.dAnsVeltoInizio AND VAns.dAnsVeltoFine  ORDER BY VAns.iAnsValore DESC");
const QString Availability = QStringLiteral(
    " SELECT fCaiCassaAtt FROM TCai_CassaIst WHERE (iSprIstId = :iSprIstId) AND (iCaiEsercizioFin = :iEsercizioFin)");
const QString LockedYear = QStringLiteral(
    " SELECT MIN(iLocked) iLocked FROM TMvm_MovimentiCcp mvm WHERE (iSprIstId = :iSprIstId) AND ((SELECT"
    " cai.ICAIESERCIZIOFIN  FROM TCAI_CASSAIST cai  WHERE (Mvm.dMvmDataMov BETWEEN COALESCE(cai.DCAIINIZIOANNO,"
    " CAST(cai.ICAIESERCIZIOFIN || '-01-01' AS DATE)) AND COALESCE(cai.DCAIFINEANNO, CAST(cai.ICAIESERCIZIOFIN ||"
    " '-12-31' AS DATE)))        AND cai.iSprIstId = :iSprIstId) = :iEsercizioFin)");
const QString UnlockedInYear = QStringLiteral(
    " SELECT FIRST 1 Mvm.iMvmId FROM TCai_CassaIst Cai INNER JOIN TMvm_MovimentiCcp Mvm ON (Mvm.iSprIstId ="
    " Cai.iSprIstId AND Mvm.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS"
    " DATE)) AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))) WHERE Cai.iSprIstId ="
    " :iSprIstId AND Cai.iCaiEsercizioFin = :iEsercizioFin AND Mvm.iLocked = 0");
const QString LockedInYear = QString(UnlockedInYear).replace(QStringLiteral("Mvm.iLocked = 0"),
                                                              QStringLiteral("Mvm.iLocked <> 0"));
const QString NoteRead = QStringLiteral("SELECT bMvmNote FROM TMvm_MovimentiCcp WHERE iMvmId = ");
const QString NoteWrite = QStringLiteral("UPDATE TMvm_MovimentiCcp SET bMvmNote = :bMvmNote WHERE iMvmId = :iMvmId");

} // namespace MvmSql

} // namespace ccp::movements
