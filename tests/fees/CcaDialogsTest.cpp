#include "CcaFixture.h"
#include "EbsFCauComp.h"
#include "EbsFTipologie.h"
#include "TVeDBCheckBox.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "VeSql.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace ccp;
using namespace ccp::fees;
using ccp::feescca::CcaFixture;

namespace {

// ---- composition dialog ----------------------------------------------------------------------

class CauCompDialog : public CcaFixture
{
protected:
    void TearDown() override
    {
        TfmEbsCauComp::release();
        CcaFixture::TearDown();
    }
    // The dialog for causale 800 (Assicurazione 8,00 and Mensa 60,00), shown without blocking.
    TfmEbsCauComp *open(const QString &amount, bool definition = true)
    {
        TfmEbsCauComp *d = TfmEbsCauComp::obtain(t.db());
        d->AmountText = amount;
        d->CausaleId = 800;
        d->DefinitionMode = definition;
        d->show();
        QApplication::setActiveWindow(d);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(d));
        return d;
    }
    void typeInto(TfmEbsCauComp *d, int row, const QString &text)
    {
        QTableWidget *g = d->grid();
        g->setCurrentCell(row, 2);
        g->setFocus();
        // Keys go where the clerk's keyboard sends them: the grid, then the cell editor it opens.
        for (QChar ch : text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::qWait(30);
    }
    QString cell(TfmEbsCauComp *d, int row, int col) { return d->grid()->item(row, col)->text(); }
};

TEST_F(CauCompDialog, ClerkSplitsAnAmountUntilTheRemainderIsZero)
{
    TfmEbsCauComp *d = open(QStringLiteral("100,00"));
    EXPECT_EQ(TfmEbsCauComp::instance(), d);
    EXPECT_EQ(d->ComponentCount(), 2);
    EXPECT_EQ(d->ceScarto()->money(), Money::fromEuros(32));
    EXPECT_FALSE(d->okButton()->isEnabled());
    EXPECT_TRUE(d->memo()->toPlainText().contains(QStringLiteral("somma 32,00 tra")));

    typeInto(d, 1, QStringLiteral("5x0"));   // the letter is dropped
    typeInto(d, 2, QStringLiteral("40"));
    EXPECT_EQ(cell(d, 1, 2), QStringLiteral("50,00"));
    EXPECT_EQ(cell(d, 4, 2), QStringLiteral("90,00"));
    EXPECT_EQ(d->ceScarto()->money(), Money::fromEuros(10));
    EXPECT_FALSE(d->okButton()->isEnabled());
    d->reject();
    EXPECT_TRUE(d->isVisible()) << "an unbalanced split cannot be left";

    typeInto(d, 1, QStringLiteral("60"));
    EXPECT_EQ(cell(d, 4, 2), QStringLiteral("100,00"));
    EXPECT_TRUE(d->ceScarto()->money().isZero());
    ASSERT_TRUE(d->okButton()->isEnabled());
    QTest::mouseClick(d->okButton(), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    // Kept for the movement store.
    ASSERT_EQ(TfmEbsCauComp::instance(), d);
    EXPECT_EQ(d->ComponentIdAt(1), 700);
    EXPECT_EQ(d->AmountTextAt(1), QStringLiteral("60.00"));
    EXPECT_EQ(d->AmountTextAt(2), QStringLiteral("40.00"));
    EXPECT_EQ(d->memo()->toPlainText(), TEbsCompositionGrid::instructionTemplate());
}

// OK through an accelerator comes before the grid has taken in the last cell: the balance is
// judged on what was typed, committed with Enter or still in the cell editor.
TEST_F(CauCompDialog, OkBeforeTheDelayedRecomputeNeedsTheBalanceTyped)
{
    TfmEbsCauComp *d = open(QStringLiteral("68,00"));
    typeInto(d, 1, QStringLiteral("8"));
    ASSERT_TRUE(d->okButton()->isEnabled());
    struct Row
    {
        const char *name;
        int row;
        QString text;
        bool enter;
        Money remainder;
    };
    const Row rows[] = {
        {"Enter, then OK at once", 2, QStringLiteral("50"), true, Money::fromEuros(10)},
        {"still in the cell editor", 1, QStringLiteral("9"), false, Money::fromEuros(-1)},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        typeInto(d, 2, QStringLiteral("60"));
        typeInto(d, 1, QStringLiteral("8"));
        ASSERT_TRUE(d->okButton()->isEnabled());
        d->grid()->setCurrentCell(r.row, 2);
        d->grid()->setFocus();
        for (QChar ch : r.text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        if (r.enter)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        d->accept();
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->ceScarto()->money(), r.remainder);
        EXPECT_FALSE(d->okButton()->isEnabled());
    }
}

TEST_F(CauCompDialog, ViewModeShowsOnlyAndFreesItself)
{
    TfmEbsCauComp *d = open(QStringLiteral("68"), false);
    EXPECT_FALSE(d->memo()->isVisible());
    EXPECT_FALSE(d->grid()->item(1, 2)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(d->okButton()->isEnabled());
    QTest::mouseClick(d->okButton(), Qt::LeftButton);
    EXPECT_EQ(TfmEbsCauComp::instance(), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---- typologies and payment methods -----------------------------------------------------------

class Tables : public CcaFixture
{
};

TEST_F(Tables, NewTypologyStartsTodayUnlockedUnderATopLevelType)
{
    TfmEbsTipologie w(nullptr, t.db());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    TfrEbsTipologie *f = w.frMaster();
    ASSERT_TRUE(f->insert());
    auto *c = w.xqcMaster();
    c->setFieldValue(QStringLiteral("dStart"), QDate(1999, 1, 2));
    c->setFieldValue(QStringLiteral("iLocked"), 1);
    f->xdeCodice->setText(QStringLiteral("QTEA"));
    c->setFieldValue(QStringLiteral("sTccSDesc"), QStringLiteral("QTEA"));
    c->setFieldValue(QStringLiteral("sTccLDesc"), QStringLiteral("Quota teatro"));
    // Without a parent the row is refused before reaching the database.
    EXPECT_FALSE(f->post());
    EXPECT_EQ(sink.lastText(), QStringLiteral("Il campo Tipologia madre è obbligatorio."));
    EXPECT_FALSE(f->xdlTipo->chooseKey(123)) << "a sub-type cannot be a parent";
    ASSERT_TRUE(f->xdlTipo->chooseKey(3));
    ASSERT_TRUE(f->post()) << qPrintable(sink.lastText());
    QSqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT dStart, iLocked, iTccId_P, iTccId FROM TTcc_TipoCompCaus WHERE sTccSDesc = 'QTEA'")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toDate(), QDate::currentDate());
    EXPECT_EQ(q.value(1).toInt(), 0);
    EXPECT_EQ(q.value(2).toInt(), 3);
    EXPECT_GE(q.value(3).toInt(), 1000);

    // Editing keeps the date and lets the parent change.
    ASSERT_TRUE(f->edit());
    ASSERT_TRUE(f->xdlTipo->chooseKey(4));
    ASSERT_TRUE(f->post());
    EXPECT_EQ(scalar(QStringLiteral("SELECT iTccId_P FROM TTcc_TipoCompCaus WHERE sTccSDesc = 'QTEA'")).toInt(), 4);
}

} // namespace
