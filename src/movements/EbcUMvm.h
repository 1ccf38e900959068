#pragma once
#include "EbcUWorkContext.h"
#include "Money.h"
#include "Result.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace ccp::movements {

// Keys of the working context and of the movement defaults in the global values.
namespace MvmKeys {
inline const QString DwgId = QStringLiteral("VEUP_DwgId");
inline const QString AnsId = QStringLiteral("VEUP_AnsId");
inline const QString SprIstId = QStringLiteral("EBCP_SprIstId");
inline const QString AnfId = QStringLiteral("EBCP_AnfId");
inline const QString CauAnsId = QStringLiteral("EBSP_CauAnsId");
inline const QString CausaleInId = QStringLiteral("EBSP_CausaleInId");
inline const QString CausaleOutId = QStringLiteral("EBSP_CausaleOutId");
inline const QString ImpIstCauIn = QStringLiteral("EBSP_ImpIstCauIn");
inline const QString ImpIstCauOut = QStringLiteral("EBSP_ImpIstCauOut");
inline const QString ImpEraCauIn = QStringLiteral("EBSP_ImpEraCauIn");
inline const QString SprComuneId = QStringLiteral("EBSP_SprComuneId");
inline const QString SprCabProvId = QStringLiteral("EBSP_SprCabProvId");
inline const QString NrUffPostale = QStringLiteral("EBSP_NrUffPostale");
inline const QString MvmDataMov = QStringLiteral("EBCP_MvmDataMov");
inline const QString MvmDataEc = QStringLiteral("EBCP_MvmDataEc");
inline const QString MvmBenefCateg = QStringLiteral("EBCP_MvmBenefCateg");
inline const QString ShowBarCode = QStringLiteral("EBSP_ShowBarCode");
} // namespace MvmKeys

namespace MvmAccountType = work::AccountType;

// The messages of the movement windows, one place.
namespace MvmText {
inline const QString OutsideYear = QStringLiteral("La data dev'essere interna all'anno finanziario di lavoro.");
inline const QString BeforeOpening = QStringLiteral("La data del%1 dev'essere maggiore o uguale a %2");
inline const QString MovementAfterStatement =
    QStringLiteral("La data del movimento non può essere successiva alla data dell'estratto conto.");
inline const QString AmountZero = QStringLiteral("L'importo dev'essere diverso da zero.");
inline const QString OverAvailability = QStringLiteral("L'importo non può superare la disponibilità del conto.");
inline const QString PayerRequired = QStringLiteral("Il campo 'Beneficiario' è obbligatorio");
inline const QString ChooseCategory = QStringLiteral("Selezionare una categoria.");
inline const QString CausaleWithoutComponents =
    QStringLiteral("La causale non ha componenti: impossibile registrare il movimento.");
inline const QString SplitUnbalanced = QStringLiteral(
    "La suddivisione dell'importo tra le componenti della causale non corrisponde all'importo: "
    "completarla prima di salvare il movimento.");
inline const QString SlipNumberTooLong =
    QStringLiteral("Il numero del bollettino non può superare 2147483647 (al massimo 10 cifre).");
} // namespace MvmText

using work::accountTypeOf;

// What the movement windows read once from the global values and the database.
struct MvmContext
{
    int dwgId = 0;
    int ansId = 0;
    int sprIstId = 0;
    int cauAnsId = 0;
    int anfValore = 0;         // working financial year, e.g. 2026
    QDate periodStart;         // the account-year's user period
    QDate periodEnd;
    QString accountType;
    QDate accountStart;        // TSprIst.dStart
    QDate accountEnd;          // TSprIst.dEnd: a closed account
    bool isGroup = false;      // the working institute is a group

    static Result<MvmContext> read(QSqlDatabase db);
};

// The date checks of a movement, first failing rule wins; empty when the date is acceptable.
// `statementDate` matters for the movement date only (null: not compared).
enum class MvmDateKind { Movement, Statement };
QString checkMovementDate(MvmDateKind kind, const QDate &date, const QDate &periodStart,
                          const QDate &periodEnd, const QDate &accountStart,
                          const QDate &statementDate = {});

// The amount rule of the entry frame: what to do after the user set an amount.
struct AmountDecision
{
    enum Action { Nothing, OpenSplit, ReleaseSplit };
    Action action = Nothing;
    bool showDifference = false;
    Money difference;          // entered - expected, shown when showDifference
};
// `expected` is the causale total ("0" or unreadable: a causale without preset amounts),
// `entered` the amount typed, `shown` the difference on screen. Compared as money, not text.
AmountDecision decideAmount(const QString &expected, const QString &entered, Money shown);

// Money available for an expense: the account-year's cash plus, when editing, the movement's
// stored amount. True when `amount` is more than that.
bool exceedsAvailability(Money amount, Money available, Money storedWhenEditing);
Result<Money> accountAvailability(QSqlDatabase db, int sprIstId, int anfValore);

// True when every movement of the account-year is locked (MIN(iLocked) not null and not 0).
Result<bool> yearFullyLocked(QSqlDatabase db, int sprIstId, int anfValore);

// Selects of the entry frame and the movements frame.
namespace MvmSql {
QString causaleList(bool allCausali, int kind, int dwgId, bool allInstitutes);
extern const QString CausaleYear;        // school year of a causale
extern const QString CausaleComponents;  // the causale's components for the split dialog
extern const QString ComponentCount;
extern const QString CausaleTotal;
extern const QString SplitExists;
extern const QString SplitRows;
extern const QString CabList;            // %d: bank
extern const QString CabProvince;
extern const QString MunicipalityList;   // %d: province
extern const QString LocationList;       // %d: municipality
extern const QString CategoryList;
extern const QString NewEnrolments;
extern const QString Persons;            // + category number
extern const QString Staff;              // %d: institute
extern const QString Others;
QString pupils(bool isGroup, int dwgId, const QString &yearCondition);
extern const QString PupilInstitute;
extern const QString SchoolYearsWithClasses;
extern const QString Availability;
extern const QString LockedYear;         // MIN(iLocked) of the year, as the rule is stated
extern const QString UnlockedInYear;     // the same rule, stopping at the first movement
extern const QString LockedInYear;
extern const QString NoteRead;           // + id
extern const QString NoteWrite;
} // namespace MvmSql

} // namespace ccp::movements
