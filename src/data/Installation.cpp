#include "Installation.h"
#include "Schema.h"
#include "SqlQuery.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include <ibase.h>

namespace ccp::Installation {

namespace {

QString tempName() { return QStringLiteral("admin-") + QUuid::createUuid().toString(QUuid::Id128); }

bool serverDatabaseExists(const ConnectionSettings &settings)
{
    const QString name = tempName();
    auto db = Db::open(settings, name);
    const bool exists = db.ok();
    Db::close(name);
    return exists;
}

Status dropServerDatabase(const ConnectionSettings &settings)
{
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    const QByteArray user = settings.user.toUtf8();
    const QByteArray pass = settings.password.toUtf8();
    dpb.append(char(isc_dpb_user_name)).append(char(user.size())).append(user);
    dpb.append(char(isc_dpb_password)).append(char(pass.size())).append(pass);
    ISC_STATUS_ARRAY status{};
    isc_db_handle handle = 0;
    const QByteArray path = settings.database.toUtf8();
    if (isc_attach_database(status, 0, path.constData(), &handle, short(dpb.size()), dpb.constData())
        || isc_drop_database(status, &handle))
        return Status::failure(QStringLiteral("Impossibile eliminare il database esistente sul server."));
    return {};
}

} // namespace

Status init(const MainDirectory &dir, const ConnectionSettings &settings, const InitOptions &options,
            const Progress &progress)
{
    if (auto s = dir.create(); !s)
        return s;
    if (settings.isServer()) {
        if (serverDatabaseExists(settings)) {
            if (!options.force)
                return Status::failure(QStringLiteral(
                    "Il database %1 esiste già: usare --force per ricrearlo.").arg(settings.database));
            if (auto s = dropServerDatabase(settings); !s)
                return s;
        }
    } else if (QFileInfo::exists(settings.path())) {
        if (!options.force)
            return Status::failure(QStringLiteral("Il database %1 esiste già: usare --force per ricrearlo.")
                                       .arg(QDir::toNativeSeparators(settings.path())));
        if (!QFile::remove(settings.path()))
            return Status::failure(QStringLiteral("Impossibile eliminare il database esistente %1 (è aperto?).")
                                       .arg(QDir::toNativeSeparators(settings.path())));
    }
    if (progress)
        progress(QStringLiteral("creazione del database (%1)").arg(settings.describe()));
    if (auto s = Db::create(settings); !s)
        return s;
    Db::setForcedWrites(settings, false);
    const QString name = tempName();
    Status result;
    {
        auto db = Db::open(settings, name);
        if (!db) {
            result = db.status();
        } else {
            result = Schema::migrate(db.value(), Schema::bundled(), progress);
            if (result && options.demo) {
                if (progress)
                    progress(QStringLiteral("dati dimostrativi"));
                result = options.demo(db.value(), progress);
            }
        }
    }
    Db::close(name);
    if (!result) {
        if (settings.isServer())
            dropServerDatabase(settings);
        else
            Db::removeEmbeddedFile(settings);
        return result;
    }
    if (auto s = Db::setForcedWrites(settings, true); !s)
        return s;
    // Only a server database needs to be written down; the embedded file is the default.
    if (settings.isServer() || QFileInfo(settings.path()) != QFileInfo(dir.embeddedDatabase()))
        return dir.writeConnection(settings);
    return {};
}

Status upgrade(const ConnectionSettings &settings, const Progress &progress)
{
    const QString name = tempName();
    Status result;
    {
        auto db = Db::open(settings, name);
        result = db ? Schema::migrate(db.value(), Schema::bundled(), progress) : db.status();
    }
    Db::close(name);
    return result;
}

Result<QStringList> info(const ConnectionSettings &settings)
{
    const QString name = tempName();
    QStringList lines;
    Status failure;
    {
        auto db = Db::open(settings, name);
        if (!db) {
            failure = db.status();
        } else {
            auto v = Schema::read(db.value());
            if (!v) {
                failure = v.status();
            } else {
                lines << QStringLiteral("Database:     %1").arg(settings.describe());
                lines << QStringLiteral("Applicazione: %1").arg(v->app.isEmpty() ? QStringLiteral("-") : v->app);
                lines << QStringLiteral("Versione:     %1 (aggiornamento %2)")
                             .arg(v->version.isEmpty() ? QStringLiteral("-") : v->version).arg(v->migration);
                const Status ok = Schema::check(db.value());
                lines << QStringLiteral("Stato:        %1").arg(ok ? QStringLiteral("aggiornato") : ok.error());
                if (v->migration > 0) {
                    const QList<QPair<QString, QString>> counts = {
                        {QStringLiteral("Istituti"), QStringLiteral("TDow_DataOwner")},
                        {QStringLiteral("Conti"), QStringLiteral("TSprIst")},
                        {QStringLiteral("Anni finanziari dei conti"), QStringLiteral("TCai_CassaIst")},
                        {QStringLiteral("Causali"), QStringLiteral("TCau_Causali")},
                        {QStringLiteral("Componenti"), QStringLiteral("TCca_CompCausali")},
                        {QStringLiteral("Movimenti"), QStringLiteral("TMvm_MovimentiCcp")},
                        {QStringLiteral("Anagrafiche"), QStringLiteral("TAna_Anagrafiche")},
                        {QStringLiteral("Beneficiari"), QStringLiteral("TBen_Beneficiari")},
                        {QStringLiteral("Comuni"), QStringLiteral("TCom_Comuni")},
                    };
                    for (const auto &[label, table] : counts) {
                        auto n = SqlQuery::scalar(db.value(), QStringLiteral("SELECT COUNT(*) FROM ") + table);
                        lines << QStringLiteral("%1 %2").arg(label + u':', -27)
                                     .arg(n ? n.value().toString() : QStringLiteral("-"));
                    }
                }
            }
        }
    }
    Db::close(name);
    if (!failure)
        return failure;
    return lines;
}

} // namespace ccp::Installation
