#include "AbiUIBAN.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace ccp::abiban;

namespace {

// ISO 13616 check written independently: first four characters moved to the end, letters
// as 10..35, the whole number must leave 1 when divided by 97 (digit by digit here).
bool iso13616Valid(const QString &iban)
{
    const QString moved = iban.mid(4) + iban.left(4);
    int r = 0;
    for (QChar c : moved) {
        if (c.isDigit()) {
            r = (r * 10 + c.digitValue()) % 97;
        } else if (c >= u'A' && c <= u'Z') {
            r = (r * 100 + (c.unicode() - u'A' + 10)) % 97;
        } else {
            return false;
        }
    }
    return r == 1;
}

QString randomDigits(QRandomGenerator &rng, int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QChar(u'0' + rng.bounded(10));
    return s;
}

} // namespace

TEST(BuildIBAN, PadsPartsAndLeavesThemInTheCalculator)
{
    ASSERT_TRUE(CheckIBAN(QStringLiteral("IT60X0542811101000000123456")));
    const auto iban = BuildIBAN(QStringLiteral("1234"), QStringLiteral("5678"), QStringLiteral("1000000"));
    ASSERT_TRUE(iban.ok()) << qPrintable(iban.error());
    EXPECT_EQ(*iban, QStringLiteral("IT93S0123405678000001000000"));
    EXPECT_FALSE(IBANCalculator().Valid()); // building clears the flag of the previous check
    EXPECT_EQ(IBANCalculator().CheckDigits(), QStringLiteral("93"));
    EXPECT_TRUE(CheckIBAN(*iban));
}

TEST(BuildIBAN, RefusesWhatCannotBeNormalised)
{
    struct Row
    {
        const char *name, *abi, *cab, *account, *error;
    };
    const Row rows[] = {
        {"account of 13", "1234", "5678", "1234567890123", "Conto Corrente non può essere di 12 caratteri."},
        {"ABI of 6", "012345", "5678", "1", "Codice ABI \"012345\" non valido: non può superare 5 caratteri."},
        {"CAB of 6", "1234", "056789", "1", "Codice CAB \"056789\" non valido: non può superare 5 caratteri."},
        {"blank in account", "1234", "5678", "12 34", "Coordinate bancarie non valide: il carattere \" \" non è ammesso."},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const auto iban = BuildIBAN(QString::fromLatin1(r.abi), QString::fromLatin1(r.cab),
                                    QString::fromLatin1(r.account));
        ASSERT_FALSE(iban.ok());
        EXPECT_EQ(iban.error(), QString::fromUtf8(r.error));
    }
}

TEST(CheckIBAN, AcceptsOnlyUpperCaseItalianIbansWithRightCinAndCheckDigits)
{
    struct Row
    {
        const char *name;
        QString text;
        bool valid;
    };
    const Row rows[] = {
        {"padded example", QStringLiteral("IT93S0123405678000001000000"), true},
        {"published example", QStringLiteral("IT60X0542811101000000123456"), true},
        {"letters in account", QStringLiteral("IT40C0306909606CC0010123456"), true},
        {"check digits below 10", QStringLiteral("IT02M0123405678000000000166"), true},
        {"blanks and controls at the ends", QStringLiteral(" \t IT60X0542811101000000123456\r\n"), true},
        {"no-break space at the end", QStringLiteral("IT60X0542811101000000123456\u00A0"), true},
        {"lower case", QStringLiteral("it60x0542811101000000123456"), false},
        {"lower case only in account", QStringLiteral("IT40C0306909606cc0010123456"), false},
        {"lower case in bank", QStringLiteral("IT60X05a2811101000000123456"), false},
        {"blanks inside", QStringLiteral("IT60 X054 2811 1010 0000 0123 456"), false},
        {"one blank inside, right length", QStringLiteral("IT60X0542811101 00000123456"), false},
        {"another country, own digits right", QStringLiteral("SM86U0322509800000000270100"), false},
        {"wrong CIN, check digits right", QStringLiteral("IT40S0542811101000000123456"), false},
        {"wrong check digits", QStringLiteral("IT61X0542811101000000123456"), false},
        {"check digit without leading zero", QStringLiteral("IT2M0123405678000000000166"), false},
        {"empty", QString(), false},
        {"one short", QStringLiteral("IT60X054281110100000012345"), false},
        {"one long", QStringLiteral("IT60X05428111010000001234567"), false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(CheckIBAN(r.text), r.valid);
        EXPECT_EQ(IBANCalculator().Valid(), r.valid);
    }
}

TEST(CheckIBAN, RandomCoordinatesAgreeWithIndependentCheck)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz");
    QRandomGenerator rng(7064);
    int belowTen = 0;
    for (int i = 0; i < 500; ++i) {
        const QString abi = randomDigits(rng, rng.bounded(1, 6));
        const QString cab = randomDigits(rng, rng.bounded(1, 6));
        QString account = randomDigits(rng, rng.bounded(1, 13));
        if (i % 3 == 0) // some accounts carry letters, in either case
            for (int k = 0; k < 3; ++k)
                account[rng.bounded(account.size())] = letters[rng.bounded(letters.size())];
        SCOPED_TRACE(qPrintable(abi + u'/' + cab + u'/' + account));

        const auto built = BuildIBAN(abi, cab, account);
        ASSERT_TRUE(built.ok()) << qPrintable(built.error());
        const QString iban = *built;
        ASSERT_EQ(iban.size(), 27);
        EXPECT_TRUE(iban.startsWith(QStringLiteral("IT")));
        EXPECT_TRUE(iso13616Valid(iban));
        EXPECT_EQ(iban.mid(5, 5), abi.rightJustified(5, u'0'));
        EXPECT_EQ(iban.mid(10, 5), cab.rightJustified(5, u'0'));
        EXPECT_EQ(iban.mid(15), account.rightJustified(12, u'0').toUpper());
        if (iban.at(2) == u'0')
            ++belowTen;
        ASSERT_TRUE(CheckIBAN(iban));

        // Any single changed character is caught.
        for (int pos = 2; pos < 27; pos += 1 + rng.bounded(3)) {
            QString typo = iban;
            const QChar c = typo[pos];
            typo[pos] = c.isDigit() ? QChar(u'0' + (c.digitValue() + 1 + rng.bounded(9)) % 10)
                                    : QChar(c == u'Z' ? u'A' : c.unicode() + 1);
            EXPECT_FALSE(CheckIBAN(typo)) << qPrintable(typo);
        }
    }
    EXPECT_GT(belowTen, 0); // the set covers check digits written with a leading zero
}
