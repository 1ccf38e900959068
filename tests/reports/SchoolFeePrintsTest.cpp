#include "EbsMReport.h"
#include "ReportCatalog.h"
#include "ReportLauncher.h"
#include "ReportLayout.h"
#include "ReportStore.h"
#include "ReportTestUtil.h"

#include "Money.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QFile>
#include <gtest/gtest.h>

namespace ccp::reports {
namespace {

class SchoolFeePrints : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        auto n = installTemplates(t.db());
        ASSERT_TRUE(n) << qPrintable(n.error());
        auto &g = fw::TVeGlobalValuesManager::instance();
        g.SetValues(QStringLiteral("VEUP_AnsId"), 26);
        g.SetValues(QStringLiteral("EBSP_CauAnsId"), 26);
        g.SetValues(QStringLiteral("VEUP_DwgId"), 3);
        g.SetValues(QStringLiteral("EBSP_PrintBarCode"), 1);
        g.SetValues(QStringLiteral("EBCP_SprIstId"), test::scalar(t.db(), QStringLiteral("SELECT MIN(iSprIstId) FROM TSprIst")));
    }

    // An income causale of the year with at least two components, and two of its pupils.
    void pickCausaleAndPupils()
    {
        cauId = test::scalar(t.db(), QStringLiteral(
            "SELECT FIRST 1 Cau.iCauId FROM TCau_Causali Cau INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart)"
            " WHERE Ans.iAnsId = 26 AND Cau.lCauTipo = 0 AND (SELECT COUNT(*) FROM TCauCca CC WHERE CC.iCauId = Cau.iCauId) >= 2"
            " ORDER BY Cau.iCauId")).toInt();
        ASSERT_GT(cauId, 0);
        SqlQuery q(t.db());
        ASSERT_TRUE(q.exec(QStringLiteral(
            "SELECT FIRST 2 AnaCag.sAnaCagCode, Sit.iSitId, Ana.sAnaCognome, Ana.iAnaId FROM TSit_Situazioni Sit"
            " INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = Sit.iAnaId AND AnaCag.iCagId = 1)"
            " INNER JOIN TAna_Anagrafiche Ana ON (Ana.iAnaId = Sit.iAnaId)"
            " INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Sit.dStart)"
            " WHERE Ans.iAnsId = 26 AND Sit.iSitOrdine = 1 AND Sit.iClsPstId IS NOT NULL ORDER BY Ana.sAnaCognomeNomeIdx")));
        while (q.next()) {
            codes << q.text(QStringLiteral("sAnaCagCode"));
            sitIds << q.integer(QStringLiteral("iSitId"));
            surnames << q.text(QStringLiteral("sAnaCognome"));
            anaIds << q.integer(QStringLiteral("iAnaId"));
        }
        ASSERT_EQ(codes.size(), 2);
    }

    Money causaleTotal()
    {
        SqlQuery q(t.db());
        EXPECT_TRUE(q.prepare(QStringLiteral(
            "SELECT Cca.fCcaImportoIst FROM TCauCca CC INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CC.iCcaId) WHERE CC.iCauId = :c")));
        q.bind(QStringLiteral("c"), cauId);
        EXPECT_TRUE(q.exec());
        Money total;
        while (q.next())
            total += q.money(0);
        return total;
    }

    Result<PageList> lay(int id, const QMap<QString, QString> &choices)
    {
        auto p = prepareReport(t.db(), id, choices);
        if (!p)
            return p.status();
        auto tpl = loadTemplate(t.db(), id);
        if (!tpl)
            return tpl.status();
        PageList pages;
        if (auto s = layoutReport(tpl.value(), *p.value().data, pages); !s)
            return s;
        return pages;
    }

    test::TestDatabase t{true};
    int cauId = 0;
    QStringList codes, surnames;
    QList<int> sitIds, anaIds;
};

TEST_F(SchoolFeePrints, NoticesCarryTheTotalAndBarCodesThePanelReadsBack)
{
    pickCausaleAndPupils();
    const QString file = test::tempFile(QStringLiteral("avvisi.pdf"));
    const Status s = reportToPdf(t.db(), 14004, {{QStringLiteral("Causale"), QString::number(cauId)},
                                                 {QStringLiteral("Alunni"), codes.join(u',')},
                                                 {QStringLiteral("Stampa codici a barre"), QStringLiteral("sì")}}, file);
    ASSERT_TRUE(s) << qPrintable(s.error());
    const QString text = test::pdfText(file);
    EXPECT_TRUE(text.contains(QStringLiteral("Pagina 2 di 2"))) << qPrintable(text.left(600));
    EXPECT_TRUE(text.contains(surnames[0]));
    EXPECT_TRUE(text.contains(surnames[1]));
    EXPECT_TRUE(text.contains(QStringLiteral("€ ") + causaleTotal().toList())) << qPrintable(causaleTotal().toList());
    // The module's flags hide the tax amount.
    EXPECT_FALSE(text.contains(QStringLiteral("di cui erario")));

    for (int page = 0; page < 2; ++page) {
        const QString prefix = test::tempFile(QStringLiteral("avvisi-p%1").arg(page + 1));
        test::runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("200"), QStringLiteral("-png"),
                                                   QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page + 1),
                                                   QStringLiteral("-l"), QString::number(page + 1), file, prefix});
        const QStringList codesRead = test::decodeBarCodes(QImage(prefix + QStringLiteral(".png")));
        EXPECT_TRUE(codesRead.contains(QStringLiteral("CODE-128:9%1").arg(sitIds[page]))) << qPrintable(codesRead.join(u' '));
        EXPECT_TRUE(codesRead.contains(QStringLiteral("CODE-128:0%1").arg(cauId))) << qPrintable(codesRead.join(u' '));
    }
}

TEST_F(SchoolFeePrints, BarCodesFollowTheProgramParameter)
{
    pickCausaleAndPupils();
    fw::TVeGlobalValuesManager::instance().SetValues(QStringLiteral("EBSP_PrintBarCode"), 0);
    auto refused = prepareReport(t.db(), 14004, {{QStringLiteral("Causale"), QString::number(cauId)},
                                                 {QStringLiteral("Stampa codici a barre"), QStringLiteral("sì")}});
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().contains(QStringLiteral("Stampa codici a barre")));

    auto pages = lay(14004, {{QStringLiteral("Causale"), QString::number(cauId)}, {QStringLiteral("Alunni"), codes.first()}});
    ASSERT_TRUE(pages) << qPrintable(pages.error());
    ASSERT_EQ(pages.value().count(), 1);
    for (const PlacedItem &p : pages.value().pages[0].items)
        EXPECT_NE(p.item->kind, ItemKind::BarCode);
}

TEST_F(SchoolFeePrints, ChoicesWithoutDefaultOrUnknownAreNamed)
{
    struct Row
    {
        const char *name;
        int id;
        QMap<QString, QString> choices;
        const char *expected;
    };
    const Row rows[] = {
        {"no causale", 14004, {}, "Manca la scelta \"Causale\""},
        {"unknown causale", 14004, {{QStringLiteral("Causale"), QStringLiteral("NONCE")}}, "Causale \"NONCE\" non trovata"},
        {"unknown choice", 14001, {{QStringLiteral("Classe"), QStringLiteral("1A")}}, "non ha la scelta \"Classe\""},
        {"bad year", 14001, {{QStringLiteral("Anno scolastico"), QStringLiteral("prossimo")}}, "2026/2027"},
        {"bad yes/no", 14002, {{QStringLiteral("Causali di entrata"), QStringLiteral("forse")}}, "scrivere sì o no"},
        {"unknown report", 14999, {}, "La stampa 14999 non esiste"},
    };
    for (const Row &r : rows) {
        auto p = prepareReport(t.db(), r.id, r.choices);
        ASSERT_FALSE(p) << r.name;
        EXPECT_TRUE(p.error().contains(QString::fromUtf8(r.expected))) << r.name << ": " << qPrintable(p.error());
    }
}

TEST_F(SchoolFeePrints, PupilWithoutResidencePrintsAnEmptyOne)
{
    pickCausaleAndPupils();
    // The first pupil keeps only a domicile.
    SqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral(
        "DELETE FROM TAbtLoc WHERE iLocId = 2 AND iAbtId IN (SELECT iAbtId FROM TAnaAbt WHERE iAnaId = %1)").arg(anaIds[0])));
    ASSERT_TRUE(q.exec(QStringLiteral(
        "INSERT INTO TAbtLoc (iAbtLocId, iAbtId, iLocId) SELECT FIRST 1 999001, iAbtId, 1 FROM TAnaAbt"
        " WHERE iAnaId = %1").arg(anaIds[0])));
    auto pages = lay(14004, {{QStringLiteral("Causale"), QString::number(cauId)}, {QStringLiteral("Alunni"), codes.join(u',')}});
    ASSERT_TRUE(pages) << qPrintable(pages.error());
    ASSERT_EQ(pages.value().count(), 2);
    const QStringList first = pages.value().pageTexts(0);
    const int label = int(first.indexOf(QStringLiteral("Residenza")));
    ASSERT_GE(label, 0);
    EXPECT_EQ(first.value(label + 1), QStringLiteral("Domicilio"));
    const QStringList second = pages.value().pageTexts(1);
    const int label2 = int(second.indexOf(QStringLiteral("Residenza")));
    ASSERT_GE(label2, 0);
    EXPECT_TRUE(second.value(label2 + 1).contains(QStringLiteral(" - "))) << qPrintable(second.value(label2 + 1));
}

TEST_F(SchoolFeePrints, PupilsTextFilters)
{
    struct Row
    {
        const char *name;
        bool attending;
        const char *expected;
    };
    const Row rows[] = {{"attending only", true, "(iPosAttId=1)"}, {"everyone", false, "(1=1)"}};
    for (const Row &r : rows) {
        const QString sql = RptSql::withMyFilter(RptSql::pupils(false), r.attending);
        EXPECT_TRUE(sql.contains(QString::fromLatin1(r.expected))) << r.name;
        EXPECT_FALSE(sql.contains(QStringLiteral("**MY_FILTER**"))) << r.name;
        // The filled text runs.
        auto table = readTable(t.db(), sql, {{QStringLiteral("iAnsId"), 26}, {QStringLiteral("iDwgId"), 3},
                                             {QStringLiteral("iClsId"), QStringLiteral("%")}});
        ASSERT_TRUE(table) << r.name << ": " << qPrintable(table.error());
        EXPECT_GT(table.value().rowCount(), 0) << r.name;
    }
}

} // namespace
} // namespace ccp::reports
