#pragma once
#include "Result.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace ccp::fw {

// A row filter expression such as "dEnd IS NULL", "(lBenEnd is null) or (lBenEnd = 0)" or
// "sName LIKE 'RO%'": IS [NOT] NULL, =, <>, !=, <, >, <=, >=, [NOT] LIKE, AND, OR, NOT,
// parentheses, numbers, quoted strings and field names. Parsed once; evaluated on row values
// and rendered back as an SQL condition whose literals are re-quoted (nothing of the original
// text but field names and operators reaches the server).
class VeExpression
{
public:
    struct Node;
    using FieldReader = std::function<QVariant(const QString &field)>;
    using FieldCheck = std::function<bool(const QString &field)>;

    VeExpression();
    ~VeExpression();
    VeExpression(const VeExpression &other);
    VeExpression &operator=(const VeExpression &other);

    // An empty text gives an empty expression that every row satisfies.
    static Result<VeExpression> parse(const QString &text);

    bool isEmpty() const { return !m_root; }
    const QString &text() const { return m_text; }
    // SQL null logic: a comparison with null is unknown, and unknown rows do not pass.
    bool matches(const FieldReader &row) const;
    // The condition as SQL; `column` maps a field name to its SQL name (default: as written).
    QString toSql(const std::function<QString(const QString &)> &column = {}) const;
    // The field names the expression reads.
    QStringList fields() const;

private:
    std::shared_ptr<const Node> m_root;
    QString m_text;
};

} // namespace ccp::fw
