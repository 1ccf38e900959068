#pragma once
#include <QList>
#include <QString>
#include <QVariantMap>

namespace ccp::fw {

// A column of a search window or lookup: the select's field at that position, how the window
// shows it and whether the typed text is searched in it.
struct SearchColumn
{
    QString field;        // name of the select's output column ("sCauLDesc")
    QString title;        // "Descrizione"
    bool searchable = false;
    bool visible = true;
    int width = -1;       // pixels; -1 lets the window choose
    QString expression;   // SQL expression to search in; empty: taken from the select list

    static SearchColumn make(const QString &field, const QString &title, bool searchable, int width,
                             bool visible = true, const QString &expression = {})
    {
        return SearchColumn{field, title, searchable, visible, width, expression};
    }
};

// The condition put into a select's ##WHERE## slot, with the values it binds.
struct SearchCondition
{
    QString sql;          // "(1=1)" when there is nothing to search
    QVariantMap params;   // bound values: typed text never enters the SQL text
};

namespace VeSearch {

// Rows whose searchable columns contain `text` (case-insensitive):
// "(UPPER(expr1) LIKE :VESEARCH ESCAPE '\' OR UPPER(expr2) LIKE :VESEARCH ESCAPE '\')"
// with :VESEARCH = "%TEXT%" (wildcards in the text escaped). The expressions come from the
// column or, by position, from the select list of `select`.
SearchCondition contains(const QString &select, const QList<SearchColumn> &columns, const QString &text);
// The row whose `expression` equals `value` (a code typed in a lookup): "(expr = :VECODE)".
SearchCondition equals(const QString &expression, const QVariant &value);
// The same as `contains` with the text written as a quoted literal (quotes doubled,
// wildcards escaped), for statement texts that cannot take parameters.
QString containsLiteral(const QList<QString> &expressions, const QString &text);
// The SQL expression behind output column `field` of `select` (its select-list item without
// alias), or `field` itself when not found.
QString expressionOf(const QString &select, const QString &field);

} // namespace VeSearch
} // namespace ccp::fw
