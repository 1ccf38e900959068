#include "EbcUExpBanche.h"
#include "RidReader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::directdebit;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

LayoutRow field(const char *type, const char *fill, const char *extra = "", const char *required = "F")
{
    return LayoutRow{QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("1-5"), QStringLiteral("X"),
                     QString::fromLatin1(type), QString::fromLatin1(required), QString::fromLatin1(fill),
                     QString::fromLatin1(extra)};
}

// The shipped layout, as installed in a fresh main directory.
BankLayout shippedLayout(const QString &root)
{
    EXPECT_TRUE(installShippedLayouts(root).ok());
    auto catalogue = loadCatalogue(root);
    EXPECT_TRUE(catalogue.ok()) << qPrintable(catalogue.error());
    auto layout = loadLayout(root, catalogue->first());
    EXPECT_TRUE(layout.ok()) << qPrintable(layout.error());
    return layout.value();
}

DetailRow detail(int payer, qint64 cents, const QString &debtor)
{
    DetailRow r;
    r.abiRicevente = QStringLiteral("07601");
    r.cabRicevente = QStringLiteral("02400");
    r.ccRicevente = QStringLiteral("1234567");
    r.importo = cents;
    r.abiDomiciliataria = QStringLiteral("03069");
    r.cabDomiciliataria = QStringLiteral("01234");
    r.matricola = QString::number(500 + payer);
    r.codDebitore = r.matricola.rightJustified(16, u'0');
    r.creditore = QStringLiteral("Istituto Comprensivo Città di Castello");
    r.debitore = debtor;
    r.indDebitore = QStringLiteral("Via Roma 1");
    r.capDebitore = QStringLiteral("40100");
    r.comDebitore = QStringLiteral("Bologna BO");
    r.causale = QStringLiteral("Prima rata");
    r.dCcaDataScadenza = QDate(2026, 10, 31);
    r.iAnaIdGen = payer;
    return r;
}

} // namespace

TEST(ExportRules, FieldsArePaddedCutAndFilledAsTheirRowSays)
{
    struct Row { const char *name; LayoutRow row; QVariant value; int width; QString expected; };
    const Row rows[] = {
        {"numeric, zero filler", field("N", "0"), 42, 5, QStringLiteral("00042")},
        {"text cut on the right", field("AN", ""), QStringLiteral("ABCDEFG"), 5, QStringLiteral("ABCDE")},
        {"text kept on the right", field("AN", "", "R"), QStringLiteral("ABCDEFG"), 5, QStringLiteral("CDEFG")},
        {"text padded with spaces", field("AN", ""), QStringLiteral("AB"), 5, QStringLiteral("AB   ")},
        {"constant of the field's width", field("F", "50000"), {}, 5, QStringLiteral("50000")},
        {"filler repeated, never cut", field("F", "AB"), {}, 3, QStringLiteral("ABAB")},
        {"date ddmmyy", field("D", "0"), QDate(2010, 3, 5), 6, QStringLiteral("050310")},
        {"date yyyymmdd", field("D8", "0"), QDate(2010, 3, 5), 8, QStringLiteral("20100305")},
        {"date with slashes, left", field("/D", ""), QDate(2010, 3, 5), 12, QStringLiteral("2010/03/05  ")},
        {"empty date padded", field("D", "0"), QDate(), 6, QStringLiteral("000000")},
        {"accented letter and apostrophe", field("AN", ""), QStringLiteral("Città"), 7, QStringLiteral("Citta' ")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(formatField(r.row, r.value, r.width), r.expected);
    }
}

TEST(ExportRules, AFieldThatBreaksItsRuleStopsTheExportWithItsMessage)
{
    QTemporaryDir dir;
    const BankLayout shipped = shippedLayout(dir.path());
    struct Row { const char *name; std::function<void(DetailRow &)> change; QString message; };
    const Row rows[] = {
        {"letters in a numeric field", [](DetailRow &r) { r.abiDomiciliataria = QStringLiteral("03A69"); },
         QStringLiteral("Campo numerico: ABI_DOMICILIATARIA")},
        {"required field empty", [](DetailRow &r) { r.debitore.clear(); }, QStringLiteral("Campo obbligatorio: DEBITORE")},
        {"no debtor street", [](DetailRow &r) { r.indDebitore = QStringLiteral("  "); },
         QStringLiteral("Indirizzo del debitore obbligatorio.")},
        {"postcode not a number", [](DetailRow &r) { r.capDebitore = QStringLiteral("4O100"); },
         QStringLiteral("Cap del debitore deve essere numerico.")},
        {"postcode zero", [](DetailRow &r) { r.capDebitore = QStringLiteral("00000"); },
         QStringLiteral("Cap del debitore deve essere numerico.")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        DetailRow d = detail(1, 5000, QStringLiteral("Rossi Mario"));
        r.change(d);
        auto lines = buildFixedWidthLines(shipped, buildDispositions({d}, QStringLiteral("AB123"), QStringLiteral("RID"),
                                                                     QDate(2026, 10, 1), QDate(2026, 10, 1)));
        ASSERT_FALSE(lines.ok());
        EXPECT_EQ(lines.error(), r.message);
    }

    BankLayout gap = shipped;
    gap.rows[3].pos = QStringLiteral("10-14");   // leaves positions 9 out
    auto lines = buildFixedWidthLines(gap, buildDispositions({detail(1, 5000, QStringLiteral("X"))}, QStringLiteral("AB123"),
                                                             QStringLiteral("RID"), QDate(2026, 10, 1), QDate(2026, 10, 1)));
    ASSERT_FALSE(lines.ok());
    EXPECT_TRUE(lines.error().contains(QStringLiteral("\"10-14\""))) << qPrintable(lines.error());
}

// Walked from the last row back: the payer's disposition carries its last row's descriptions
// and sits where that last row puts it.
TEST(ExportRules, OneDispositionPerPayerWithTheSumOfItsRows)
{
    const QList<DetailRow> rows = {detail(7, 5000, QStringLiteral("Bianchi (prima)")),
                                   detail(9, 1200, QStringLiteral("Verdi")),
                                   detail(7, 3000, QStringLiteral("Bianchi (ultima)"))};
    const auto d = buildDispositions(rows, QStringLiteral("AB123"), QStringLiteral("RID"), QDate(2026, 11, 2),
                                     QDate(2010, 3, 5));
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].data.iAnaIdGen, 9);
    EXPECT_EQ(d[1].data.importo, 8000);
    EXPECT_EQ(d[1].data.iCnt, 2);
    EXPECT_EQ(d[1].data.debitore, QStringLiteral("Bianchi (ultima)"));
    EXPECT_EQ(d[1].details, (QList<int>{0, 2}));
}

TEST(ExportRules, ALayoutWithoutRecord70WritesFiveRecordsPerDisposition)
{
    QTemporaryDir dir;
    BankLayout layout = shippedLayout(dir.path());
    layout.rows.removeIf([](const LayoutRow &r) { return r.record == QLatin1String("70"); });
    const QList<DetailRow> rows = {detail(1, 5000, QStringLiteral("Uno")), detail(2, 3000, QStringLiteral("Due")),
                                   detail(3, 1234, QStringLiteral("Tre"))};
    auto lines = buildFixedWidthLines(layout, buildDispositions(rows, QStringLiteral("AB123"), QStringLiteral("RID"),
                                                                QDate(2026, 10, 1), QDate(2026, 10, 1)));
    ASSERT_TRUE(lines.ok()) << qPrintable(lines.error());
    EXPECT_EQ(lines->size(), 2 + 3 * 5);
    const acbtest::RidFile f = acbtest::readRid(encodeLines(lines.value()),
                                                {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"),
                                                 QStringLiteral("40"), QStringLiteral("50")});
    ASSERT_TRUE(f.error.isEmpty()) << qPrintable(f.error);
    EXPECT_EQ(f.totalCents, 5000 + 3000 + 1234);
    EXPECT_EQ(f.dispositions[2].cents, 1234);
    EXPECT_EQ(f.dispositions[0].debtorCode, QStringLiteral("0000000000000501"));
}

TEST(ExportRules, FileNamesDropWhatAFileNameCannotHold)
{
    struct Row { const char *name; QString nome; QString expected; };
    const Row rows[] = {
        {"plain", QStringLiteral("RID"), QStringLiteral("RID20100305.Txt")},
        {"slash", QStringLiteral("RID/03"), QStringLiteral("RID0320100305.Txt")},
        {"every forbidden one", QStringLiteral("A/\\:*?\"<>|B"), QStringLiteral("AB20100305.Txt")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(exportFileName(QStringLiteral("/x/Banca"), r.nome, QDate(2010, 3, 5)),
                  QStringLiteral("/x/Banca/") + r.expected);
    }
}
