#pragma once
#include "Result.h"

#include <QSet>
#include <QSqlDatabase>
#include <QString>

namespace ccp::fw {

// Rights the program tests (numbers kept in TVE_DIRITTI).
namespace Rights {
inline constexpr int BarCodeEntry = 448;   // entering movements from bar-code readings
inline constexpr int BudgetWrite = 449;    // writing and changing budget items
} // namespace Rights

// The access profile of the user working: who it is and which rights it holds.
// Users and rights are data (TVE_UTENTI, TVE_DIRITTI); an administrator holds every right.
// The local user of an embedded database (SYSDBA) is an administrator.
class TVeAccessProfile
{
public:
    TVeAccessProfile() = default;
    static Result<TVeAccessProfile> load(QSqlDatabase db, const QString &user);
    // A profile holding every right (the embedded default and tests).
    static TVeAccessProfile administrator(const QString &user);
    // The profile a session works with: when the rights cannot be read, none at all, and
    // `error` says why (never every right).
    static TVeAccessProfile forSession(QSqlDatabase db, const QString &user, QString *error);

    const QString &user() const { return m_user; }
    bool isAdministrator() const { return m_admin; }
    bool HasRight(int right) const { return m_admin || m_rights.contains(right); }

    // The profile of the program's user (set at start-up).
    static const TVeAccessProfile &current();
    static void setCurrent(const TVeAccessProfile &profile);

    // Grants or revokes a right in the database (administration).
    static Status grant(QSqlDatabase db, const QString &user, int right);
    static Status revoke(QSqlDatabase db, const QString &user, int right);

private:
    QString m_user;
    bool m_admin = false;
    QSet<int> m_rights;
};

} // namespace ccp::fw
