#pragma once
#include "EbcUWorkContext.h"
#include "Result.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace ccp::app {

// Keys of the working context in the global values.
namespace Keys {
inline const QString DwgId = QStringLiteral("VEUP_DwgId");
inline const QString AnsId = QStringLiteral("VEUP_AnsId");
inline const QString SprIstId = QStringLiteral("EBCP_SprIstId");
inline const QString AnfId = QStringLiteral("EBCP_AnfId");
inline const QString CauAnsId = QStringLiteral("EBSP_CauAnsId");
inline const QString CausaleInId = QStringLiteral("EBSP_CausaleInId");
inline const QString CausaleOutId = QStringLiteral("EBSP_CausaleOutId");
inline const QString CcaRette = QStringLiteral("EBCP_CcaRette");
// Read by the shared school-fees layer to know which program it runs in.
inline const QString HostModule = QStringLiteral("EBS_HostModule");
} // namespace Keys

inline const QString HostModuleCode = QStringLiteral("EBC");

namespace AccountType = work::AccountType;

// The keys among `keys` (comma separated) that are not set in the global values.
QStringList missingContextKeys(const QString &keys);
// "E' necessario impostare l'istituto di lavoro, l'anno finanziario e il conto."
QString contextKeysMessage(const QStringList &missingKeys);
// True when every key is set; otherwise one warning naming the missing ones.
bool CheckContextKeys(const QString &keys);

using work::accountType;
using work::accountTypeOf;
using work::financialYearValue;
using work::readUserPeriod;
using work::UserPeriod;

using InstituteEntry = work::Institute;
using work::instituteList;
// True when the institute is a group without a single data owner.
bool instituteIsGroup(QSqlDatabase db, int dwgId);

// What the budget-items module receives at start: the working financial year and institute
// with the year's bounds as the institute keeps them (invalid dates when it has no row).
struct BudgetContext
{
    int anfValore = 0;
    int dwgId = 0;
    QDate start;
    QDate end;
};
BudgetContext readBudgetContext(QSqlDatabase db, int anfValore, int dwgId);

// The derived values of the working context, held program-wide and recomputed at start and
// after the parameters change.
class WorkingContext
{
public:
    static WorkingContext &instance();

    QVariant anfValore;                 // iAnfValore of EBCP_AnfId
    UserPeriod userPeriod;
    bool isGroup = false;
    QList<InstituteEntry> institutes;
    BudgetContext budget;

    int financialYear() const;          // 0 unless the value is an integer
    // Financial-year value and user period (after every panel rewrite).
    void refreshPeriod(QSqlDatabase db);
    // Institute-is-group flag and institute list.
    void refreshInstitutes(QSqlDatabase db);
    // What start-up hands to the budget-items module.
    void publishBudget(QSqlDatabase db);
};

} // namespace ccp::app
