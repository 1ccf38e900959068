#pragma once
#include "Result.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ccp::fw {

// Kind of a filterable field: decides how a typed value is read and written into SQL.
enum class FilterFieldType { Text = 0, Integer = 1, Money = 2, Date = 3, Boolean = 4 };

enum class FilterOperator {
    Equal = 0, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual,
    Contains, StartsWith, IsEmpty, IsNotEmpty
};

// A field the user may filter on: its SQL expression (from the program, never typed by the
// user), caption and type.
struct FilterField
{
    QString name;       // SQL column or expression: "Ana.sAnaCognome"
    QString caption;    // "Cognome"
    FilterFieldType type = FilterFieldType::Text;
};

// The fields offered by a filter dialog; stored as XML (in the database or a file).
struct FilterDefinition
{
    QString code;       // "EBC_ACBFL"
    QString title;
    QList<FilterField> fields;

    const FilterField *field(const QString &name) const;  // case-insensitive
    QString toXml() const;
    static Result<FilterDefinition> fromXml(const QString &xml);
};

// One condition: field, operator, value; `orWithPrevious` joins it to the one before with OR
// (AND otherwise). AND binds tighter than OR, as in SQL.
struct FilterCondition
{
    QString field;
    FilterOperator op = FilterOperator::Equal;
    QString value;      // as typed: "1.234,50", "15/03/2024", "Rossi"
    bool orWithPrevious = false;

    bool operator==(const FilterCondition &) const = default;
};

// A filter the user built: its conditions, turned into an SQL condition over the fields of a
// definition with every value checked and quoted. Saved filters are XML files.
class TVeFilter
{
public:
    QList<FilterCondition> conditions;
    QString name;

    bool isEmpty() const { return conditions.isEmpty(); }
    // "(Ana.sAnaCognome LIKE 'ROSS%' ESCAPE '\') AND (Acb.dStart >= '2024-03-15')";
    // empty text for no conditions; an unknown field or unreadable value is refused.
    Result<QString> toSql(const FilterDefinition &definition) const;

    QString toXml() const;
    static Result<TVeFilter> fromXml(const QString &xml);
    // Written to a temporary name and renamed, so a failed save keeps the old file.
    Status saveToFile(const QString &path) const;
    static Result<TVeFilter> loadFromFile(const QString &path);

    // Italian captions of the operators, for the dialog.
    static QString operatorCaption(FilterOperator op);
    static QList<FilterOperator> operatorsFor(FilterFieldType type);
    // Replaces the filter placeholders of a select: "/*AND VERPTFILTER*/" -> "AND (c)",
    // "/*ONLY VERPTFILTER*/" -> "(c)", "/*OR VERPTFILTER*/" -> "OR (c)", and "/* FILTER */"
    // -> "AND c"; with an empty condition the placeholders stay (they are comments).
    static QString applyToSelect(const QString &select, const QString &condition);
};

} // namespace ccp::fw
