#include "AbiMCom.h"

#include "SqlQuery.h"
#include "TVeQueryCollection.h"

namespace ccp::ben {

TdmComuni::TdmComuni(QSqlDatabase db, QObject *parent)
    : QObject(parent), m_db(std::move(db)), m_towns(new fw::TVeQueryCollection(m_db, this))
{
    m_towns->setObjectName(QStringLiteral("xqcComEsteri"));
    m_towns->setSelectText(QStringLiteral(
        " SELECT TSRPC.ISRPCID, TSRPC.ISTAID, TSRPC.ICOMID, TSRPC.SSRPCCODCATA, TSRPC.SSRPCCOMRISTAT, TCOM_COMUNI.SCOMDESC,"
        " TSTA_STATI.SSTALDESC FROM TSRPC INNER JOIN TCOM_COMUNI ON (TSRPC.ICOMID = TCOM_COMUNI.ICOMID)"
        " INNER JOIN TSTA_STATI ON (TSRPC.ISTAID = TSTA_STATI.ISTAID) WHERE TSTA_STATI.ISTAID <> %1 ORDER BY TSTA_STATI.ISTAID")
                              .arg(HomeState));
    m_towns->setKeyField(QStringLiteral("ISRPCID"));
    m_towns->setTableName(QStringLiteral("TSRPC"));
    m_towns->setSortKeys(QStringLiteral("SCOMDESC;SSTALDESC;ISRPCID"));
    m_towns->setStatements(fw::VeOperation::Insert, {
        QStringLiteral(" INSERT INTO TCOM_COMUNI (ICOMID, SCOMDESC, DSTART) VALUES (:VEGENID, :SCOMDESC, '0001/01/01')"),
        QStringLiteral(" INSERT INTO TSRPC (ISRPCID, ISTAID, ICOMID, DSTART, IPROID, SSRPCCOMRISTAT, SSRPCCODCATA) VALUES"
                       " (:VEGENID, :ISTAID, :ICOMID, '0001/01/01', %1, :SSRPCCOMRISTAT, :SSRPCCODCATA)").arg(ForeignProvince)});
    m_towns->setStatements(fw::VeOperation::Delete, {
        // Postcode entries nobody uses go with the town (a used one is refused before).
        QStringLiteral(" DELETE FROM TCOMCAP WHERE (TCOMCAP.ISRPCID = :VECURRID)"),
        QStringLiteral(" DELETE FROM TSRPC WHERE (TSRPC.ISRPCID = :VECURRID)"),
        QStringLiteral(" DELETE FROM TCOM_COMUNI WHERE (TCOM_COMUNI.ICOMID = :ICOMID)")});
    m_towns->setStatements(fw::VeOperation::Update, {
        QStringLiteral(" UPDATE TCOM_COMUNI SET TCOM_COMUNI.SCOMDESC = :SCOMDESC WHERE (TCOM_COMUNI.ICOMID = (SELECT TSRPC.ICOMID"
                       " FROM TSRPC WHERE (TSRPC.ISRPCID = :VECURRID)))"),
        QStringLiteral(" UPDATE TSRPC SET TSRPC.ISTAID = :ISTAID, TSRPC.SSRPCCOMRISTAT = :SSRPCCOMRISTAT, TSRPC.SSRPCCODCATA ="
                       " :SSRPCCODCATA WHERE (TSRPC.ISRPCID = :VECURRID)")});
    m_towns->setRequired(QStringLiteral("SCOMDESC"), QStringLiteral("Città"));
    m_towns->setRequired(QStringLiteral("ISTAID"), QStringLiteral("Stato"));
    m_towns->VeBeforeExec = [this](fw::VeExecContext &ctx) { beforeExec(ctx); };
    m_towns->VeAfterExec = [this](fw::VeExecContext &ctx) { afterExec(ctx); };
}

Status TdmComuni::open() { return m_towns->open(); }

QString TdmComuni::statesSql()
{
    return QStringLiteral(" SELECT TSTA_STATI.ISTAID, TSTA_STATI.SSTALDESC, TSTA_STATI.SSTACODICE, TSTA_STATI.SSTAISTAT FROM"
                          " TSTA_STATI  WHERE (TSTA_STATI.ISTAID <> %1) AND (##WHERE##) ORDER BY TSTA_STATI.ISTAID")
        .arg(HomeState);
}

Result<QString> TdmComuni::usedBy(const QVariant &srpcId) const
{
    struct Use { const char *sql; const char *what; };
    static const Use uses[] = {
        {"SELECT COUNT(*) FROM TANA_ANAGRAFICHE WHERE ISRPCID = :ID AND DDELETE IS NULL", "il luogo di nascita di una persona"},
        {"SELECT COUNT(*) FROM TSEB_SEDIBEN S INNER JOIN TCOMCAP C ON (C.ICOMCAPID = S.ICOMCAPID) WHERE C.ISRPCID = :ID", "una sede di un beneficiario"},
        {"SELECT COUNT(*) FROM TQUI_QUIETANZANTE Q INNER JOIN TCOMCAP C ON (C.ICOMCAPID = Q.ICOMCAPID) WHERE C.ISRPCID = :ID", "un quietanzante"},
        {"SELECT COUNT(*) FROM TABT_ABITAZ A INNER JOIN TCOMCAP C ON (C.ICOMCAPID = A.ICOMCAPID) WHERE C.ISRPCID = :ID", "un'abitazione"},
        {"SELECT (SELECT COUNT(*) FROM TBAN_BANCHE WHERE ISRPCID = :ID) + (SELECT COUNT(*) FROM TSPR_SPORTELLICAB WHERE ISRPCID = :ID)"
         " FROM RDB$DATABASE", "una banca o uno sportello"},
        {"SELECT COUNT(*) FROM TLEG_DATILEGALI WHERE ILEGSRPCCCIA = :ID OR ILEGSRPCTRIBUN = :ID OR ILEGSRPCPREFETT = :ID", "i dati legali di un beneficiario"},
    };
    for (const Use &u : uses) {
        auto n = SqlQuery::scalar(m_db, QString::fromUtf8(u.sql), {{QStringLiteral("ID"), srpcId}});
        if (!n)
            return n.status();
        if (n->toInt() > 0)
            return QStringLiteral("Impossibile cancellare il comune: è %1.").arg(QString::fromUtf8(u.what));
    }
    return QString();
}

void TdmComuni::beforeExec(fw::VeExecContext &ctx)
{
    if (ctx.operation == fw::VeOperation::Delete) {
        if (ctx.index == 0) {
            m_comId = m_towns->value(m_towns->currentIndex(), QStringLiteral("ICOMID"));
            // A town in use stays: deleting it would leave ids pointing nowhere.
            auto used = usedBy(m_towns->currentKey());
            if (!used)
                ctx.fail(used.error());
            else if (!used->isEmpty())
                ctx.fail(*used);
        }
        else if (ctx.tableName == QLatin1String("TCOM_COMUNI"))
            ctx.params.set(QStringLiteral("ICOMID"), m_comId);
    } else if (ctx.operation == fw::VeOperation::Insert && ctx.tableName == QLatin1String("TSRPC")) {
        ctx.params.set(QStringLiteral("ICOMID"), m_comId);
    }
}

void TdmComuni::afterExec(fw::VeExecContext &ctx)
{
    if (ctx.operation == fw::VeOperation::Insert && ctx.tableName == QLatin1String("TCOM_COMUNI"))
        m_comId = ctx.params.value(QStringLiteral("VEGENID"));
}

} // namespace ccp::ben
