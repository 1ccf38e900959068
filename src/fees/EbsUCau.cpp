#include "EbsUCau.h"

#include "SqlQuery.h"
#include "TVeGlobalValues.h"

#include <QRegularExpression>

namespace ccp::fees {

QString CauMessages::undefinedParameter(const QString &key)
{
    return QStringLiteral("Parametro %1 non definito").arg(key);
}

QString CauMessages::duplicationFailed(const QString &causale, int cauId, int copied, const QString &error)
{
    const QString done = copied == 1 ? QStringLiteral("È stata copiata 1 causale.")
                                     : QStringLiteral("Sono state copiate %1 causali.").arg(copied);
    return QStringLiteral("La copia della causale \"%1\" (id %2) non è riuscita:\r\n%3\r\n%4\r\n"
                          "Le causali seguenti non sono state copiate.")
        .arg(causale, QString::number(cauId), error, done);
}

namespace CauSql {

// The two sums of a causale's component amounts.
#define CAU_SUMS                                                                                  \
    " (SELECT SUM(Cca.fCcaImportoIst) FROM TCca_CompCausali Cca INNER JOIN TCauCca Ccc"          \
    " ON (Ccc.iCcaId = Cca.iCcaId) WHERE Ccc.iCauId = Cau.iCauId) fCauImportoIst,"               \
    " (SELECT SUM(Cca.fCcaImportoEra) FROM TCca_CompCausali Cca INNER JOIN TCauCca Ccc"          \
    " ON (Ccc.iCcaId = Cca.iCcaId) WHERE Ccc.iCauId = Cau.iCauId) fCauImportoEra"

const QString CausaliSelect = QStringLiteral(
    "SELECT Cau.iCauId, Cau.sCauLDesc, Cau.sCauSDesc, Cau.iDwgId, Cau.lCauTipo, Cau.lCauRette,"
    " Cau.dStart, Cau.dEnd, Cau.iLocked," CAU_SUMS ", Ans.sAnsAnnoDesc"
    " FROM TCau_Causali Cau INNER JOIN VAns_AnniScolast Ans"
    " ON (Ans.dAnsVeltoInizio = Cau.dStart AND Ans.dAnsVeltoFine = Cau.dEnd)"
    " WHERE (Ans.iAnsId = :iAnsId) AND ((Cau.lCauRette = 1) OR (:ShowAll = 1)) AND (Cau.lCauTipo = :lCauTipo)");
const QString CausaliInsert = QStringLiteral(
    " INSERT INTO TCau_Causali (iCauId, sCauLDesc, sCauSDesc, lCauTipo, lCauRette, dStart, dEnd, iDwgId)"
    " VALUES (:VEGENID, :sCauLDesc, :sCauSDesc, :lCauTipo, :lCauRette, :dStart, :dEnd, :iDwgId)");
const QString CausaliUpdate = QStringLiteral(
    " UPDATE TCau_Causali SET sCauLDesc = :sCauLDesc, sCauSDesc = :sCauSDesc WHERE iCauId = :VECURRID");

const QString LinksSelect = QStringLiteral(
    "SELECT Ccc.iCauCcaId, Ccc.iLocked, Cca.iCcaId, Cca.sCcaSDesc, Cca.sCcaLDesc, Cca.fCcaImportoEra,"
    " Cca.fCcaImportoIst, Cca.dStart, Cca.dEnd, Ans.sAnsAnnoDesc, Cca.dCcaDataScadenza"
    " FROM TCauCca Ccc INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = Ccc.iCcaId)"
    " INNER JOIN VAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cca.dStart AND Ans.dAnsVeltoFine = Cca.dEnd)"
    " WHERE (Ccc.iCauId = :iCauId)");
const QString LinkInsert = QStringLiteral(
    " INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (:VEGENID, :iCauId, :iCcaId, :dStart, :dEnd)");
const QString LinkUpdate = QStringLiteral(" UPDATE TCauCca SET iCcaId = :iCcaId WHERE iCauCcaId = :VECURRID");
const QString LinkDelete = QStringLiteral(" DELETE FROM TCauCca WHERE iCauCcaId = :VECURRID");
const QString RecomputeRette = QStringLiteral(
    " UPDATE TCau_Causali SET lCauRette = (SELECT MIN(Cca.lCcaRette) FROM TCca_CompCausali Cca"
    " INNER JOIN TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId) WHERE Ccc.iCauId = :iCauId)"
    " WHERE iCauId = :iCauId");
const QString SetInstitute = QStringLiteral(" UPDATE TCau_Causali SET iDwgId = :iDwgId WHERE iCauId = :iCauId");
const QString ComponentCount = QStringLiteral(" SELECT COUNT(iCcaId) iCount FROM TCauCca WHERE iCauId = :iCauId");

const QString InUse = QStringLiteral(
    " SELECT Cau.iCauId FROM TCau_Causali Cau INNER JOIN TMvm_MovimentiCcp Mvm ON (Mvm.iCauId = Cau.iCauId)"
    " WHERE Cau.iCauId = :iCauId"
    " UNION SELECT Cau.iCauId FROM TCau_Causali Cau INNER JOIN TVrs_VersRegTasse Vrs ON (Vrs.iCauId = Cau.iCauId)"
    " WHERE Cau.iCauId = :iCauId");
const QString SchoolYears = QStringLiteral(
    " SELECT VAns.iAnsId, VAns.sAnsAnnoDesc FROM VAns_AnniScolast VAns ORDER BY VAns.iAnsValore");
const QString DuplicationCandidates = QStringLiteral(
    " SELECT Cau.iCauId, Cau.sCauLDesc, Cau.sCauSDesc FROM TCau_Causali Cau INNER JOIN TAns_AnniScolast Ans"
    " ON (Ans.dAnsVeltoInizio = Cau.dStart AND Ans.dAnsVeltoFine = Cau.dEnd)"
    " WHERE ((Cau.iDwgId IS NULL) OR (Cau.iDwgId = :iDwgId)) AND (Ans.iAnsId = :iAnsId)"
    " AND (Cau.lCauTipo = :lCauTipo) AND ((Cau.lCauRette = 1) OR (:ShowAll = 1))");
const QString SearchTemplate = QStringLiteral(
    "SELECT Cau.iCauId,"
    " Cau.sCauLDesc || ' (A.S.: ' || Ans.iAnsValore || '/' || (Ans.iAnsValore + 1) || ')' sCauLDesc,"
    " Cau.sCauSDesc," CAU_SUMS
    " FROM TCau_Causali Cau INNER JOIN TAns_AnniScolast Ans"
    " ON (Ans.dAnsVeltoInizio = Cau.dStart AND Ans.dAnsVeltoFine = Cau.dEnd)"
    " WHERE ##WHERE## AND ((Cau.lCauRette = 1) OR (%1 = 1)) AND (Cau.lCauTipo = %2)"
    " AND ((Cau.iDwgId IS NULL) OR (Cau.iDwgId = %3) OR (%4 = 1)) AND iAnsId = %5");

#undef CAU_SUMS

} // namespace CauSql

Result<bool> CausaleInUse(QSqlDatabase db, int cauId)
{
    SqlQuery q(db);
    if (auto s = q.prepare(CauSql::InUse); !s)
        return s;
    q.bind(QStringLiteral("iCauId"), cauId);
    if (auto s = q.exec(); !s)
        return s;
    return q.next();
}

Result<QVariant> SchoolYearColumn(QSqlDatabase db, const QString &column, int ansId)
{
    // The column name is written into the text: only plain identifiers get there.
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    Q_ASSERT(identifier.match(column).hasMatch());
    if (!identifier.match(column).hasMatch())
        return Result<QVariant>::failure(QStringLiteral("Colonna non valida: %1").arg(column));
    auto r = SqlQuery::scalar(db, QStringLiteral(" SELECT %1 FROM TAns_AnniScolast WHERE iAnsId = :iAnsId").arg(column),
                              {{QStringLiteral("iAnsId"), ansId}});
    if (!r)
        return r.status();
    return r.value().isValid() ? r.value() : QVariant();
}

Result<SchoolYearBounds> SchoolYearBoundsOf(QSqlDatabase db, int ansId)
{
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral(
            " SELECT dAnsVeltoInizio, dAnsVeltoFine FROM TAns_AnniScolast WHERE iAnsId = :iAnsId")); !s)
        return s;
    q.bind(QStringLiteral("iAnsId"), ansId);
    if (auto s = q.exec(); !s)
        return s;
    SchoolYearBounds b;
    if (q.next()) {
        b.start = q.value(0).toDate();
        b.end = q.value(1).toDate();
    }
    return b;
}

Result<SchoolYearBounds> CausaliSchoolYear(QSqlDatabase db)
{
    return SchoolYearBoundsOf(db, fw::TVeGlobalValuesManager::instance().intValue(CauKeys::CauAnsId));
}

Result<QString> SchoolYearDescription(QSqlDatabase db, const QString &key)
{
    if (key.compare(CauKeys::CauAnsId, Qt::CaseInsensitive) != 0)
        return Result<QString>::failure(CauMessages::undefinedParameter(key));
    const QVariant stored = fw::GetValues(key);
    if (stored.isNull() || stored.toString().trimmed().isEmpty())
        return QString();
    bool ok = false;
    const int ansId = stored.toString().trimmed().toInt(&ok);
    if (!ok)
        return QString();
    auto r = SqlQuery::scalar(
        db, QStringLiteral("SELECT VAns.sAnsAnnoDesc FROM VAns_AnniScolast VAns WHERE vAns.iAnsId = :iAnsId"),
        {{QStringLiteral("iAnsId"), ansId}});
    if (!r)
        return r.status();
    return r.value().isValid() ? r.value().toString() : QString();
}

QString FilterComponentLookup(bool showAll, int tipo, int ansId, int dwg)
{
    return QStringLiteral(
               "SELECT Cca.iCcaId, Cca.sCcaSDesc, Cca.sCcaLDesc, Cca.fCcaImportoIst, Cca.fCcaImportoEra,"
               " Agg.sAggDescS, Cca.iDwgId, Vpro.sVproCod"
               " FROM TCca_CompCausali Cca INNER JOIN TAns_AnniScolast Ans"
               " ON (Ans.dAnsVeltoInizio = Cca.dStart AND Ans.dAnsVeltoFine = Cca.dEnd)"
               " LEFT OUTER JOIN TAgg_Aggregati Agg ON (Agg.iAggId = Cca.iAggId)"
               " LEFT OUTER JOIN TVpro_VociProgetti Vpro ON (Vpro.iVproId = Cca.iVproId)"
               " WHERE ##WHERE## AND ((Cca.lCcaRette = 1) OR (%1 = 1)) AND (Cca.lCcaTipo = %2)"
               " AND (Ans.iAnsId = %3) AND ((Cca.iDwgId = %4) OR (Cca.iDwgId IS NULL) AND (%5 = 0) OR (%6=-1))")
        .arg(showAll ? 1 : 0)
        .arg(tipo)
        .arg(ansId)
        .arg(dwg)
        .arg(dwg)
        .arg(dwg);
}

int dwgFilterOf(const QVariant &dwg)
{
    return dwg.isNull() ? 0 : dwg.toInt();
}

bool canDeleteComponent(int componentCount, bool causaleInUse)
{
    return !causaleInUse && componentCount > 1;
}

Result<QList<DuplicationCandidate>> DuplicationCandidates(QSqlDatabase db, int sourceAnsId, int targetAnsId,
                                                          int dwgId, int tipo)
{
    auto read = [&](int ansId) -> Result<QList<DuplicationCandidate>> {
        SqlQuery q(db);
        if (auto s = q.prepare(CauSql::DuplicationCandidates); !s)
            return s;
        q.bind(QStringLiteral("iDwgId"), dwgId)
            .bind(QStringLiteral("iAnsId"), ansId)
            .bind(QStringLiteral("lCauTipo"), tipo)
            .bind(QStringLiteral("ShowAll"), 1);
        if (auto s = q.exec(); !s)
            return s;
        QList<DuplicationCandidate> rows;
        while (q.next())
            rows.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()});
        return rows;
    };
    auto source = read(sourceAnsId);
    if (!source)
        return source;
    auto target = read(targetAnsId);
    if (!target)
        return target;
    QList<DuplicationCandidate> out;
    for (const DuplicationCandidate &s : source.value()) {
        const bool exists = std::any_of(target->begin(), target->end(), [&](const DuplicationCandidate &t) {
            return t.description == s.description && t.code == s.code;
        });
        if (!exists)
            out.append(s);
    }
    return out;
}

DuplicationOutcome DuplicateCausali(QSqlDatabase db, int targetAnsId, const QList<int> &cauIds)
{
    DuplicationOutcome out;
    Transaction tr(db);
    if (!tr.active()) {
        out.error = tr.error();
        out.failedCauId = cauIds.value(0);
        return out;
    }
    SqlQuery q(db);
    Status prepared = q.prepare(QStringLiteral("EXECUTE PROCEDURE PEBS_DUPLICACAUS(:iAnsId, :iCauId)"));
    for (int id : cauIds) {
        if (!prepared) {
            out.failedCauId = id;
            out.error = prepared.error();
            break;
        }
        q.bind(QStringLiteral("iAnsId"), targetAnsId).bind(QStringLiteral("iCauId"), id);
        if (auto s = q.exec(); !s) {
            out.failedCauId = id;
            out.error = s.error();
            break;
        }
        ++out.copied;
    }
    q.finish();
    // What succeeded before a failure stays: the failed call undid only itself.
    if (auto s = tr.commit(); !s) {
        out.copied = 0;
        if (out.error.isEmpty()) {
            out.failedCauId = cauIds.value(0);
            out.error = s.error();
        }
    }
    return out;
}

QString SearchCausaliSql(const CauSearchOptions &o)
{
    return CauSql::SearchTemplate.arg(o.showAll ? 1 : 0)
        .arg(o.tipo)
        .arg(o.dwgId)
        .arg(o.allInstitutes ? 1 : 0)
        .arg(o.ansId);
}

QString withoutSearchCondition(QString sql)
{
    static const QRegularExpression slot(QStringLiteral("##WHERE##"), QRegularExpression::CaseInsensitiveOption);
    return sql.replace(slot, QStringLiteral("(1=1)"));
}

} // namespace ccp::fees
