#pragma once
#include "Result.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace ccp::ben {

// The bank details of a beneficiary as the post sees them.
struct BankDetails
{
    int method = -1;          // payment method (-1: none)
    bool foreign = false;     // "Banca Estera"
    bool endDateSet = false;  // "Data fine Validità"
    int bankId = -1;
    int branchId = -1;
    QString abi;
    QString cab;
    QString account;
    QString country;
    QString checkDigits;
    QString cin;
    QString iban;
    bool domesticBank = false;   // the bank's or the branch's place is in state 1
    bool lastDialogAccepted = true;
};

enum class BankField { None, Method, Bank, Branch, Account };

struct BankPost
{
    bool ok = true;
    BankField focus = BankField::None;
    BankDetails values;   // what to write: account padded, IBAN and its parts
};

// The post rules of the bank details: required account, bank and branch by payment method
// (M1 to M5), the IBAN consistency question and the IBAN recomputed from its parts.
BankPost checkBankDetails(const BankDetails &in);

QString messageM1();
QString messageM2();
QString messageM3();
QString messageM4();
QString messageM5();
QString ibanQuestion();

// The IBAN of every beneficiary's Italian bank details, recomputed from ABI, CAB and account.
// `progress` gets the counter and total per beneficiary. Returns the names of the
// beneficiaries whose IBAN could not be computed; each row is committed on its own.
struct BatchResult
{
    int total = 0;
    int updated = 0;
    QStringList errors;
};
Result<BatchResult> updateBeneficiariesIban(QSqlDatabase db, const std::function<void(int, int)> &progress = {});

// Writes the error list under the main directory's var/log/abc and returns the file's path.
Result<QString> writeIbanErrors(const QString &mainDirectory, const QStringList &errors, const QDate &day);

} // namespace ccp::ben
