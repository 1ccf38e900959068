#include "EbcUContext.h"

#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

namespace ccp::app {

namespace {

QString phraseOf(const QString &key)
{
    if (key.compare(Keys::DwgId, Qt::CaseInsensitive) == 0)
        return QStringLiteral(" l'istituto di lavoro");
    if (key.compare(Keys::AnfId, Qt::CaseInsensitive) == 0)
        return QStringLiteral(" l'anno finanziario");
    if (key.compare(Keys::SprIstId, Qt::CaseInsensitive) == 0)
        return QStringLiteral(" il conto");
    if (key.compare(Keys::CauAnsId, Qt::CaseInsensitive) == 0)
        return QStringLiteral(" l'anno scolastico delle causali");
    return u' ' + key;
}


} // namespace

QStringList missingContextKeys(const QString &keys)
{
    QStringList missing;
    const auto &values = fw::TVeGlobalValuesManager::instance();
    for (const QString &raw : keys.split(u',', Qt::SkipEmptyParts)) {
        const QString key = raw.trimmed();
        if (!key.isEmpty() && !values.isSet(key))
            missing << key;
    }
    return missing;
}

QString contextKeysMessage(const QStringList &missingKeys)
{
    QStringList phrases;
    for (const QString &key : missingKeys)
        phrases << phraseOf(key);
    QString text = phrases.join(u',');
    const int last = text.lastIndexOf(u',');
    if (last >= 0)
        text.replace(last, 1, QStringLiteral(" e"));
    return QStringLiteral("E' necessario impostare") + text + u'.';
}

bool CheckContextKeys(const QString &keys)
{
    const QStringList missing = missingContextKeys(keys);
    if (missing.isEmpty())
        return true;
    fw::showWarning(contextKeysMessage(missing));
    return false;
}

bool instituteIsGroup(QSqlDatabase db, int dwgId)
{
    SqlQuery q(db);
    if (!q.prepare(QStringLiteral(" SELECT iDowId FROM TDwg_DataOwnerGrp WHERE iDwgId = :iDwgId")))
        return false;
    q.bind(QStringLiteral("iDwgId"), dwgId);
    if (!q.exec() || !q.next())
        return false;
    return q.value(0).isNull();
}

BudgetContext readBudgetContext(QSqlDatabase db, int anfValore, int dwgId)
{
    BudgetContext b;
    b.anfValore = anfValore;
    b.dwgId = dwgId;
    SqlQuery q(db);
    if (!q.prepare(QStringLiteral(
            "SELECT COALESCE(DwgAnf.DDWGANFINIZIO, Anf.dAnfVeltoInizio), COALESCE(DwgAnf.DDWGANFFINE, Anf.dAnfVeltoFine)"
            " FROM TDWGANF DwgAnf INNER JOIN TANF_ANNIFINANZ Anf ON (Anf.iAnfId = DwgAnf.iAnfId)"
            " WHERE Anf.iAnfValore = :iAnfValore AND DwgAnf.iDwgId = :iDwgId AND DwgAnf.DDELETE IS NULL")))
        return b;
    q.bind(QStringLiteral("iAnfValore"), anfValore).bind(QStringLiteral("iDwgId"), dwgId);
    if (q.exec() && q.next()) {
        b.start = q.value(0).toDate();
        b.end = q.value(1).toDate();
    }
    return b;
}

WorkingContext &WorkingContext::instance()
{
    static WorkingContext context;
    return context;
}

int WorkingContext::financialYear() const
{
    bool ok = false;
    const int v = anfValore.toString().toInt(&ok);
    return ok ? v : 0;
}

void WorkingContext::refreshPeriod(QSqlDatabase db)
{
    const auto &values = fw::TVeGlobalValuesManager::instance();
    anfValore = financialYearValue(db, values.intValue(Keys::AnfId));
    auto period = readUserPeriod(db, values.intValue(Keys::SprIstId), financialYear());
    userPeriod = period ? period.value() : UserPeriod{};
    fw::SetValues(QStringLiteral("INIZIOUTENTE"), userPeriod.start.isValid() ? QVariant(userPeriod.start) : QVariant());
    fw::SetValues(QStringLiteral("FINEUTENTE"), userPeriod.end.isValid() ? QVariant(userPeriod.end) : QVariant());
}

void WorkingContext::refreshInstitutes(QSqlDatabase db)
{
    const auto &values = fw::TVeGlobalValuesManager::instance();
    const int dwgId = values.intValue(Keys::DwgId);
    isGroup = instituteIsGroup(db, dwgId);
    auto list = instituteList(db, dwgId, isGroup, values.intValue(Keys::AnsId));
    institutes = list ? list.value() : QList<InstituteEntry>();
}

void WorkingContext::publishBudget(QSqlDatabase db)
{
    budget = readBudgetContext(db, financialYear(), fw::TVeGlobalValuesManager::instance().intValue(Keys::DwgId));
    fw::SetValues(QStringLiteral("ABC_AnfValore"), budget.anfValore);
    fw::SetValues(QStringLiteral("ABC_DwgId"), budget.dwgId);
    fw::SetValues(QStringLiteral("ABC_AnfInizio"), budget.start.isValid() ? QVariant(budget.start) : QVariant());
    fw::SetValues(QStringLiteral("ABC_AnfFine"), budget.end.isValid() ? QVariant(budget.end) : QVariant());
}

} // namespace ccp::app
