#include "AdminCommands.h"
#ifdef CCP_HAVE_DIRECTDEBIT
#include "EbcUExpBanche.h"
#endif

#include "DemoData.h"
#include "Installation.h"
#include "MainDirectory.h"
#include "Password.h"
#include "Schema.h"
#ifdef CCP_HAVE_REPORTS
#include "ReportCommand.h"
#endif

#include <QElapsedTimer>
#include <QMap>

namespace ccp::admin {

namespace {

struct Extra
{
    QString usage;
    CommandFn fn;
};

QMap<QString, Extra> &extras()
{
    static QMap<QString, Extra> map;
    return map;
}

const char usageText[] =
    "Uso: ccp-admin COMANDO [opzioni]\n"
    "\n"
    "Comandi:\n"
    "  init [--demo] [--force] [--data-dir DIR] [--database HOST:/percorso/file.fdb --user U [--password P]]\n"
    "        (senza --password: la variabile CCP_DB_PASSWORD, altrimenti la chiede)\n"
    "        crea la cartella principale (etc/, usr/, var/log/) e il database con i dati di\n"
    "        riferimento (e la scuola dimostrativa con --demo); non sovrascrive un database\n"
    "        esistente senza --force\n"
    "  upgrade [--data-dir DIR] [--database ...]\n"
    "        aggiorna un database di una versione precedente\n"
    "  info [--data-dir DIR] [--database ...]\n"
    "        mostra versione, posizione e numero di righe delle tabelle principali\n";

struct Options
{
    QString dataDir;
    QString database;
    QString user;
    QString password;
    bool demo = false;
    bool force = false;
    QString error;
};

Options parse(const QStringList &args)
{
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto take = [&](QString *target) {
            if (i + 1 >= args.size()) {
                o.error = QStringLiteral("Manca il valore dell'opzione %1.").arg(a);
                return;
            }
            *target = args[++i];
        };
        if (a == QLatin1String("--demo"))
            o.demo = true;
        else if (a == QLatin1String("--force"))
            o.force = true;
        else if (a == QLatin1String("--data-dir"))
            take(&o.dataDir);
        else if (a == QLatin1String("--database"))
            take(&o.database);
        else if (a == QLatin1String("--user"))
            take(&o.user);
        else if (a == QLatin1String("--password"))
            take(&o.password);
        else
            o.error = QStringLiteral("Opzione sconosciuta: %1.").arg(a);
        if (!o.error.isEmpty())
            break;
    }
    return o;
}

ConnectionSettings connectionFor(const Options &o, const MainDirectory &dir)
{
    if (!o.database.isEmpty())
        return ConnectionSettings::parse(o.database, o.user, commandLinePassword(o.password, o.user));
    return dir.connection();
}

int fail(QTextStream &err, const QString &message)
{
    QString line = message;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\n', u' ');
    err << "ccp-admin: " << line << Qt::endl;
    return 1;
}

} // namespace

void registerCommand(const QString &name, const QString &usage, CommandFn fn)
{
    extras().insert(name, Extra{usage, fn});
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")
        || args[0] == QLatin1String("help")) {
        out << usageText;
        for (const auto &e : extras())
            out << e.usage;
        out.flush();
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args[0];
    const QStringList rest = args.mid(1);
    if (extras().contains(command))
        return extras().value(command).fn(rest, out, err);

    if (command != QLatin1String("init") && command != QLatin1String("upgrade")
        && command != QLatin1String("info"))
        return fail(err, QStringLiteral("comando sconosciuto \"%1\" (ccp-admin --help per l'elenco).").arg(command));

    const Options o = parse(rest);
    if (!o.error.isEmpty())
        return fail(err, o.error);
    const MainDirectory dir = MainDirectory::resolve(o.dataDir);
    const ConnectionSettings settings = connectionFor(o, dir);
    auto progress = [&out](const QString &step) { out << "  " << step << Qt::endl; };

    if (command == QLatin1String("init")) {
        QElapsedTimer t;
        t.start();
        out << "Cartella principale: " << QDir::toNativeSeparators(dir.root()) << Qt::endl;
        Installation::InitOptions opt;
        if (o.demo)
            opt.demo = [](QSqlDatabase db, const Installation::Progress &p) { return DemoData::load(db, p); };
        opt.force = o.force;
        if (auto s = Installation::init(dir, settings, opt, progress); !s)
            return fail(err, s.error());
#ifdef CCP_HAVE_REPORTS
        if (auto s = installReportTemplates(settings, out); !s)
            return fail(err, s.error());
#endif
#ifdef CCP_HAVE_DIRECTDEBIT
        if (auto s = directdebit::installShippedLayouts(dir.root()); !s)
            return fail(err, s.error());
#endif
        out << "Database creato in " << QString::number(t.elapsed() / 1000.0, 'f', 1) << " s." << Qt::endl;
        return 0;
    }
    if (command == QLatin1String("upgrade")) {
        if (auto s = Installation::upgrade(settings, progress); !s)
            return fail(err, s.error());
#ifdef CCP_HAVE_REPORTS
        if (auto s = installReportTemplates(settings, out); !s)
            return fail(err, s.error());
#endif
#ifdef CCP_HAVE_DIRECTDEBIT
        if (auto s = directdebit::installShippedLayouts(dir.root()); !s)
            return fail(err, s.error());
#endif
        out << "Database aggiornato alla versione " << QString::fromLatin1(ccp::Schema::Version) << "." << Qt::endl;
        return 0;
    }
    auto lines = Installation::info(settings);
    if (!lines)
        return fail(err, lines.error());
    for (const QString &l : lines.value())
        out << l << Qt::endl;
    return 0;
}

} // namespace ccp::admin
