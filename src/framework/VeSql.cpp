#include "VeSql.h"

#include <QList>

namespace ccp::fw::VeSql {

namespace {

enum class Tok { Word, Param, Punct, String, Quoted };

struct Token
{
    Tok type;
    QString text;  // Word: as written; Param: name without colon
    int pos;
    int end;
    int depth;     // parenthesis depth before the token
};

bool identStart(QChar c) { return c.isLetter() || c == u'_'; }
bool identChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Splits statement text into tokens, skipping comments; strings stay single tokens.
QList<Token> tokens(const QString &sql)
{
    QList<Token> out;
    int depth = 0;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            while (i < n && sql.at(i) != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const int close = int(sql.indexOf(QLatin1String("*/"), i + 2));
            i = close < 0 ? n : close + 2;
        } else if (c == u'\'' || c == u'"') {
            const int start = i++;
            while (i < n) {
                if (sql.at(i) == c) {
                    if (i + 1 < n && sql.at(i + 1) == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out << Token{c == u'\'' ? Tok::String : Tok::Quoted, sql.mid(start, i - start), start, i, depth};
        } else if (c == u':' && i + 1 < n && identStart(sql.at(i + 1))
                   && !(i > 0 && sql.at(i - 1) == u':')) {
            const int start = i++;
            while (i < n && identChar(sql.at(i)))
                ++i;
            out << Token{Tok::Param, sql.mid(start + 1, i - start - 1), start, i, depth};
        } else if (identStart(c)) {
            const int start = i;
            while (i < n && (identChar(sql.at(i)) || (sql.at(i) == u'.' && i + 1 < n && identStart(sql.at(i + 1)))))
                ++i;
            out << Token{Tok::Word, sql.mid(start, i - start), start, i, depth};
        } else if (c.isDigit()) {
            const int start = i;
            while (i < n && (sql.at(i).isLetterOrNumber() || sql.at(i) == u'.'))
                ++i;
            out << Token{Tok::Punct, sql.mid(start, i - start), start, i, depth};
        } else {
            if (c == u')')
                depth = qMax(0, depth - 1);
            out << Token{Tok::Punct, QString(c), i, i + 1, depth};
            if (c == u'(')
                ++depth;
            ++i;
        }
    }
    return out;
}

bool isWord(const Token &t, const char *word)
{
    return t.type == Tok::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

QString tableAfter(const QList<Token> &toks, int from)
{
    for (int i = from; i < toks.size(); ++i) {
        if (toks[i].type == Tok::Word)
            return toks[i].text.toUpper();
        if (toks[i].type == Tok::Quoted)
            return toks[i].text.mid(1, toks[i].text.size() - 2);
    }
    return {};
}

// Index of the token of the top-level trailing "ORDER" of "ORDER BY", -1 when none.
int orderToken(const QList<Token> &toks)
{
    for (int i = int(toks.size()) - 2; i >= 0; --i) {
        if (toks[i].depth == 0 && isWord(toks[i], "ORDER") && isWord(toks[i + 1], "BY"))
            return i;
        if (toks[i].depth == 0 && (isWord(toks[i], "UNION") || isWord(toks[i], "FROM")
                                   || isWord(toks[i], "WHERE")))
            return -1;
    }
    return -1;
}

QStringList splitTopLevel(const QString &sql, const QList<Token> &toks, int first, int last, int end)
{
    // Splits the text from token `first` to token `last` (inclusive) at depth-0 commas;
    // `end` is the text position after the last token.
    QStringList items;
    if (first > last)
        return items;
    const int baseDepth = toks[first].depth;
    int start = toks[first].pos;
    for (int i = first; i <= last; ++i) {
        if (toks[i].type == Tok::Punct && toks[i].text == QLatin1String(",") && toks[i].depth == baseDepth) {
            items << sql.mid(start, toks[i].pos - start).trimmed();
            start = toks[i].end;
        }
    }
    items << sql.mid(start, end - start).trimmed();
    return items;
}

} // namespace

QStringList parameterNames(const QString &sql)
{
    QStringList names;
    for (const Token &t : tokens(sql))
        if (t.type == Tok::Param && !names.contains(t.text))
            names << t.text;
    return names;
}

QString statementTable(const QString &sql)
{
    const auto toks = tokens(sql);
    if (toks.isEmpty())
        return {};
    const Token &first = toks.first();
    if (isWord(first, "UPDATE"))
        return tableAfter(toks, 1);
    for (int i = 1; i < toks.size(); ++i) {
        if ((isWord(first, "INSERT") || isWord(first, "MERGE")) && isWord(toks[i], "INTO"))
            return tableAfter(toks, i + 1);
        if (isWord(first, "DELETE") && isWord(toks[i], "FROM"))
            return tableAfter(toks, i + 1);
        if (isWord(first, "EXECUTE") && isWord(toks[i], "PROCEDURE"))
            return tableAfter(toks, i + 1);
    }
    if (isWord(first, "SELECT"))
        return selectTable(sql);
    return {};
}

QString selectTable(const QString &sql)
{
    const auto toks = tokens(sql);
    for (int i = 0; i < toks.size(); ++i)
        if (toks[i].depth == 0 && isWord(toks[i], "FROM"))
            return tableAfter(toks, i + 1);
    return {};
}

int orderByPosition(const QString &sql)
{
    const auto toks = tokens(sql);
    const int i = orderToken(toks);
    return i < 0 ? -1 : toks[i].pos;
}

QStringList orderByItems(const QString &sql)
{
    const auto toks = tokens(sql);
    const int i = orderToken(toks);
    if (i < 0 || i + 2 >= toks.size())
        return {};
    return splitTopLevel(sql, toks, i + 2, int(toks.size()) - 1, toks.last().end);
}

QString withoutOrderBy(const QString &sql)
{
    const int pos = orderByPosition(sql);
    return pos < 0 ? sql : sql.left(pos).trimmed();
}

QList<std::pair<QString, QString>> selectList(const QString &sql)
{
    QList<std::pair<QString, QString>> out;
    const auto toks = tokens(sql);
    int select = -1;
    for (int i = 0; i < toks.size(); ++i)
        if (isWord(toks[i], "SELECT")) {
            select = i;
            break;
        }
    if (select < 0)
        return out;
    const int depth = toks[select].depth;
    int first = select + 1;
    while (first < toks.size() && (isWord(toks[first], "DISTINCT") || isWord(toks[first], "ALL")))
        ++first;
    int from = -1;
    for (int i = first; i < toks.size(); ++i)
        if (toks[i].depth == depth && isWord(toks[i], "FROM")) {
            from = i;
            break;
        }
    if (from < 0 || from == first)
        return out;
    const QStringList items = splitTopLevel(sql, toks, first, from - 1, toks[from].pos);
    for (QString item : items) {
        const auto it = tokens(item);
        QString name;
        if (it.size() >= 2 && it.last().type == Tok::Word && it.last().depth == 0) {
            const Token &prev = it[it.size() - 2];
            if (isWord(prev, "AS")) {
                name = it.last().text;
                item = item.left(prev.pos).trimmed();
            } else if (prev.type == Tok::Word || prev.type == Tok::String || prev.type == Tok::Quoted
                       || (prev.type == Tok::Punct
                           && (prev.text == QLatin1String(")") || prev.text.at(0).isDigit()))) {
                name = it.last().text;
                item = item.left(it.last().pos).trimmed();
            }
        }
        if (name.isEmpty() && isIdentifier(item))
            name = item.section(u'.', -1);
        out.append({item, name});
    }
    return out;
}

QStringList selectListExpressions(const QString &sql)
{
    QStringList out;
    for (const auto &item : selectList(sql))
        out << item.first;
    return out;
}

bool isPlainSelect(const QString &sql)
{
    const auto toks = tokens(sql);
    if (toks.isEmpty() || !isWord(toks.first(), "SELECT"))
        return false;
    if (toks.size() > 1
        && (isWord(toks[1], "DISTINCT") || isWord(toks[1], "FIRST") || isWord(toks[1], "SKIP")))
        return false;
    bool from = false;
    for (const Token &t : toks) {
        if (t.depth != 0 || t.type != Tok::Word)
            continue;
        for (const char *w : {"GROUP", "HAVING", "UNION", "PLAN", "ORDER", "ROWS", "OFFSET", "FETCH", "WINDOW",
                              "FOR", "WITH"})
            if (isWord(t, w))
                return false;
        from = from || isWord(t, "FROM");
    }
    return from;
}

QString withCondition(const QString &sql, const QString &condition)
{
    if (condition.trimmed().isEmpty())
        return sql;
    for (const Token &t : tokens(sql))
        if (t.depth == 0 && isWord(t, "WHERE"))
            return sql.left(t.end) + QStringLiteral(" (") + sql.mid(t.end).trimmed() + QStringLiteral("\n) AND (")
                   + condition + u')';
    return sql + QStringLiteral(" WHERE ") + condition;
}

QString withSelectList(const QString &sql, const QString &list)
{
    const auto toks = tokens(sql);
    for (const Token &t : toks)
        if (t.depth == 0 && isWord(t, "FROM"))
            return QStringLiteral("SELECT ") + list + u' ' + sql.mid(t.pos);
    return sql;
}

QString fillWhere(const QString &sql, const QString &condition)
{
    const QString c = condition.trimmed().isEmpty() ? QStringLiteral("(1=1)") : u'(' + condition + u')';
    return QString(sql).replace(QLatin1String("##WHERE##"), c);
}

QString quoted(const QString &text)
{
    return u'\'' + QString(text).replace(u'\'', QLatin1String("''")) + u'\'';
}

QString likeEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            out += u'\\';
        out += c;
    }
    return out;
}

bool isIdentifier(const QString &name)
{
    const QStringList parts = name.split(u'.');
    if (parts.size() > 2)
        return false;
    for (const QString &p : parts) {
        if (p.isEmpty() || !identStart(p.at(0)))
            return false;
        for (const QChar c : p)
            if (!identChar(c))
                return false;
    }
    return true;
}

} // namespace ccp::fw::VeSql
