#pragma once
#include "AbiCBankClass.h"
#include "Result.h"

#include <QSqlDatabase>
#include <QString>

namespace ccp::abiban {

// The one IBAN calculator of the program: an Italian BBAN with normalisation on. Every
// function below works on it and leaves in it the parts of its last call (normalised ABI,
// CAB and account, CIN, country code, check digits): read them right after your own call.
// Not reentrant; user-interface thread only.
TIBAN &IBANCalculator();

// The IBAN of the Italian coordinates (ABI and CAB padded to 5, account to 12 and upper-cased).
// Clears the valid flag. Fails on an account longer than 12 characters ("Conto Corrente non
// può essere di 12 caratteri."), on an ABI or CAB longer than 5, and on characters other than
// digits and letters.
Result<QString> BuildIBAN(const QString &abi, const QString &cab, const QString &account);

// True exactly for an Italian IBAN in upper case whose CIN and check digits are right. Blanks
// and control characters at the ends are ignored, blanks inside are not. Never fails.
bool CheckIBAN(const QString &text);

// The bank with that ABI (deleted ones too), added as "BANCA ABI " + abi when missing.
Result<int> FindOrAddBank(QSqlDatabase db, const QString &abi, bool &added);
// The branch with that CAB of the bank, added as "Agenzia " + cab when missing.
Result<int> FindOrAddBranch(QSqlDatabase db, const QString &cab, int bankId, bool &added);

struct BankRegistration
{
    bool valid = false;       // the IBAN passed CheckIBAN; nothing else is set otherwise
    int bankId = -1;
    int branchId = -1;
    bool bankAdded = false;
    bool branchAdded = false;
    QString message;          // to show as information when a bank or branch was added, else empty
};

// Checks the IBAN and makes sure its bank and branch exist, in one transaction of its own
// (call it with no transaction open). A database failure is the error of the result.
Result<BankRegistration> CheckIBANAndRegisterBank(QSqlDatabase db, const QString &text);

// The information text about what CheckIBANAndRegisterBank added (empty when nothing).
QString RegistrationMessage(const QString &abi, const QString &cab, bool bankAdded,
                            bool branchAdded);

} // namespace ccp::abiban
