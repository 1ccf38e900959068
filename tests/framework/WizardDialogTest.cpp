#include "FrameworkTestSupport.h"
#include "TVeDialog.h"
#include "TVeMdiForm.h"
#include "TVeWizard.h"
#include "VeMessageDlg.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <functional>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace ccp::fw;

TEST(Wizard, PageChecksCanRefuseTheMove)
{
    TVeWizard w(QStringLiteral("Esportazione"));
    auto *name = new QLineEdit;
    w.addPage(name, QStringLiteral("Dati"));
    w.addPage(new QWidget, QStringLiteral("Riepilogo"));
    w.addPage(new QWidget, QStringLiteral("Fine"));
    QStringList log;
    w.onPageLeave = [&](int page, bool forward) {
        log << QStringLiteral("leave %1 %2").arg(page).arg(forward);
        return !(page == 0 && name->text().isEmpty());
    };
    w.onPageEnter = [&](int page, bool) {
        log << QStringLiteral("enter %1").arg(page);
        return page != 2 || name->text() != QStringLiteral("stop");
    };
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    EXPECT_FALSE(w.priorButton()->isEnabled());
    EXPECT_FALSE(w.okButton()->isEnabled());
    EXPECT_FALSE(w.next());  // empty name: page 0 refuses
    EXPECT_EQ(w.currentPage(), 0);
    name->setText(QStringLiteral("stop"));
    EXPECT_TRUE(w.next());
    EXPECT_EQ(w.currentPage(), 1);
    EXPECT_FALSE(w.next());  // page 2 refuses to be entered
    EXPECT_EQ(w.currentPage(), 1);
    EXPECT_TRUE(w.prior());  // back: the page left is not asked
    name->setText(QStringLiteral("ok"));
    // Enter presses the default button, "Avanti".
    w.nextButton()->setFocus();
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(w.currentPage(), 1);
    EXPECT_TRUE(w.next());
    EXPECT_TRUE(w.okButton()->isEnabled());
    EXPECT_FALSE(w.nextButton()->isEnabled());
    EXPECT_EQ(log, (QStringList{QStringLiteral("leave 0 1"), QStringLiteral("leave 0 1"), QStringLiteral("enter 1"),
                                QStringLiteral("leave 1 1"), QStringLiteral("enter 2"), QStringLiteral("enter 0"),
                                QStringLiteral("leave 0 1"), QStringLiteral("enter 1"), QStringLiteral("leave 1 1"),
                                QStringLiteral("enter 2")}));
    w.okButton()->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST(Dialog, OkClosesOnlyWhenValidAndEscCancels)
{
    struct Row
    {
        const char *name;
        bool valid;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool visibleAfter;
        int result;
    };
    const Row rows[] = {
        {"ctrl-enter-valid", true, Qt::Key_Return, Qt::ControlModifier, false, QDialog::Accepted},
        {"ctrl-enter-refused", false, Qt::Key_Return, Qt::ControlModifier, true, QDialog::Rejected},
        {"esc", true, Qt::Key_Escape, Qt::NoModifier, false, QDialog::Rejected},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        TVeDialog d(QStringLiteral("Prova"));
        auto *edit = new QLineEdit;
        d.contentLayout()->addWidget(edit);
        d.setValidator([&]() { return r.valid; });
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        edit->setFocus();
        QTest::keyClick(edit, r.key, r.mods);
        EXPECT_EQ(d.isVisible(), r.visibleAfter);
        EXPECT_EQ(d.result(), r.result);
    }
}


// A wizard or dialog shown in the main window's area takes its frame with it however it ends.
TEST(Wizard, EndingADialogInTheMainWindowRemovesItsFrame)
{
    struct Case
    {
        const char *name;
        std::function<void(TVeWizard &)> end;
    };
    const Case cases[] = {
        {"Esc", [](TVeWizard &w) { QTest::keyClick(&w, Qt::Key_Escape); }},
        {"Annulla", [](TVeWizard &w) { w.cancelButton()->click(); }},
        {"the frame's close", [](TVeWizard &w) { qobject_cast<QMdiSubWindow *>(w.parentWidget())->close(); }},
    };
    for (const Case &c : cases) {
        QMdiArea area;
        area.show();
        auto *wizard = new TVeWizard(QStringLiteral("Esportazione"));
        wizard->addPage(new QLineEdit, QStringLiteral("Uno"));
        QPointer<QMdiSubWindow> sub = addFormWindow(&area, wizard);
        sub->show();
        c.end(*wizard);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(sub.isNull()) << c.name;
        EXPECT_TRUE(area.subWindowList().isEmpty()) << c.name;
    }
}
