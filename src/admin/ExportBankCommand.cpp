#include "ExportBankCommand.h"

#include "AdminCommands.h"
#include "EbcUExpBanche.h"
#include "EbcUSddExport.h"
#include "MainDirectory.h"
#include "Password.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TVeParamManager.h"

#include <QDir>
#include <QFileInfo>

namespace ccp::admin {

namespace {

using namespace ccp::directdebit;

const char usage[] =
    "  export-bank --from GG/MM/AAAA --to GG/MM/AAAA [--method RID] [--bank NOME] [--sia CODICE]\n"
    "       [--out FILE] [--record-movements] [--data-dir DIR] [--database ... --user U --password P]\n"
    "        scrive il file per la banca delle rate in scadenza nel periodo (tutti gli alunni),\n"
    "        come \"Export banche\"; con --record-movements registra anche i movimenti\n"
    "       --format sdd [--creditor-id ID] [--cuc CUC] [--sdd-version 00.01.00|00.01.01]\n"
    "        scrive invece il file SEPA SDD (CBI XML); i dati SEPA non indicati sono quelli di Banca.ini\n"
    "  export-bank --install-layouts [--data-dir DIR]\n"
    "        scrive i tracciati forniti in etc/ebc/exp_banche (quelli presenti restano)\n";

int fail(QTextStream &err, const QString &message)
{
    err << "ccp-admin: " << QString(message).replace(u'\n', u' ') << Qt::endl;
    return 1;
}

Result<int> methodId(const QSqlDatabase &db, const QString &method)
{
    auto v = SqlQuery::scalar(db, QStringLiteral("SELECT FIRST 1 iMpgId FROM TMPG_MODPAGAM WHERE UPPER(sMpgDescL) = :m "
                                                 "OR UPPER(sMpgDescS) = :m ORDER BY iMpgId"),
                              {{QStringLiteral("m"), method.toUpper()}});
    if (!v)
        return v.status();
    if (!v.value().isValid())
        return Result<int>::failure(QStringLiteral("Modalità di pagamento sconosciuta: %1.").arg(method));
    return v.value().toInt();
}

int exportBank(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString from, to, method = QStringLiteral("RID"), bank, sia, file, dataDir, database, user, password;
    QString format, creditorId, cuc, sddVersion;
    bool record = false, install = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--record-movements")) {
            record = true;
            continue;
        }
        if (a == QLatin1String("--install-layouts")) {
            install = true;
            continue;
        }
        if (i + 1 >= args.size())
            return fail(err, QStringLiteral("Manca il valore dell'opzione %1.").arg(a));
        const QString v = args[++i];
        QString *target = a == QLatin1String("--from")       ? &from
                          : a == QLatin1String("--to")       ? &to
                          : a == QLatin1String("--method")   ? &method
                          : a == QLatin1String("--bank")     ? &bank
                          : a == QLatin1String("--sia")      ? &sia
                          : a == QLatin1String("--out")      ? &file
                          : a == QLatin1String("--data-dir") ? &dataDir
                          : a == QLatin1String("--database") ? &database
                          : a == QLatin1String("--user")     ? &user
                          : a == QLatin1String("--password") ? &password
                          : a == QLatin1String("--format")   ? &format
                          : a == QLatin1String("--creditor-id") ? &creditorId
                          : a == QLatin1String("--cuc")      ? &cuc
                          : a == QLatin1String("--sdd-version") ? &sddVersion
                                                             : nullptr;
        if (!target)
            return fail(err, QStringLiteral("Opzione sconosciuta: %1.").arg(a));
        *target = v;
    }
    const MainDirectory dir = MainDirectory::resolve(dataDir);
    if (install) {
        if (auto s = installShippedLayouts(dir.root()); !s)
            return fail(err, s.error());
        out << "Tracciati in " << QDir::toNativeSeparators(layoutFolder(dir.root())) << Qt::endl;
        return 0;
    }
    const QDate dFrom = QDate::fromString(from, QStringLiteral("dd/MM/yyyy"));
    const QDate dTo = QDate::fromString(to, QStringLiteral("dd/MM/yyyy"));
    const bool sdd = format.compare(QLatin1String("sdd"), Qt::CaseInsensitive) == 0;
    if (!format.isEmpty() && !sdd && format.compare(QLatin1String("rid"), Qt::CaseInsensitive) != 0)
        return fail(err, QStringLiteral("Formato sconosciuto: %1 (rid o sdd).").arg(format));
    if (!dFrom.isValid() || !dTo.isValid()) {
        err << "Uso:\n" << usage;
        err.flush();
        return 2;
    }

    const ConnectionSettings settings =
        database.isEmpty() ? dir.connection()
                           : ConnectionSettings::parse(database, user, commandLinePassword(password, user));
    auto db = Db::open(settings, QStringLiteral("ccp-admin-export"));
    if (!db)
        return fail(err, db.error());
    fw::TVeParamManager params(db.value(), settings.user.isEmpty() ? QStringLiteral("SYSDBA") : settings.user);
    if (auto s = params.load(); !s)
        return fail(err, s.error());
    auto &values = fw::TVeGlobalValuesManager::instance();
    auto mpg = methodId(db.value(), method);
    if (!mpg)
        return fail(err, mpg.error());

    auto catalogue = loadCatalogue(dir.root());
    if (!catalogue)
        return fail(err, catalogue.error());
    const BankIni ini = readBankIni(dir.root());
    ExportParams p{values.intValue(QStringLiteral("VEUP_DwgId")), values.intValue(QStringLiteral("VEUP_AnsId")),
                   values.intValue(QStringLiteral("EBCP_SprIstId")), mpg.value(), dFrom, dTo, {}};
    auto rows = loadDetailRows(db.value(), p);
    if (!rows)
        return fail(err, rows.error());

    // The bank named, else the remembered one, else the working account's, else the only one.
    if (bank.isEmpty())
        bank = ini.banca;
    const BankLayoutEntry *entry = nullptr;
    for (const BankLayoutEntry &e : catalogue.value())
        if (sdd ? isSddLayout(e)
                : (!bank.isEmpty() && e.banca == bank)
                      || (bank.isEmpty() && !rows->isEmpty() && !e.abi.isEmpty() && e.abi == rows->first().abiRicevente))
            entry = &e;
    if (sdd && !entry)
        return fail(err, QStringLiteral("Il tracciato \"%1\" non è nel catalogo: eseguire export-bank --install-layouts.")
                             .arg(SddLayoutCode));
    // The SEPA row is a format, not a bank: "the only one" counts the fixed-width layouts.
    QList<const BankLayoutEntry *> fixed;
    for (const BankLayoutEntry &e : catalogue.value())
        if (!isSddLayout(e))
            fixed << &e;
    if (!entry && bank.isEmpty() && fixed.size() == 1)
        entry = fixed.first();
    if (!entry)
        return fail(err, bank.isEmpty() ? QStringLiteral("Scegliere la banca con --bank.")
                                         : QStringLiteral("La banca \"%1\" non è tra i tracciati.").arg(bank));
    auto layout = loadLayout(dir.root(), *entry);
    if (!layout)
        return fail(err, layout.error());

    ExportRun run;
    run.mainDirectory = dir.root();
    run.layout = layout.value();
    run.rows = rows.value();
    run.mittente = sia.isEmpty() ? ini.mittente : sia;
    const QDate today = QDate::currentDate();
    const bool sddFile = isSddLayout(*entry);   // also when the bank is named
    const QString support = sddFile ? SddSupportName : QStringLiteral("RID");
    run.dispositions = buildDispositions(run.rows, run.mittente, support, today, today);
    run.path = !file.isEmpty() ? file
               : sddFile       ? sddFileName(defaultExportFolder(), support, today)
                               : exportFileName(defaultExportFolder(), support, today);
    run.recordMovements = record;
    run.movement = MovementParams{p.sprIstId, today};
    run.sdd = SddSettings::load(bankIniPath(dir.root()));
    if (!creditorId.isEmpty())
        run.sdd.creditorId = creditorId.trimmed().toUpper();
    if (!cuc.isEmpty())
        run.sdd.cuc = cuc.trimmed();
    if (!sddVersion.isEmpty())
        run.sdd.version = sddVersion == QLatin1String("00.01.01") ? SddVersion::V000101 : SddVersion::V000100;
    run.mpgId = mpg.value();
    run.dwgId = p.dwgId;
    if (auto s = writeExport(db.value(), run); !s)
        return fail(err, s.error());
    qint64 cents = 0;
    for (const Disposition &d : std::as_const(run.dispositions))
        cents += d.data.importo;
    out << "File " << QDir::toNativeSeparators(QFileInfo(run.path).absoluteFilePath()) << ": "
        << run.dispositions.size() << " disposizioni, " << Money::fromCents(cents).toList() << " euro";
    if (record)
        out << ", " << run.rows.size() << " movimenti registrati";
    out << Qt::endl;
    return 0;
}

} // namespace

void registerExportBankCommand()
{
    registerCommand(QStringLiteral("export-bank"), QString::fromUtf8(usage), &exportBank);
}

} // namespace ccp::admin
