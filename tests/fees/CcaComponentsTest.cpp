#include "CcaFixture.h"
#include "EbcRCca.h"
#include "EbsFCca.h"
#include "EbsUCca.h"
#include "TVeDBCheckBox.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeQueryCollection.h"
#include "VeSql.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTabBar>
#include <QTest>

using namespace ccp;
using namespace ccp::fees;
using ccp::feescca::CcaFixture;

namespace {

Money euros(const char *text) { return Money::fromText(QString::fromLatin1(text)); }

// ---- requirement rules ---------------------------------------------------------------------

struct RequiredCase
{
    const char *name;
    const char *description;
    const char *code;
    bool type, aggregate, item;
    const char *institute;   // nullptr: empty edit
    const char *treasury;
    const char *missing;
};

class CcaRequired : public ::testing::TestWithParam<RequiredCase>
{
};

TEST_P(CcaRequired, FirstMissingFieldIsNamed)
{
    const RequiredCase &c = GetParam();
    CcaRules::Entry e;
    e.description = QString::fromLatin1(c.description);
    e.code = QString::fromLatin1(c.code);
    e.type = c.type ? QVariant(100) : QVariant();
    e.aggregate = c.aggregate ? QVariant(1) : QVariant();
    e.item = c.item ? QVariant(2) : QVariant();
    e.instituteEmpty = !c.institute;
    e.institute = c.institute ? euros(c.institute) : Money();
    e.treasuryEmpty = !c.treasury;
    e.treasury = c.treasury ? euros(c.treasury) : Money();
    EXPECT_EQ(CcaRules::missingField(e), QString::fromLatin1(c.missing));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CcaRequired,
    ::testing::Values(RequiredCase{"Complete", "Mensa", "M", true, true, true, "10", "0", ""},
                      RequiredCase{"NoDescription", " ", "M", true, true, true, "10", "0", "Descrizione"},
                      RequiredCase{"NoCode", "Mensa", "", true, true, true, "10", "0", "Codice"},
                      RequiredCase{"NoType", "Mensa", "M", false, true, true, "10", "0", "Tipo"},
                      RequiredCase{"NoAggregate", "Mensa", "M", true, false, true, "10", "0", "Aggregato"},
                      RequiredCase{"NoItem", "Mensa", "M", true, true, false, "10", "0", "Voce"},
                      RequiredCase{"TreasuryOnly", "Bollo", "B", false, false, false, "0", "15,13", ""},
                      RequiredCase{"TreasuryOnlyStillNeedsCode", "Bollo", "", false, false, false, "0", "15", "Codice"},
                      RequiredCase{"BothZero", "Bollo", "B", false, false, false, "0", "0", "Tipo"},
                      RequiredCase{"InstituteAmountToo", "Bollo", "B", false, false, false, "1", "15", "Tipo"},
                      RequiredCase{"NoInstituteAmount", "Bollo", "B", false, false, false, nullptr, "15", "Tipo"}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- statements ----------------------------------------------------------------------------

class CcaData : public CcaFixture
{
protected:
    fw::TVeQueryCollection *openComponents(int tipo = 0)
    {
        auto *c = ds->xqcCompCaus;
        c->setParam(QStringLiteral("iAnsId"), 41);
        c->setParam(QStringLiteral("ShowAll"), 1);
        c->setParam(QStringLiteral("lCcaTipo"), tipo);
        EXPECT_TRUE(c->open().ok());
        return c;
    }
    int rette(int cau) { return scalar(QStringLiteral("SELECT lCauRette FROM TCau_Causali WHERE iCauId = %1").arg(cau)).toInt(); }
};

TEST_F(CcaData, FeesFlagOfASharedComponentIsRecomputedInBothCausali)
{
    auto *c = openComponents();
    ASSERT_GE(c->locate(700).valueOr(-1), 0);
    ASSERT_TRUE(c->edit());
    c->setFieldValue(QStringLiteral("lCcaRette"), 0);
    ASSERT_TRUE(c->post()) << qPrintable(sink.lastText());
    EXPECT_EQ(rette(800), 0);
    EXPECT_EQ(rette(801), 0);

    // Back to 1: each causale takes the minimum over all of its own components.
    ASSERT_GE(c->locate(700).valueOr(-1), 0);
    ASSERT_TRUE(c->edit());
    c->setFieldValue(QStringLiteral("lCcaRette"), 1);
    ASSERT_TRUE(c->post());
    EXPECT_EQ(rette(800), 1);
    EXPECT_EQ(rette(801), 0) << "its trip component is not offered by the fees program";
}

TEST_F(CcaData, InsertTakesTheYearTheTabAndTheChosenInstitute)
{
    auto *c = openComponents(1);
    TfrEbcCca frame(c);
    frame.setTipo(1);
    ASSERT_TRUE(c->insert());
    frame.setChosenInstitute(20);
    c->setFieldValue(QStringLiteral("sCcaLDesc"), QStringLiteral("Spese postali"));
    c->setFieldValue(QStringLiteral("sCcaSDesc"), QStringLiteral("POST"));
    c->setFieldValue(QStringLiteral("iTccId"), 131);
    ASSERT_TRUE(c->post()) << qPrintable(sink.lastText());
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT lCcaTipo, iDwgId, dStart, dEnd, lCcaRette, fCcaImportoIst, fCcaImportoEra "
                                      "FROM TCca_CompCausali WHERE sCcaSDesc = 'POST'")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_EQ(q.value(1).toInt(), 20);
    EXPECT_EQ(q.value(2).toDate(), QDate(2026, 9, 1));
    EXPECT_EQ(q.value(3).toDate(), QDate(2027, 8, 31));
    EXPECT_EQ(q.value(4).toInt(), 0) << "expense components are never offered by the fees program";
    EXPECT_TRUE(Money::fromVariant(q.value(5)).isZero());
    EXPECT_FALSE(q.isNull(6));
    // The new row is listed with its type's code.
    EXPECT_EQ(c->fieldValue(QStringLiteral("sTccSDesc")).toString(), QStringLiteral("DSPE"));
}

TEST_F(CcaData, ComponentWithoutTypeStaysListed)
{
    exec(QStringLiteral("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo, "
                        "lCcaRette, dStart, dEnd) VALUES (710, 'BOLLO', 'Bollo', 0, 16, 0, 0, '2026-09-01', '2027-08-31')"));
    auto *c = openComponents();
    EXPECT_GE(c->locate(710).valueOr(-1), 0);
}

TEST_F(CcaData, InUseMeansNamedThroughACausale)
{
    EXPECT_TRUE(*CcaRules::componentInUse(t.db(), 700));   // in causale 801, paid on the tax register
    EXPECT_TRUE(*CcaRules::componentInUse(t.db(), 702));
    EXPECT_FALSE(*CcaRules::componentInUse(t.db(), 701));
    EXPECT_FALSE(*CcaRules::componentInUse(t.db(), 703));
}

TEST_F(CcaData, TypeSearchListUnitesTypesAndSubTypes)
{
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(fw::VeSql::fillWhere(CcaSql::typeSearchSelect(41), {}) + QStringLiteral(" ORDER BY 2, 3")));
    QStringList rows;
    while (q.next())
        rows << QStringLiteral("%1|%2|%3").arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
    EXPECT_TRUE(rows.contains(QStringLiteral("3|Quote|.")));
    EXPECT_TRUE(rows.contains(QStringLiteral("123|Quote|Quota mensa")));
    EXPECT_EQ(rows.size(), 4 + 17) << qPrintable(rows.join(u' '));
}

TEST_F(CcaData, BudgetLookupsOfferTheInstituteAndSharedRowsOfTheFlow)
{
    auto ids = [&](const QString &sql) {
        QSqlQuery q(t.db());
        EXPECT_TRUE(q.exec(fw::VeSql::fillWhere(sql, {})));
        QList<int> out;
        while (q.next())
            out << q.value(0).toInt();
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(ids(CcaSql::aggregateSelect(10, 1)), (QList<int>{500, 501}));
    EXPECT_EQ(ids(CcaSql::aggregateSelect(10, 2)), (QList<int>{503}));
    EXPECT_EQ(ids(CcaSql::itemSelect(501, 10)), (QList<int>{600, 601}));
    EXPECT_EQ(ids(CcaSql::itemSelect(501, 20)), (QList<int>{601}));
    EXPECT_TRUE(ids(CcaSql::itemSelect(-1, 10)).isEmpty());
    EXPECT_EQ(ids(CcaSql::subItemSelect(600, 10)), (QList<int>{650}));
}

// ---- the window, as a clerk uses it --------------------------------------------------------

class CcaWindow : public CcaFixture
{
protected:
    void SetUp() override
    {
        CcaFixture::SetUp();
        if (HasFatalFailure())
            return;
        window = std::make_unique<TfmEbsCca>(*ds);
        window->resize(900, 600);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        frame = window->frEbsCompCaus();
    }
    void TearDown() override
    {
        window.reset();
        CcaFixture::TearDown();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : frame;
        QTest::keyClick(target, k, m);
    }

    std::unique_ptr<TfmEbsCca> window;
    TfrEbcCca *frame = nullptr;
};

TEST_F(CcaWindow, ClerkCreatesAnIncomeComponent)
{
    EXPECT_EQ(frame->collection()->count(), 3);
    key(Qt::Key_Insert);
    ASSERT_EQ(frame->mode(), 1);
    EXPECT_TRUE(frame->xckRette->isChecked()) << "EBCP_CcaRette is 1";
    EXPECT_EQ(frame->xdeAnnoScol->text(), QStringLiteral("2026/2027"));
    QTest::keyClicks(frame->xdeDescrizione, QStringLiteral("Laboratorio"));
    QTest::keyClicks(frame->xdeCodice, QStringLiteral("LAB"));
    frame->xdcImportoIst->setFocus();
    QTest::keyClicks(frame->xdcImportoIst, QStringLiteral("25,5"));

    // Without a type the post is refused with the field's caption.
    key(Qt::Key_F10);
    EXPECT_EQ(sink.lastText(), QStringLiteral("Il campo Tipo è obbligatorio."));
    ASSERT_EQ(frame->mode(), 1);

    ASSERT_TRUE(frame->xdlTipo->chooseKey(111));
    ASSERT_TRUE(frame->xdlAggr->chooseKey(501));
    EXPECT_EQ(frame->chosenInstitute(), QVariant(10));
    ASSERT_TRUE(frame->xdlVoci->chooseKey(601));
    EXPECT_TRUE(frame->chosenInstitute().isNull()) << "a shared item";
    key(Qt::Key_F10);
    ASSERT_EQ(frame->mode(), 0) << qPrintable(sink.lastText());
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT iTccId, iAggId, iVproId, iDwgId, lCcaRette, fCcaImportoIst FROM TCca_CompCausali WHERE sCcaSDesc = 'LAB'")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 111);
    EXPECT_EQ(q.value(1).toInt(), 501);
    EXPECT_EQ(q.value(2).toInt(), 601);
    EXPECT_TRUE(q.isNull(3));
    EXPECT_EQ(q.value(4).toInt(), 1);
    EXPECT_EQ(Money::fromVariant(q.value(5)), euros("25,5"));
}

TEST_F(CcaWindow, ComponentInUseKeepsAmountsAndFlagButNotItsBudget)
{
    ASSERT_GE(frame->collection()->locate(700).valueOr(-1), 0);
    ASSERT_TRUE(frame->edit());
    EXPECT_TRUE(frame->xdcImportoIst->isReadOnly());
    EXPECT_FALSE(frame->xckRette->isEditable());
    EXPECT_TRUE(frame->xdlAggr->isEditable());
    EXPECT_TRUE(frame->xdlVoci->isEditable());
    // A new aggregate leaves no item: the clerk picks one of the new aggregate.
    ASSERT_TRUE(frame->xdlAggr->chooseKey(500));
    EXPECT_TRUE(frame->xdlVoci->key().isNull());
    ASSERT_TRUE(frame->xdlVoci->chooseKey(602));
    ASSERT_TRUE(frame->post());
    EXPECT_EQ(scalar(QStringLiteral("SELECT iVproId FROM TCca_CompCausali WHERE iCcaId = 700")).toInt(), 602);
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral("SELECT fCcaImportoIst FROM TCca_CompCausali WHERE iCcaId = 700"))),
              euros("8"));

    // A component of no paid causale can change its amount.
    ASSERT_GE(frame->collection()->locate(701).valueOr(-1), 0);
    ASSERT_TRUE(frame->edit());
    EXPECT_FALSE(frame->xdcImportoIst->isReadOnly());
    frame->cancel();
    ASSERT_GE(frame->collection()->locate(700).valueOr(-1), 0);
    EXPECT_FALSE(frame->xckRette->isEditable());
}

TEST_F(CcaWindow, TabsChangeTheListTheBoxesAndTheDefaults)
{
    QTabBar *tabs = window->tcMain();
    tabs->setCurrentIndex(1);
    EXPECT_EQ(window->tipo(), 1);
    EXPECT_EQ(frame->collection()->count(), 1);
    ASSERT_TRUE(frame->insert());
    EXPECT_FALSE(frame->xckRette->isChecked()) << "a new expense component is not offered by the fees program";

    // While editing the tab stays where it is.
    tabs->setCurrentIndex(0);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(window->tipo(), 1);
    frame->cancel();
    tabs->setCurrentIndex(0);
    EXPECT_EQ(frame->collection()->count(), 3);

    // The launcher's default for new income components.
    window->setShowRette(false);
    ASSERT_TRUE(frame->insert());
    EXPECT_FALSE(frame->xckRette->isChecked());
    frame->cancel();
}

} // namespace
