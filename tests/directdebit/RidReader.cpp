#include "RidReader.h"

#include <QDate>

namespace ccp::acbtest {

namespace {

QString at(const QString &line, int from, int to) { return line.mid(from - 1, to - from + 1); }

bool digits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (!c.isDigit())
            return false;
    return true;
}

bool ggmmaa(const QString &s) { return digits(s) && QDate::fromString(s, QStringLiteral("ddMMyy")).isValid(); }

} // namespace

RidFile readRid(const QByteArray &bytes, const QStringList &kinds)
{
    RidFile f;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            f.error = QStringLiteral("byte outside ASCII");
            return f;
        }
    if (!bytes.endsWith("\r\n")) {
        f.error = QStringLiteral("last line without CR LF");
        return f;
    }
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    f.lines = int(lines.size());
    auto bad = [&](int n, const QString &why) {
        f.error = QStringLiteral("line %1: %2 [%3]").arg(n + 1).arg(why, n < lines.size() ? lines[n] : QString());
        return f;
    };
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].size() != 120)
            return bad(i, QStringLiteral("length %1").arg(lines[i].size()));
        if (lines[i].at(0) != u' ')
            return bad(i, QStringLiteral("position 1 not blank"));
    }
    if (lines.size() < 2 || at(lines.first(), 2, 3) != QLatin1String("IR") || at(lines.last(), 2, 3) != QLatin1String("EF"))
        return bad(0, QStringLiteral("no IR ... EF"));
    const QString &ir = lines.first();
    f.sender = at(ir, 4, 8);
    f.creation = at(ir, 14, 19);
    f.name = at(ir, 20, 39);
    if (f.sender.trimmed().isEmpty() || !digits(at(ir, 9, 13)) || !ggmmaa(f.creation) || f.name.trimmed().isEmpty()
        || at(ir, 114, 114) != QLatin1String("E"))
        return bad(0, QStringLiteral("header"));

    const int body = int(lines.size()) - 2;
    if (body % kinds.size() != 0)
        return bad(1, QStringLiteral("incomplete disposition"));
    for (int d = 0; d < body / kinds.size(); ++d) {
        RidDisposition disp;
        for (int k = 0; k < kinds.size(); ++k) {
            const int n = 1 + d * int(kinds.size()) + k;
            const QString &l = lines[n];
            if (at(l, 2, 3) != kinds[k])
                return bad(n, QStringLiteral("record %1 expected").arg(kinds[k]));
            if (at(l, 4, 10) != QString::number(d + 1).rightJustified(7, u'0'))
                return bad(n, QStringLiteral("progressive"));
            if (kinds[k] == QLatin1String("10")) {
                disp.dueDate = at(l, 23, 28);
                disp.debtorAbi = at(l, 70, 74);
                disp.debtorCab = at(l, 75, 79);
                disp.debtorCode = at(l, 98, 113);
                if (!ggmmaa(disp.dueDate) || at(l, 29, 33) != QLatin1String("50000") || !digits(at(l, 34, 46))
                    || at(l, 47, 47) != QLatin1String("-") || !digits(at(l, 48, 52)) || !digits(at(l, 53, 57))
                    || !digits(at(l, 58, 69)) || !digits(disp.debtorAbi) || !digits(disp.debtorCab)
                    || at(l, 92, 96) != f.sender || at(l, 97, 97) != QLatin1String("2")
                    || disp.debtorCode.trimmed().isEmpty() || at(l, 120, 120) != QLatin1String("E"))
                    return bad(n, QStringLiteral("record 10"));
                disp.cents = at(l, 34, 46).toLongLong();
            } else if (kinds[k] == QLatin1String("20") || kinds[k] == QLatin1String("30")) {
                if (at(l, 11, 40).trimmed().isEmpty() || !at(l, 101, 120).trimmed().isEmpty())
                    return bad(n, QStringLiteral("description"));
                if (kinds[k] == QLatin1String("30"))
                    disp.debtor = at(l, 11, 40).trimmed();
            } else if (kinds[k] == QLatin1String("40")) {
                disp.street = at(l, 11, 40).trimmed();
                disp.cap = at(l, 41, 45);
                disp.municipality = at(l, 46, 70).trimmed();
                if (disp.street.isEmpty() || !digits(disp.cap) || disp.municipality.isEmpty())
                    return bad(n, QStringLiteral("address"));
            } else if (kinds[k] == QLatin1String("50")) {
                disp.reason = at(l, 11, 100).trimmed();
                if (at(l, 11, 55).trimmed().isEmpty())
                    return bad(n, QStringLiteral("reason"));
            }
        }
        f.dispositions << disp;
    }
    const QString &ef = lines.last();
    if (at(ef, 4, 39) != at(ir, 4, 39) || !digits(at(ef, 46, 52)) || !digits(at(ef, 53, 67))
        || at(ef, 68, 82) != QString(15, u'0') || !digits(at(ef, 83, 89)) || at(ef, 114, 114) != QLatin1String("E"))
        return bad(int(lines.size()) - 1, QStringLiteral("trailer"));
    if (at(ef, 46, 52).toInt() != f.dispositions.size())
        return bad(int(lines.size()) - 1, QStringLiteral("number of dispositions"));
    if (at(ef, 83, 89).toInt() != f.lines)
        return bad(int(lines.size()) - 1, QStringLiteral("number of records"));
    f.totalCents = at(ef, 53, 67).toLongLong();
    return f;
}

} // namespace ccp::acbtest
