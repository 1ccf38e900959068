#include "TVeSearchCondition.h"
#include "VeSql.h"

namespace ccp::fw::VeSearch {

QString expressionOf(const QString &select, const QString &field)
{
    const QString wanted = field.section(u'.', -1);
    for (const auto &[expr, name] : VeSql::selectList(select))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return expr;
    return field;
}

SearchCondition contains(const QString &select, const QList<SearchColumn> &columns, const QString &text)
{
    SearchCondition out;
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        out.sql = QStringLiteral("(1=1)");
        return out;
    }
    QStringList terms;
    for (const SearchColumn &c : columns) {
        if (!c.searchable)
            continue;
        const QString e = c.expression.isEmpty() ? expressionOf(select, c.field) : c.expression;
        terms << QStringLiteral("UPPER(CAST(%1 AS VARCHAR(1000))) LIKE :VESEARCH ESCAPE '\\'").arg(e);
    }
    if (terms.isEmpty()) {
        out.sql = QStringLiteral("(1=1)");
        return out;
    }
    out.sql = u'(' + terms.join(QStringLiteral(" OR ")) + u')';
    out.params.insert(QStringLiteral("VESEARCH"), QString(u'%' + VeSql::likeEscaped(t.toUpper()) + u'%'));
    return out;
}

SearchCondition equals(const QString &expression, const QVariant &value)
{
    return {QStringLiteral("(%1 = :VECODE)").arg(expression), {{QStringLiteral("VECODE"), value}}};
}

QString containsLiteral(const QList<QString> &expressions, const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || expressions.isEmpty())
        return QStringLiteral("(1=1)");
    const QString lit = VeSql::quoted(u'%' + VeSql::likeEscaped(t.toUpper()) + u'%');
    QStringList terms;
    for (const QString &e : expressions)
        terms << QStringLiteral("UPPER(CAST(%1 AS VARCHAR(1000))) LIKE %2 ESCAPE '\\'").arg(e, lit);
    return u'(' + terms.join(QStringLiteral(" OR ")) + u')';
}

} // namespace ccp::fw::VeSearch
