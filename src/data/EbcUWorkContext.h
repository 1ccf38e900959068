#pragma once
#include "Result.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

// Facts of the working context that every subsystem reads the same way from the database.
namespace ccp::work {

// Account types as the whole program names them.
namespace AccountType {
inline const QString Postal = QStringLiteral("Postale");
inline const QString Cash = QStringLiteral("Cassa");
inline const QString Bank = QStringLiteral("Bancario");
} // namespace AccountType

// The type of an account from its bank's category and id: category 7 "Postale", 8 "Cassa",
// any other "Bancario"; with no category, "Bancario" for bank 1 only, else empty.
QString accountTypeOf(const QVariant &iCbaId, const QVariant &iBanId);
// The type of account `sprIstId` (empty when the account or its bank is missing).
QString accountType(QSqlDatabase db, int sprIstId);

// The four-digit value of a financial year (null when no such year).
QVariant financialYearValue(QSqlDatabase db, int anfId);

struct UserPeriod
{
    QDate start;   // INIZIOUTENTE
    QDate end;     // FINEUTENTE
};
// The first and last day of the account's financial year as the institute keeps it; both
// invalid when the account has no row for that year.
Result<UserPeriod> readUserPeriod(QSqlDatabase db, int sprIstId, int anfValore);

// An institute a working institute stands for: its description and its own institute id.
struct Institute
{
    QString description;
    int dwgId = 0;
    bool operator==(const Institute &o) const = default;
};
// The institute itself (single owner) or the members of the group valid on the first day of
// the school year `ansId`, each under its own single-owner institute (empty when `ansId` is 0).
Result<QList<Institute>> instituteList(QSqlDatabase db, int dwgId, bool isGroup, int ansId);

} // namespace ccp::work
