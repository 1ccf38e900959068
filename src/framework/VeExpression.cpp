#include "VeExpression.h"
#include "VeSql.h"

#include <QDate>
#include <QRegularExpression>

namespace ccp::fw {

struct VeExpression::Node
{
    enum Kind { Or, And, Not, IsNull, IsNotNull, Compare, Like, NotLike, Field, Number, Text, Null };
    Kind kind;
    QString text;  // field name, literal text, comparison operator
    std::shared_ptr<const Node> a;
    std::shared_ptr<const Node> b;
};

namespace {

using NodePtr = std::shared_ptr<const VeExpression::Node>;
using Node = VeExpression::Node;

enum class Truth { False, True, Unknown };

struct Lex
{
    enum Type { End, Ident, Number, String, Op, LParen, RParen };
    Type type = End;
    QString text;
};

class Parser
{
public:
    explicit Parser(const QString &text) : m_text(text) { advance(); }

    Result<NodePtr> parse()
    {
        auto e = parseOr();
        if (!m_error.isEmpty())
            return Result<NodePtr>::failure(m_error);
        if (m_tok.type != Lex::End)
            return Result<NodePtr>::failure(errorAt());
        return e;
    }

private:
    QString errorAt() const
    {
        return QStringLiteral("Espressione di filtro non valida vicino a \"%1\": %2")
            .arg(m_tok.text, m_text);
    }
    void fail()
    {
        if (m_error.isEmpty())
            m_error = errorAt();
    }
    bool isKeyword(const char *kw) const
    {
        return m_tok.type == Lex::Ident && m_tok.text.compare(QLatin1String(kw), Qt::CaseInsensitive) == 0;
    }

    void advance()
    {
        const int n = int(m_text.size());
        while (m_pos < n && m_text.at(m_pos).isSpace())
            ++m_pos;
        m_tok = Lex{};
        if (m_pos >= n)
            return;
        const QChar c = m_text.at(m_pos);
        if (c.isLetter() || c == u'_') {
            const int start = m_pos;
            while (m_pos < n && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == u'_'
                                 || m_text.at(m_pos) == u'.' || m_text.at(m_pos) == u'$'))
                ++m_pos;
            m_tok = {Lex::Ident, m_text.mid(start, m_pos - start)};
        } else if (c.isDigit() || (c == u'-' && m_pos + 1 < n && m_text.at(m_pos + 1).isDigit())) {
            const int start = m_pos++;
            while (m_pos < n && (m_text.at(m_pos).isDigit() || m_text.at(m_pos) == u'.'))
                ++m_pos;
            m_tok = {Lex::Number, m_text.mid(start, m_pos - start)};
        } else if (c == u'\'') {
            QString s;
            ++m_pos;
            bool closed = false;
            while (m_pos < n) {
                if (m_text.at(m_pos) == u'\'') {
                    if (m_pos + 1 < n && m_text.at(m_pos + 1) == u'\'') {
                        s += u'\'';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    closed = true;
                    break;
                }
                s += m_text.at(m_pos++);
            }
            m_tok = {Lex::String, s};
            if (!closed) {
                m_tok = {Lex::Op, QStringLiteral("'")};
                fail();
            }
        } else if (c == u'(') {
            ++m_pos;
            m_tok = {Lex::LParen, QStringLiteral("(")};
        } else if (c == u')') {
            ++m_pos;
            m_tok = {Lex::RParen, QStringLiteral(")")};
        } else {
            static const QStringList ops = {QStringLiteral("<>"), QStringLiteral("!="), QStringLiteral("<="),
                                            QStringLiteral(">="), QStringLiteral("="), QStringLiteral("<"),
                                            QStringLiteral(">")};
            for (const QString &op : ops) {
                if (m_text.mid(m_pos, op.size()) == op) {
                    m_pos += int(op.size());
                    m_tok = {Lex::Op, op == QLatin1String("!=") ? QStringLiteral("<>") : op};
                    return;
                }
            }
            m_tok = {Lex::Op, QString(c)};
            ++m_pos;
            fail();
        }
    }

    NodePtr parseOr()
    {
        NodePtr left = parseAnd();
        while (m_error.isEmpty() && isKeyword("OR")) {
            advance();
            left = std::make_shared<Node>(Node{Node::Or, {}, left, parseAnd()});
        }
        return left;
    }
    NodePtr parseAnd()
    {
        NodePtr left = parseNot();
        while (m_error.isEmpty() && isKeyword("AND")) {
            advance();
            left = std::make_shared<Node>(Node{Node::And, {}, left, parseNot()});
        }
        return left;
    }
    NodePtr parseNot()
    {
        if (isKeyword("NOT")) {
            advance();
            return std::make_shared<Node>(Node{Node::Not, {}, parseNot(), {}});
        }
        return parsePredicate();
    }
    NodePtr parseOperand()
    {
        NodePtr n;
        if (m_tok.type == Lex::Number) {
            n = std::make_shared<Node>(Node{Node::Number, m_tok.text, {}, {}});
        } else if (m_tok.type == Lex::String) {
            n = std::make_shared<Node>(Node{Node::Text, m_tok.text, {}, {}});
        } else if (isKeyword("NULL")) {
            n = std::make_shared<Node>(Node{Node::Null, {}, {}, {}});
        } else if (m_tok.type == Lex::Ident && !isKeyword("AND") && !isKeyword("OR") && !isKeyword("NOT")
                   && !isKeyword("IS") && !isKeyword("LIKE")) {
            n = std::make_shared<Node>(Node{Node::Field, m_tok.text, {}, {}});
        } else {
            fail();
            return std::make_shared<Node>(Node{Node::Null, {}, {}, {}});
        }
        advance();
        return n;
    }
    NodePtr parsePredicate()
    {
        if (m_tok.type == Lex::LParen) {
            advance();
            NodePtr inner = parseOr();
            if (m_tok.type != Lex::RParen)
                fail();
            else
                advance();
            return inner;
        }
        NodePtr left = parseOperand();
        if (!m_error.isEmpty())
            return left;
        if (isKeyword("IS")) {
            advance();
            bool negated = false;
            if (isKeyword("NOT")) {
                negated = true;
                advance();
            }
            if (!isKeyword("NULL")) {
                fail();
                return left;
            }
            advance();
            return std::make_shared<Node>(Node{negated ? Node::IsNotNull : Node::IsNull, {}, left, {}});
        }
        bool notLike = false;
        if (isKeyword("NOT")) {
            advance();
            if (!isKeyword("LIKE")) {
                fail();
                return left;
            }
            notLike = true;
        }
        if (isKeyword("LIKE")) {
            advance();
            NodePtr right = parseOperand();
            return std::make_shared<Node>(Node{notLike ? Node::NotLike : Node::Like, {}, left, right});
        }
        if (m_tok.type == Lex::Op) {
            const QString op = m_tok.text;
            advance();
            NodePtr right = parseOperand();
            return std::make_shared<Node>(Node{Node::Compare, op, left, right});
        }
        fail();
        return left;
    }

    QString m_text;
    int m_pos = 0;
    Lex m_tok;
    QString m_error;
};

QVariant operandValue(const Node &n, const VeExpression::FieldReader &row)
{
    switch (n.kind) {
    case Node::Field: return row(n.text);
    case Node::Number: return QVariant(n.text.toDouble());
    case Node::Text: return QVariant(n.text);
    default: return {};
    }
}

bool isNull(const QVariant &v) { return !v.isValid() || v.isNull(); }

bool toNumber(const QVariant &v, double *out)
{
    bool ok = false;
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Double: case QMetaType::Short:
    case QMetaType::UInt: case QMetaType::ULongLong: case QMetaType::Bool: case QMetaType::Float:
        *out = v.toDouble();
        return true;
    default:
        *out = v.toString().trimmed().toDouble(&ok);
        return ok;
    }
}

QDate toDate(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString s = v.toString().trimmed();
    QDate d = QDate::fromString(s, Qt::ISODate);
    if (!d.isValid())
        d = QDate::fromString(s, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(s, QStringLiteral("dd.MM.yyyy"));
    return d;
}

// -1, 0, 1; nullopt when the two values cannot be compared.
std::optional<int> compare(const QVariant &a, const QVariant &b)
{
    const bool aDate = a.typeId() == QMetaType::QDate || a.typeId() == QMetaType::QDateTime;
    const bool bDate = b.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDateTime;
    if (aDate || bDate) {
        const QDate x = toDate(a), y = toDate(b);
        if (!x.isValid() || !y.isValid())
            return std::nullopt;
        return x < y ? -1 : (x == y ? 0 : 1);
    }
    double x = 0, y = 0;
    if (toNumber(a, &x) && toNumber(b, &y))
        return x < y ? -1 : (x == y ? 0 : 1);
    const int c = a.toString().compare(b.toString());
    return c < 0 ? -1 : (c == 0 ? 0 : 1);
}

bool likeMatch(const QString &value, const QString &pattern)
{
    QString rx;
    for (const QChar c : pattern) {
        if (c == u'%')
            rx += QLatin1String(".*");
        else if (c == u'_')
            rx += u'.';
        else
            rx += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(rx),
                              QRegularExpression::DotMatchesEverythingOption)
        .match(value)
        .hasMatch();
}

Truth eval(const Node &n, const VeExpression::FieldReader &row)
{
    switch (n.kind) {
    case Node::Or: {
        const Truth a = eval(*n.a, row), b = eval(*n.b, row);
        if (a == Truth::True || b == Truth::True)
            return Truth::True;
        return (a == Truth::Unknown || b == Truth::Unknown) ? Truth::Unknown : Truth::False;
    }
    case Node::And: {
        const Truth a = eval(*n.a, row), b = eval(*n.b, row);
        if (a == Truth::False || b == Truth::False)
            return Truth::False;
        return (a == Truth::Unknown || b == Truth::Unknown) ? Truth::Unknown : Truth::True;
    }
    case Node::Not: {
        const Truth a = eval(*n.a, row);
        return a == Truth::Unknown ? a : (a == Truth::True ? Truth::False : Truth::True);
    }
    case Node::IsNull: return isNull(operandValue(*n.a, row)) ? Truth::True : Truth::False;
    case Node::IsNotNull: return isNull(operandValue(*n.a, row)) ? Truth::False : Truth::True;
    case Node::Like:
    case Node::NotLike: {
        const QVariant a = operandValue(*n.a, row), b = operandValue(*n.b, row);
        if (isNull(a) || isNull(b))
            return Truth::Unknown;
        const bool m = likeMatch(a.toString(), b.toString());
        return (m == (n.kind == Node::Like)) ? Truth::True : Truth::False;
    }
    case Node::Compare: {
        const QVariant a = operandValue(*n.a, row), b = operandValue(*n.b, row);
        if (isNull(a) || isNull(b))
            return Truth::Unknown;
        const auto c = compare(a, b);
        if (!c)
            return Truth::Unknown;
        bool r = false;
        if (n.text == QLatin1String("="))
            r = *c == 0;
        else if (n.text == QLatin1String("<>"))
            r = *c != 0;
        else if (n.text == QLatin1String("<"))
            r = *c < 0;
        else if (n.text == QLatin1String(">"))
            r = *c > 0;
        else if (n.text == QLatin1String("<="))
            r = *c <= 0;
        else if (n.text == QLatin1String(">="))
            r = *c >= 0;
        return r ? Truth::True : Truth::False;
    }
    default: return Truth::Unknown;
    }
}

QString sql(const Node &n, const std::function<QString(const QString &)> &column)
{
    switch (n.kind) {
    case Node::Or: return u'(' + sql(*n.a, column) + QLatin1String(" OR ") + sql(*n.b, column) + u')';
    case Node::And: return u'(' + sql(*n.a, column) + QLatin1String(" AND ") + sql(*n.b, column) + u')';
    case Node::Not: return QLatin1String("(NOT ") + sql(*n.a, column) + u')';
    case Node::IsNull: return u'(' + sql(*n.a, column) + QLatin1String(" IS NULL)");
    case Node::IsNotNull: return u'(' + sql(*n.a, column) + QLatin1String(" IS NOT NULL)");
    case Node::Like: return u'(' + sql(*n.a, column) + QLatin1String(" LIKE ") + sql(*n.b, column) + u')';
    case Node::NotLike:
        return u'(' + sql(*n.a, column) + QLatin1String(" NOT LIKE ") + sql(*n.b, column) + u')';
    case Node::Compare: return u'(' + sql(*n.a, column) + u' ' + n.text + u' ' + sql(*n.b, column) + u')';
    case Node::Field: return column ? column(n.text) : n.text;
    case Node::Number: return QString::number(n.text.toDouble(), 'g', 17);
    case Node::Text: return VeSql::quoted(n.text);
    case Node::Null: return QStringLiteral("NULL");
    }
    return {};
}

void collectFields(const Node &n, QStringList &out)
{
    if (n.kind == Node::Field && !out.contains(n.text, Qt::CaseInsensitive))
        out << n.text;
    if (n.a)
        collectFields(*n.a, out);
    if (n.b)
        collectFields(*n.b, out);
}

} // namespace

VeExpression::VeExpression() = default;
VeExpression::~VeExpression() = default;
VeExpression::VeExpression(const VeExpression &other) = default;
VeExpression &VeExpression::operator=(const VeExpression &other) = default;

Result<VeExpression> VeExpression::parse(const QString &text)
{
    VeExpression e;
    e.m_text = text.trimmed();
    if (e.m_text.isEmpty())
        return e;
    auto root = Parser(e.m_text).parse();
    if (!root)
        return root.status();
    e.m_root = root.value();
    return e;
}

bool VeExpression::matches(const FieldReader &row) const
{
    return !m_root || eval(*m_root, row) == Truth::True;
}

QString VeExpression::toSql(const std::function<QString(const QString &)> &column) const
{
    return m_root ? sql(*m_root, column) : QString();
}

QStringList VeExpression::fields() const
{
    QStringList out;
    if (m_root)
        collectFields(*m_root, out);
    return out;
}

} // namespace ccp::fw
