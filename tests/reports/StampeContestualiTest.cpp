#include "ReportRegistration.h"
#include "ReportStore.h"
#include "ReportTestUtil.h"
#include "StampeContestuali.h"

#include "SqlQuery.h"
#include "VeMessageDlg.h"

#include <QFile>
#include <gtest/gtest.h>

namespace ccp::reports {
namespace {

// Two prints of the bank export's summary: one for bank 3 by direct debit, one for any bank.
const char *bank3Xml = R"(<report id="14901" title="Riepilogo banca tre" subject="Riepilogo dei pagamenti">
  <category application="14" name="Riepilogo">
    <param name="iBanca" value="3" type="integer"/>
    <param name="sTipo" value="RID"/>
  </category>
  <section dataset="frRiepilogoPagam">
    <detail height="5"><text x="0" y="0" w="150" h="5">Banca tre [frRiepilogoPagam."sAlunno"] [frRiepilogoPagam."fImporto"|money]</text></detail>
  </section>
  <summary height="5"><text x="0" y="0" w="150" h="5">Esportazione [sTipo]</text></summary>
</report>)";

const char *anyBankXml = R"(<report id="14902" title="Riepilogo generico">
  <category application="14" name="Riepilogo"/>
  <section dataset="frRiepilogoPagam">
    <detail height="5"><text x="0" y="0" w="150" h="5">Generico [frRiepilogoPagam."sAlunno"]</text></detail>
  </section>
</report>)";

StoredTemplate stored(const char *xml, int id, const char *title)
{
    return {id, QString::fromUtf8(title), QString::fromUtf8(xml)};
}

std::unique_ptr<SqlDataModule> summaryRows()
{
    auto data = std::make_unique<SqlDataModule>();
    DataTable t({QStringLiteral("sAlunno"), QStringLiteral("fImporto")});
    t.addRow({QStringLiteral("Rossi Anna"), QStringLiteral("120.50")});
    t.addRow({QStringLiteral("Verdi Luca"), QStringLiteral("1234.00")});
    data->setTable(QStringLiteral("frRiepilogoPagam"), t);
    return data;
}

TRptParams params(std::initializer_list<std::pair<const char *, QVariant>> items, bool acceptMismatches = false)
{
    TRptParams p;
    for (const auto &[name, value] : items)
        p.add(QString::fromUtf8(name), value);
    p.acceptMismatches = acceptMismatches;
    return p;
}

// Alfa: bank 3 by direct debit; Beta: bank 5; Gamma: no parameters.
TReportList threeReports(bool withParams = true)
{
    TReportList list;
    if (withParams) {
        list.push_back(std::make_unique<TReport>(1, 101, 1, QStringLiteral("Alfa"),
                                                 params({{"iBanca", 3}, {"sTipo", QStringLiteral("RID")}})));
        list.push_back(std::make_unique<TReport>(2, 102, 1, QStringLiteral("Beta"), params({{"iBanca", 5}})));
    }
    list.push_back(std::make_unique<TReport>(3, 103, 1, QStringLiteral("Gamma"), TRptParams()));
    return list;
}

TEST(ContextualPrints, ChoiceOfTheCategoryReport)
{
    struct Row
    {
        const char *name;
        TRptParams filter;
        bool useFirst;
        bool withParams;
        const char *expected;  // nullptr: "Nessuna stampa associata"
    };
    const Row rows[] = {
        {"empty filter takes the first report with parameters", {}, false, true, "Alfa"},
        {"matching value", params({{"iBanca", 5}}), false, true, "Beta"},
        {"names in any case, all must match", params({{"IBANCA", 3}, {"stipo", QStringLiteral("RID")}}), false, true, "Alfa"},
        {"stored integer against typed text", params({{"iBanca", QStringLiteral("3")}}), false, true, "Alfa"},
        {"no match, no use-first", params({{"iBanca", 7}}), false, true, nullptr},
        {"no match, use-first takes the one without parameters", params({{"iBanca", 7}}), true, true, "Gamma"},
        {"mismatches accepted", params({{"iBanca", 7}}, true), false, true, "Alfa"},
        {"one parameter missing rejects", params({{"iBanca", 5}, {"sTipo", QStringLiteral("RID")}}), false, true, nullptr},
        {"only reports without parameters, no use-first", params({{"iBanca", 3}}), false, false, nullptr},
        {"only reports without parameters, use-first", params({{"iBanca", 3}}), true, false, "Gamma"},
        {"only reports without parameters, empty filter", {}, false, false, nullptr},
    };
    for (const Row &r : rows) {
        TReportList list = threeReports(r.withParams);
        TReport *chosen = chooseReport(list, r.filter, r.useFirst);
        if (r.expected)
            EXPECT_EQ(chosen ? chosen->sYRptDesc : QStringLiteral("(nessuna)"), QString::fromUtf8(r.expected)) << r.name;
        else
            EXPECT_EQ(chosen, nullptr) << r.name << " " << qPrintable(chosen->sYRptDesc);
    }
}

// Records what the print hands over instead of showing a window.
struct FakeActivation : TReportActivation
{
    QList<int> ids;
    QList<int> images;
    bool printingSeen = false;
    int idSeen = 0;
    QVariant variableSeen;
    Status preview(int reportId, int imageIndex, std::unique_ptr<DataModule> data, const PdfInfo &) override
    {
        ids << reportId;
        images << imageIndex;
        printingSeen = contextualPrintState().printing;
        idSeen = contextualPrintState().reportId;
        variableSeen = data->variable(QStringLiteral("sTipo")).value_or(QVariant());
        return {};
    }
    Status exportPdf(int, int, DataModule &, const QString &, const PdfInfo &) override { return {}; }
};

class ContextualPrintDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        auto n = installTemplates(t.db(), {stored(bank3Xml, 14901, "Riepilogo banca tre"),
                                           stored(anyBankXml, 14902, "Riepilogo generico")});
        ASSERT_TRUE(n) << qPrintable(n.error());
        mainDir = test::tempFile(QStringLiteral("main-%1").arg(QCoreApplication::applicationPid()));
    }
    test::TestDatabase t;
    QString mainDir;
    fw::RecordingMessageSink messages;
};

TEST_F(ContextualPrintDb, InstallRegistersTheDeclaredCategoryOnceAndAgainOnUpgrade)
{
    // A second install (upgrade) must not add rows.
    ASSERT_TRUE(installTemplates(t.db(), {stored(bank3Xml, 14901, "Riepilogo banca tre"),
                                          stored(anyBankXml, 14902, "Riepilogo generico")}));
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TScc_StampeCateg WHERE iYAppId = 14 AND sSccName = 'Riepilogo'")).toInt(), 1);
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral(
        "SELECT LIST(Stmc.iYRptId, ',') FROM (SELECT iYRptId FROM TStmc_StampeCont ORDER BY iYRptId) Stmc")).toString(),
        QStringLiteral("14901,14902"));
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TStmp_StampePar Stmp INNER JOIN TStmc_StampeCont Stmc"
                                                  " ON (Stmc.iStmcId = Stmp.iStmcId) WHERE Stmc.iYRptId = 14901")).toInt(), 2)
        << "its two parameters, not doubled";
}

TEST_F(ContextualPrintDb, BadDeclarationLeavesNothingBehind)
{
    const char *bad = R"(<report id="14903" title="Errato"><category application="14" name="Riepilogo"><param name="x" value="tre" type="integer"/></category>
      <section dataset="frRiepilogoPagam"><detail height="5"/></section></report>)";
    auto n = installTemplates(t.db(), {stored(bad, 14903, "Errato")});
    ASSERT_FALSE(n);
    EXPECT_TRUE(n.error().contains(QStringLiteral("non è un intero"))) << qPrintable(n.error());
    EXPECT_EQ(test::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TYRpt_RptTemplate WHERE iYRptId = 14903")).toInt(), 0);
}

TEST_F(ContextualPrintDb, PrintsTheChosenReportWithItsParametersAndResetsTheState)
{
    FakeActivation act;
    TStampeContestuali print(t.db(), 14, QStringLiteral("Riepilogo"), mainDir);
    print.AttivazioneReport = &act;
    print.OnGetFilter = [](TRptParams &f) { f.add(QStringLiteral("iBanca"), 3); };
    print.OnSetParams = [](TRptParams &p) {
        p.add(QStringLiteral("sTipo"), QStringLiteral("RID"));
        p.add(QStringLiteral("iBanca"), 3);
    };
    int after = 0;
    print.OnAfterPrint = [&](TStampeContestuali &) {
        ++after;
        EXPECT_FALSE(contextualPrintState().printing);
    };
    ASSERT_TRUE(print.Print());
    EXPECT_EQ(act.ids, QList<int>{14901});
    EXPECT_EQ(act.images, QList<int>{4});
    EXPECT_TRUE(act.printingSeen);
    EXPECT_EQ(act.idSeen, 14901);
    EXPECT_EQ(act.variableSeen.toString(), QStringLiteral("RID"));
    EXPECT_EQ(after, 1);
    EXPECT_EQ(contextualPrintState().reportId, -1);
}

TEST_F(ContextualPrintDb, RefusalsAreShownAndPrintNothing)
{
    FakeActivation act;
    {
        TStampeContestuali print(t.db(), 14, QStringLiteral("Riepilogo"), mainDir);
        print.AttivazioneReport = &act;
        print.OnGetFilter = [](TRptParams &f) { f.add(QStringLiteral("iBanca"), 9); };
        EXPECT_FALSE(print.Print());
        EXPECT_EQ(messages.lastText(), QStringLiteral("Nessuna stampa associata"));
    }
    {
        TStampeContestuali print(t.db(), 14, QStringLiteral("Riepilogo"), mainDir);
        EXPECT_FALSE(print.Print());
        EXPECT_EQ(messages.lastText(),
                  QStringLiteral("Proprieta \"AttivazioneReport\" non impostata. Impossibile avviare l'anteprima."));
    }
    EXPECT_TRUE(act.ids.isEmpty());
    EXPECT_FALSE(contextualPrintState().printing);
}

TEST_F(ContextualPrintDb, PdfModeWritesTheExportFileWithItsDescription)
{
    TDbReportActivation act(t.db(), {});
    TStampeContestuali print(t.db(), 14, QStringLiteral("Riepilogo"), mainDir);
    print.AttivazioneReport = &act;
    print.mode = TStampeContestuali::ExportPdf;
    print.exportOptions = true;
    print.exportTitle = QStringLiteral("Riepilogo esportazione");
    print.exportAuthor = QStringLiteral("Segreteria di prova");
    print.exportSubject = QStringLiteral("Pagamenti RID");
    print.OnSetParams = [](TRptParams &p) { p.add(QStringLiteral("sTipo"), QStringLiteral("RID")); };
    print.setDataModule(summaryRows());
    const QString file = mainDir + QStringLiteral("/usr/mba/ExportStampa.pdf");
    QFile::remove(file);
    ASSERT_TRUE(print.Print());
    ASSERT_TRUE(QFile::exists(file));
    const QString text = test::pdfText(file);
    EXPECT_TRUE(text.contains(QStringLiteral("Banca tre Rossi Anna 120,50"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Banca tre Verdi Luca 1.234,00"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Esportazione RID"))) << qPrintable(text);
    const QString info = test::pdfInfo(file);
    EXPECT_TRUE(info.contains(QStringLiteral("Riepilogo esportazione"))) << qPrintable(info);
}

} // namespace
} // namespace ccp::reports
