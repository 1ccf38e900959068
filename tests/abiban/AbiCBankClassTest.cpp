#include "AbiCBankClass.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace ccp::abiban;

namespace {

void setParts(TCustomBBAN &b, const char *bank, const char *branch, const char *account)
{
    b.SetBank(QString::fromLatin1(bank));
    b.SetBranch(QString::fromLatin1(branch));
    b.SetAccount(QString::fromLatin1(account));
}

std::unique_ptr<TIBAN> italianCalculator()
{
    auto iban = std::make_unique<TIBAN>();
    auto bban = std::make_unique<TItalianBBAN>();
    bban->SetNormalize(true);
    iban->SetDomesticBBAN(std::move(bban));
    return iban;
}

// Remainder of a long decimal number, one digit at a time: a different route from the
// nine-digit pieces of the code under test.
int slowMod97(const QString &digits)
{
    int r = 0;
    for (QChar c : digits)
        r = (r * 10 + (c.unicode() - u'0')) % 97;
    return r;
}

} // namespace

TEST(TItalianBBAN, NormalisingGettersPadUpperCaseAndStoreBack)
{
    TItalianBBAN b;
    b.SetNormalize(true);
    setParts(b, "1234", "", "ab12");
    EXPECT_EQ(*b.GetBank(), QStringLiteral("01234"));
    EXPECT_EQ(b.Bank(), QStringLiteral("01234"));
    EXPECT_EQ(*b.GetBranch(), QStringLiteral("00000"));
    EXPECT_EQ(*b.GetAccount(), QStringLiteral("00000000AB12"));
    EXPECT_EQ(b.Account(), QStringLiteral("00000000AB12"));
    // Full-length parts are left alone.
    setParts(b, "98765", "43210", "123456789012");
    ASSERT_TRUE(b.GetBBan().ok());
    EXPECT_EQ(b.Bank(), QStringLiteral("98765"));
    EXPECT_EQ(b.Branch(), QStringLiteral("43210"));
    EXPECT_EQ(b.Account(), QStringLiteral("123456789012"));
}

TEST(TItalianBBAN, PartsTooLongAreRefused)
{
    struct Row
    {
        const char *name, *bank, *branch, *account, *error;
    };
    const Row rows[] = {
        {"account of 13", "1", "2", "1234567890123", "Conto Corrente non può essere di 12 caratteri."},
        {"bank of 6", "123456", "2", "3", "Codice ABI \"123456\" non valido: non può superare 5 caratteri."},
        {"branch of 6", "1", "123456", "3", "Codice CAB \"123456\" non valido: non può superare 5 caratteri."},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        TItalianBBAN b;
        b.SetNormalize(true);
        setParts(b, r.bank, r.branch, r.account);
        const auto bban = b.GetBBan();
        ASSERT_FALSE(bban.ok());
        EXPECT_EQ(bban.error(), QString::fromUtf8(r.error));
        EXPECT_TRUE(b.LastBBan().isEmpty());
    }
}

TEST(TItalianBBAN, CheckLetterAndBBanOfKnownCoordinates)
{
    struct Row
    {
        const char *name, *bank, *branch, *account, *bban;
    };
    const Row rows[] = {
        {"short parts padded", "1234", "5678", "1000000", "S0123405678000001000000"},
        {"published example", "05428", "11101", "000000123456", "X0542811101000000123456"},
        {"letters in account", "03069", "09606", "CC0010123456", "C0306909606CC0010123456"},
        {"lower-case account", "7601", "3200", "ab12x", "O07601032000000000AB12X"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        TItalianBBAN b;
        b.SetNormalize(true);
        setParts(b, r.bank, r.branch, r.account);
        const QString expected = QString::fromLatin1(r.bban);
        EXPECT_EQ(*b.CheckDgt(), expected.left(1));
        EXPECT_EQ(b.CheckLetter(), expected.left(1));
        EXPECT_EQ(*b.BBan(), expected);
        EXPECT_EQ(b.LastBBan(), expected);
    }
}

TEST(TIBAN, ComputesCheckDigitsAndStoresThem)
{
    struct Row
    {
        const char *name, *bank, *branch, *account, *iban;
    };
    const Row rows[] = {
        {"short parts padded", "1234", "5678", "1000000", "IT93S0123405678000001000000"},
        {"published example", "5428", "11101", "123456", "IT60X0542811101000000123456"},
        {"check digits 02", "1234", "5678", "166", "IT02M0123405678000000000166"},
        {"check digits 09", "1234", "5678", "31", "IT09Y0123405678000000000031"},
        {"letters in account", "03069", "09606", "cc0010123456", "IT40C0306909606CC0010123456"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const auto calc = italianCalculator();
        TIBAN &iban = *calc;
        setParts(*iban.DomesticBBAN(), r.bank, r.branch, r.account);
        const QString expected = QString::fromLatin1(r.iban);
        const auto got = iban.IBan();
        ASSERT_TRUE(got.ok()) << qPrintable(got.error());
        EXPECT_EQ(*got, expected);
        EXPECT_EQ(got->size(), 27);
        EXPECT_EQ(iban.LastIBan(), expected);
        EXPECT_EQ(iban.CheckDigits(), expected.mid(2, 2));
    }
}

TEST(TIBAN, CharactersOtherThanDigitsAndLettersAreRefused)
{
    struct Row
    {
        const char *name, *bank, *branch, *account;
        char16_t bad;
    };
    const Row rows[] = {
        {"lower case in bank", "0123a", "05678", "1", u'a'},
        {"blank in branch", "1", "05 78", "1", u' '},
        {"dash in account", "1", "2", "12-34", u'-'},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const auto calc = italianCalculator();
        TIBAN &iban = *calc;
        setParts(*iban.DomesticBBAN(), r.bank, r.branch, r.account);
        const auto got = iban.IBan();
        ASSERT_FALSE(got.ok());
        EXPECT_TRUE(got.error().contains(QChar(r.bad))) << qPrintable(got.error());
        EXPECT_TRUE(iban.LastIBan().isEmpty());
    }
}

TEST(Mod97, PiecewiseRemainderMatchesDigitByDigit)
{
    QRandomGenerator rng(20240607);
    for (int i = 0; i < 2000; ++i) {
        const int length = rng.bounded(1, 60);
        QString digits;
        for (int k = 0; k < length; ++k)
            digits += QChar(u'0' + rng.bounded(10));
        ASSERT_EQ(Mod97(digits), slowMod97(digits)) << qPrintable(digits);
    }
    // A zero remainder in the middle is not written in front of the next piece.
    for (const char *d : {"970000000001", "000000000000000000097", "9797979797979797979797", "1"})
        EXPECT_EQ(Mod97(QString::fromLatin1(d)), slowMod97(QString::fromLatin1(d))) << d;
    EXPECT_EQ(Mod97(QStringLiteral("12a4")), -1);
}

TEST(LettersToDigits, LettersBecomeTenToThirtyFive)
{
    EXPECT_EQ(*LettersToDigits(QStringLiteral("A9Z0")), QStringLiteral("109350"));
    EXPECT_FALSE(LettersToDigits(QStringLiteral("a")).has_value());
    EXPECT_FALSE(LettersToDigits(QStringLiteral("1 2")).has_value());
}
