#pragma once
#include "Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>

namespace ccp::directdebit {

// A column of the drop-down grid of a "cxenum" field.
struct ReplaceListColumn
{
    QString caption;
    QString fieldName;
    int minWidth = 0;
};

// One field the bulk data replace can write, as the "EBCREPLACE" definition describes it.
struct ReplaceField
{
    QString caption;
    QString name;
    QString type;           // "enum", "cxenum", "date", "boolean", "integer", else text
    QString valuesQuery;
    QString keyFieldNames;
    QString listFieldNames;
    QList<ReplaceListColumn> listColumns;
    QString updateScript;
    QString insertScript;
    QString beforeExec;
};

// How the values of a field are bound.
enum class ReplaceValueKind { Integer, Date, String };
ReplaceValueKind valueKind(const QString &type);

// The fields of a definition in document order (children of the root's "Fields").
Result<QList<ReplaceField>> parseReplaceDefinition(const QString &xml);

// The causali of the working school year, the values of the field "iCauId".
QString causaliValuesQuery(int ansId);
// The update script for an empty old value: "= :OLDVALUE" becomes "IS NULL".
QString updateForEmptyOldValue(const QString &script);

struct ReplaceRequest
{
    ReplaceField field;
    QVariant oldValue;      // null: empty ("<Vuoto>" or nothing)
    QVariant newValue;
    bool any = false;       // "Qualunque valore": every old value
    QList<int> ids;         // the chosen coordinates, in list order
};

namespace ReplaceText {
inline const QString Confirm = QStringLiteral("Confermi l'inserimento del dato ?");
inline const QString NewValueRequired = QStringLiteral("Indicare il valore da inserire.");
QString done(const QString &caption, int count);
} // namespace ReplaceText

// Runs the replace over the chosen records in one transaction: per record, a BeforeExec that
// finds a row skips it; otherwise the update runs and, when it changed no row, the insert
// script. The result is the number of records written. Any failure undoes the whole run.
// `step` is called after each record.
Result<int> runReplace(QSqlDatabase db, const ReplaceRequest &request, const std::function<void()> &step = {});

} // namespace ccp::directdebit
