#pragma once
#include <QString>
#include <QList>
#include <QStringList>
#include <utility>

// Small readers of SQL statement text: they skip quoted strings and comments, so a colon or
// a keyword inside a literal is never taken for a parameter or a clause.
namespace ccp::fw::VeSql {

// The named parameters of `sql` as written (":iCauId" gives "iCauId"), each once, in order
// of first appearance; names differing only in case are kept apart (each is bound).
QStringList parameterNames(const QString &sql);

// The table a statement writes, upper case: INSERT INTO x, UPDATE x, DELETE FROM x,
// EXECUTE PROCEDURE x (the procedure's name), MERGE INTO x; empty when none.
QString statementTable(const QString &sql);

// The first table of the top-level FROM clause of a select, upper case.
QString selectTable(const QString &sql);

// Position of the top-level trailing ORDER BY (-1 when none) and its item list.
int orderByPosition(const QString &sql);
QStringList orderByItems(const QString &sql);
// `sql` without its top-level trailing ORDER BY clause.
QString withoutOrderBy(const QString &sql);

// The expressions of the top-level select list, in order, without their aliases
// ("Cau.sCauLDesc || 'x' AS sDesc" gives "Cau.sCauLDesc || 'x'"); "*" items stay as they are.
QStringList selectListExpressions(const QString &sql);
// The select list as (expression, output name) pairs; the name is the alias, or the column's
// own name for a plain column, or empty for an unnamed expression.
QList<std::pair<QString, QString>> selectList(const QString &sql);

// True for a single select without DISTINCT, FIRST/SKIP, GROUP BY, HAVING, UNION, PLAN,
// ORDER BY or row limits: conditions can then be added to its WHERE and an order appended.
bool isPlainSelect(const QString &sql);
// A plain select with `condition` added to its top-level WHERE (or given one).
QString withCondition(const QString &sql, const QString &condition);
// A plain select whose select list is replaced by `list` ("COUNT(*)").
QString withSelectList(const QString &sql, const QString &list);

// Replaces every ##WHERE## slot with "(condition)"; an empty condition becomes "(1=1)".
QString fillWhere(const QString &sql, const QString &condition);

// A text literal with its quotes doubled: O'Neil -> 'O''Neil'.
QString quoted(const QString &text);
// Escapes the LIKE wildcards (%, _) and the escape character itself with a backslash,
// for use with ESCAPE '\'.
QString likeEscaped(const QString &text);

// True when `name` is a plain identifier (letters, digits, _ and $, not starting with a digit),
// optionally qualified once ("Cau.sCauLDesc").
bool isIdentifier(const QString &name);

} // namespace ccp::fw::VeSql
