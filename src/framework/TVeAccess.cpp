#include "TVeAccess.h"
#include "SqlQuery.h"

namespace ccp::fw {

namespace {
TVeAccessProfile &currentProfile()
{
    static TVeAccessProfile profile = TVeAccessProfile::administrator(QStringLiteral("SYSDBA"));
    return profile;
}
} // namespace

Result<TVeAccessProfile> TVeAccessProfile::load(QSqlDatabase db, const QString &user)
{
    TVeAccessProfile p;
    p.m_user = user.toUpper();
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral("SELECT LUTNADMIN FROM TVE_UTENTI WHERE SUTNLOGIN = :u")); !s)
        return s;
    q.bind(QStringLiteral("u"), p.m_user);
    if (auto s = q.exec(); !s)
        return s;
    if (q.next())
        p.m_admin = q.value(0).toInt() == 1;
    if (auto s = q.prepare(QStringLiteral("SELECT IDIRRIGHT FROM TVE_DIRITTI WHERE SUTNLOGIN = :u")); !s)
        return s;
    q.bind(QStringLiteral("u"), p.m_user);
    if (auto s = q.exec(); !s)
        return s;
    while (q.next())
        p.m_rights.insert(q.value(0).toInt());
    return p;
}

TVeAccessProfile TVeAccessProfile::administrator(const QString &user)
{
    TVeAccessProfile p;
    p.m_user = user.toUpper();
    p.m_admin = true;
    return p;
}

TVeAccessProfile TVeAccessProfile::forSession(QSqlDatabase db, const QString &user, QString *error)
{
    auto loaded = load(db, user);
    if (loaded)
        return loaded.value();
    if (error)
        *error = QStringLiteral("Impossibile leggere i diritti dell'utente %1: il programma non concede alcun "
                                "diritto.\r\n%2")
                     .arg(user.toUpper(), loaded.error());
    TVeAccessProfile none;
    none.m_user = user.toUpper();
    return none;
}

const TVeAccessProfile &TVeAccessProfile::current() { return currentProfile(); }

void TVeAccessProfile::setCurrent(const TVeAccessProfile &profile) { currentProfile() = profile; }

Status TVeAccessProfile::grant(QSqlDatabase db, const QString &user, int right)
{
    return runInTransaction(db, [&]() {
        SqlQuery q(db);
        if (auto s = q.prepare(QStringLiteral("UPDATE OR INSERT INTO TVE_DIRITTI (SUTNLOGIN, IDIRRIGHT) "
                                              "VALUES (:u, :r) MATCHING (SUTNLOGIN, IDIRRIGHT)"));
            !s)
            return s;
        q.bind(QStringLiteral("u"), user.toUpper()).bind(QStringLiteral("r"), right);
        return q.exec();
    });
}

Status TVeAccessProfile::revoke(QSqlDatabase db, const QString &user, int right)
{
    return runInTransaction(db, [&]() {
        SqlQuery q(db);
        if (auto s = q.prepare(QStringLiteral("DELETE FROM TVE_DIRITTI WHERE SUTNLOGIN = :u AND IDIRRIGHT = :r")); !s)
            return s;
        q.bind(QStringLiteral("u"), user.toUpper()).bind(QStringLiteral("r"), right);
        return q.exec();
    });
}

} // namespace ccp::fw
