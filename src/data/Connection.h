#pragma once
#include "Result.h"

#include <QSqlDatabase>
#include <QString>

namespace ccp {

// Where the database lies: an embedded file (the default) or "host[/port]:path" on a server.
struct ConnectionSettings
{
    QString database;
    QString user = QStringLiteral("SYSDBA");
    QString password;

    bool isServer() const;
    QString host() const;   // empty for an embedded file
    int port() const;       // -1 when not given
    QString path() const;   // the file path on the machine that opens it
    QString describe() const;
    static ConnectionSettings embedded(const QString &file);
    static ConnectionSettings parse(const QString &database, const QString &user = {},
                                    const QString &password = {});
};

namespace Db {

// Opens (or returns the already open) connection `name` with UTF8 and exact numerics.
Result<QSqlDatabase> open(const ConnectionSettings &settings, const QString &name);
void close(const QString &name);
// Creates an empty database file (embedded) or a database on the server, dialect 3, UTF8.
Status create(const ConnectionSettings &settings);
// Switches synchronous page writes. Off only while a new database is being filled (or for
// test copies): a crash then loses the half-made file, which init deletes anyway.
Status setForcedWrites(const ConnectionSettings &settings, bool on);
// Deletes an embedded database file (only for files we created, such as a failed init).
bool removeEmbeddedFile(const ConnectionSettings &settings);
// Stops the database engine of this process after the last connection closed: an embedded
// file is left whole even when the process then ends without unwinding.
void shutdownEngine();
// The Italian text of a driver or server error, without the driver's noise.
QString errorText(const QSqlError &error);
// A connection failure in Italian, with the server's own words after it.
QString connectionErrorText(const QSqlError &error);
// True when the server refused a statement because another transaction holds the row.
bool isLockConflict(const QSqlError &error);
// The same test on a message already taken out of its error (a failed post's text).
bool isLockConflictText(const QString &text);

} // namespace Db
} // namespace ccp
