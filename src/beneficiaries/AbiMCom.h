#pragma once
#include "Result.h"

#include <QObject>
#include <QSqlDatabase>
#include <QVariant>

namespace ccp::fw {
class TVeQueryCollection;
struct VeExecContext;
}

namespace ccp::ben {

// The foreign towns: a municipality row and its place row in a state other than the home one,
// written and deleted together.
class TdmComuni : public QObject
{
    Q_OBJECT
public:
    static constexpr int HomeState = 1;
    static constexpr int ForeignProvince = 20000;

    explicit TdmComuni(QSqlDatabase db, QObject *parent = nullptr);
    fw::TVeQueryCollection *xqcComEsteri() const { return m_towns; }
    QSqlDatabase db() const { return m_db; }
    Status open();

    // The states a foreign town may be in (never the home state), with a ##WHERE## slot.
    static QString statesSql();
    // Why the town cannot be deleted (people born there, seats, banks, legal registrations),
    // empty when it can.
    Result<QString> usedBy(const QVariant &srpcId) const;

private:
    void beforeExec(fw::VeExecContext &ctx);
    void afterExec(fw::VeExecContext &ctx);

    QSqlDatabase m_db;
    fw::TVeQueryCollection *m_towns;
    QVariant m_comId;   // the municipality row being written or deleted
};

} // namespace ccp::ben
