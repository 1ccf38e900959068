#include "ReportLayout.h"
#include "ReportRender.h"
#include "ReportXlsx.h"
#include "ReportTestUtil.h"

#include "Money.h"
#include "TestDatabase.h"

#include <QDate>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace ccp::reports {
namespace {

using test::reportTemplate;

// Rows of (group, description, amount as the database hands it: text).
DataTable amounts(const std::vector<std::tuple<QString, QString, QString>> &rows)
{
    DataTable t({QStringLiteral("sGruppo"), QStringLiteral("sDesc"), QStringLiteral("fImporto")});
    for (const auto &[g, d, a] : rows)
        t.addRow({g, d, a});
    return t;
}

const char *groupedXml = R"(<report id="1" title="Prova">
  <page top="10" bottom="10"/>
  <pageHeader height="10"><text x="0" y="0" w="100" h="5">Intestazione</text></pageHeader>
  <section dataset="frdRighe">
    <columnHeader height="5"><text x="0" y="0" w="100" h="5">Colonne</text></columnHeader>
    <group key='[frdRighe."sGruppo"]'>
      <header height="5"><text x="0" y="0" w="100" h="5">Gruppo [frdRighe."sGruppo"]</text></header>
      <footer height="5"><text x="0" y="0" w="100" h="5">Totale [frdRighe."sGruppo"]: [SUM(frdRighe."fImporto")] su [COUNT(frdRighe)]</text></footer>
    </group>
    <detail height="5"><text x="0" y="0" w="100" h="5">Riga [frdRighe."sDesc"] [frdRighe."fImporto"|money]</text></detail>
  </section>
  <summary height="5"><text x="0" y="0" w="100" h="5">Totale generale: [SUM(frdRighe."fImporto")]</text></summary>
  <pageFooter height="10">
    <text x="0" y="0" w="100" h="5">Totale pagina: [SUM(frdRighe."fImporto")]</text>
    <text x="100" y="0" w="80" h="5">Pagina [PAGE] di [PAGES]</text>
  </pageFooter>
</report>)";

Result<PageList> lay(const char *xml, SqlDataModule &data)
{
    PageList pages;
    auto tpl = reportTemplate(xml);
    if (!tpl)
        return Result<PageList>::failure(tpl.error());
    if (auto s = layoutReport(tpl.value(), data, pages); !s)
        return Result<PageList>::failure(s.error());
    return pages;
}

QStringList allTexts(const PageList &pages)
{
    QStringList out;
    for (int i = 0; i < pages.count(); ++i)
        out << pages.pageTexts(i);
    return out;
}

TEST(ReportEngine, GroupAndReportSumsAreExactToTheCent)
{
    SqlDataModule data;
    data.setTable(QStringLiteral("frdRighe"), amounts({
        {QStringLiteral("A"), QStringLiteral("a1"), QStringLiteral("0.1000")},
        {QStringLiteral("A"), QStringLiteral("a2"), QStringLiteral("0.1000")},
        {QStringLiteral("A"), QStringLiteral("a3"), QStringLiteral("0.1000")},
        {QStringLiteral("B"), QStringLiteral("b1"), QStringLiteral("1234567.8900")},
        {QStringLiteral("B"), QStringLiteral("b2"), QStringLiteral("0.1100")},
        {QStringLiteral("C"), QStringLiteral("c1"), QStringLiteral("-5.0500")},
    }));
    auto pages = lay(groupedXml, data);
    ASSERT_TRUE(pages) << qPrintable(pages.error());
    const QStringList texts = allTexts(pages.value());
    EXPECT_TRUE(texts.contains(QStringLiteral("Totale A: 0,30 su 3")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Totale B: 1.234.568,00 su 2")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Totale C: -5,05 su 1")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Totale generale: 1.234.563,25")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Riga b1 1.234.567,89")));
    // Footers follow their group's last row, headers come before its first.
    const int lastA = int(texts.indexOf(QStringLiteral("Riga a3 0,10")));
    EXPECT_EQ(texts.indexOf(QStringLiteral("Totale A: 0,30 su 3")), lastA + 1);
    EXPECT_EQ(texts.indexOf(QStringLiteral("Gruppo B")), lastA + 2);
}

TEST(ReportEngine, PageBreaksKeepRowsWholeRepeatHeadersAndCountPages)
{
    // 150 rows in two groups with amounts of 0,01 .. 1,50; each row is a 5 mm band.
    std::vector<std::tuple<QString, QString, QString>> rows;
    qint64 expectedCents = 0;
    for (int i = 1; i <= 150; ++i) {
        rows.emplace_back(i <= 70 ? QStringLiteral("A") : QStringLiteral("B"), QString::number(i),
                          Money::fromCents(i).toSqlExact());
        expectedCents += i;
    }
    SqlDataModule data;
    data.setTable(QStringLiteral("frdRighe"), amounts(rows));
    auto result = lay(groupedXml, data);
    ASSERT_TRUE(result) << qPrintable(result.error());
    const PageList &pages = result.value();
    ASSERT_GT(pages.count(), 2);

    QSet<QString> seen;
    qint64 pageSumCents = 0;
    const double bottom = 297 - 10 - 10;
    for (int p = 0; p < pages.count(); ++p) {
        const QStringList texts = pages.pageTexts(p);
        SCOPED_TRACE(p);
        EXPECT_EQ(texts.first(), QStringLiteral("Intestazione"));
        EXPECT_EQ(texts.at(1), QStringLiteral("Colonne"));
        EXPECT_TRUE(texts.contains(QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(pages.count())));
        // The page sum equals the sum of the rows shown on the page.
        qint64 shownCents = 0;
        for (const QString &t : texts) {
            if (t.startsWith(QLatin1String("Riga "))) {
                const QString id = t.section(u' ', 1, 1);
                EXPECT_FALSE(seen.contains(id)) << qPrintable(id);
                seen.insert(id);
                shownCents += id.toInt();
            }
        }
        EXPECT_TRUE(texts.contains(QStringLiteral("Totale pagina: ") + Money::fromCents(shownCents).toList()));
        pageSumCents += shownCents;
        for (const PlacedItem &it : pages.pages[size_t(p)].items) {
            if (pages.text(it).startsWith(QLatin1String("Riga "))) {
                EXPECT_LE(it.rect.bottom(), bottom + 1e-6);
            }
        }
    }
    EXPECT_EQ(seen.size(), 150);
    EXPECT_EQ(pageSumCents, expectedCents);
    EXPECT_TRUE(allTexts(pages).contains(QStringLiteral("Totale generale: ") + Money::fromCents(expectedCents).toList()));
}

TEST(ReportEngine, GroupHeaderIsNotLeftAloneAtThePageBottom)
{
    // After 47 rows of the first group and its footer, the second group's header would be
    // the last band of the first page: it moves to the next page with its first row.
    std::vector<std::tuple<QString, QString, QString>> rows;
    for (int i = 1; i <= 60; ++i)
        rows.emplace_back(i <= 47 ? QStringLiteral("A") : QStringLiteral("B"), QString::number(i), QStringLiteral("1"));
    SqlDataModule data;
    data.setTable(QStringLiteral("frdRighe"), amounts(rows));
    auto result = lay(groupedXml, data);
    ASSERT_TRUE(result) << qPrintable(result.error());
    const PageList &pages = result.value();
    EXPECT_FALSE(pages.pageTexts(0).contains(QStringLiteral("Gruppo B")));
    const QStringList second = pages.pageTexts(1);
    const int header = int(second.indexOf(QStringLiteral("Gruppo B")));
    ASSERT_GE(header, 0);
    EXPECT_EQ(second.value(header + 1), QStringLiteral("Riga 48 1,00"));
}

// A detail data set answered per master row, recording the masters it was opened for.
class MasterDetail : public SqlDataModule
{
public:
    QStringList openedFor;
    Result<DataTable> open(const QString &ds, const MasterRows &masters) override
    {
        if (ds != QLatin1String("frddetail"))
            return SqlDataModule::open(ds, masters);
        const QString cau = masters.back().table->value(masters.back().row, QStringLiteral("iCauId")).toString();
        openedFor << cau;
        DataTable t({QStringLiteral("sComp"), QStringLiteral("fImp")});
        for (int i = 1; i <= cau.toInt(); ++i)
            t.addRow({QStringLiteral("%1.%2").arg(cau).arg(i), QStringLiteral("2.5")});
        return t;
    }
};

TEST(ReportEngine, DetailIsOpenedAgainForEveryMasterRow)
{
    const char *xml = R"(<report id="2" title="Causali">
      <section dataset="frdCau">
        <detail height="6"><text x="0" y="0" w="100" h="5">Causale [frdCau."iCauId"]</text></detail>
        <section dataset="frdDetail">
          <detail height="5"><text x="5" y="0" w="100" h="5">comp [frdDetail."sComp"]</text></detail>
          <footer height="5"><text x="5" y="0" w="100" h="5">tot [frdCau."iCauId"] [SUM(frdDetail."fImp")]</text></footer>
          <empty height="5"><text x="5" y="0" w="100" h="5">nessuna componente</text></empty>
        </section>
      </section>
      <summary height="5"><text x="0" y="0" w="100" h="5">[SUM(frdDetail."fImp")] in [COUNT(frdDetail)]</text></summary>
    </report>)";
    MasterDetail data;
    DataTable cau({QStringLiteral("iCauId")});
    for (int id : {2, 0, 3})
        cau.addRow({id});
    data.setTable(QStringLiteral("frdCau"), cau);
    auto pages = lay(xml, data);
    ASSERT_TRUE(pages) << qPrintable(pages.error());
    EXPECT_EQ(data.openedFor, (QStringList{QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("3")}));
    EXPECT_EQ(allTexts(pages.value()), (QStringList{
        QStringLiteral("Causale 2"), QStringLiteral("comp 2.1"), QStringLiteral("comp 2.2"), QStringLiteral("tot 2 5,00"),
        QStringLiteral("Causale 0"), QStringLiteral("nessuna componente"),
        QStringLiteral("Causale 3"), QStringLiteral("comp 3.1"), QStringLiteral("comp 3.2"), QStringLiteral("comp 3.3"),
        QStringLiteral("tot 3 7,50"), QStringLiteral("12,50 in 5")}));
}

TEST(ReportEngine, DetailQueryTakesItsParameterFromTheMasterRow)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    const char *xml = R"(<report id="3" title="Doppi">
      <section dataset="frdNum">
        <section dataset="frdDoppio">
          <detail height="5"><text x="0" y="0" w="100" h="5">[frdNum."iNum"] x 2 = [frdDoppio."iDoppio"]</text></detail>
        </section>
      </section>
    </report>)";
    SqlDataModule data(t.db());
    data.setQuery(QStringLiteral("frdNum"), QStringLiteral(
        "SELECT 1 AS iNum FROM RDB$DATABASE UNION ALL SELECT 21 FROM RDB$DATABASE"));
    data.setQuery(QStringLiteral("frdDoppio"), QStringLiteral(
        "SELECT CAST(:iNum AS INTEGER) * 2 AS iDoppio FROM RDB$DATABASE"));
    auto pages = lay(xml, data);
    ASSERT_TRUE(pages) << qPrintable(pages.error());
    EXPECT_EQ(allTexts(pages.value()), (QStringList{QStringLiteral("1 x 2 = 2"), QStringLiteral("21 x 2 = 42")}));

    // A parameter that neither the report nor a master row gives is named.
    data.setQuery(QStringLiteral("frdDoppio"), QStringLiteral("SELECT :iAltro AS x FROM RDB$DATABASE"));
    auto missing = lay(xml, data);
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().contains(QStringLiteral(":iAltro"))) << qPrintable(missing.error());
}

TEST(ReportEngine, FormatsOfValues)
{
    struct Row
    {
        const char *name;
        QVariant value;
        Format format;
        QString expected;
    };
    const Row rows[] = {
        {"money from database text", QStringLiteral("1234567.8900"), Format::Money, QStringLiteral("1.234.567,89")},
        {"money negative", QStringLiteral("-0.0500"), Format::Money, QStringLiteral("-0,05")},
        {"money null", QVariant(), Format::Money, QString()},
        {"money value", QVariant::fromValue(Money::fromCents(1050)), Format::Plain, QStringLiteral("10,50")},
        {"date", QDate(2026, 3, 1), Format::Date, QStringLiteral("01/03/2026")},
        {"date from text", QStringLiteral("2026-12-31"), Format::Date, QStringLiteral("31/12/2026")},
        {"plain date", QDate(2026, 9, 1), Format::Plain, QStringLiteral("01/09/2026")},
        {"integer", QStringLiteral("42"), Format::Integer, QStringLiteral("42")},
    };
    for (const Row &r : rows)
        EXPECT_EQ(formatValue(r.value, r.format), r.expected) << r.name;
}

TEST(ReportEngine, MistakesInTemplatesAreNamed)
{
    struct Row
    {
        const char *name;
        const char *xml;
        const char *expected;
    };
    const Row rows[] = {
        {"missing field",
         R"(<report title="X"><section dataset="frdRighe"><detail height="5"><text x="0" y="0" w="9" h="5">[frdRighe."sNonCe"]</text></detail></section></report>)",
         "Il campo \"sNonCe\" non esiste nel data set \"frdrighe\""},
        {"data set not open",
         R"(<report title="X"><summary height="5"><text x="0" y="0" w="9" h="5">[frdAltro."x"]</text></summary></report>)",
         "\"frdaltro\" non è aperto"},
        {"unknown variable",
         R"(<report title="X"><summary height="5"><text x="0" y="0" w="9" h="5">[Anno scolastico]</text></summary></report>)",
         "La variabile [Anno scolastico]"},
        {"unknown element",
         "<report title=\"X\">\n<pagina/></report>", "Riga 2: elemento sconosciuto <pagina>"},
        {"bad measure",
         R"(<report title="X"><summary height="cinque"/></report>)", "non è una misura valida"},
        {"unknown data set",
         R"(<report title="X"><section dataset="frdNessuno"><detail height="5"/></section></report>)",
         "\"frdnessuno\" non è fornito"},
    };
    for (const Row &r : rows) {
        SqlDataModule data;
        data.setTable(QStringLiteral("frdRighe"), amounts({{QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("1")}}));
        auto pages = lay(r.xml, data);
        ASSERT_FALSE(pages) << r.name;
        EXPECT_TRUE(pages.error().contains(QString::fromUtf8(r.expected))) << r.name << ": " << qPrintable(pages.error());
    }
}

TEST(ReportEngine, BarCodesAreReadBack)
{
    const char *xml = R"(<report title="Codici">
      <section dataset="frdRighe">
        <detail height="30"><barcode x="10" y="5" w="60" h="15">9[frdRighe."sDesc"]</barcode>
                             <barcode x="100" y="5" w="60" h="15">0[frdRighe."fImporto"]</barcode></detail>
      </section></report>)";
    SqlDataModule data;
    data.setTable(QStringLiteral("frdRighe"), amounts({{QStringLiteral("A"), QStringLiteral("1234"), QStringLiteral("77")}}));
    auto pages = lay(xml, data);
    ASSERT_TRUE(pages) << qPrintable(pages.error());
    const QStringList codes = test::decodeBarCodes(renderPage(pages.value(), 0, 200));
    EXPECT_TRUE(codes.contains(QStringLiteral("CODE-128:91234"))) << qPrintable(codes.join(u','));
    EXPECT_TRUE(codes.contains(QStringLiteral("CODE-128:077"))) << qPrintable(codes.join(u','));
}

} // namespace
} // namespace ccp::reports

namespace ccp::reports {
namespace {

TEST(ReportXlsx, AmountsDatesAndTextsLandInTheirCells)
{
    // "DESCRIZIONE" and "FONTE" only look typed: they stay texts.
    DataTable t({QStringLiteral("sDesc"), QStringLiteral("fImporto"), QStringLiteral("dScadenza"), QStringLiteral("iId"),
                 QStringLiteral("DESCRIZIONE"), QStringLiteral("FONTE")});
    t.addRow({QStringLiteral("Mensa & gite"), QStringLiteral("1234567.8900"), QDate(2026, 10, 15), 7,
              QStringLiteral("Ottobre"), QStringLiteral("Comune")});
    t.addRow({QStringLiteral("Vuota"), QVariant(), QVariant(), QStringLiteral("x"), QVariant(), QVariant()});
    const QString file = test::tempFile(QStringLiteral("dati.xlsx"));
    ASSERT_TRUE(writeXlsx(t, file, QStringLiteral("Causali: elenco")));
    const QString sheet = test::runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QStringLiteral("xl/worksheets/sheet1.xml")});
    const QString strings = test::runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QStringLiteral("xl/sharedStrings.xml")});
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>1234567.89</v>"))) << qPrintable(sheet.left(2000));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>46310</v>")));  // 15/10/2026 as a day number
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>7</v>")));
    EXPECT_TRUE(strings.contains(QStringLiteral("Mensa &amp; gite")));
    EXPECT_TRUE(strings.contains(QStringLiteral("fImporto")));
    EXPECT_TRUE(strings.contains(QStringLiteral(">x<")));  // an unreadable id stays as text
    EXPECT_TRUE(strings.contains(QStringLiteral(">Ottobre<")));
    EXPECT_TRUE(strings.contains(QStringLiteral(">Comune<")));
    const QString workbook = test::runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QStringLiteral("xl/workbook.xml")});
    EXPECT_TRUE(workbook.contains(QStringLiteral("Causali  elenco")));
}

} // namespace
} // namespace ccp::reports
