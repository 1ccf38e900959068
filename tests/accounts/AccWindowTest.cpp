#include "AccFixture.h"
#include "EbcFCcp.h"
#include "EbcFInitAnf.h"
#include "EbcMCcp.h"
#include "EbcRCassa.h"
#include "EbcRSprIst.h"
#include "EbcUCcp.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace ccp::acctest {

using namespace ccp::accounts;

class AccountsWindow : public AccFixture
{
protected:
    void open(int sprIstId)
    {
        fw::SetValues(QStringLiteral("EBCP_SprIstId"), QString::number(sprIstId));
        w = std::make_unique<TfmEbcCcp>(t.db());
        ASSERT_TRUE(w->openLists());
    }
    fw::TVeQueryCollection *accounts() { return w->dm()->xqcSprIst; }
    void editEnd(const QDate &end)
    {
        ASSERT_TRUE(w->frSprIst->edit());
        accounts()->setFieldValue(QStringLiteral("dEnd"), end);
    }
    std::unique_ptr<TfmEbcCcp> w;
};

TEST_F(AccountsWindow, OpeningAndClosingDatesAgainstTheMovements)
{
    addYear(account, 2009);
    addMovement(account, d(2009, 3, 15), 0, {{1, eur("10")}});
    addMovement(account, d(2009, 11, 20), 1, {{2, eur("4")}});
    open(account);
    ASSERT_EQ(accounts()->currentKey().toInt(), account);
    TfrEbcSprIst *f = w->frSprIst;
    f->IsWindowOpen = [](const QString &) { return false; };
    struct Row
    {
        const char *name;
        QDate start;
        bool accepted;
    } opening[] = {{"day after the first movement", d(2009, 3, 16), false}, {"day of the first movement", d(2009, 3, 15), true}};
    for (const Row &r : opening) {
        ASSERT_TRUE(f->edit());
        accounts()->setFieldValue(QStringLiteral("dStart"), r.start);
        messages.clear();
        EXPECT_EQ(f->validateOpening(), r.accepted) << r.name;
        if (!r.accepted) {
            EXPECT_EQ(messages.lastText(), CcpMessages::OpeningAfterFirst.arg(QStringLiteral("15/03/2009"))) << r.name;
        }
        f->cancel();
    }
    messages.clear();
    editEnd(d(2009, 11, 19));
    EXPECT_FALSE(f->validateClosing());
    EXPECT_EQ(messages.lastText(), CcpMessages::ClosingBeforeLast.arg(QStringLiteral("20/11/2009")));
    messages.answer(fw::MsgResult::No);
    accounts()->setFieldValue(QStringLiteral("dEnd"), d(2009, 11, 20));
    EXPECT_FALSE(f->validateClosing());  // declined
    EXPECT_EQ(messages.lastText(), CcpMessages::CloseQuestion);
    EXPECT_EQ(f->mode(), 0);
    EXPECT_FALSE(f->closingChanged());
}

TEST_F(AccountsWindow, ClosingRefusedWhileMovementsOpenThenClosedAndReopened)
{
    addYear(account, 2009);
    addMovement(account, d(2009, 3, 15), 0, {{1, eur("10")}});
    open(account);
    TfrEbcSprIst *f = w->frSprIst;
    bool movementsOpen = true;
    QString askedFor;
    f->IsWindowOpen = [&](const QString &caption) {
        askedFor = caption;
        return movementsOpen;
    };
    editEnd(d(2009, 12, 31));
    accounts()->setFieldValue(QStringLiteral("sSprIstIntest"), QStringLiteral("Cambiato"));
    f->xacPost()->trigger();
    EXPECT_EQ(askedFor, QStringLiteral("Movimenti"));
    EXPECT_EQ(messages.lastText(), CcpMessages::CloseWindowOpen.arg(QStringLiteral("Movimenti")));
    EXPECT_EQ(f->mode(), 0);
    EXPECT_TRUE(accounts()->fieldValue(QStringLiteral("dEnd")).isNull());
    EXPECT_TRUE(accounts()->fieldValue(QStringLiteral("sSprIstIntest")).isNull());
    EXPECT_TRUE(scalar(QStringLiteral("SELECT dEnd FROM TSprIst WHERE iSprIstId = %1").arg(account)).isNull());

    // Closed once the window is gone: the procedure locks its movements.
    movementsOpen = false;
    editEnd(d(2009, 12, 31));
    f->xacPost()->trigger();
    EXPECT_EQ(f->mode(), 0) << qPrintable(messages.lastText());
    EXPECT_EQ(scalar(QStringLiteral("SELECT dEnd FROM TSprIst WHERE iSprIstId = %1").arg(account)).toDate(), d(2009, 12, 31));
    EXPECT_EQ(scalar(QStringLiteral("SELECT MIN(iLocked) FROM TMvm_MovimentiCcp WHERE iSprIstId = %1").arg(account)).toInt(), 1);

    // Hidden until asked for, then red, read-only but for the closing date, and reopened.
    EXPECT_FALSE(accounts()->locate(account).value() >= 0);
    f->acShowClosed->trigger();
    ASSERT_GE(accounts()->locate(account).value(), 0);
    EXPECT_EQ(f->model()->data(f->model()->index(accounts()->currentIndex(), 0), Qt::ForegroundRole).value<QColor>(),
              QColor(Qt::red));
    EXPECT_TRUE(f->xdeNumCc->isReadOnlyByOwner());
    EXPECT_FALSE(f->xddEnd->isReadOnlyByOwner());
    messages.clear();
    editEnd(QDate());
    f->xacPost()->trigger();
    EXPECT_EQ(messages.entries().first().text, CcpMessages::ReopenQuestion);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT dEnd FROM TSprIst WHERE iSprIstId = %1").arg(account)).isNull());
    EXPECT_EQ(scalar(QStringLiteral("SELECT MAX(iLocked) FROM TMvm_MovimentiCcp WHERE iSprIstId = %1").arg(account)).toInt(), 0);
}

TEST_F(AccountsWindow, CashBankAndNumberPadding)
{
    open(account);
    TfrEbcSprIst *f = w->frSprIst;
    ASSERT_TRUE(f->insert());
    EXPECT_TRUE(f->bankControlsShown());
    ASSERT_TRUE(f->xdlBanAbi->chooseKey(2));  // postal
    accounts()->setFieldValue(QStringLiteral("sSprIstNumCc"), QStringLiteral("1234"));
    ASSERT_TRUE(f->validateNumber());
    EXPECT_EQ(accounts()->fieldValue(QStringLiteral("sSprIstNumCc")).toString(), QStringLiteral("00001234"));
    accounts()->setFieldValue(QStringLiteral("sSprIstIntest"), QStringLiteral("Istituto"));
    ASSERT_TRUE(f->xdlBanAbi->chooseKey(CashBankId));
    const QVariant cashBranch = scalar(QStringLiteral("SELECT iSprId FROM TSpr_SportelliCab WHERE iBanId = 3 AND sSprCab = '40299'"));
    EXPECT_EQ(accounts()->fieldValue(QStringLiteral("iSprId")).toInt(), cashBranch.toInt());
    EXPECT_EQ(accounts()->fieldValue(QStringLiteral("sSprIstNumCc")).toString(), QStringLiteral("00000000"));
    EXPECT_TRUE(accounts()->fieldValue(QStringLiteral("sSprIstIntest")).toString().isEmpty());
    EXPECT_FALSE(f->bankControlsShown());
    f->cancel();

    ASSERT_TRUE(f->insert());
    ASSERT_TRUE(f->xdlBanAbi->chooseKey(11));  // a bank
    accounts()->setFieldValue(QStringLiteral("sSprIstNumCc"), QStringLiteral("1234"));
    ASSERT_TRUE(f->validateNumber());
    EXPECT_EQ(accounts()->fieldValue(QStringLiteral("sSprIstNumCc")).toString(), QStringLiteral("000000001234"));
    messages.clear();
    EXPECT_FALSE(f->validateCab());
    EXPECT_EQ(messages.lastText(), CcpMessages::CabRequired);
    f->cancel();
}

TEST_F(AccountsWindow, WorkingAccountIsYellowAndNotDeletable)
{
    addAccount();
    open(account);
    TfrEbcSprIst *f = w->frSprIst;
    EXPECT_TRUE(f->isWorkingAccount());
    EXPECT_FALSE(f->deleteCurrent());
    EXPECT_EQ(messages.lastText(), CcpMessages::WorkingNotDeletable);
    EXPECT_GE(accounts()->locate(account).value(), 0);
}

TEST_F(AccountsWindow, BalancesFollowTheAccountAndCompositionTheYearsOwnLastDay)
{
    // 2025 runs 01/09/2024-31/08/2025, 2026 follows it: 31/12/2025 lies in 2026.
    addYear(account, 2025, d(2024, 9, 1), d(2025, 8, 31), {eur("10"), eur("20"), eur("0"), eur("5")});
    addYear(account, 2026, d(2025, 9, 1), d(2026, 12, 31));
    addMovement(account, d(2025, 3, 1), 0, {{1, eur("7")}, {100, eur("3")}, {2, eur("1.25")}});
    addMovement(account, d(2025, 8, 31), 1, {{4, eur("2")}});
    addMovement(account, d(2025, 10, 1), 0, {{1, eur("1000")}});  // 2026
    open(account);
    fw::TVeQueryCollection *cai = w->dm()->xqcCai;
    fw::TVeQueryCollection *tcc = w->dm()->xqcTcc;
    EXPECT_EQ(cai->value(cai->currentIndex(), QStringLiteral("iCaiEsercizioFin")).toInt(), 2026);  // working year
    ASSERT_TRUE(cai->setCurrentIndex(0));
    ASSERT_TRUE(tcc->fetchAll().ok());
    const QMap<int, Money> expected = {{1, eur("20")}, {2, eur("21.25")}, {3, eur("0")}, {4, eur("3")}};
    for (int row = 0; row < tcc->count(); ++row) {
        const int type = tcc->keyOf(row).toInt();
        if (expected.contains(type)) {
            EXPECT_EQ(Money::fromVariant(tcc->value(row, QStringLiteral("fTccImporto"))), expected.value(type)) << type;
        }
    }
    // Another account: its own (empty) balances.
    const int other = addAccount();
    accounts()->refresh();
    ASSERT_GE(accounts()->locate(other).value(), 0);
    EXPECT_EQ(cai->count(), 0);
}

TEST_F(AccountsWindow, YearDatesMovedAndShownInTheGrid)
{
    addYear(account, 2009);
    addYear(account, 2010);
    open(account);
    fw::TVeQueryCollection *cai = w->dm()->xqcCai;
    ASSERT_TRUE(cai->setCurrentIndex(1));
    w->BeforeDialog = [](QDialog &dlg) {
        auto dates = dlg.findChildren<fw::TVeDBDateEdit *>();
        ASSERT_EQ(dates.size(), 2);
        dates[0]->setDate(d(2010, 9, 1));
        dates[1]->setDate(d(2011, 8, 31));
        QMetaObject::invokeMethod(&dlg, "accept", Qt::QueuedConnection);
    };
    messages.answer(fw::MsgResult::Yes);
    messages.answer(fw::MsgResult::Yes);
    w->updateYearDates();
    ASSERT_EQ(messages.entries().size(), 2);
    EXPECT_EQ(messages.entries()[0].text, CcpMessages::GapQuestion.arg(QStringLiteral("01/01/2010"), QStringLiteral("31/08/2010")));
    EXPECT_EQ(cai->value(1, QStringLiteral("dInizioAnno")).toDate(), d(2010, 9, 1));
    EXPECT_EQ(cai->value(1, QStringLiteral("dFineAnno")).toDate(), d(2011, 8, 31));
}

// ---- the year wizard ----------------------------------------------------------------------------

class YearWizard : public AccFixture
{
protected:
    std::unique_ptr<TfmEbcInitAnf> make(int sprIstId)
    {
        return std::make_unique<TfmEbcInitAnf>(t.db(), sprIstId, 26);
    }
    Money sumOf(const QList<Money> &l)
    {
        Money s;
        for (Money m : l)
            s += m;
        return s;
    }
};

TEST_F(YearWizard, PreselectsTheYearAfterTheLastAndWarnsOfLockedYears)
{
    addYear(account, 2009);
    auto wz = make(account);
    EXPECT_EQ(wz->chosenYear(), 2010);
    EXPECT_EQ(wz->cbAnno->currentData().toInt(), 110);
    EXPECT_TRUE(wz->nextButton()->isEnabled());
    EXPECT_FALSE(wz->gbDate->isVisibleTo(wz.get()));
    EXPECT_EQ(wz->xddInizio->date(), d(2010, 1, 1));

    const int lockedRow = addYear(account, 2012);
    exec(QStringLiteral("UPDATE TCai_CassaIst SET iLocked = 1 WHERE iCaiId = %1").arg(lockedRow));
    wz->cbAnno->setCurrentIndex(wz->cbAnno->findText(QStringLiteral("2012")));
    EXPECT_EQ(messages.lastText(), CcpMessages::YearLocked.arg(2012));
    EXPECT_EQ(wz->cbAnno->currentIndex(), -1);
    EXPECT_FALSE(wz->nextButton()->isEnabled());
}

TEST_F(YearWizard, CarryOverEqualsOpeningPlusSplitRowsAndOkFollowsTheSum)
{
    const QList<Money> opening = {eur("100"), eur("50"), eur("0"), eur("20")};
    addYear(account, 2009, {}, {}, opening);
    struct Mvm
    {
        QDate day;
        int tipo;
        QMap<int, Money> split;
    };
    const QList<Mvm> mvms = {{d(2009, 2, 1), 0, {{1, eur("12.5")}, {100, eur("7.5")}}},
                             {d(2009, 6, 30), 1, {{1, eur("20")}, {4, eur("4.5")}}},
                             {d(2009, 12, 31), 0, {{2, eur("0.01")}, {4, eur("10")}}}};
    QMap<int, Money> expected;
    for (int type = 1; type <= 4; ++type)
        expected[type] = opening[type - 1];
    for (const Mvm &m : mvms) {
        addMovement(account, m.day, m.tipo, m.split);
        if (m.day.year() != 2009)
            continue;
        for (auto it = m.split.begin(); it != m.split.end(); ++it) {
            const int top = it.key() == 100 ? 1 : it.key();
            expected[top] += m.tipo == 0 ? it.value() : -it.value();
        }
    }
    auto wz = make(account);
    ASSERT_EQ(wz->chosenYear(), 2010);
    ASSERT_TRUE(wz->next());
    const Opening o = wz->opening();
    ASSERT_EQ(o.types.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(o.types[i], expected.value(wz->types()[i].tccId)) << wz->types()[i].tccId;
    EXPECT_EQ(o.balance, sumOf(expected.values()));
    EXPECT_TRUE(wz->okButton()->isEnabled());

    // Typed as a clerk does: Down moves to the next edit, leaving it rechecks OK.
    wz->show();
    QApplication::setActiveWindow(wz.get());
    wz->amountEdits[1]->setFocus();
    EXPECT_EQ(wz->amountEdits[1]->palette().color(QPalette::Base), QColor(255, 255, 132));
    wz->amountEdits[1]->selectAll();
    QTest::keyClicks(wz->amountEdits[1], (o.types[0] + eur("1")).toEdit());
    QTest::keyClick(wz->amountEdits[1], Qt::Key_Down);
    EXPECT_TRUE(wz->amountEdits[2]->hasFocus());
    EXPECT_NE(wz->amountEdits[1]->palette().color(QPalette::Base), QColor(255, 255, 132));
    EXPECT_FALSE(wz->okButton()->isEnabled());
    QTest::keyClick(wz->amountEdits[2], Qt::Key_Up);
    EXPECT_TRUE(wz->amountEdits[1]->hasFocus());
}

TEST_F(YearWizard, CarryOverOfAYearWithItsOwnDatesIsItsClosing)
{
    // 2009 runs 01/09/2008-31/08/2009; 31 December 2009 lies in no year of the account.
    const QList<Money> opening = {eur("10"), eur("0"), eur("30.30"), eur("0")};
    addYear(account, 2009, d(2008, 9, 1), d(2009, 8, 31), opening);
    QMap<int, Money> expected;
    for (int type = 1; type <= 4; ++type)
        expected[type] = opening[type - 1];
    addMovement(account, d(2008, 9, 1), 0, {{1, eur("1.10")}, {2, eur("2")}});
    addMovement(account, d(2009, 8, 31), 1, {{3, eur("0.30")}, {100, eur("4")}});
    expected[1] += eur("1.10") - eur("4");
    expected[2] += eur("2");
    expected[3] -= eur("0.30");
    auto wz = make(account);
    ASSERT_EQ(wz->chosenYear(), 2010);
    messages.answer(fw::MsgResult::Yes);  // the days from 01/09/2009 belong to no year
    messages.answer(fw::MsgResult::Yes);
    ASSERT_TRUE(wz->next()) << qPrintable(messages.lastText());
    const Opening o = wz->opening();
    Money total;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(o.types[i], expected.value(wz->types()[i].tccId)) << wz->types()[i].tccId;
        total += expected.value(wz->types()[i].tccId);
    }
    EXPECT_EQ(o.balance, total);
}

TEST_F(YearWizard, BalancesOfOneHundredFiftyZeroAndTwentyFiveFifty)
{
    addYear(account, 2009, {}, {}, {eur("100"), eur("50"), eur("0"), eur("25.50")});
    auto wz = make(account);
    ASSERT_TRUE(wz->next());
    EXPECT_EQ(wz->amountEdits.first()->money(), eur("175.50"));
    EXPECT_TRUE(wz->okButton()->isEnabled());
    wz->amountEdits[4]->setMoney(eur("26.50"));
    wz->updateOk();
    EXPECT_FALSE(wz->okButton()->isEnabled());
}

TEST_F(YearWizard, CustomDatesEndThePreviousYearOnOk)
{
    addYear(account, 2009);
    auto wz = make(account);
    wz->cbPersonalizza->setChecked(true);
    wz->xddInizio->setDate(d(2009, 9, 1));
    wz->xddFine->setDate(d(2010, 8, 31));
    messages.answer(fw::MsgResult::Yes);  // end 2009 on 31/08/2009
    ASSERT_TRUE(wz->next()) << qPrintable(messages.lastText());
    EXPECT_TRUE(wz->endsPreviousYear());
    messages.answer(fw::MsgResult::Yes);  // create
    wz->accept();
    EXPECT_EQ(wz->result(), QDialog::Accepted) << qPrintable(messages.lastText());
    EXPECT_EQ(messages.lastText(), CcpMessages::CreateDone);
    EXPECT_EQ(scalar(QStringLiteral("SELECT dCaiFineAnno FROM TCai_CassaIst WHERE iSprIstId = %1 AND iCaiEsercizioFin = 2009")
                         .arg(account)).toDate(), d(2009, 8, 31));
    EXPECT_EQ(scalar(QStringLiteral("SELECT dCaiInizioAnno FROM TCai_CassaIst WHERE iSprIstId = %1 AND iCaiEsercizioFin = 2010")
                         .arg(account)).toDate(), d(2009, 9, 1));
}

TEST_F(YearWizard, CalendarYearCreatedWithNullDatesWithoutQuestions)
{
    addYear(account, 2009);
    auto wz = make(account);
    ASSERT_TRUE(wz->next());
    EXPECT_TRUE(messages.entries().isEmpty());
    messages.answer(fw::MsgResult::Yes);
    wz->accept();
    EXPECT_EQ(messages.lastText(), CcpMessages::CreateDone);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TCai_CassaIst WHERE iSprIstId = %1 AND iCaiEsercizioFin = 2010 "
                                    "AND dCaiInizioAnno IS NULL AND dCaiFineAnno IS NULL").arg(account)).toInt(), 1);
}

TEST_F(YearWizard, ModifyModeRewritesTheSelectedAccountsYear)
{
    const int caiId = addYear(account, 2010, {}, {}, {eur("1"), eur("2"), eur("3"), eur("4")});
    auto wz = make(account);
    wz->setModifyMode(2010, caiId);
    EXPECT_EQ(wz->currentPage(), 1);
    EXPECT_FALSE(wz->nextButton()->isVisibleTo(wz.get()));
    EXPECT_EQ(wz->amountEdits.first()->money(), eur("10"));
    wz->amountEdits[1]->setMoney(eur("5"));
    wz->accept();  // the types no longer add up to the balance
    EXPECT_NE(wz->result(), QDialog::Accepted);
    wz->amountEdits.first()->setMoney(eur("14"));
    wz->amountEdits.last()->setMoney(eur("2"));
    wz->accept();
    EXPECT_EQ(wz->result(), QDialog::Accepted);
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral("SELECT fCaiCassaIn FROM TCai_CassaIst WHERE iCaiId = %1").arg(caiId))),
              eur("14"));
    EXPECT_EQ(Money::fromVariant(scalar(QStringLiteral("SELECT fCaiDiffIniz FROM TCai_CassaIst WHERE iCaiId = %1").arg(caiId))),
              eur("2"));
}

} // namespace ccp::acctest
