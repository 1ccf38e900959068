#pragma once
#include "Money.h"
#include "EbcUSepaSdd.h"
#include "Result.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// Bank export of direct debits: the due components of the chosen pupils, grouped into one
// disposition per paying parent, written as a bank's fixed-width file and, on request, booked
// as income movements. The data (detail rows, dispositions) do not depend on the file format.
namespace ccp::directdebit {

namespace ExpText {
inline const QString Numeric = QStringLiteral("Campo numerico: ");
inline const QString Required = QStringLiteral("Campo obbligatorio: ");
inline const QString AddressRequired = QStringLiteral("Indirizzo del debitore obbligatorio.");
inline const QString CapNumeric = QStringLiteral("Cap del debitore deve essere numerico.");
inline const QString ReplaceFile = QStringLiteral("Il file esiste già. Sostituirlo ?");
inline const QString Produced = QStringLiteral("File prodotto con successo. Si vuole aprire la cartella relativa ?");
inline const QString NothingToExport = QStringLiteral("Nessun dato da esportare: nessuna rata da addebitare per le scelte fatte.");
} // namespace ExpText

// ---- XML data packets (DATAPACKET / METADATA / ROWDATA) -------------------------------------

struct DataPacket
{
    QStringList fields;
    QList<QHash<QString, QString>> rows;   // field name -> value; missing attributes are empty
    QString value(int row, const QString &field) const { return rows.at(row).value(field); }
};
Result<DataPacket> readDataPacket(const QString &path);

struct BankLayoutEntry
{
    QString banca;
    QString codTracciato;
    QString abi;
    QString posTipoRecord;
};

struct LayoutRow
{
    QString record, ord, pos, fieldName, colType, required, fillingChar, extra;
};

struct HeaderField
{
    QString fieldName;
    QString colType;
};

// A bank's layout: its record rows in `Ord` order and the header controls it shows.
struct BankLayout
{
    BankLayoutEntry entry;
    QList<LayoutRow> rows;
    QList<HeaderField> header;
};

// The folder of the shipped layouts under the main directory.
QString layoutFolder(const QString &mainDirectory);
Result<QList<BankLayoutEntry>> loadCatalogue(const QString &mainDirectory);
Result<BankLayout> loadLayout(const QString &mainDirectory, const BankLayoutEntry &entry);
// Writes the shipped catalogue and layouts where missing (an installation's own files stay).
Status installShippedLayouts(const QString &mainDirectory);

// ---- detail rows and dispositions -----------------------------------------------------------

// One due, unpaid component of a pupil's causale with its payer.
struct DetailRow
{
    QString abiRicevente, cabRicevente, ccRicevente;
    qint64 importo = 0;                 // cents
    Money amount;                       // the component's amount
    QString abiDomiciliataria, cabDomiciliataria, ccDomiciliataria;
    QString iban;
    QString codDebitore;
    QString creditore;
    QString debitore;
    QString indDebitore, capDebitore, comDebitore;
    QString causale;
    QDate dCcaDataScadenza;
    int iCcaId = 0, iCauId = 0, iAnaId = 0, iSitId = 0, iClsId = 0, iAnaIdGen = 0;
    QString sAnaNome, sAnaCognome, sClsDesc, matricola;
    QDate dAnaNascita;
    int iCnt = 1;
    // Filled on the dispositions only.
    QString mittente, nomeSupporto;
    QDate dataCreazione;

    // A column by the name a layout uses (case-insensitive); null when unknown or empty.
    QVariant column(const QString &name) const;
    static QStringList columnNames();
};

// One disposition: the payer's data from the last of its detail rows, the total and the rows.
struct Disposition
{
    DetailRow data;                     // IMPORTO and iCnt hold the totals
    QList<int> details;                 // indexes into the detail rows, statement order
};

struct ExportParams
{
    int dwgId = 0;
    int ansId = 0;
    int sprIstId = 0;
    int mpgId = 0;
    QDate from, to;
    QList<int> pupils;                  // empty: every pupil
};

Result<QList<DetailRow>> loadDetailRows(const QSqlDatabase &db, const ExportParams &params);

QList<Disposition> buildDispositions(const QList<DetailRow> &rows, const QString &mittente,
                                     const QString &nomeSupporto, const QDate &dataCreazione,
                                     const QDate &today);

// ---- fixed-width writer ---------------------------------------------------------------------

// The lines of the file (without line ends), or the export error that stops it.
Result<QStringList> buildFixedWidthLines(const BankLayout &layout, const QList<Disposition> &dispositions);
// One field formatted, padded and cut as the layout row says (no content check).
QString formatField(const LayoutRow &row, const QVariant &value, int width);
// CBI files carry accented letters as the letter and an apostrophe and nothing beyond ASCII.
QString cbiText(const QString &text);
// The lines joined with CR LF, one byte per character.
QByteArray encodeLines(const QStringList &lines);
// The log of a produced file: for each line, FieldName="text at Pos" per layout row.
QStringList logLines(const BankLayout &layout, const QStringList &lines);

// ---- file names and remembered settings -----------------------------------------------------

QString defaultExportFolder();
// Nome supporto without the characters a file name cannot hold.
QString cleanSupportName(const QString &nome);
QString exportFileName(const QString &folder, const QString &nome, const QDate &today);

struct BankIni
{
    QString mittente;
    QString contoTesoreria;
    QString banca;
};
QString bankIniPath(const QString &mainDirectory);
BankIni readBankIni(const QString &mainDirectory);
Status writeBankIni(const QString &mainDirectory, const QString &mittente, const QString &banca);

// ---- producing the file and the movements ---------------------------------------------------

struct MovementParams
{
    int sprIstId = 0;
    QDate date;                         // Data creazione: date of movement and of statement
};

// Test seams: a failure injected after a movement, or at the rename into place.
struct ExportHooks
{
    std::function<Status(int detailIndex)> afterMovement;
    std::function<bool(const QString &from, const QString &to)> rename;
};

// Writes `content` to `path` whole or not at all; with `rows`, books one movement per detail
// row in one transaction that commits only once the file is in place.
Status produceExport(QSqlDatabase db, const QString &path, const QByteArray &content,
                     const QList<DetailRow> *rows, const MovementParams &movement,
                     const ExportHooks &hooks = {}, const std::function<Status()> &alsoInTransaction = {});

// One export as OK runs it: the lines built, the file and (when asked) the movements produced,
// then the log written (its failure ignored) and the settings remembered.
struct ExportRun
{
    QString mainDirectory;
    BankLayout layout;
    QList<DetailRow> rows;
    QList<Disposition> dispositions;
    QString path;
    QString mittente;
    bool recordMovements = false;
    MovementParams movement;
    // The SEPA file only: the school's SEPA data, the method whose coordinates hold the
    // mandates, the institute naming the creditor.
    SddSettings sdd;
    int mpgId = 0;
    int dwgId = 0;
};
QString logPath(const QString &mainDirectory, const QString &exportPath);
// Writes (again) the log of a produced file, replacing the previous one.
Status writeLog(const QString &mainDirectory, const BankLayout &layout, const QString &exportPath);
Status writeExport(QSqlDatabase db, const ExportRun &run, const ExportHooks &hooks = {});

} // namespace ccp::directdebit
