#include "AbcFAggregati.h"
#include "AbcFApertura.h"
#include "AbcFVoci.h"
#include "BudgetFixture.h"
#include "TVeDBCheckBox.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeQueryCollection.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTest>

using namespace ccp;
using namespace ccp::budget;

namespace {

class BudgetWindowTest : public budgettest::BudgetFixture
{
protected:
    template<typename W>
    W *open(std::unique_ptr<W> &holder, int flow, int totalType)
    {
        holder = std::make_unique<W>(t.db(), BudgetYear::calendar(2026, 10), BudgetView{flow, totalType});
        holder->resize(1100, 750);
        holder->show();
        QApplication::setActiveWindow(holder.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(holder.get()));
        return holder.get();
    }
    void TearDown() override
    {
        voci.reset();
        aggregati.reset();
        BudgetFixture::TearDown();
    }
    QStringList messages() const
    {
        QStringList out;
        for (const auto &e : sink.entries())
            out << e.text;
        return out;
    }
    void locateItem(int id) { ASSERT_GE(voci->xqcVoci()->locate(id).value(), 0) << id; }

    std::unique_ptr<TfmVoci> voci;
    std::unique_ptr<TfmAggregati> aggregati;
};

TEST_F(BudgetWindowTest, ItemsWindowListsTheInstituteAndSharedItemsOfTheYear)
{
    open(voci, 2, 1);
    fw::TVeQueryCollection *items = voci->xqcVoci();
    ASSERT_EQ(items->count(), 2) << "A98 closed in 2020, A07 of another institute";
    EXPECT_EQ(items->value(0, QStringLiteral("SVPROCOD")).toString(), QStringLiteral("A01"));
    EXPECT_EQ(items->value(1, QStringLiteral("COMPETENZA")).toString(), QStringLiteral("SI"));
    EXPECT_EQ(items->value(1, QStringLiteral("RESIDUI")).toString(), QStringLiteral("NO"));
    EXPECT_EQ(voci->xqcSottoVoci()->count(), 2) << "007 belongs to another institute";
    locateItem(102);
    EXPECT_EQ(voci->xqcSottoVoci()->count(), 0);
}

TEST_F(BudgetWindowTest, RefusedPostKeepsTheEditAndTheFocusOnTheField)
{
    open(voci, 2, 1);
    locateItem(102);
    TfrVociProgetti *fr = voci->frVociProgetti();
    ASSERT_TRUE(fr->edit());
    EXPECT_FALSE(voci->frSottoVoci()->isEnabled()) << "one frame edits at a time";
    voci->xqcVoci()->setFieldValue(QStringLiteral("DEND"), QDate(2026, 12, 31));
    fr->xacPost()->trigger();
    EXPECT_EQ(messages(), QStringList{AbcMessages::endBeforeModels(QDate(2027, 1, 1))});
    EXPECT_EQ(fr->mode(), 2);
    EXPECT_EQ(QApplication::focusWidget(), fr->xddFine);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT DEND FROM TVPRO_VOCIPROGETTI WHERE IVPROID = 102")).isNull());

    // The models question answered No: nothing written, still editing.
    sink.clear();
    sink.answer(fw::MsgResult::No);
    voci->xqcVoci()->setFieldValue(QStringLiteral("DEND"), QDate(2027, 6, 30));
    fr->xacPost()->trigger();
    EXPECT_EQ(messages(), QStringList{AbcMessages::ModelsQuestion});
    EXPECT_EQ(fr->mode(), 2);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT DEND FROM TVPRO_VOCIPROGETTI WHERE IVPROID = 102")).isNull());
    fr->cancel();
    EXPECT_TRUE(voci->frSottoVoci()->isEnabled());
}

TEST_F(BudgetWindowTest, ItemPostCarriesItsSubItemsDatesInOneTransaction)
{
    open(voci, 2, 1);
    locateItem(101);
    TfrVociProgetti *fr = voci->frVociProgetti();
    // The sub-items refuse any change: the item must not change either.
    exec(QStringLiteral("CREATE EXCEPTION E_TEST_SVO 'sottovoci bloccate'"));
    exec(QStringLiteral("CREATE TRIGGER T_TEST_SVO FOR TSVO_SOTTOVOCI BEFORE UPDATE AS BEGIN EXCEPTION E_TEST_SVO; END"));
    ASSERT_TRUE(fr->edit());
    voci->xqcVoci()->setFieldValue(QStringLiteral("DEND"), QDate(2030, 12, 31));
    fr->xacPost()->trigger();
    EXPECT_EQ(fr->mode(), 2);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT DEND FROM TVPRO_VOCIPROGETTI WHERE IVPROID = 101")).isNull());

    exec(QStringLiteral("DROP TRIGGER T_TEST_SVO"));
    sink.clear();
    fr->xacPost()->trigger();
    EXPECT_EQ(messages(), QStringList{AbcMessages::ModelsQuestion}) << "a frozen model: only the code is kept";
    EXPECT_EQ(fr->mode(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT DEND FROM TVPRO_VOCIPROGETTI WHERE IVPROID = 101")).toDate(), QDate(2030, 12, 31));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TSVO_SOTTOVOCI WHERE IVPROID = 101 AND DEND = '2030-12-31'")).toInt(), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT ICORID FROM TSVO_SOTTOVOCI WHERE ISVOID = 202")).toInt(), 1)
        << "an item on both accounts leaves its sub-items' accounts";
}

TEST_F(BudgetWindowTest, NewItemOnOneAccountAndItsFirstSubItem)
{
    open(voci, 2, 1);
    TfrVociProgetti *fr = voci->frVociProgetti();
    ASSERT_TRUE(fr->insert());
    EXPECT_EQ(fr->xddInizio->date(), QDate(2026, 1, 1));
    ASSERT_TRUE(fr->xdlAggregato->chooseKey(21));
    EXPECT_EQ(fr->xdeCodice->text(), QStringLiteral("A06"));
    voci->xqcVoci()->setFieldValue(QStringLiteral("SVPRODESCS"), QStringLiteral("Orientamento"));
    voci->xqcVoci()->setFieldValue(QStringLiteral("LRESIDUI"), 0);
    fr->xacPost()->trigger();
    ASSERT_EQ(fr->mode(), 0) << messages().join(u'|').toStdString();
    const int id = voci->xqcVoci()->currentKey().toInt();
    EXPECT_EQ(scalar(QStringLiteral("SELECT ICORID || '/' || ITCKID || '/' || IDWGID FROM TVPRO_VOCIPROGETTI WHERE IVPROID = %1").arg(id)).toString(),
              QStringLiteral("1/-1/10"));

    TfrSottoVoci *sub = voci->frSottoVoci();
    ASSERT_TRUE(sub->insert());
    EXPECT_EQ(sub->xdeCodice->text(), QStringLiteral("001"));
    EXPECT_TRUE(sub->xcbCompetenza->isChecked());
    EXPECT_FALSE(sub->xcbResidui->isChecked());
    EXPECT_FALSE(sub->xcbResidui->isEnabled()) << "the item is on competence only";
    EXPECT_FALSE(fr->isEnabled());
    voci->xqcSottoVoci()->setFieldValue(QStringLiteral("SSVODESCL"), QStringLiteral("Incontri"));
    sub->xacPost()->trigger();
    ASSERT_EQ(sub->mode(), 0) << messages().join(u'|').toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT ICORID || '/' || IDWGID || '/' || DSTART FROM TSVO_SOTTOVOCI WHERE IVPROID = %1").arg(id)).toString(),
              QStringLiteral("1/10/2026-01-01"));
}

TEST_F(BudgetWindowTest, IncomeItemsOfAggregates13And14AreMarked)
{
    open(voci, 1, 1);
    TfrVociProgetti *fr = voci->frVociProgetti();
    ASSERT_TRUE(fr->insert());
    QTest::keyClicks(fr->xdeCodice, QStringLiteral("A1"));
    EXPECT_EQ(fr->xdeCodice->text(), QStringLiteral("1")) << "income item codes are digits";
    ASSERT_TRUE(fr->xdlAggregato->chooseKey(13));
    EXPECT_EQ(fr->xdeCodice->text(), QStringLiteral("02"));
    fr->xacPost()->trigger();
    ASSERT_EQ(fr->mode(), 0) << messages().join(u'|').toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT ITCKID FROM TVPRO_VOCIPROGETTI WHERE IVPROID = %1").arg(voci->xqcVoci()->currentKey().toInt())).toInt(), 2);
    ASSERT_TRUE(fr->insert());
    ASSERT_TRUE(fr->xdlAggregato->chooseKey(12));
    fr->xacPost()->trigger();
    ASSERT_EQ(fr->mode(), 0) << messages().join(u'|').toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT ITCKID FROM TVPRO_VOCIPROGETTI WHERE IVPROID = %1").arg(voci->xqcVoci()->currentKey().toInt())).toInt(), -1);
}

TEST_F(BudgetWindowTest, ClosingAsksTheItemFrameFirst)
{
    open(voci, 2, 1);
    locateItem(102);
    ASSERT_TRUE(voci->frVociProgetti()->edit());
    sink.answer(fw::MsgResult::Cancel);
    EXPECT_FALSE(voci->close());
    EXPECT_EQ(sink.entries().size(), 1);
    EXPECT_EQ(voci->frVociProgetti()->mode(), 2);
    // Yes posts through the checks: a refusal keeps the window open.
    voci->xqcVoci()->setFieldValue(QStringLiteral("SVPROCOD"), QStringLiteral("P01"));
    sink.clear();
    sink.answer(fw::MsgResult::Yes);
    EXPECT_FALSE(voci->close());
    EXPECT_EQ(messages().last(), AbcMessages::wrongCode(QStringLiteral("A")));
    sink.answer(fw::MsgResult::No);
    EXPECT_TRUE(voci->close());
    EXPECT_EQ(scalar(QStringLiteral("SELECT SVPROCOD FROM TVPRO_VOCIPROGETTI WHERE IVPROID = 102")).toString(), QStringLiteral("A05"));
}

TEST_F(BudgetWindowTest, AggregatesProposeIncomeCodesAndTakeExpenseLetters)
{
    open(aggregati, 1, 1);
    TfrAggregati *fr = aggregati->frAggregati();
    ASSERT_TRUE(fr->insert());
    EXPECT_EQ(fr->xdeCodice->text(), QStringLiteral("08"));
    fr->cancel();
    // A frozen model's aggregate refuses any change and stays as it was.
    ASSERT_GE(aggregati->xqcAggregati()->locate(11).value(), 0);
    ASSERT_TRUE(fr->edit());
    aggregati->xqcAggregati()->setFieldValue(QStringLiteral("SAGGDESCL"), QStringLiteral("Avanzo vincolato"));
    fr->xacPost()->trigger();
    EXPECT_EQ(messages(), QStringList{AbcMessages::Frozen});
    EXPECT_EQ(fr->mode(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT SAGGDESCL FROM TAGG_AGGREGATI WHERE IAGGID = 11")).toString(), QStringLiteral("Avanzo"));
    fr->cancel();
    aggregati.reset();

    open(aggregati, 2, 2);
    fr = aggregati->frAggregati();
    ASSERT_TRUE(fr->insert());
    EXPECT_TRUE(fr->xdeCodice->text().isEmpty());
    fr->xdeCodice->setFocus();
    QTest::keyClicks(fr->xdeCodice, QStringLiteral("g1"));
    EXPECT_EQ(fr->xdeCodice->text(), QStringLiteral("G"));
    aggregati->xqcAggregati()->setFieldValue(QStringLiteral("SAGGDESCL"), QStringLiteral("Partite di giro"));
    sink.clear();
    fr->xacPost()->trigger();
    ASSERT_EQ(fr->mode(), 0) << messages().join(u'|').toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT IFLSID || '/' || ITITOID || '/' || IDWGID || '/' || DSTART FROM TAGG_AGGREGATI "
                                    "WHERE SAGGDESCS = 'G'")).toString(),
              QStringLiteral("2/2/10/2026-01-01"));
}

} // namespace
