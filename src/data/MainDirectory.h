#pragma once
#include "Connection.h"
#include "Result.h"

#include <QString>

namespace ccp {

// The installation's main data folder: etc/, usr/, var/log/ and the embedded database.
class MainDirectory
{
public:
    explicit MainDirectory(QString root);
    // --data-dir when given, else the platform's application-data folder.
    static MainDirectory resolve(const QString &dataDirOption);

    const QString &root() const { return m_root; }
    QString etc() const;
    QString usr() const;
    QString log() const;
    // A path written with backslashes ("var\log\abc") made relative to the root.
    QString path(const QString &relative) const;
    QString settingsFile() const;      // etc/ccp.ini
    QString embeddedDatabase() const;  // ccp.fdb
    bool exists() const;

    // Creates etc/, usr/, var/log/; fails with an Italian message when not writable.
    Status create() const;
    // The database named by the settings file, else the embedded file.
    ConnectionSettings connection() const;
    Status writeConnection(const ConnectionSettings &settings) const;

private:
    QString m_root;
};

} // namespace ccp
