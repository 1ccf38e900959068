#include "SqlScript.h"
#include "SqlQuery.h"

#include <QRegularExpression>

namespace ccp::SqlScript {

QStringList split(const QString &script)
{
    QStringList out;
    QString term = QStringLiteral(";");
    QString current;
    const int n = script.size();
    int i = 0;
    auto flush = [&] {
        const QString s = current.trimmed();
        current.clear();
        if (s.isEmpty())
            return;
        static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto m = setTerm.match(s);
        if (m.hasMatch()) {
            term = m.captured(1);
            return;
        }
        out << s;
    };
    while (i < n) {
        const QChar c = script[i];
        if (c == u'-' && i + 1 < n && script[i + 1] == u'-') {
            while (i < n && script[i] != u'\n')
                ++i;
            continue;
        }
        if (c == u'/' && i + 1 < n && script[i + 1] == u'*') {
            const int end = script.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            current += u' ';
            continue;
        }
        if (c == u'\'' || c == u'"') {
            int j = i + 1;
            while (j < n) {
                if (script[j] == c) {
                    if (j + 1 < n && script[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            current += QStringView(script).mid(i, qMin(j + 1, n) - i);
            i = j + 1;
            continue;
        }
        if (QStringView(script).mid(i).startsWith(term)) {
            // A "SET TERM x <old>" line ends with the old terminator too.
            flush();
            i += term.size();
            continue;
        }
        current += c;
        ++i;
    }
    flush();
    return out;
}

Status run(QSqlDatabase db, const QString &script, const std::function<void(int, int)> &progress)
{
    const QStringList statements = split(script);
    int done = 0;
    for (const QString &stmt : statements) {
        SqlQuery q(db);
        if (auto s = q.execDirect(stmt); !s) {
            const QString first = stmt.section(u'\n', 0, 0).left(120);
            return Status::failure(QStringLiteral("%1\r\n(istruzione: %2)").arg(s.error(), first));
        }
        ++done;
        if (progress && (done % 200 == 0 || done == statements.size()))
            progress(done, int(statements.size()));
    }
    return {};
}

} // namespace ccp::SqlScript
