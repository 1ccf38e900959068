#include "AbiUNames.h"

#include <gtest/gtest.h>

using namespace ccp;

namespace {

struct NameRow
{
    const char *label;
    const char16_t *typed;
    const char16_t *normalized;
    const char16_t *key;
};

class NameTable : public ::testing::TestWithParam<NameRow> {};

TEST_P(NameTable, NormalizesAndKeys)
{
    const NameRow &r = GetParam();
    EXPECT_EQ(names::normalize(QString::fromUtf16(r.typed)), QString::fromUtf16(r.normalized));
    EXPECT_EQ(names::searchKey(QString::fromUtf16(r.typed)), QString::fromUtf16(r.key));
}

INSTANTIATE_TEST_SUITE_P(
    ItalianNames, NameTable,
    ::testing::Values(
        NameRow{"accents_folded", u"Nicolò Cantù", u"NICOLO CANTU", u"NICOLOCANTU"},
        NameRow{"apostrophe", u"D'Amico", u"DAMICO", u"DAMICO"},
        NameRow{"typographic_apostrophe", u"Dell\u2019Acqua", u"DELLACQUA", u"DELLACQUA"},
        NameRow{"accent_typed_as_apostrophe", u"Fabbri`", u"FABBRI", u"FABBRI"},
        NameRow{"particle_de", u"De  Luca", u"DE LUCA", u"DELUCA"},
        NameRow{"particle_di_trimmed", u"  di Stefano ", u"DI STEFANO", u"DISTEFANO"},
        NameRow{"double_surname_hyphen", u"Rossi-Bianchi", u"ROSSI-BIANCHI", u"ROSSIBIANCHI"},
        NameRow{"empty", u"", u"", u""},
        NameRow{"only_apostrophes", u" ' ' ", u"", u""}),
    [](const ::testing::TestParamInfo<NameRow> &info) { return std::string(info.param.label); });

TEST(ControlCode, SamePersonTypedThreeWaysHasOneCode)
{
    const QDate birth(1970, 3, 12);
    const int code = names::controlCode(QStringLiteral("D'Amico"), QStringLiteral("Nicolò"), birth);
    EXPECT_EQ(names::controlCode(QStringLiteral("DAMICO"), QStringLiteral("NICOLO"), birth), code);
    EXPECT_EQ(names::controlCode(QStringLiteral("d amico"), QStringLiteral(" nicolo "), birth), code);
    EXPECT_GT(code, 0);
    EXPECT_EQ(names::personKey(QStringLiteral("d amico"), QStringLiteral("Nicolò")), QStringLiteral("DAMICONICOLO"));
}

TEST(ControlCode, OtherDateOrSplitOfTheNameIsAnotherPerson)
{
    const QDate birth(1970, 3, 12);
    const int code = names::controlCode(QStringLiteral("Rossi"), QStringLiteral("Anna"), birth);
    EXPECT_NE(names::controlCode(QStringLiteral("Rossi"), QStringLiteral("Anna"), birth.addDays(1)), code);
    EXPECT_NE(names::controlCode(QStringLiteral("Rossia"), QStringLiteral("Nna"), birth), code)
        << "the same letters split differently between surname and name";
    EXPECT_NE(names::controlCode(QStringLiteral("Anna"), QStringLiteral("Rossi"), birth), code);
}

} // namespace
