#include "ReportCommand.h"

#include "AdminCommands.h"
#include "MainDirectory.h"
#include "Password.h"
#include "ReportCatalog.h"
#include "ReportStore.h"
#include "TVeParamManager.h"

#include <QFileInfo>
#include <QImage>

namespace ccp::admin {

namespace {

const char usage[] =
    "  report ID --pdf FILE [--xlsx FILE] [--param NOME=VALORE ...] [--data-dir DIR]\n"
    "       [--database HOST:/percorso/file.fdb --user U --password P]\n"
    "        scrive la stampa ID in un file PDF; le scelte della finestra di selezione si danno\n"
    "        con --param (es. --param \"Causale=ISCR\" --param \"Stampa codici a barre=sì\"),\n"
    "        le altre prendono il valore del contesto di lavoro; --xlsx salva anche i dati\n"
    "        principali della stampa come foglio di calcolo (basta anche solo --xlsx)\n"
    "  report --list\n"
    "        elenca le stampe: id, scheda, titolo e scelte\n";

int fail(QTextStream &err, const QString &message)
{
    err << "ccp-admin: " << QString(message).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ')
        << Qt::endl;
    return 1;
}

int report(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() == 1 && args[0] == QLatin1String("--list")) {
        for (const reports::ReportInfo &r : reports::reportCatalog())
            out << r.id << '\t' << r.tab << '\t' << r.title << '\t' << r.params.join(QStringLiteral("; ")) << Qt::endl;
        return 0;
    }
    QString pdf, xlsx, dataDir, database, user, password;
    QMap<QString, QString> choices;
    int id = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            bool ok = false;
            id = a.toInt(&ok);
            if (!ok || id <= 0)
                return fail(err, QStringLiteral("\"%1\" non è il numero di una stampa.").arg(a));
            continue;
        }
        if (i + 1 >= args.size())
            return fail(err, QStringLiteral("Manca il valore dell'opzione %1.").arg(a));
        const QString value = args[++i];
        if (a == QLatin1String("--pdf"))
            pdf = value;
        else if (a == QLatin1String("--xlsx"))
            xlsx = value;
        else if (a == QLatin1String("--data-dir"))
            dataDir = value;
        else if (a == QLatin1String("--database"))
            database = value;
        else if (a == QLatin1String("--user"))
            user = value;
        else if (a == QLatin1String("--password"))
            password = value;
        else if (a == QLatin1String("--param")) {
            const int eq = int(value.indexOf(u'='));
            if (eq <= 0)
                return fail(err, QStringLiteral("--param vuole NOME=VALORE, non \"%1\".").arg(value));
            choices.insert(value.left(eq).trimmed(), value.mid(eq + 1));
        } else
            return fail(err, QStringLiteral("Opzione sconosciuta: %1.").arg(a));
    }
    if (id == 0 || (pdf.isEmpty() && xlsx.isEmpty())) {
        err << "Uso:\n" << usage;
        err.flush();
        return 2;
    }
    if (!reports::findReport(id))
        return fail(err, QStringLiteral("La stampa %1 non esiste (ccp-admin report --list).").arg(id));

    const MainDirectory dir = MainDirectory::resolve(dataDir);
    const ConnectionSettings settings =
        database.isEmpty() ? dir.connection()
                           : ConnectionSettings::parse(database, user, commandLinePassword(password, user));
    auto db = Db::open(settings, QStringLiteral("ccp-admin-report"));
    if (!db)
        return fail(err, db.error());
    fw::TVeParamManager params(db.value(), settings.user.isEmpty() ? QStringLiteral("SYSDBA") : settings.user);
    if (auto s = params.load(); !s)
        return fail(err, s.error());
    const QImage logo(dir.etc() + QStringLiteral("/logo.png"));
    if (!pdf.isEmpty()) {
        if (auto s = reports::reportToPdf(db.value(), id, choices, pdf, logo); !s)
            return fail(err, s.error());
        out << "Stampa " << id << " scritta in " << QFileInfo(pdf).absoluteFilePath() << Qt::endl;
    }
    if (!xlsx.isEmpty()) {
        if (auto s = reports::reportToXlsx(db.value(), id, choices, xlsx); !s)
            return fail(err, s.error());
        out << "Dati della stampa " << id << " scritti in " << QFileInfo(xlsx).absoluteFilePath() << Qt::endl;
    }
    return 0;
}

} // namespace

Status installReportTemplates(const ConnectionSettings &settings, QTextStream &out)
{
    auto db = Db::open(settings, QStringLiteral("ccp-admin-templates"));
    if (!db)
        return db.status();
    auto n = reports::installTemplates(db.value());
    if (!n)
        return n.status();
    out << "  Modelli di stampa caricati: " << n.value().written << Qt::endl;
    return {};
}

void registerReportCommand()
{
    registerCommand(QStringLiteral("report"), QString::fromUtf8(usage), &report);
}

} // namespace ccp::admin
