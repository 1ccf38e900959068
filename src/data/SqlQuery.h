#pragma once
#include "Money.h"
#include "Result.h"

#include <QDate>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

Q_DECLARE_LOGGING_CATEGORY(lcSql)

namespace ccp {

// Prepared statement with named parameters; failures come back with the server's text.
// Numerics are read with high precision so money never passes through a double.
class SqlQuery
{
public:
    explicit SqlQuery(const QSqlDatabase &db);

    Status prepare(const QString &sql);
    SqlQuery &bind(const QString &name, const QVariant &value);
    SqlQuery &bind(const QString &name, Money value) { return bind(name, value.toVariant()); }
    SqlQuery &bind(const QString &name, const QDate &value);
    SqlQuery &bind(const QString &name, const QString &value) { return bind(name, QVariant(value)); }
    SqlQuery &bind(const QString &name, const char16_t *value) { return bind(name, QString::fromUtf16(value)); }
    SqlQuery &bind(const QString &name, int value) { return bind(name, QVariant(value)); }
    SqlQuery &bindNull(const QString &name, QMetaType type = QMetaType(QMetaType::Int));
    Status exec();
    Status exec(const QString &sql);  // prepare and run a statement without parameters
    // Prepares `sql`, binds every named value and runs it.
    Status run(const QString &sql, const QVariantMap &params);
    // Runs a text as it stands, without parameter parsing: ":name" inside a procedure body stays.
    Status execDirect(const QString &sql);

    bool next() { return m_query.next(); }
    QVariant value(int i) const { return m_query.value(i); }
    QVariant value(const QString &name) const { return m_query.value(name); }
    int integer(const QString &name) const { return m_query.value(name).toInt(); }
    qint64 int64(const QString &name) const { return m_query.value(name).toLongLong(); }
    QString text(const QString &name) const { return m_query.value(name).toString(); }
    QDate date(const QString &name) const { return m_query.value(name).toDate(); }
    Money money(const QString &name) const { return Money::fromVariant(m_query.value(name)); }
    Money money(int i) const { return Money::fromVariant(m_query.value(i)); }
    bool isNull(const QString &name) const { return m_query.isNull(name); }
    int numRowsAffected() const { return m_query.numRowsAffected(); }
    const QString &lastError() const { return m_lastError; }
    bool lastWasLockConflict() const { return m_lockConflict; }
    QSqlQuery &raw() { return m_query; }
    void finish() { m_query.finish(); }

    // Runs `sql` and returns the first column of the first row (invalid when no row).
    static Result<QVariant> scalar(const QSqlDatabase &db, const QString &sql,
                                   const QVariantMap &params = {});

private:
    Status fail(const QString &what);

    QSqlQuery m_query;
    QString m_sql;
    QString m_lastError;
    bool m_lockConflict = false;
};

// Rolls back on destruction unless commit() was called. Refuses nesting.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool active() const { return m_active; }
    const QString &error() const { return m_error; }
    Status commit();
    void rollback();

private:
    QSqlDatabase m_db;
    bool m_active = false;
    QString m_error;
};

// Runs `work` in one transaction; a lock conflict with another workstation is retried
// (for up to about two seconds in all) before the failure is reported.
Status runInTransaction(QSqlDatabase db, const std::function<Status()> &work, int attempts = 12);

} // namespace ccp
