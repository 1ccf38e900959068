#pragma once
#include "Money.h"
#include "Result.h"

#include <QDate>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace ccp::fees {

// Statements, lookup selects and rules of the causale components, kept apart from the windows.
namespace CcaSql {

QString select();
QString insert();
QString update();
// Every causale containing the component takes the smallest fees flag of its own components.
QString recomputeCausaliRette();
QString remove();
QString inUse();

// Type and sub-type valid in the school year (the join select of the lookups).
QString typeSelect(int ansId);
// The search list: every valid top-level type (own description, ".") united with every valid
// sub-type (parent's description, own description).
QString typeSearchSelect(int ansId);
QString aggregateSelect(int dwgId, int flow);
QString itemSelect(int aggId, int dwgId);
QString subItemSelect(int itemId, int dwgId);

} // namespace CcaSql

// Values the component statements bind at posting: the tipo of the tab, the institute taken
// from the budget choices, the causali school year's bounds. Lives beside xqcCompCaus.
class TEbsCcaBindings : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    QVariant chosenDwgId;   // null: every institute
};

namespace CcaRules {

// Sub-types have ids from 100 on; below are the top-level types.
constexpr int FirstSubTypeId = 100;

// Text of the sub-type box beside the type: empty for a top-level type (or when it would only
// repeat the type's text).
QString subTypeText(const QVariant &key, const QString &ownText, const QString &typeText);

// What the detail page holds when a component is posted.
struct Entry
{
    QString description;
    QString code;
    QVariant type;
    QVariant aggregate;
    QVariant item;
    bool instituteEmpty = true;
    Money institute;
    bool treasuryEmpty = true;
    Money treasury;
};
// Caption of the first required field left empty ("Descrizione", "Codice", "Tipo",
// "Aggregato", "Voce"), empty when the entry can be posted. Type, aggregate and item may stay
// empty for a treasury-only component: institute amount 0 with a treasury amount.
QString missingField(const Entry &e);

// First and last day of a school year (invalid dates when it does not exist).
struct YearBounds
{
    QDate start;
    QDate end;
};
Result<YearBounds> schoolYearBounds(QSqlDatabase db, int ansId);
QString schoolYearDescription(QSqlDatabase db, int ansId);
// True when some causale containing the component is named by a movement or a tax payment.
Result<bool> componentInUse(QSqlDatabase db, int ccaId);

} // namespace CcaRules
} // namespace ccp::fees
