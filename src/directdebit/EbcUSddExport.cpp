#include "EbcUSddExport.h"

#include "AbiUIBAN.h"
#include "SqlQuery.h"

#include <QDir>

namespace ccp::directdebit {

bool isSddLayout(const BankLayoutEntry &entry)
{
    return entry.codTracciato.compare(SddLayoutCode, Qt::CaseInsensitive) == 0;
}

QString sddFileName(const QString &folder, const QString &nome, const QDate &today)
{
    const QFileInfo fixed(exportFileName(folder, nome, today));
    return QDir(fixed.path()).filePath(fixed.completeBaseName() + QStringLiteral(".xml"));
}

Status exportSdd(QSqlDatabase db, SddBatch &batch, const QString &path, const QList<DetailRow> *rows,
                 const MovementParams &movement, const ExportHooks &hooks)
{
    auto debited = debitedMandates(db);
    if (!debited)
        return debited.status();
    assignSequenceTypes(batch.transactions, debited.value());
    auto xml = writeSdd(batch);
    if (!xml)
        return xml.status();
    const QString file = QFileInfo(path).fileName();
    return produceExport(db, path, xml.value(), rows, movement, hooks,
                         [&] { return recordMandateUse(db, batch, file); });
}

namespace {

// The institute's name as the bank knows the creditor: its main seat.
QString instituteName(const QSqlDatabase &db, int dwgId, const QString &fallback)
{
    auto name = SqlQuery::scalar(db, QStringLiteral("SELECT FIRST 1 COALESCE(sSedNomLDesc, sSedNomSDesc) FROM VSed_Sedi"
                                                    " WHERE iDwgId = :dwg AND lDwgSedMain = 1 ORDER BY iDwgSedId"),
                                 {{QStringLiteral("dwg"), dwgId}});
    const QString text = name ? name.value().toString().trimmed() : QString();
    return text.isEmpty() ? fallback : text;
}

} // namespace

Status writeSddExport(QSqlDatabase db, const ExportRun &run, const ExportHooks &hooks)
{
    if (const QString e = checkCreditorId(run.sdd.creditorId); !e.isEmpty())
        return Status::failure(e);
    if (const QString e = checkCuc(run.sdd.cuc); !e.isEmpty())
        return Status::failure(e);
    if (Status s = fillMissingMandates(db); !s)
        return s;
    const DetailRow &first = run.dispositions.first().data;
    const QDate created = run.movement.date.isValid() ? run.movement.date : QDate::currentDate();
    QList<SddDisposition> dispositions;
    dispositions.reserve(run.dispositions.size());
    int progressive = 0;
    for (const Disposition &d : run.dispositions)
        dispositions.append({d.data.iAnaId, d.data.iAnaIdGen, ++progressive,
                             QString(d.data.sAnaCognome + u' ' + d.data.sAnaNome).trimmed(), d.data.debitore, d.data.causale,
                             d.data.iCnt, d.data.importo, d.data.dCcaDataScadenza});
    // A collection date in the past is moved to the next day: the bank refuses it otherwise.
    auto transactions = sddTransactions(db, run.mpgId, dispositions, created, created.addDays(1));
    if (!transactions)
        return transactions.status();

    SddBatch batch;
    batch.created = QDateTime(created, QTime::currentTime());
    batch.creditorName = instituteName(db, run.dwgId, first.creditore);
    auto creditorIban = abiban::BuildIBAN(first.abiRicevente, first.cabRicevente, first.ccRicevente);
    batch.creditorIban = creditorIban ? creditorIban.value() : QString();
    batch.creditorAbi = first.abiRicevente;
    batch.creditorId = run.sdd.creditorId;
    batch.cuc = run.sdd.cuc;
    batch.version = run.sdd.version;
    batch.transactions = transactions.value();
    if (Status s = exportSdd(db, batch, run.path, run.recordMovements ? &run.rows : nullptr, run.movement, hooks); !s)
        return s;
    // The file and its records are done: settings not saved do not undo them.
    run.sdd.save(bankIniPath(run.mainDirectory));
    writeBankIni(run.mainDirectory, run.mittente, run.layout.entry.banca);
    return {};
}

} // namespace ccp::directdebit
