#include "ScanCommand.h"

#include "AdminCommands.h"
#include "Connection.h"
#include "EbsUBarCode.h"
#include "MainDirectory.h"
#include "Password.h"
#include "TVeParamManager.h"
#include "VeMessageDlg.h"

#include <QFile>

namespace ccp::admin {

namespace {

const char usage[] =
    "  scan --file F [--data-mov gg/mm/aaaa] [--data-ec gg/mm/aaaa] [--data-dir DIR]\n"
    "       [--database HOST:/percorso/file.fdb --user U --password P]\n"
    "        crea i movimenti del conto di lavoro dalle letture di codici a barre del file F\n"
    "        (un codice per riga: alunno o corsista e causale, in qualsiasi ordine), con le\n"
    "        date indicate o, in loro mancanza, quelle dei parametri; mostra i movimenti\n"
    "        creati e le righe rifiutate; stato di uscita 0 se nessuna riga è stata rifiutata\n";

// Messages of the readings, kept until the line they belong to is known.
class LineMessages : public fw::MessageSink
{
public:
    fw::MsgResult show(const QString &text, fw::MsgType, fw::MsgButtons) override
    {
        pending << text;
        return fw::MsgResult::Ok;
    }
    QStringList pending;
};

QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\n', u' ');
    return text;
}

int fail(QTextStream &err, const QString &message)
{
    err << "ccp-admin: " << oneLine(message) << Qt::endl;
    return 1;
}

int scan(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString file, dataDir, database, user, password, dataMovText, dataEcText;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString *target = nullptr;
        if (a == QLatin1String("--file"))
            target = &file;
        else if (a == QLatin1String("--data-mov"))
            target = &dataMovText;
        else if (a == QLatin1String("--data-ec"))
            target = &dataEcText;
        else if (a == QLatin1String("--data-dir"))
            target = &dataDir;
        else if (a == QLatin1String("--database"))
            target = &database;
        else if (a == QLatin1String("--user"))
            target = &user;
        else if (a == QLatin1String("--password"))
            target = &password;
        else
            return fail(err, QStringLiteral("Opzione sconosciuta: %1.").arg(a));
        if (i + 1 >= args.size())
            return fail(err, QStringLiteral("Manca il valore dell'opzione %1.").arg(a));
        *target = args[++i];
    }
    if (file.isEmpty()) {
        err << "Uso:\n" << usage;
        err.flush();
        return 2;
    }

    auto dateOption = [&](const QString &text, const QString &option, QDate *date) -> bool {
        if (text.isEmpty())
            return true;
        QDate d = QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
        if (!d.isValid())
            d = QDate::fromString(text.trimmed(), QStringLiteral("d/M/yyyy"));
        if (!d.isValid()) {
            fail(err, QStringLiteral("%1: data non valida \"%2\" (scrivere gg/mm/aaaa).").arg(option, text));
            return false;
        }
        *date = d;
        return true;
    };

    QFile in(file);
    if (!in.exists())
        return fail(err, QStringLiteral("Il file %1 non esiste.").arg(file));
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(err, QStringLiteral("Impossibile leggere il file %1: %2").arg(file, in.errorString()));
    const QStringList lines = QString::fromUtf8(in.readAll()).split(u'\n');

    const MainDirectory dir = MainDirectory::resolve(dataDir);
    const ConnectionSettings settings =
        database.isEmpty() ? dir.connection()
                           : ConnectionSettings::parse(database, user, commandLinePassword(password, user));
    auto db = Db::open(settings, QStringLiteral("ccp-admin-scan"));
    if (!db)
        return fail(err, db.error());

    fw::TVeParamManager params(db.value(), settings.user.isEmpty() ? QStringLiteral("SYSDBA") : settings.user);
    if (auto s = params.load(); !s)
        return fail(err, s.error());
    auto context = movements::BarCodeContext::fromGlobals(db.value());
    if (!context)
        return fail(err, context.error());
    movements::BarCodeContext ctx = context.value();
    if (ctx.sprIstId == 0 || ctx.anfValore == 0 || ctx.cauAnsId == 0)
        return fail(err, QStringLiteral("E' necessario impostare il conto, l'anno finanziario e l'anno "
                                        "scolastico delle causali."));
    if (!dateOption(dataMovText, QStringLiteral("--data-mov"), &ctx.dataMov)
        || !dateOption(dataEcText, QStringLiteral("--data-ec"), &ctx.dataEc))
        return 1;
    // The panel does not take readings until its dates pass these rules.
    const auto dates = movements::checkBarCodeDates(ctx.dataEc, ctx.dataMov, ctx.anfValore, ctx.accountStart);
    if (!dates.ok())
        return fail(err, QStringLiteral("%1 (%2)").arg(dates.message,
            dates.field == movements::BarCodeDateCheck::StatementDate ? QStringLiteral("--data-ec")
                                                                     : QStringLiteral("--data-mov")));

    LineMessages messages;
    fw::MessageSink *previous = fw::setMessageSink(&messages);
    movements::TEbsBarCodeReader reader(db.value(), ctx);
    movements::TEbsBarCodeQueue queue(reader);
    const auto report = movements::scanBatch(queue, lines, ctx.dataMov, ctx.dataEc,
        [&](int line, const movements::BarCodeOutcome &outcome) {
            for (const QString &m : std::as_const(messages.pending))
                err << "ccp-admin: riga " << line << ": " << oneLine(m) << Qt::endl;
            messages.pending.clear();
            for (const auto &c : outcome.creations) {
                if (!c.ok())
                    err << "ccp-admin: riga " << line << ": " << oneLine(c.error) << Qt::endl;
            }
        });
    fw::setMessageSink(previous);
    // A reading still waiting for its other half at the end of the file created nothing.
    if (reader.pupilSelected())
        err << "ccp-admin: a fine file l'alunno " << reader.pupilSitId()
            << " attende ancora una causale: nessun movimento creato per lui." << Qt::endl;
    if (reader.causaleSelected())
        err << "ccp-admin: a fine file la causale " << reader.causaleId()
            << " attende ancora un alunno: nessun movimento creato." << Qt::endl;

    out << "Movimenti creati: " << report.createdIds.size() << Qt::endl;
    if (report.refusedLines.isEmpty()) {
        out << "Righe rifiutate: nessuna" << Qt::endl;
        return 0;
    }
    QStringList refused;
    for (int l : report.refusedLines)
        refused << QString::number(l);
    out << "Righe rifiutate: " << refused.join(QStringLiteral(", ")) << Qt::endl;
    return 1;
}

} // namespace

void registerScanCommand()
{
    registerCommand(QStringLiteral("scan"), QString::fromUtf8(usage), &scan);
}

} // namespace ccp::admin
