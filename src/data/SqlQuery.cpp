#include "SqlQuery.h"
#include "Connection.h"

#include <QSqlError>
#include <QRandomGenerator>
#include <QThread>

Q_LOGGING_CATEGORY(lcSql, "ccp.sql", QtWarningMsg)

namespace ccp {

SqlQuery::SqlQuery(const QSqlDatabase &db) : m_query(db)
{
    m_query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    m_query.setForwardOnly(true);
}

Status SqlQuery::fail(const QString &what)
{
    const QSqlError err = m_query.lastError();
    m_lockConflict = Db::isLockConflict(err);
    m_lastError = Db::errorText(err);
    qCWarning(lcSql).noquote() << what << m_lastError << "in" << m_sql.left(300);
    return Status::failure(m_lastError);
}

Status SqlQuery::prepare(const QString &sql)
{
    m_sql = sql;
    m_lastError.clear();
    m_lockConflict = false;
    m_query.setForwardOnly(true);
    if (!m_query.prepare(sql))
        return fail(QStringLiteral("prepare:"));
    return {};
}

SqlQuery &SqlQuery::bind(const QString &name, const QVariant &value)
{
    m_query.bindValue(name.startsWith(u':') ? name : u':' + name, value);
    return *this;
}

SqlQuery &SqlQuery::bind(const QString &name, const QDate &value)
{
    return bind(name, value.isValid() ? QVariant(value) : QVariant(QMetaType(QMetaType::QDate)));
}

SqlQuery &SqlQuery::bindNull(const QString &name, QMetaType type)
{
    return bind(name, QVariant(type));
}

Status SqlQuery::exec()
{
    m_lastError.clear();
    m_lockConflict = false;
    qCDebug(lcSql).noquote() << m_sql.left(300) << m_query.boundValues();
    if (!m_query.exec())
        return fail(QStringLiteral("exec:"));
    return {};
}

Status SqlQuery::exec(const QString &sql)
{
    if (auto s = prepare(sql); !s)
        return s;
    return exec();
}

Status SqlQuery::execDirect(const QString &sql)
{
    m_sql = sql;
    m_lastError.clear();
    m_lockConflict = false;
    qCDebug(lcSql).noquote() << m_sql.left(300);
    if (!m_query.exec(sql))
        return fail(QStringLiteral("exec:"));
    return {};
}

Status SqlQuery::run(const QString &sql, const QVariantMap &params)
{
    if (auto s = prepare(sql); !s)
        return s;
    for (auto it = params.begin(); it != params.end(); ++it)
        bind(it.key(), it.value());
    return exec();
}

Result<QVariant> SqlQuery::scalar(const QSqlDatabase &db, const QString &sql, const QVariantMap &params)
{
    SqlQuery q(db);
    if (auto s = q.run(sql, params); !s)
        return s;
    if (!q.next())
        return QVariant();
    return q.value(0);
}

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db))
{
    m_active = m_db.transaction();
    if (!m_active)
        m_error = Db::errorText(m_db.lastError());
}

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

Status Transaction::commit()
{
    if (!m_active)
        return Status::failure(m_error.isEmpty() ? QStringLiteral("Nessuna transazione attiva.") : m_error);
    m_active = false;
    if (!m_db.commit()) {
        m_error = Db::errorText(m_db.lastError());
        m_db.rollback();
        return Status::failure(m_error);
    }
    return {};
}

void Transaction::rollback()
{
    if (m_active) {
        m_active = false;
        m_db.rollback();
    }
}

Status runInTransaction(QSqlDatabase db, const std::function<Status()> &work, int attempts)
{
    Status last;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        Transaction tr(db);
        if (!tr.active())
            return Status::failure(tr.error());
        last = work();
        if (last.ok()) {
            last = tr.commit();
            if (last.ok())
                return last;
        } else {
            tr.rollback();
        }
        if (!Db::isLockConflictText(last.error()))
            return last;
        // The server reports the conflict when the other transaction ends (it waits for it), so
        // the first retry starts at once; later ones wait a random, growing pause so that a
        // workstation posting without a break cannot keep this one out.
        if (attempt > 1)
            QThread::msleep(QRandomGenerator::global()->bounded(1u << qMin(attempt + 1, 8)));
    }
    return Status::failure(QStringLiteral("Il dato è in uso su un'altra postazione; riprovare tra poco.\r\n")
                           + last.error());
}

} // namespace ccp
