// The movements window driven as a clerk: entry of movements, the split, the rules of Entrate
// and Uscite, the account-type layouts and the colours of the list.
#include "MvmWinFixture.h"

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

#include <QAction>
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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

TEST_F(MvmWindow, CashAccountHasNoStatementDate)
{
    openWindow(3);
    EXPECT_EQ(w->context().accountType, movements::MvmAccountType::Cash);
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
        RefusalCase{"MovementAfterStatement",
                    [](MvmWinFixture &, movements::TfrEbcMvm *f) {
                        f->collection()->setFieldValue(QStringLiteral("dMvmDataEc"), QDate(2026, 12, 1));
                        f->collection()->setFieldValue(QStringLiteral("dMvmDataMov"), QDate(2026, 12, 2));
                    },
                    MvmText::MovementAfterStatement},
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

} // namespace
} // namespace ccp::mvmwin
