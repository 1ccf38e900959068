// The movements window driven as a clerk: entry of movements, the split, the rules of Entrate
// and Uscite, the account-type layouts and the colours of the list.
#include "MvmWinFixture.h"

#include "EbcFSearchBen.h"
#include "EbsFCauComp.h"
#include "EbsRBarCode.h"
#include "TVeAccess.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeGlobalValues.h"
#include "TVeDBLookupEdit.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "TfrVeFilter.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

namespace ccp::mvmwin {
namespace {

namespace MvmText = movements::MvmText;

class MvmWindow : public MvmWinFixture
{
};

TEST_F(MvmWindow, AmountEqualToTheTotalPostsTheComponentsOwnSplit)
{
    openWindow();
    startMovement(9100);
    EXPECT_EQ(frame()->xdcImpIst->money(), Money::fromEuros(100));
    typeAmount(QStringLiteral("100"));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(frame()->xdcDiffIst->money(), Money());
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int id = lastMovementId();
    EXPECT_EQ(splitOf(id), (QStringList{QStringLiteral("9001:60.00"), QStringLiteral("9002:40.00")}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT iBenId FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT lMvmTipo FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toInt(), 0);
    EXPECT_TRUE(messages.entries().isEmpty()) << qPrintable(messages.lastText());
}

TEST_F(MvmWindow, SmallerAmountOpensTheSplitAndPostsWhatTheClerkSplit)
{
    openWindow();
    onDialog = [](fees::TfmEbsCauComp &d) {
        // The clerk puts 50 on the first component: 30 remain on the second.
        QTableWidget *g = d.grid();
        g->item(1, 2)->setText(QStringLiteral("50,00"));
        g->item(2, 2)->setText(QStringLiteral("30,00"));
    };
    startMovement(9100);
    typeAmount(QStringLiteral("80"));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].definition);
    EXPECT_EQ(Money::fromText(shown[0].amount), Money::fromEuros(80));
    EXPECT_EQ(frame()->xdcDiffIst->money(), Money::fromEuros(-20));
    // Leaving the amount with the same difference does not open it again.
    typeAmount(QStringLiteral("80"));
    EXPECT_EQ(shown.size(), 1);
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int id = lastMovementId();
    EXPECT_EQ(splitOf(id), (QStringList{QStringLiteral("9001:50.00"), QStringLiteral("9002:30.00")}));
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral("SELECT fMvmDifferenza FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id))),
              Money::fromEuros(-20));
}

TEST_F(MvmWindow, CausaleWithoutAmountsOpensTheSplitAtEveryChange)
{
    openWindow();
    startMovement(9101);
    EXPECT_EQ(frame()->xdcImpIst->money(), Money());
    typeAmount(QStringLiteral("35"));
    typeAmount(QStringLiteral("45"));
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(Money::fromText(shown[1].amount), Money::fromEuros(45));
    EXPECT_EQ(frame()->xdcDiffIst->money(), Money());
}

TEST_F(MvmWindow, SingleComponentShowsTheDifferenceAndWritesOneRow)
{
    openWindow();
    startMovement(9102);
    typeAmount(QStringLiteral("45,50"));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(frame()->xdcDiffIst->money(), Money::fromCents(-1450));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    EXPECT_EQ(splitOf(lastMovementId()), QStringList{QStringLiteral("9005:45.50")});
}

TEST_F(MvmWindow, ChangingTheCausaleInEditUsesTheNewComponents)
{
    openWindow();
    startMovement(9100);
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int id = lastMovementId();
    ASSERT_TRUE(frame()->edit());
    ASSERT_TRUE(frame()->xdlCausale->chooseKey(9103));
    EXPECT_EQ(frame()->xdcImpIst->money(), Money::fromEuros(50));
    onDialog = [](fees::TfmEbsCauComp &d) { d.grid()->item(2, 2)->setText(QStringLiteral("50,00")); };
    typeAmount(QStringLiteral("70"));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].components, (QStringList{QStringLiteral("9007:20.00"), QStringLiteral("9006:30.00")}));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    QStringList rows = splitOf(id);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("9006:")));
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("9007:")));
}

TEST_F(MvmWindow, F8ShowsTheStoredSplitReadOnly)
{
    openWindow();
    onDialog = [](fees::TfmEbsCauComp &d) {
        d.grid()->item(1, 2)->setText(QStringLiteral("70,00"));
        d.grid()->item(2, 2)->setText(QStringLiteral("20,00"));
    };
    startMovement(9100);
    typeAmount(QStringLiteral("90"));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    shown.clear();
    ASSERT_TRUE(frame()->edit());
    frame()->xdcImpIst->setFocus();
    QTest::keyClick(frame()->xdcImpIst, Qt::Key_F8);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_FALSE(shown[0].definition);
    EXPECT_EQ(shown[0].components, (QStringList{QStringLiteral("9001:70.00"), QStringLiteral("9002:20.00")}));
    // Viewing leaves no split behind for the post.
    EXPECT_EQ(fees::TfmEbsCauComp::instance(), nullptr);
}

// 80,00 split 50/30 on a causale of 60/40: an edit that leaves causale and amount alone keeps
// the stored split; a new amount opens the composition on it.
TEST_F(MvmWindow, EditingDateAndNoteKeepsTheStoredSplit)
{
    openWindow();
    onDialog = [](fees::TfmEbsCauComp &d) {
        d.grid()->item(1, 2)->setText(QStringLiteral("50,00"));
        d.grid()->item(2, 2)->setText(QStringLiteral("30,00"));
    };
    startMovement(9100);
    typeAmount(QStringLiteral("80"));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int id = lastMovementId();
    const QStringList split{QStringLiteral("9001:50.00"), QStringLiteral("9002:30.00")};
    ASSERT_EQ(splitOf(id), split);

    shown.clear();
    ASSERT_TRUE(frame()->edit());
    frame()->collection()->setFieldValue(QStringLiteral("dMvmDataEc"), QDate(2026, 11, 30));
    frame()->collection()->setFieldValue(QStringLiteral("dMvmDataMov"), QDate(2026, 11, 30));
    frame()->meNote->setPlainText(QStringLiteral("Data corretta"));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    EXPECT_EQ(splitOf(id), split);
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT dMvmDataMov FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toDate(),
              QDate(2026, 11, 30));

    ASSERT_TRUE(frame()->edit());
    onDialog = [](fees::TfmEbsCauComp &d) { d.grid()->item(2, 2)->setText(QStringLiteral("40,00")); };
    typeAmount(QStringLiteral("90"));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].components, split);
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    EXPECT_EQ(splitOf(id), (QStringList{QStringLiteral("9001:50.00"), QStringLiteral("9002:40.00")}));
}

// The default causale (60/40) with a default amount of 80,00 that the clerk never typed.
TEST_F(MvmWindow, DefaultAmountNeverTypedIsSplitLikeATypedOne)
{
    fw::SetValues(QStringLiteral("EBSP_CausaleInId"), QStringLiteral("9100"));
    fw::SetValues(QStringLiteral("EBSP_ImpIstCauIn"), QStringLiteral("80"));
    openWindow();
    const int before = scalar(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")).toInt();
    ASSERT_TRUE(frame()->insert());
    ASSERT_TRUE(frame()->xdlCategoria->chooseKey(4));
    ASSERT_TRUE(frame()->xdlBen->chooseKey(1));
    ASSERT_EQ(frame()->collection()->fieldValue(QStringLiteral("iCauId")).toInt(), 9100);
    // Left unbalanced, the split stops the post.
    EXPECT_FALSE(frame()->postMovement());
    EXPECT_EQ(messages.lastText(), MvmText::SplitUnbalanced);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(Money::fromText(shown[0].amount), Money::fromEuros(80));
    EXPECT_EQ(frame()->xdcDiffIst->money(), Money::fromEuros(-20));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")).toInt(), before);

    onDialog = [](fees::TfmEbsCauComp &d) { d.grid()->item(1, 2)->setText(QStringLiteral("40,00")); };
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    EXPECT_EQ(splitOf(lastMovementId()), (QStringList{QStringLiteral("9001:40.00"), QStringLiteral("9002:40.00")}));
}

TEST_F(MvmWindow, CausaleWithoutComponentsCannotBeChosen)
{
    exec(QStringLiteral("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, "
                        "dEnd) VALUES (9104, 'VUOTA', 'Vuota', 0, 1, NULL, '2026-09-01', '2027-08-31')"));
    openWindow();
    startMovement(9100);
    messages.clear();
    frame()->xdlCausale->chooseKey(9104);
    EXPECT_EQ(messages.lastText(), MvmText::CausaleWithoutComponents);
    EXPECT_TRUE(frame()->collection()->fieldValue(QStringLiteral("iCauId")).isNull());
    typeAmount(QStringLiteral("10"));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(MvmWindow, ExpenseCannotExceedTheAvailableMoney)
{
    openWindow();
    // The balance is derived: the opening cash is set so that 80,00 are available.
    exec(QStringLiteral("UPDATE TCai_CassaIst SET fCaiCassaIn = 80 - fCaiSaldoIn + fCaiSaldoOut WHERE iSprIstId = 1 AND iCaiEsercizioFin = 2026"));
    w->selectTab(1);
    ASSERT_EQ(w->tabIndex(), 1);
    startMovement(9200);
    typeAmount(QStringLiteral("100"));
    EXPECT_FALSE(frame()->postMovement());
    EXPECT_EQ(messages.lastText(), MvmText::OverAvailability);
    EXPECT_EQ(frame()->mode(), 1);
    typeAmount(QStringLiteral("50"));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int id = lastMovementId();
    EXPECT_EQ(scalar(QStringLiteral("SELECT lMvmTipo FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toInt(), 1);
    // Same balance as before: 80 + the stored 50 cover 100.
    exec(QStringLiteral("UPDATE TCai_CassaIst SET fCaiCassaIn = 80 - fCaiSaldoIn + fCaiSaldoOut WHERE iSprIstId = 1 AND iCaiEsercizioFin = 2026"));
    messages.clear();
    ASSERT_TRUE(frame()->edit());
    typeAmount(QStringLiteral("100"));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral("SELECT fMvmImporto FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id))),
              Money::fromEuros(100));
}

TEST_F(MvmWindow, TabCannotChangeWhileAMovementIsEntered)
{
    openWindow();
    ASSERT_TRUE(frame()->insert());
    w->selectTab(1);
    EXPECT_EQ(w->tcMain->currentIndex(), 0);
    EXPECT_EQ(w->tabIndex(), 0);
    EXPECT_EQ(frame()->causaleKind(), 0);
}

TEST_F(MvmWindow, CashAccountHasNoStatementDate)
{
    openWindow(3);
    EXPECT_EQ(w->context().accountType, movements::MvmAccountType::Cash);
    EXPECT_TRUE(frame()->grid()->isColumnHidden(frame()->model()->columnOfField(QStringLiteral("dMvmDataEc"))));
    EXPECT_FALSE(frame()->detailLayout()->isRowVisible(frame()->xddData1));
    EXPECT_FALSE(frame()->paBarCode->isVisibleTo(frame()));
    EXPECT_FALSE(frame()->detailLayout()->isRowVisible(frame()->xdlCabIst));
    startMovement(9102);
    frame()->xddData2->setFocus();
    frame()->xddData2->selectAll();
    QTest::keyClicks(frame()->xddData2, QStringLiteral("03/11/2026"));
    QTest::keyClick(frame()->xddData2, Qt::Key_Tab);
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int id = lastMovementId();
    EXPECT_EQ(scalar(QStringLiteral("SELECT dMvmDataEc FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toDate(),
              QDate(2026, 11, 3));
    EXPECT_EQ(scalar(QStringLiteral("SELECT dMvmDataMov FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toDate(),
              QDate(2026, 11, 3));
}

TEST_F(MvmWindow, PostalAndBankLayouts)
{
    openWindow(1);
    EXPECT_TRUE(frame()->detailLayout()->isRowVisible(frame()->xdlCabIst));
    EXPECT_TRUE(frame()->paBarCode->isVisibleTo(frame()));
    EXPECT_TRUE(frame()->acShowHide->isVisible());
    w->selectTab(1);
    EXPECT_FALSE(frame()->detailLayout()->isRowVisible(frame()->xdlCabIst));
    EXPECT_FALSE(frame()->paBarCode->isVisibleTo(frame()));
    EXPECT_FALSE(frame()->acShowHide->isVisible());
    w->selectTab(0);
    EXPECT_TRUE(frame()->paBarCode->isVisibleTo(frame()));
    w.reset();
    openWindow(2);
    EXPECT_EQ(w->context().accountType, movements::MvmAccountType::Bank);
    EXPECT_FALSE(frame()->detailLayout()->isRowVisible(frame()->xdlCabIst));
    EXPECT_FALSE(frame()->paBarCode->isVisibleTo(frame()));
    EXPECT_TRUE(frame()->detailLayout()->isRowVisible(frame()->xddData1));
}

struct ReadOnlyCase
{
    const char *name;
    const char *sql;
    bool readOnly;
};

class MvmReadOnly : public MvmWinFixture, public ::testing::WithParamInterface<ReadOnlyCase>
{
};

TEST_P(MvmReadOnly, ClosedAccountOrLockedYearCannotBeEdited)
{
    if (*GetParam().sql)
        exec(QString::fromUtf8(GetParam().sql));
    openWindow();
    EXPECT_EQ(w->isReadOnly(), GetParam().readOnly);
    EXPECT_EQ(frame()->xacInsert()->isEnabled(), !GetParam().readOnly);
    EXPECT_EQ(frame()->insert(), !GetParam().readOnly);
    EXPECT_EQ(frame()->frBarCode->edBarCode->isEnabled(), !GetParam().readOnly);
    // The quick rule agrees with MIN(iLocked) over the year.
    const QVariant min = test::scalar(t.db(), QString(movements::MvmSql::LockedYear)
                                                  .replace(QStringLiteral(":iSprIstId"), QStringLiteral("1"))
                                                  .replace(QStringLiteral(":iEsercizioFin"), QStringLiteral("2026")));
    auto quick = movements::yearFullyLocked(t.db(), 1, 2026);
    ASSERT_TRUE(quick.ok());
    EXPECT_EQ(quick.value(), !min.isNull() && min.toInt() != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MvmReadOnly,
    ::testing::Values(ReadOnlyCase{"Open", "", false},
                      ReadOnlyCase{"ClosedAccount", "UPDATE TSprIst SET dEnd = '2026-12-31' WHERE iSprIstId = 1", true},
                      ReadOnlyCase{"FullyLockedYear",
                                   "UPDATE TMvm_MovimentiCcp SET iLocked = 1 WHERE iSprIstId = 1 AND dMvmDataMov >= '2026-01-01'",
                                   true},
                      ReadOnlyCase{"PartlyLockedYear",
                                   "UPDATE TMvm_MovimentiCcp SET iLocked = 1 WHERE iSprIstId = 1 AND dMvmDataMov >= '2026-01-01' "
                                   "AND dMvmDataMov < '2026-06-01'",
                                   false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MvmWindow, RowWhoseSplitDiffersIsRed)
{
    openWindow(1, false);
    startMovement(9102);
    typeAmount(QStringLiteral("120"));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int id = lastMovementId();
    exec(QStringLiteral("UPDATE TMvmCca SET fMvmCcaImporto = 100 WHERE iMvmId = %1").arg(id));
    startMovement(9102);
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int good = lastMovementId();
    ASSERT_TRUE(store->xqcMvm->refresh().ok());
    auto colourOf = [this](int mvmId) {
        auto pos = store->xqcMvm->locate(mvmId);
        EXPECT_TRUE(pos.ok() && pos.value() >= 0);
        frame()->setHighlightedMvmId(-1);
        return frame()->model()->data(frame()->model()->index(pos.value(), 1), Qt::BackgroundRole).value<QColor>();
    };
    EXPECT_EQ(colourOf(id), QColor(Qt::red));
    EXPECT_NE(colourOf(good), QColor(Qt::red));
    // The last scanned movement is light yellow over the red.
    frame()->setHighlightedMvmId(id);
    const int row = store->xqcMvm->locate(id).value();
    EXPECT_EQ(frame()->model()->data(frame()->model()->index(row, 1), Qt::BackgroundRole).value<QColor>(),
              QColor(255, 255, 132));
}

struct RefusalCase
{
    const char *name;
    std::function<void(MvmWinFixture &, movements::TfrEbcMvm *)> prepare;
    QString message;
};

class MvmRefusal : public MvmWinFixture, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(MvmRefusal, PostIsRefusedWithItsMessageAndNothingIsWritten)
{
    const int before = scalar(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")).toInt();
    openWindow();
    startMovement(9100);
    GetParam().prepare(*this, frame());
    EXPECT_FALSE(frame()->postMovement());
    EXPECT_EQ(messages.lastText(), GetParam().message);
    EXPECT_EQ(frame()->mode(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")).toInt(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MvmRefusal,
    ::testing::Values(
        RefusalCase{"NoPayer",
                    [](MvmWinFixture &, movements::TfrEbcMvm *f) {
                        f->collection()->setFieldValue(QStringLiteral("iBenId"), QVariant());
                        f->dataSource()->reload();
                    },
                    MvmText::PayerRequired},
        RefusalCase{"ZeroAmount",
                    [](MvmWinFixture &, movements::TfrEbcMvm *f) {
                        f->collection()->setFieldValue(QStringLiteral("fMvmImporto"), Money().toVariant());
                        f->dataSource()->reload();
                    },
                    MvmText::AmountZero},
        RefusalCase{"DateAfterUserPeriod",
                    [](MvmWinFixture &, movements::TfrEbcMvm *f) {
                        f->collection()->setFieldValue(QStringLiteral("dMvmDataMov"), QDate(2027, 1, 2));
                    },
                    MvmText::OutsideYear},
        RefusalCase{"MovementAfterStatement",
                    [](MvmWinFixture &, movements::TfrEbcMvm *f) {
                        f->collection()->setFieldValue(QStringLiteral("dMvmDataEc"), QDate(2026, 12, 1));
                        f->collection()->setFieldValue(QStringLiteral("dMvmDataMov"), QDate(2026, 12, 2));
                    },
                    MvmText::MovementAfterStatement},
        RefusalCase{"NoCausale",
                    [](MvmWinFixture &, movements::TfrEbcMvm *f) {
                        f->collection()->setFieldValue(QStringLiteral("iCauId"), QVariant());
                    },
                    QStringLiteral("Il campo Causale è obbligatorio.")},
        RefusalCase{"CausaleWithoutComponents",
                    [](MvmWinFixture &fx, movements::TfrEbcMvm *f) {
                        fx.exec(QStringLiteral("DELETE FROM TCauCca WHERE iCauId = 9100"));
                        f->collection()->setFieldValue(QStringLiteral("iCauId"), 9100);
                    },
                    MvmText::CausaleWithoutComponents},
        RefusalCase{"SlipNumberLongerThanItsColumn",
                    [](MvmWinFixture &, movements::TfrEbcMvm *f) {
                        f->xdnNrBollIst->setFocus();
                        QTest::keyClicks(f->xdnNrBollIst, QStringLiteral("123456789012"));
                    },
                    MvmText::SlipNumberTooLong},
        RefusalCase{"AccountClosedMeanwhile",
                    [](MvmWinFixture &fx, movements::TfrEbcMvm *) {
                        fx.exec(QStringLiteral("UPDATE TSprIst SET dEnd = '2026-12-31' WHERE iSprIstId = 1"));
                    },
                    QStringLiteral("Impossibile salvare i dati.\r\nIl conto è chiuso dal 31/12/2026: i suoi movimenti "
                                   "non si possono più registrare né modificare.")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MvmWindow, MovementDateOutsideAShortUserPeriodIsRefused)
{
    // The year may end early only once it holds no movement after its new end.
    exec(QStringLiteral("DELETE FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND dMvmDataMov > '2026-08-31'"));
    exec(QStringLiteral("UPDATE TCai_CassaIst SET dCaiFineAnno = '2026-08-31' WHERE iSprIstId = 1 AND iCaiEsercizioFin = 2026"));
    openWindow();
    startMovement(9100);
    frame()->collection()->setFieldValue(QStringLiteral("dMvmDataEc"), QDate(2026, 12, 31));
    frame()->collection()->setFieldValue(QStringLiteral("dMvmDataMov"), QDate(2026, 12, 31));
    EXPECT_FALSE(frame()->postMovement());
    EXPECT_EQ(messages.lastText(), MvmText::OutsideYear);
}

TEST_F(MvmWindow, NoteIsStoredWithTheMovementAndFollowsTheRow)
{
    openWindow();
    startMovement(9100);
    frame()->meNote->setPlainText(QStringLiteral("Pagato allo sportello"));
    ASSERT_TRUE(frame()->postMovement()) << qPrintable(messages.lastText());
    const int id = lastMovementId();
    EXPECT_EQ(scalar(QStringLiteral("SELECT bMvmNote FROM TMvm_MovimentiCcp WHERE iMvmId = %1").arg(id)).toString(),
              QStringLiteral("Pagato allo sportello"));
    ASSERT_TRUE(store->xqcMvm->setCurrentIndex(0));
    store->xqcMvm->locate(id);
    EXPECT_EQ(frame()->meNote->toPlainText(), QStringLiteral("Pagato allo sportello"));
    ASSERT_TRUE(frame()->insert());
    EXPECT_TRUE(frame()->meNote->toPlainText().isEmpty());
}

TEST_F(MvmWindow, PayerLookupWithoutCategoryAsksForOne)
{
    openWindow();
    ASSERT_TRUE(frame()->insert());
    frame()->xdlCategoria->chooseKey(QVariant());
    messages.clear();
    frame()->xdlBen->setVisible(true);
    frame()->xdlBen->lineEdit()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(messages.lastText(), MvmText::ChooseCategory);
}

TEST_F(MvmWindow, ClickOnAColumnTitleSortsByItsKeys)
{
    openWindow();
    QTest::mouseClick(frame()->grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(frame()->grid()->horizontalHeader()->sectionViewportPosition(1) + 5, 5));
    EXPECT_EQ(store->xqcMvm->sortKeys(), QStringLiteral("sCauLDesc;iMvmProgr"));
}

} // namespace
} // namespace ccp::mvmwin

namespace ccp::mvmwin {
namespace {

TEST_F(MvmWindow, PupilChosenSetsPersonSituationAndClass)
{
    openWindow();
    ASSERT_TRUE(frame()->insert());
    ASSERT_TRUE(frame()->xdlCategoria->chooseKey(1));
    EXPECT_EQ(frame()->payerLookup(), frame()->xdlAluSit);
    const int sit = scalar(QStringLiteral("SELECT MIN(iSitId) FROM TSit_Situazioni WHERE dStart = '2026-09-01' "
                                          "AND iClsPstId IS NOT NULL")).toInt();
    ASSERT_TRUE(frame()->xdlAluSit->chooseKey(sit));
    EXPECT_EQ(frame()->payer().iSitId.toInt(), sit);
    EXPECT_EQ(frame()->payer().iAnaId.toInt(),
              scalar(QStringLiteral("SELECT iAnaId FROM TSit_Situazioni WHERE iSitId = %1").arg(sit)).toInt());
    EXPECT_TRUE(frame()->payer().iBenId.isNull());
    EXPECT_FALSE(frame()->xdlClasse->text().isEmpty());
    // Another category forgets the pupil.
    ASSERT_TRUE(frame()->xdlCategoria->chooseKey(4));
    EXPECT_TRUE(frame()->payer().iSitId.isNull());
    EXPECT_TRUE(frame()->payer().iAnaId.isNull());
}

TEST_F(MvmWindow, PupilSearchOffersTheChosenSchoolYear)
{
    openWindow();
    ASSERT_TRUE(frame()->insert());
    ASSERT_TRUE(frame()->xdlCategoria->chooseKey(1));
    fw::TVeDBLookupEdit *l = frame()->xdlAluSit;
    std::unique_ptr<fw::TfmVeSearch> form(l->CreateSearchForm(w.get()));
    form->setSelectText(frame()->pupilSelect());
    l->OnShowSearchForm(*form);
    auto *search = qobject_cast<movements::TfmEbcSearchBen *>(form.get());
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Finestra di ricerca: Alunni"));
    EXPECT_EQ(search->schoolYear(), 26);
    // The demo institute is a group of schools: pupils with a class are searched per school.
    ASSERT_TRUE(w->context().isGroup);
    EXPECT_GT(search->cbIstituto->count(), 1);
    EXPECT_TRUE(search->cbIstituto->isVisibleTo(search));
    EXPECT_EQ(search->institute(), search->cbIstituto->itemData(0).toInt());
    ASSERT_TRUE(form->openList());
    auto yearsListed = [&]() {
        QSet<int> years;
        fw::TVeQueryCollection *c = form->collection();
        EXPECT_TRUE(c->fetchAll().ok());
        for (int r = 0; r < c->count(); ++r)
            years << c->value(r, QStringLiteral("iAnsId")).toInt();
        return years;
    };
    EXPECT_EQ(yearsListed(), QSet<int>{26});
    search->SetSchoolYear(25);
    EXPECT_EQ(yearsListed(), QSet<int>{25});
    form->setSearchText(QStringLiteral("zzzz-nessuno"));
    EXPECT_EQ(form->collection()->count(), 0);
}

} // namespace
} // namespace ccp::mvmwin

namespace ccp::mvmwin {
namespace {

TEST_F(MvmWindow, BarCodePanelNeedsItsRight)
{
    fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile());
    openWindow();
    EXPECT_FALSE(frame()->frBarCode->edBarCode->isEnabled());
    EXPECT_TRUE(frame()->xacInsert()->isEnabled());
    // Hiding the panel by hand survives a trip to Uscite and back.
    frame()->acShowHide->trigger();
    EXPECT_FALSE(frame()->paBarCode->isVisibleTo(frame()));
    w->selectTab(1);
    w->selectTab(0);
    EXPECT_FALSE(frame()->paBarCode->isVisibleTo(frame()));
    frame()->acShowHide->trigger();
    EXPECT_TRUE(frame()->paBarCode->isVisibleTo(frame()));
}

TEST_F(MvmWindow, TypingANoteWhileBrowsingEditsTheRow)
{
    openWindow();
    ASSERT_GE(store->xqcMvm->currentIndex(), 0);
    frame()->showPage(fw::TVeEditFrame::DetailPage);
    frame()->meNote->setFocus();
    QTest::keyClicks(frame()->meNote, QStringLiteral("Ricevuta"));
    EXPECT_EQ(frame()->mode(), 2);
    EXPECT_TRUE(frame()->meNote->hasFocus());
    EXPECT_TRUE(frame()->meNote->toPlainText().endsWith(QStringLiteral("Ricevuta")));
}


// A host that shows the filter: the condition from the dialog goes in the select's marker, the
// apply action takes it off and on, and the list gets back its own select when the frame goes.
TEST_F(MvmWindow, FilterOfAHostThatShowsIt)
{
    openWindow();
    EXPECT_FALSE(frame()->acFilter->isVisible());  // the movements window keeps it hidden
    fw::TVeQueryCollection *c = store->xqcMvm;
    const QString own = c->selectText();
    c->setSelectText(QString(own).replace(QStringLiteral(" ORDER BY"), QStringLiteral(" /* FILTER */ ORDER BY")));
    ASSERT_TRUE(c->refresh().ok());
    const QString base = c->selectText();
    ASSERT_TRUE(c->fetchAll().ok());
    const int all = c->count();

    fw::FilterDefinition def{QStringLiteral("EBC_MVMFL"), QStringLiteral("Movimenti"),
                             {{QStringLiteral("Mvm.fMvmImporto"), QStringLiteral("Importo"), fw::FilterFieldType::Money}}};
    ASSERT_TRUE(frame()->setFilterDefinition(def.toXml()).ok());
    frame()->setFilterActionsVisible(true);
    frame()->ShowFilterDialog = [](fw::TfmVeFilter &dialog) {
        fw::TVeFilter f;
        f.conditions << fw::FilterCondition{QStringLiteral("Mvm.fMvmImporto"), fw::FilterOperator::Greater,
                                            QStringLiteral("100,00")};
        dialog.frame()->setFilter(f);
        return int(QDialog::Accepted);
    };
    frame()->acFilter->trigger();
    ASSERT_TRUE(frame()->filterApplied()) << qPrintable(messages.lastText());
    EXPECT_TRUE(frame()->acApplyFilter->isChecked());
    ASSERT_TRUE(c->fetchAll().ok());
    ASSERT_GT(c->count(), 0);
    EXPECT_LT(c->count(), all);
    for (int row = 0; row < c->count(); ++row)
        ASSERT_GT(Money::fromVariant(c->value(row, QStringLiteral("fMvmImporto"))), Money::fromEuros(100)) << row;

    frame()->acApplyFilter->trigger();  // off
    EXPECT_FALSE(frame()->filterApplied());
    EXPECT_EQ(c->selectText(), base);
    ASSERT_TRUE(c->fetchAll().ok());
    EXPECT_EQ(c->count(), all);
    frame()->acApplyFilter->trigger();  // on again, same condition
    EXPECT_TRUE(frame()->filterApplied());
    EXPECT_NE(c->selectText(), base);

    w.reset();
    EXPECT_EQ(c->selectText(), base);
}


TEST_F(MvmWindow, CtrlEndGoesToTheLastMovementOfTheYear)
{
    openWindow();
    auto *grid = frame()->findChild<QTableView *>();
    ASSERT_NE(grid, nullptr);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    const int lastProgr = scalar(QStringLiteral(
        "SELECT MAX(iMvmProgr) FROM TMvm_MovimentiCcp WHERE iSprIstId = 1 AND lMvmTipo = 0 AND "
        "dMvmDataMov BETWEEN '2026-01-01' AND '2026-12-31'")).toInt();
    EXPECT_EQ(store->xqcMvm->value(store->xqcMvm->currentIndex(), QStringLiteral("iMvmProgr")).toInt(), lastProgr);
    EXPECT_EQ(grid->currentIndex().row(), store->xqcMvm->currentIndex());
    EXPECT_FALSE(store->xqcMvm->canFetchMore());
}

// Entering the code edit of a list just opened shows its end, where the readings will go; a
// list the clerk has moved in stays where it is.
TEST_F(MvmWindow, EnteringTheCodeEditShowsTheEndOfAListJustOpened)
{
    openWindow();
    movements::TfrEbcMvm *f = frame();
    fw::TVeQueryCollection *c = store->xqcMvm;
    const QDate day(2026, 10, 5);
    f->frBarCode->setDates(day, day);
    ASSERT_TRUE(c->canFetchMore());
    ASSERT_TRUE(c->setCurrentIndex(3));
    f->frBarCode->edBarCode->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(c->currentIndex(), 3);

    f->action(fw::TVeEditFrame::Refresh)->trigger();
    ASSERT_TRUE(c->setCurrentIndex(0));
    f->xdlCausale->setFocus();
    QApplication::processEvents();
    f->frBarCode->edBarCode->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(c->canFetchMore());
    EXPECT_EQ(c->currentIndex(), c->count() - 1);
    EXPECT_TRUE(f->frBarCode->edBarCode->hasFocus());
    EXPECT_TRUE(messages.entries().isEmpty()) << qPrintable(messages.lastText());
}

// A reading pair in the window: the new movement is the current row at the end of the list,
// painted light yellow with normal text although selected; the next pair moves the mark.
TEST_F(MvmWindow, ScannedMovementIsTheCurrentRowInLightYellow)
{
    openWindow();
    movements::TfrEbcMvm *f = frame();
    const QDate day(2026, 10, 5);
    f->frBarCode->setDates(day, day);
    f->frBarCode->edBarCode->setFocus();
    const int sit = scalar(QStringLiteral("SELECT MIN(iSitId) FROM TSit_Situazioni")).toInt();
    auto scan = [&]() {
        for (const QString &code : {QStringLiteral("9%1").arg(sit), QStringLiteral("09102")}) {
            QTest::keyClicks(f->frBarCode->edBarCode, code);
            QTest::keyClick(f->frBarCode->edBarCode, Qt::Key_Return);
        }
        QApplication::processEvents();
    };
    scan();
    ASSERT_TRUE(messages.entries().isEmpty()) << qPrintable(messages.lastText());
    const int first = lastMovementId();
    fw::TVeQueryCollection *c = store->xqcMvm;
    EXPECT_EQ(f->highlightedMvmId(), first);
    EXPECT_EQ(c->currentKey().toInt(), first);
    ASSERT_FALSE(c->canFetchMore());
    EXPECT_EQ(c->currentIndex(), c->count() - 1);
    auto *grid = f->findChild<QTableView *>();
    ASSERT_NE(grid, nullptr);
    auto pixelOfRow = [&](int row) {
        const QRect r = grid->visualRect(grid->model()->index(row, 1));
        return grid->viewport()->grab().toImage().pixelColor(r.right() - 3, r.center().y());
    };
    EXPECT_EQ(grid->currentIndex().row(), c->currentIndex());
    EXPECT_EQ(pixelOfRow(c->currentIndex()), fw::TVeQueryModel::highlightColour());

    scan();
    const int second = lastMovementId();
    ASSERT_NE(second, first);
    EXPECT_EQ(c->currentKey().toInt(), second);
    EXPECT_EQ(c->currentIndex(), c->count() - 1);
    EXPECT_EQ(c->keyOf(c->count() - 2).toInt(), first);
    EXPECT_EQ(pixelOfRow(c->count() - 1), fw::TVeQueryModel::highlightColour());
    EXPECT_NE(pixelOfRow(c->count() - 2), fw::TVeQueryModel::highlightColour());
}

} // namespace
} // namespace ccp::mvmwin
