#pragma once
#include "Result.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace ccp::fees {

// Texts of the causali windows (Italian), one place.
namespace CauMessages {
inline const QString PropagationQuestion = QStringLiteral(
    "Le modifiche apportate alla causale si propagheranno a tutti\r\n"
    "i movimenti sui conti dell'istituto e/o versamenti sul Registro Tasse\r\n"
    "collegati ad essa.\r\nProcedere?");
inline const QString OneComponentRequired =
    QStringLiteral("Almeno un componente deve essere associato alla causale.");
QString undefinedParameter(const QString &key);     // "Parametro %s non definito"
// After a copy stopped by an error: which causale and how many were copied before it.
QString duplicationFailed(const QString &causale, int cauId, int copied, const QString &error);
} // namespace CauMessages

// Context keys read by the causali windows.
namespace CauKeys {
inline const QString CauAnsId = QStringLiteral("EBSP_CauAnsId");
inline const QString DwgId = QStringLiteral("VEUP_DwgId");
inline const QString AnsId = QStringLiteral("VEUP_AnsId");
} // namespace CauKeys

// The statements of the causali sets, as the data module and the tests use them.
namespace CauSql {
extern const QString CausaliSelect;
extern const QString CausaliInsert;
extern const QString CausaliUpdate;
extern const QString LinksSelect;
extern const QString LinkInsert;
extern const QString LinkUpdate;
extern const QString LinkDelete;
extern const QString RecomputeRette;
extern const QString SetInstitute;
extern const QString ComponentCount;
extern const QString InUse;
extern const QString SchoolYears;
extern const QString DuplicationCandidates;
extern const QString SearchTemplate;
} // namespace CauSql

// True when a movement of an institute account or a tax-register payment names the causale.
Result<bool> CausaleInUse(QSqlDatabase db, int cauId);

// One column of a school year (`column` is one of the program's own names, never user text);
// null when the year does not exist.
Result<QVariant> SchoolYearColumn(QSqlDatabase db, const QString &column, int ansId);

// First and last day of a school year (null dates when it does not exist).
struct SchoolYearBounds
{
    QDate start;
    QDate end;
    bool valid() const { return start.isValid() && end.isValid(); }
};
Result<SchoolYearBounds> SchoolYearBoundsOf(QSqlDatabase db, int ansId);
// The bounds of the causali school year ("EBSP_CauAnsId").
Result<SchoolYearBounds> CausaliSchoolYear(QSqlDatabase db);

// Description of the school year whose id is stored under `key`; only "EBSP_CauAnsId" is
// accepted. Empty when the key holds nothing or no such year exists.
Result<QString> SchoolYearDescription(QSqlDatabase db, const QString &key);

// Select text of the component-code lookup of a causale's components. `dwg`: -1 every
// component, 0 only components without institute, > 0 only that institute's.
QString FilterComponentLookup(bool showAll, int tipo, int ansId, int dwg);
// The institute a lookup filter takes from a stored iDwgId (NULL reads as 0).
int dwgFilterOf(const QVariant &dwg);

// The delete rule of a causale's components: the last component never goes, and nothing
// goes from a causale in use.
bool canDeleteComponent(int componentCount, bool causaleInUse);

// ---- duplication ---------------------------------------------------------------------------

struct DuplicationCandidate
{
    int cauId = 0;
    QString description;   // sCauLDesc
    QString code;          // sCauSDesc
};

// Causali of the source year (of the working institute or of none, of the tipo) that do not
// exist in the target year: "exists" means the same description and the same code
// (case-sensitive), among the target causali of the working institute or of none.
Result<QList<DuplicationCandidate>> DuplicationCandidates(QSqlDatabase db, int sourceAnsId,
                                                          int targetAnsId, int dwgId, int tipo);

struct DuplicationOutcome
{
    int copied = 0;          // causali copied and kept
    int failedCauId = 0;     // the causale whose copy failed (0: none failed)
    QString error;           // the server's message for it
    bool ok() const { return failedCauId == 0 && error.isEmpty(); }
};

// Copies the causali into the target year through PEBS_DUPLICACAUS in one transaction, in
// the order given. An error stops the loop; the copies made before it are committed.
DuplicationOutcome DuplicateCausali(QSqlDatabase db, int targetAnsId, const QList<int> &cauIds);

// ---- causale search ------------------------------------------------------------------------

struct CauSearchOptions
{
    bool showAll = false;
    bool allInstitutes = false;
    int tipo = 0;
    int dwgId = 0;       // working institute
    int ansId = 0;       // school year listed
};
// The search window's select text with its numbers filled; the ##WHERE## slot stays.
QString SearchCausaliSql(const CauSearchOptions &options);
// Replaces every ##WHERE## slot (letters in any case) with "(1=1)".
QString withoutSearchCondition(QString sql);

} // namespace ccp::fees
