#pragma once
#include "Money.h"
#include "Result.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QString>

namespace ccp::directdebit {

// The CBI profile of the SEPA direct debit request; 00.01.01 names the agent's BIC "BICFI".
enum class SddVersion { V000100, V000101 };
enum class SddSeqType { Frst, Rcur };

QString sddNamespace(SddVersion version);          // of CBISDDReqLogMsg
QString sddEnvelopeNamespace(SddVersion version);  // of CBIBdySDDReq
QString sddSeqTypeCode(SddSeqType type);

// One debit of the file.
struct SddTransaction
{
    QString pupil;           // names the debit in refusals
    int acbId = 0;           // coordinates the mandate belongs to
    QString debtorName;
    QString iban;
    QString bic;             // optional
    Money amount;
    QString mandateId;
    QDate signatureDate;
    QString endToEndId;
    QString remittance;
    QDate collectionDate;
    SddSeqType seqType = SddSeqType::Frst;
};

struct SddBatch
{
    QString msgId;           // empty: built from the creation time
    QDateTime created;
    QString creditorName;
    QString creditorIban;
    QString creditorAbi;     // the creditor bank's ABI code
    QString creditorId;      // SEPA creditor identifier
    QString cuc;             // CBI code of the creditor
    SddVersion version = SddVersion::V000100;
    bool envelope = true;    // inside CBIBdySDDReq, else the bare logical message
    QList<SddTransaction> transactions;
};

// Messages of the SEPA export.
namespace SddText {
inline const QString CreditorIdMissing =
    QStringLiteral("Identificativo creditore SEPA mancante: indicarlo nei dati dell'esportazione.");
inline const QString CucMissing = QStringLiteral("Codice CUC mancante: indicarlo nei dati dell'esportazione.");
inline const QString CreditorNameMissing = QStringLiteral("Nome del creditore mancante.");
inline const QString NoTransactions = QStringLiteral("Nessun addebito da esportare.");
QString creditorIdInvalid(const QString &id, const QString &why);
QString cucInvalid(const QString &cuc);
QString creditorIbanInvalid(const QString &iban);
QString debtorIbanInvalid(const QString &pupil, const QString &iban);
QString mandateMissing(const QString &pupil);
QString mandateTooLong(const QString &pupil, const QString &mandate);
QString signatureMissing(const QString &pupil);
QString signatureAfterCollection(const QString &pupil, const QDate &signed_, const QDate &collection);
QString amountNotPositive(const QString &pupil);
QString endToEndInvalid(const QString &pupil, const QString &id);
QString collectionDateMissing(const QString &pupil);
} // namespace SddText

// The refusal of a SEPA creditor identifier, empty when it is valid: country code, two check
// digits (MOD 97-10 over the national identifier followed by the country code and "00",
// letters read as in an IBAN, the business code left out), business code, national identifier.
QString checkCreditorId(const QString &id);
// Check digits of a creditor identifier of `country` for `nationalId`.
QString creditorIdCheckDigits(const QString &country, const QString &nationalId);
QString checkCuc(const QString &cuc);

// Text as the SEPA character set allows it: accented letters as the letter and an
// apostrophe, other letters without their marks, anything else outside the set a space.
QString sddText(const QString &text, int maxLength);

// Sequence types from the mandates debited before: the first debit of a mandate (earliest
// collection date of this file) FRST, every other RCUR.
void assignSequenceTypes(QList<SddTransaction> &transactions, const QSet<QString> &debitedMandates);

// A disposition of the bank export as the SEPA file needs it.
struct SddDisposition
{
    int pupilId = 0;
    int payerId = 0;
    int progressive = 0;     // number of the disposition in the file, from 1
    QString pupil;           // "Surname Name"
    QString debtorName;      // account holder
    QString causale;
    int components = 1;      // detail rows summed into the disposition
    qint64 cents = 0;
    QDate dueDate;
};

// The end-to-end id of a disposition: file date, payer and progressive, within 35 characters.
QString sddEndToEndId(const QDate &created, int payerId, int progressive);
// The debits of the dispositions, with each pupil's coordinates of payment method `mpgId`
// (mandate, signature date, IBAN). A pupil without such coordinates gets an empty mandate, so
// the checks refuse it by name. The collection date is the due date, not before `earliest`.
Result<QList<SddTransaction>> sddTransactions(const QSqlDatabase &db, int mpgId, const QList<SddDisposition> &dispositions,
                                              const QDate &created, const QDate &earliest);

// Checks the whole batch and writes the XML; a refusal comes before anything is produced.
Status checkSddBatch(const SddBatch &batch);
Result<QByteArray> writeSdd(const SddBatch &batch);

// Gives the default mandate id to coordinates saved before mandates were kept.
Status fillMissingMandates(QSqlDatabase db);
// The mandates with a debit recorded.
Result<QSet<QString>> debitedMandates(const QSqlDatabase &db);
// Records each debit of the batch against its mandate (in the caller's transaction).
Status recordMandateUse(const QSqlDatabase &db, const SddBatch &batch, const QString &fileName);

// The school's SEPA data, kept with the bank export's settings (Banca.ini, section "Dati").
struct SddSettings
{
    QString creditorId;
    QString cuc;
    SddVersion version = SddVersion::V000100;

    static SddSettings load(const QString &iniFile);
    Status save(const QString &iniFile) const;
};

} // namespace ccp::directdebit
