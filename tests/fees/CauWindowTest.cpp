#include "CauFixture.h"
#include "EbsFCau.h"
#include "EbsFDuplicaCausali.h"
#include "EbsRCau.h"
#include "EbsRCauCca.h"
#include "EbsUCau.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeGlobalValues.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace ccp;
using namespace ccp::fees;

namespace {

class CauWindowTest : public feescau::CauFixture
{
protected:
    void SetUp() override
    {
        CauFixture::SetUp();
        if (HasFatalFailure())
            return;
        w = std::make_unique<TfmEbsCau>(*ds);
        w->resize(1000, 700);
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void TearDown() override
    {
        w.reset();
        CauFixture::TearDown();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
        QTest::keyClick(target, k, m);
    }
    void showCausale(int id) { ASSERT_GE(ds->xqcCaus->locate(id).value(), 0) << id; }
    TfrEbsCau *cau() const { return w->frEbsCausali; }
    TfrEbsCauCca *cca() const { return w->frEbsCompXCaus; }

    std::unique_ptr<TfmEbsCau> w;
};

TEST_F(CauWindowTest, ClerkCreatesAnExpenseCausaleAndMustGiveItAComponent)
{
    w->selectTab(1);
    ASSERT_EQ(w->tipo(), 1);
    EXPECT_EQ(ds->xqcCaus->count(), 1);
    cau()->grid()->setFocus();
    key(Qt::Key_Insert);
    ASSERT_EQ(cau()->mode(), 1);
    EXPECT_EQ(ds->xqcCauCca->count(), 0);
    EXPECT_FALSE(cca()->isEnabled()) << "no component for a causale not yet stored";

    // While inserting, the tab stays where it is and the window does not close.
    w->selectTab(0);
    EXPECT_EQ(w->tcMain->currentIndex(), 1);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(sink.entries().isEmpty());

    // A missing description is refused.
    QTest::keyClicks(cau()->xdeCodice, QStringLiteral("RGITA"));
    cau()->xdeCodice->setFocus();
    key(Qt::Key_F10);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Il campo Descrizione è obbligatorio.")});
    sink.clear();
    cau()->xdeDescrizione->setFocus();
    QTest::keyClicks(cau()->xdeDescrizione, QStringLiteral("Rimborso gita"));
    key(Qt::Key_F10);
    ASSERT_TRUE(sink.entries().isEmpty()) << qPrintable(sink.lastText());
    const int id = ds->xqcCaus->currentKey().toInt();
    EXPECT_EQ(scalar(QStringLiteral("SELECT lCauTipo || '|' || lCauRette FROM TCau_Causali WHERE iCauId = %1").arg(id)).toString(),
              QStringLiteral("1|1"));

    // The first component is asked at once and cannot be cancelled.
    ASSERT_EQ(cca()->mode(), 1);
    EXPECT_FALSE(cca()->xacCancel()->isEnabled());
    key(Qt::Key_Escape);
    EXPECT_EQ(cca()->mode(), 1);
    EXPECT_FALSE(cau()->isEnabled()) << "the causale stays while its component is chosen";
    EXPECT_FALSE(w->close());
    EXPECT_EQ(messages(), QStringList{CauMessages::OneComponentRequired});
    sink.clear();

    ASSERT_TRUE(cca()->xdlCod->chooseKey(704));
    EXPECT_EQ(cca()->xdcImportoIst->money().toList(), QStringLiteral("20,00"));
    key(Qt::Key_F10);
    ASSERT_TRUE(sink.entries().isEmpty()) << qPrintable(sink.lastText());
    EXPECT_EQ(cca()->mode(), 0);
    EXPECT_TRUE(cau()->isEnabled());
    EXPECT_EQ(ds->xqcCauCca->count(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT lCauRette || '|' || COALESCE(iDwgId, 0) FROM TCau_Causali WHERE iCauId = %1").arg(id)).toString(),
              QStringLiteral("0|0"))
        << "the fees flag of its one component, no institute";
    // From now on only components without institute are offered; the last one cannot go.
    EXPECT_FALSE(cca()->xacDelete()->isEnabled());
    EXPECT_FALSE(cca()->deleteCurrent());
    EXPECT_TRUE(w->close());
}

TEST_F(CauWindowTest, FirstComponentOfAnInstituteBindsTheCausale)
{
    cau()->grid()->setFocus();
    key(Qt::Key_Insert);
    cau()->xdeDescrizione->setText(QStringLiteral("Mensa scuola"));
    ds->xqcCaus->setFieldValue(QStringLiteral("sCauLDesc"), QStringLiteral("Mensa scuola"));
    ds->xqcCaus->setFieldValue(QStringLiteral("sCauSDesc"), QStringLiteral("MSC"));
    ASSERT_TRUE(cau()->post());
    ASSERT_EQ(cca()->mode(), 1);
    ASSERT_TRUE(cca()->xdlCod->chooseKey(703));
    ASSERT_TRUE(cca()->post()) << qPrintable(sink.lastText());
    EXPECT_EQ(ds->xqcCaus->fieldValue(QStringLiteral("iDwgId")).toInt(), 10);
    const QString sql = withoutSearchCondition(cca()->componentSelect());
    EXPECT_EQ(ids(sql), (QList<int>{701, 703})) << "only institute 10 from now on";
}

TEST_F(CauWindowTest, CausaleInUseKeepsItsComponentsButItsCodeChangesAfterTheQuestion)
{
    showCausale(801);
    EXPECT_TRUE(w->CausaleInUse(801));
    EXPECT_FALSE(cca()->xacInsert()->isEnabled());
    EXPECT_FALSE(cca()->xacEdit()->isEnabled());
    EXPECT_FALSE(cca()->xacDelete()->isEnabled());
    EXPECT_TRUE(cca()->xdlCod->isReadOnlyByOwner());
    EXPECT_FALSE(cca()->insert());

    struct Row
    {
        const char *name;
        fw::MsgResult answer;
        QString stored;
    };
    const Row rows[] = {
        {"no keeps the old code", fw::MsgResult::No, QStringLiteral("GITE")},
        {"yes changes it", fw::MsgResult::Yes, QStringLiteral("GITE2")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        sink.clear();
        showCausale(801);
        ASSERT_TRUE(cau()->edit());
        cau()->xdeCodice->setFocus();
        cau()->xdeCodice->selectAll();
        QTest::keyClicks(cau()->xdeCodice, QStringLiteral("GITE2"));
        sink.answer(r.answer);
        key(Qt::Key_Tab);   // leaving the code validates it
        EXPECT_EQ(messages(), QStringList{CauMessages::PropagationQuestion});
        if (cau()->mode() == 2)
            key(Qt::Key_F10);
        EXPECT_EQ(cau()->mode(), 0);
        EXPECT_EQ(messages().size(), 1) << "asked once";
        EXPECT_EQ(scalar(QStringLiteral("SELECT sCauSDesc FROM TCau_Causali WHERE iCauId = 801")).toString(), r.stored);
    }
    // A causale not in use changes without a question.
    sink.clear();
    showCausale(800);
    EXPECT_TRUE(cca()->xacInsert()->isEnabled());
    ASSERT_TRUE(cau()->edit());
    ds->xqcCaus->setFieldValue(QStringLiteral("sCauLDesc"), QStringLiteral("Iscrizione 2026"));
    ASSERT_TRUE(cau()->post());
    EXPECT_TRUE(sink.entries().isEmpty());
}

TEST_F(CauWindowTest, LastComponentCannotBeDeleted)
{
    showCausale(800);
    ASSERT_EQ(ds->xqcCauCca->count(), 1);
    EXPECT_FALSE(cca()->xacDelete()->isEnabled());
    EXPECT_FALSE(cca()->deleteCurrent());
    showCausale(802);
    ASSERT_EQ(ds->xqcCauCca->count(), 2);
    ASSERT_TRUE(cca()->xacDelete()->isEnabled());
    sink.answer(fw::MsgResult::Yes);
    ASSERT_TRUE(cca()->deleteCurrent());
    EXPECT_EQ(ds->xqcCauCca->count(), 1);
    EXPECT_FALSE(cca()->xacDelete()->isEnabled()) << "now it is the last one";
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TCauCca WHERE iCauId = 802")).toInt(), 1);
}

TEST_F(CauWindowTest, DuplicationDialogCopiesTickedCausaliAndReportsAFailure)
{
    TfmEbsDuplicaCausali dlg(*ds, 0, w.get());
    dlg.loadSourceYear();
    EXPECT_EQ(dlg.cbAnnoScol->currentText(), QStringLiteral("2025/2026")) << "the year before the causali year";
    ASSERT_TRUE(dlg.selectYear(40));

    for (int id : {903, 904, 906})
        dlg.setTicked(id, true);
    exec(QStringLiteral("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, dStart, dEnd) VALUES (820, 'iscr', 'Iscrizione', 0, 0, '2026-09-01', '2027-08-31')"));
    ASSERT_TRUE(ds->xqcCaus->refresh().ok());
    const int before = ds->xqcCaus->count();
    EXPECT_EQ(dlg.confirm().failedCauId, 904);
    ASSERT_EQ(sink.entries().size(), 1);
    EXPECT_TRUE(sink.lastText().contains(QStringLiteral("\"Iscrizione\" (id 904)"))) << qPrintable(sink.lastText());
    EXPECT_TRUE(sink.lastText().contains(QStringLiteral("È stata copiata 1 causale.")));
    EXPECT_EQ(ds->xqcCaus->count(), before + 1) << "the list shows the copy made before the failure";
}

} // namespace
