#pragma once
#include "Result.h"

#include <QDate>
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

} // namespace ccp::work
