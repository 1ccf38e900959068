#include "Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QRegularExpression>

#include <ibase.h>

namespace ccp {

namespace {
// "C:\..." or "C:/..." is a Windows drive, not a host.
bool looksLikeDrive(const QString &s)
{
    return s.size() >= 2 && s[1] == u':' && s[0].isLetter();
}
} // namespace

bool ConnectionSettings::isServer() const
{
    const int colon = database.indexOf(u':');
    return colon > 0 && !looksLikeDrive(database);
}

QString ConnectionSettings::host() const
{
    if (!isServer())
        return {};
    QString h = database.left(database.indexOf(u':'));
    const int slash = h.indexOf(u'/');
    return slash >= 0 ? h.left(slash) : h;
}

int ConnectionSettings::port() const
{
    if (!isServer())
        return -1;
    const QString h = database.left(database.indexOf(u':'));
    const int slash = h.indexOf(u'/');
    if (slash < 0)
        return -1;
    bool ok = false;
    const int p = h.mid(slash + 1).toInt(&ok);
    return ok ? p : -1;
}

QString ConnectionSettings::path() const
{
    return isServer() ? database.mid(database.indexOf(u':') + 1) : database;
}

QString ConnectionSettings::describe() const
{
    return isServer() ? QStringLiteral("server %1, database %2").arg(host(), path())
                      : QStringLiteral("file %1").arg(QDir::toNativeSeparators(path()));
}

ConnectionSettings ConnectionSettings::embedded(const QString &file)
{
    ConnectionSettings s;
    s.database = QFileInfo(file).absoluteFilePath();
    return s;
}

ConnectionSettings ConnectionSettings::parse(const QString &database, const QString &user,
                                             const QString &password)
{
    ConnectionSettings s;
    s.database = database;
    if (!s.isServer())
        s.database = QFileInfo(database).absoluteFilePath();
    if (!user.isEmpty())
        s.user = user;
    s.password = password;
    return s;
}

namespace Db {

QString errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    // An exception raised by a procedure arrives as "exception 1 - E_EBC - <message> - At procedure
    // 'X' line: ..., col: ...": the user sees the message alone.
    static const QRegularExpression exceptionName(QStringLiteral("^exception \\d+\\s*-?\\s*\\w+\\s*-?\\s*"),
                                                  QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression where(
        QStringLiteral("\\s*-?\\s*At (procedure|trigger|block|function) '.*$"),
        QRegularExpression::DotMatchesEverythingOption);
    if (text.contains(exceptionName)) {
        text.remove(exceptionName);
        text.remove(where);
    }
    return text.trimmed();
}

bool isLockConflictText(const QString &text)
{
    const QString t = text.toLower();
    return t.contains(QLatin1String("lock conflict")) || t.contains(QLatin1String("update conflict"))
        || t.contains(QLatin1String("deadlock"));
}

bool isLockConflict(const QSqlError &error) { return isLockConflictText(error.databaseText()); }

QString connectionErrorText(const QSqlError &error)
{
    // The server answers in English; the usual reasons get an Italian sentence first.
    const QString raw = errorText(error);
    const QString t = raw.toLower();
    QString reason;
    if (t.contains(QLatin1String("user name and password")))
        reason = QStringLiteral("nome utente o password non validi");
    else if (t.contains(QLatin1String("network request")) || t.contains(QLatin1String("failed to establish")))
        reason = QStringLiteral("il server non risponde");
    else if (t.contains(QLatin1String("no permission")) || t.contains(QLatin1String("permission denied")))
        reason = QStringLiteral("permessi insufficienti sul file del database");
    else if (t.contains(QLatin1String("not a valid database")) || t.contains(QLatin1String("file is not a valid")))
        reason = QStringLiteral("il file non è un database Firebird");
    else if (t.contains(QLatin1String("i/o error")) || t.contains(QLatin1String("no such file")))
        reason = QStringLiteral("il file del database non è accessibile");
    return reason.isEmpty() ? raw : reason + QStringLiteral(" (") + raw + u')';
}

Result<QSqlDatabase> open(const ConnectionSettings &settings, const QString &name)
{
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            return db;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
        return Result<QSqlDatabase>::failure(QStringLiteral(
            "Il driver Firebird di Qt (QIBASE) non è installato: eseguire scripts/install-deps."));
    if (!settings.isServer() && !QFileInfo::exists(settings.path()))
        return Result<QSqlDatabase>::failure(
            QStringLiteral("Il database %1 non esiste.").arg(QDir::toNativeSeparators(settings.path())));
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                    : QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
    db.setHostName(settings.host());
    if (settings.port() > 0)
        db.setPort(settings.port());
    db.setDatabaseName(settings.path());
    db.setUserName(settings.user);
    db.setPassword(settings.password);
    db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
    if (!db.open()) {
        const QString why = connectionErrorText(db.lastError());
        db = QSqlDatabase();  // no handle may outlive the removal
        QSqlDatabase::removeDatabase(name);
        return Result<QSqlDatabase>::failure(
            QStringLiteral("Impossibile aprire il database (%1): %2").arg(settings.describe(), why));
    }
    return db;
}

void close(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

Status create(const ConnectionSettings &settings)
{
    if (!settings.isServer()) {
        const QFileInfo fi(settings.path());
        if (fi.exists())
            return Status::failure(QStringLiteral("Il database %1 esiste già.")
                                       .arg(QDir::toNativeSeparators(fi.absoluteFilePath())));
        if (!QDir().mkpath(fi.absolutePath()))
            return Status::failure(QStringLiteral("Impossibile creare la cartella %1.")
                                       .arg(QDir::toNativeSeparators(fi.absolutePath())));
    }
    QString target = settings.isServer() ? settings.database : settings.path();
    target.replace(u'\'', QStringLiteral("''"));
    QString sql = QStringLiteral("CREATE DATABASE '%1' USER '%2'").arg(target, settings.user);
    if (!settings.password.isEmpty())
        sql += QStringLiteral(" PASSWORD '%1'").arg(QString(settings.password).replace(u'\'', QStringLiteral("''")));
    sql += QStringLiteral(" PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8");
    const QByteArray utf8 = sql.toUtf8();

    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, utf8.constData(), 3, nullptr)) {
        char buffer[512];
        const ISC_STATUS *pvector = status;
        QStringList lines;
        while (fb_interpret(buffer, sizeof buffer, &pvector))
            lines << QString::fromUtf8(buffer);
        return Status::failure(QStringLiteral("Impossibile creare il database (%1): %2")
                                   .arg(settings.describe(), lines.join(QStringLiteral("; "))));
    }
    isc_detach_database(status, &db);
    return {};
}

Status setForcedWrites(const ConnectionSettings &settings, bool on)
{
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    const QByteArray user = settings.user.toUtf8();
    dpb.append(char(isc_dpb_user_name)).append(char(user.size())).append(user);
    if (!settings.password.isEmpty()) {
        const QByteArray pass = settings.password.toUtf8();
        dpb.append(char(isc_dpb_password)).append(char(pass.size())).append(pass);
    }
    dpb.append(char(isc_dpb_force_write)).append(char(1)).append(char(on ? 1 : 0));
    ISC_STATUS_ARRAY status{};
    isc_db_handle handle = 0;
    const QByteArray path = (settings.isServer() ? settings.database : settings.path()).toUtf8();
    if (isc_attach_database(status, 0, path.constData(), &handle, short(dpb.size()), dpb.constData()))
        return Status::failure(QStringLiteral("Impossibile cambiare la modalità di scrittura del database."));
    isc_detach_database(status, &handle);
    return {};
}

bool removeEmbeddedFile(const ConnectionSettings &settings)
{
    return !settings.isServer() && QFile::remove(settings.path());
}

void shutdownEngine() { fb_shutdown(2000, fb_shutrsn_exit_called); }

} // namespace Db
} // namespace ccp
