#include "Schema.h"
#include "SqlQuery.h"
#include "SqlScript.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

// Q_INIT_RESOURCE must be called at global scope.
static void initSqlResource() { Q_INIT_RESOURCE(sql); }

namespace ccp::Schema {

namespace {

const QString versionTable = QStringLiteral("TYVER_VERSIONE");

bool versionTableExists(QSqlDatabase db)
{
    auto r = SqlQuery::scalar(db, QStringLiteral(
        "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TYVER_VERSIONE'"));
    return r.ok() && r.value().toInt() > 0;
}

Status createVersionTable(QSqlDatabase db)
{
    Transaction tr(db);
    SqlQuery q(db);
    if (auto s = q.exec(QStringLiteral(
            "CREATE TABLE TYVer_Versione ("
            " sYVerApp VARCHAR(10) NOT NULL PRIMARY KEY,"
            " sYVerVersione VARCHAR(20) NOT NULL,"
            " iYVerMigrazione INTEGER NOT NULL,"
            " dYVerAggiornato TIMESTAMP DEFAULT CURRENT_TIMESTAMP)"));
        !s)
        return s;
    return tr.commit();
}

// "6.37.0" < "6.40.1": numeric comparison piece by piece.
int compareVersions(const QString &a, const QString &b)
{
    const QStringList pa = a.split(u'.');
    const QStringList pb = b.split(u'.');
    for (int i = 0; i < qMax(pa.size(), pb.size()); ++i) {
        const int x = i < pa.size() ? pa[i].toInt() : 0;
        const int y = i < pb.size() ? pb[i].toInt() : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

} // namespace

Migration fromFile(const QString &fileName, const QString &text)
{
    Migration m;
    const QString base = QFileInfo(fileName).completeBaseName();
    m.number = base.section(u'_', 0, 0).toInt();
    m.name = base.section(u'_', 1);
    static const QRegularExpression ver(QStringLiteral("^--\\s*version:\\s*(\\S+)"),
                                        QRegularExpression::MultilineOption);
    const auto match = ver.match(text);
    m.version = match.hasMatch() ? match.captured(1) : QString::fromLatin1(Version);
    m.sql = text;
    return m;
}

const QList<Migration> &bundled()
{
    static const QList<Migration> list = [] {
        initSqlResource();
        QList<Migration> out;
        QDir dir(QStringLiteral(":/sql/migrations"));
        const QStringList files = dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
        for (const QString &f : files) {
            QFile file(dir.filePath(f));
            if (file.open(QIODevice::ReadOnly))
                out << fromFile(f, QString::fromUtf8(file.readAll()));
        }
        std::sort(out.begin(), out.end(), [](const Migration &a, const Migration &b) { return a.number < b.number; });
        return out;
    }();
    return list;
}

Result<DbVersion> read(QSqlDatabase db)
{
    DbVersion v;
    if (!versionTableExists(db))
        return v;
    SqlQuery q(db);
    if (auto s = q.exec(QStringLiteral(
            "SELECT sYVerApp, sYVerVersione, iYVerMigrazione FROM TYVer_Versione"));
        !s)
        return s;
    if (q.next()) {
        v.app = q.text(QStringLiteral("sYVerApp")).trimmed();
        v.version = q.text(QStringLiteral("sYVerVersione")).trimmed();
        v.migration = q.integer(QStringLiteral("iYVerMigrazione"));
    }
    return v;
}

Status check(QSqlDatabase db, const QList<Migration> &migrations)
{
    auto r = read(db);
    if (!r)
        return r.status();
    const DbVersion &v = r.value();
    const int latest = migrations.isEmpty() ? 0 : migrations.last().number;
    const QString expected = migrations.isEmpty() ? QString::fromLatin1(Version) : migrations.last().version;
    if (v.migration == 0)
        return Status::failure(QStringLiteral(
            "Il database non contiene le tabelle di C/C Posta Banca Cassa: crearlo con \"ccp-admin init\"."));
    if (v.app != QLatin1String(AppCode))
        return Status::failure(QStringLiteral(
            "Il database appartiene a un'altra applicazione (%1), non a C/C Posta Banca Cassa.").arg(v.app));
    if (v.migration > latest || compareVersions(v.version, expected) > 0)
        return Status::failure(QStringLiteral(
            "Il database è della versione %1, più recente di questo programma (versione %2): "
            "installare la versione aggiornata del programma.").arg(v.version, expected));
    if (v.migration < latest || v.version != expected)
        return Status::failure(QStringLiteral(
            "Il database è della versione %1, il programma richiede la versione %2: "
            "aggiornarlo con \"ccp-admin upgrade\".").arg(v.version, expected));
    return {};
}

Status migrate(QSqlDatabase db, const QList<Migration> &migrations, const Progress &progress)
{
    if (!versionTableExists(db)) {
        if (auto s = createVersionTable(db); !s)
            return s;
    }
    auto r = read(db);
    if (!r)
        return r.status();
    DbVersion current = r.value();
    if (current.migration > 0 && current.app != QLatin1String(AppCode))
        return Status::failure(QStringLiteral(
            "Il database appartiene a un'altra applicazione (%1), non a C/C Posta Banca Cassa.").arg(current.app));
    const int latest = migrations.isEmpty() ? 0 : migrations.last().number;
    if (current.migration > latest)
        return Status::failure(QStringLiteral(
            "Il database è della versione %1, più recente di questo programma: impossibile aggiornarlo.")
                                   .arg(current.version));
    for (const Migration &m : migrations) {
        if (m.number <= current.migration)
            continue;
        if (progress)
            progress(QStringLiteral("%1 %2").arg(m.number, 4, 10, QLatin1Char('0')).arg(m.name));
        Transaction tr(db);
        if (!tr.active())
            return Status::failure(tr.error());
        if (auto s = SqlScript::run(db, m.sql); !s)
            return Status::failure(QStringLiteral("Aggiornamento %1 (%2) non riuscito: %3")
                                       .arg(m.number).arg(m.name, s.error()));
        SqlQuery q(db);
        const QString sql = current.migration == 0
            ? QStringLiteral("INSERT INTO TYVer_Versione (sYVerApp, sYVerVersione, iYVerMigrazione) "
                             "VALUES (:app, :ver, :num)")
            : QStringLiteral("UPDATE TYVer_Versione SET sYVerVersione = :ver, iYVerMigrazione = :num, "
                             "dYVerAggiornato = CURRENT_TIMESTAMP WHERE sYVerApp = :app");
        if (auto s = q.prepare(sql); !s)
            return s;
        q.bind(QStringLiteral("app"), QString::fromLatin1(AppCode))
            .bind(QStringLiteral("ver"), m.version)
            .bind(QStringLiteral("num"), m.number);
        if (auto s = q.exec(); !s)
            return s;
        if (auto s = tr.commit(); !s)
            return Status::failure(QStringLiteral("Aggiornamento %1 (%2) non riuscito: %3")
                                       .arg(m.number).arg(m.name, s.error()));
        current.migration = m.number;
        current.version = m.version;
        current.app = QString::fromLatin1(AppCode);
    }
    return {};
}

} // namespace ccp::Schema
