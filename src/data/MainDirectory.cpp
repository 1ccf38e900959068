#include "MainDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace ccp {

MainDirectory::MainDirectory(QString root) : m_root(QDir::cleanPath(QFileInfo(root).absoluteFilePath())) {}

MainDirectory MainDirectory::resolve(const QString &dataDirOption)
{
    if (!dataDirOption.isEmpty())
        return MainDirectory(dataDirOption);
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    return MainDirectory(QDir(base).filePath(QStringLiteral("ccp")));
}

QString MainDirectory::path(const QString &relative) const
{
    QString rel = relative;
    rel.replace(u'\\', u'/');
    return QDir::cleanPath(QDir(m_root).filePath(rel));
}

QString MainDirectory::etc() const { return path(QStringLiteral("etc")); }
QString MainDirectory::usr() const { return path(QStringLiteral("usr")); }
QString MainDirectory::log() const { return path(QStringLiteral("var/log")); }
QString MainDirectory::settingsFile() const { return path(QStringLiteral("etc/ccp.ini")); }
QString MainDirectory::embeddedDatabase() const { return path(QStringLiteral("ccp.fdb")); }
bool MainDirectory::exists() const { return QFileInfo(etc()).isDir(); }

Status MainDirectory::create() const
{
    for (const QString &d : {etc(), usr(), log()}) {
        if (!QDir().mkpath(d))
            return Status::failure(QStringLiteral("Impossibile creare la cartella %1: controllare i permessi.")
                                       .arg(QDir::toNativeSeparators(d)));
    }
    QTemporaryFile probe(QDir(etc()).filePath(QStringLiteral("probe-XXXXXX")));
    if (!probe.open())
        return Status::failure(QStringLiteral("La cartella %1 non è scrivibile.")
                                   .arg(QDir::toNativeSeparators(etc())));
    return {};
}

ConnectionSettings MainDirectory::connection() const
{
    if (QFileInfo::exists(settingsFile())) {
        QSettings ini(settingsFile(), QSettings::IniFormat);
        const QString db = ini.value(QStringLiteral("database/database")).toString().trimmed();
        if (!db.isEmpty()) {
            ConnectionSettings s = ConnectionSettings::parse(
                QFileInfo(db).isRelative() && !ConnectionSettings::parse(db).isServer() ? path(db) : db,
                ini.value(QStringLiteral("database/user")).toString(),
                ini.value(QStringLiteral("database/password")).toString());
            return s;
        }
    }
    return ConnectionSettings::embedded(embeddedDatabase());
}

Status MainDirectory::writeConnection(const ConnectionSettings &settings) const
{
    // Made private before anything is written in it; the rewrite keeps the permissions.
    if (QFile file(settingsFile()); !file.exists() && file.open(QIODevice::WriteOnly))
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QSettings ini(settingsFile(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("database/database"), settings.database);
    ini.setValue(QStringLiteral("database/user"), settings.user);
    if (settings.password.isEmpty())
        ini.remove(QStringLiteral("database/password"));
    else
        ini.setValue(QStringLiteral("database/password"), settings.password);
    ini.sync();
    // It may hold the server password: readable by its owner only.
    if (ini.status() != QSettings::NoError
        || !QFile::setPermissions(settingsFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return Status::failure(QStringLiteral("Impossibile scrivere %1.").arg(QDir::toNativeSeparators(settingsFile())));
    return {};
}

} // namespace ccp
