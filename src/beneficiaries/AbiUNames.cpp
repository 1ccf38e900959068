#include "AbiUNames.h"

namespace ccp::names {

namespace {

bool isApostrophe(QChar c)
{
    switch (c.unicode()) {
    case u'\'':
    case u'`':
    case 0x00B4:   // acute accent typed alone
    case 0x2018:
    case 0x2019:
    case 0x02BC:
        return true;
    default:
        return false;
    }
}

} // namespace

QString normalize(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    bool blank = true;   // drops leading blanks and doubled ones
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing || isApostrophe(c))
            continue;
        if (c.isSpace()) {
            if (!blank)
                out += u' ';
            blank = true;
            continue;
        }
        blank = false;
        out += c.toUpper();
    }
    if (out.endsWith(u' '))
        out.chop(1);
    return out;
}

QString searchKey(const QString &text)
{
    const QString n = normalize(text);
    QString out;
    out.reserve(n.size());
    for (QChar c : n)
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            out += c;
    return out;
}

QString personKey(const QString &surname, const QString &name)
{
    return QString(searchKey(surname) + searchKey(name)).left(120);
}

int controlCode(const QString &surname, const QString &name, const QDate &birth)
{
    // The blank-free keys keep "De Luca" and "DELUCA" together; the separators keep
    // "Rossi Anna" apart from "Rossia Nna".
    const QString text = searchKey(surname) + u'|' + searchKey(name) + u'|'
        + (birth.isValid() ? birth.toString(Qt::ISODate) : QString());
    quint32 h = 2166136261u;
    for (QChar c : text) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    const int code = int(h & 0x7fffffff);
    return code == 0 ? 1 : code;
}

} // namespace ccp::names
