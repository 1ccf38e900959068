#include "AbiCBankClass.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace ccp::abiban;

namespace {

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
