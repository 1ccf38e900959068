#include "AbiCBankClass.h"

namespace ccp::abiban {

namespace {

// Weights of the Italian check letter, indexed by the character's value (0-9 for the
// digits, 0-25 for A-Z): characters in odd positions use the first table, in even positions
// their own value.
constexpr int OddWeight[26] = {1,  0,  5,  7,  9,  13, 15, 17, 19, 21, 2,  4,  18,
                               20, 11, 3,  6,  8,  12, 14, 16, 10, 22, 25, 24, 23};

// -1 for a character that adds nothing to the check letter.
int cinValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'Z')
        return u - u'A';
    return -1;
}

Result<QString> padPart(QString &field, quint16 length, const QString &what)
{
    if (field.size() > length)
        return Result<QString>::failure(
            QStringLiteral("Codice %1 \"%2\" non valido: non può superare %3 caratteri.")
                .arg(what, field)
                .arg(length));
    if (field.size() < length)
        field = QString(length - field.size(), u'0') + field;
    return field;
}

} // namespace

Result<QString> TCustomBBAN::GetBank()
{
    if (!m_normalize)
        return m_bank;
    return padPart(m_bank, m_bankLength, QStringLiteral("ABI"));
}

Result<QString> TCustomBBAN::GetBranch()
{
    if (!m_normalize)
        return m_branch;
    return padPart(m_branch, m_branchLength, QStringLiteral("CAB"));
}

Result<QString> TCustomBBAN::GetAccount()
{
    if (!m_normalize)
        return m_account;
    if (m_account.size() > m_accountLength)
        return Result<QString>::failure(
            QStringLiteral("Conto Corrente non può essere di %1 caratteri.").arg(m_accountLength));
    if (m_account.size() < m_accountLength)
        m_account = QString(m_accountLength - m_account.size(), u'0') + m_account;
    m_account = m_account.toUpper();
    return m_account;
}

TItalianBBAN::TItalianBBAN()
{
    m_countryCode = QStringLiteral("IT");
    m_bankLength = 5;
    m_branchLength = 5;
    m_accountLength = 12;
}

Result<QString> TItalianBBAN::GetCheckDgt()
{
    auto bank = GetBank();
    if (!bank)
        return bank;
    auto branch = GetBranch();
    if (!branch)
        return branch;
    auto account = GetAccount();
    if (!account)
        return account;

    int sum = 0;
    int position = 1;
    for (const QString *part : {&bank.value(), &branch.value(), &account.value()}) {
        for (QChar c : *part) {
            const int v = cinValue(c);
            if (v >= 0)
                sum += (position % 2 == 1) ? OddWeight[v] : v;
            ++position;
        }
    }
    m_checkLetter = QChar(u'A' + sum % 26);
    return m_checkLetter;
}

Result<QString> TItalianBBAN::GetBBan()
{
    auto cin = GetCheckDgt();
    if (!cin)
        return cin;
    // The check letter's getters left the parts in the fields (normalised when asked).
    m_bban = *cin + m_bank + m_branch + m_account;
    return m_bban;
}

std::optional<QString> LettersToDigits(QStringView text)
{
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') {
            out += c;
        } else if (u >= u'A' && u <= u'Z') {
            const int v = u - u'A' + 10;
            out += QChar(u'0' + v / 10);
            out += QChar(u'0' + v % 10);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

int Mod97(QStringView digits)
{
    // Each step reads a number of at most nine digits: the previous remainder (not written
    // when 0) followed by as many new digits as fit.
    int remainder = 0;
    qsizetype pos = 0;
    const qsizetype n = digits.size();
    while (pos < n) {
        qint64 value = remainder;
        int used = remainder == 0 ? 0 : (remainder < 10 ? 1 : 2);
        while (used < 9 && pos < n) {
            const char16_t u = digits[pos].unicode();
            if (u < u'0' || u > u'9')
                return -1;
            value = value * 10 + (u - u'0');
            ++used;
            ++pos;
        }
        remainder = int(value % 97);
    }
    return remainder;
}

Result<QString> TIBAN::GetIBan()
{
    Q_ASSERT_X(m_domestic, "abi-inventario\\src\\abiban\\abiban_bpl\\AbiCBankClass",
               "Assertion failure");
    if (!m_domestic)
        return Result<QString>::failure(QStringLiteral("Assertion failure"));

    auto bban = m_domestic->BBan();
    if (!bban)
        return bban;
    const QString &country = m_domestic->CountryCode();
    const auto digits = LettersToDigits(QString(*bban + country + QStringLiteral("00")));
    if (!digits) {
        QChar bad;
        const QString scanned = *bban + country;
        for (QChar c : scanned) {
            if (!(c.unicode() >= u'0' && c.unicode() <= u'9')
                && !(c.unicode() >= u'A' && c.unicode() <= u'Z')) {
                bad = c;
                break;
            }
        }
        return Result<QString>::failure(
            QStringLiteral("Coordinate bancarie non valide: il carattere \"%1\" non è ammesso.")
                .arg(bad));
    }
    const int check = 98 - Mod97(*digits);
    m_checkDigits = QString::number(check).rightJustified(2, u'0');
    m_iban = country + m_checkDigits + *bban;
    return m_iban;
}

} // namespace ccp::abiban
