#include "FrameworkTestSupport.h"
#include "MpgDemo.h"
#include "TVeDBCheckBox.h"
#include "TVeDBEdit.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::fw;
using ccp::fwtest::MpgDemoFrame;
using ccp::test::scalar;

namespace {

class EditFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        for (const char *sql : {
                 "DELETE FROM TMpg_ModPagam",
                 "INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (1, 'BONIFICO', 'Bonifico bancario', 1, 1, 0)",
                 "INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (2, 'CONTANTI', 'Contanti', 1, 1, 1)",
                 "INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (3, 'RID', 'Addebito diretto', 1, 0, 0)",
             })
            scalarExec(QString::fromLatin1(sql));
        frame = new MpgDemoFrame(t.db(), &host);
        host.resize(640, 420);
        frame->resize(640, 420);
        ASSERT_TRUE(frame->collection()->open().ok());
        host.show();
        QApplication::setActiveWindow(&host);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        frame->grid()->setFocus();
    }

    void scalarExec(const QString &sql)
    {
        QSqlQuery q(t.db());
        ASSERT_TRUE(q.exec(sql)) << qPrintable(sql);
    }

    QWidget *focused() const { return QApplication::focusWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget *target = focused() ? focused() : frame;
        QTest::keyClick(target, k, m);
    }
    // Row of the grid showing this code.
    int rowOf(const QString &code) const
    {
        for (int r = 0; r < frame->collection()->count(); ++r)
            if (frame->collection()->value(r, QStringLiteral("sMpgDescS")).toString() == code)
                return r;
        return -1;
    }

    test::TestDatabase t;
    RecordingMessageSink messages;
    QWidget host;
    MpgDemoFrame *frame = nullptr;
};

TEST_F(EditFrameTest, InsertByKeysReachesTheDatabase)
{
    key(Qt::Key_Insert);
    ASSERT_EQ(frame->mode(), 1);
    EXPECT_EQ(frame->currentPage(), TVeEditFrame::DetailPage);
    EXPECT_EQ(focused(), frame->xdeCodice);
    EXPECT_FALSE(frame->pages()->isTabEnabled(TVeEditFrame::ListPage));
    EXPECT_TRUE(frame->xckRisc->isChecked());  // default of a new row

    QTest::keyClicks(focused(), QStringLiteral("bollettino"));
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), frame->xdeDescrizione);
    QTest::keyClicks(focused(), QStringLiteral("Bollettino postale"));
    key(Qt::Key_F10);

    EXPECT_TRUE(messages.entries().isEmpty()) << qPrintable(messages.lastText());
    EXPECT_EQ(frame->mode(), 0);
    const int id = scalar(t.db(), QStringLiteral("SELECT iMpgId FROM TMpg_ModPagam WHERE sMpgDescS = 'BOLLETTINO'")).toInt();
    EXPECT_GT(id, 0);
    EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT sMpgDescL || '|' || lMpgRisc || '|' || lMpgPag FROM TMpg_ModPagam WHERE iMpgId = %1").arg(id)).toString(),
              QStringLiteral("Bollettino postale|1|0"));
    EXPECT_EQ(frame->hookLog, (QStringList{QStringLiteral("before 1 0 TMPG_MODPAGAM"),
                                           QStringLiteral("after 1 0 gen=%1 curr=").arg(id),
                                           QStringLiteral("afterInsert")}));
    // The new row is current, shown, and the controls are read-only again.
    EXPECT_EQ(frame->collection()->currentKey().toInt(), id);
    EXPECT_TRUE(frame->xdeCodice->isReadOnly());
    EXPECT_TRUE(frame->pages()->isTabEnabled(TVeEditFrame::ListPage));
}

TEST_F(EditFrameTest, RefusedPostsKeepTheRowInEditAndWriteNothing)
{
    struct Row
    {
        const char *name;
        QString code;
        bool risc;
        bool pag;
        QString message;
    };
    const Row rows[] = {
        {"required-code", QString(), true, false, QStringLiteral("Il campo Codice è obbligatorio.")},
        {"owner-check", QStringLiteral("NESSUNO"), false, false, MpgDemoFrame::kindMessage()},
    };
    const int before = scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TMpg_ModPagam")).toInt();
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        messages.clear();
        frame->hookLog.clear();
        ASSERT_TRUE(frame->insert());
        QTest::keyClicks(frame->xdeCodice, r.code);
        if (frame->xckRisc->isChecked() != r.risc)
            frame->xckRisc->click();
        if (frame->xckPag->isChecked() != r.pag)
            frame->xckPag->click();
        QTest::keyClick(frame->xdeCodice, Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(messages.entries().size(), 1);
        EXPECT_EQ(messages.lastText(), r.message);
        EXPECT_EQ(frame->mode(), 1);
        EXPECT_TRUE(frame->hookLog.isEmpty());
        EXPECT_FALSE(frame->xdeCodice->isReadOnly());
        frame->cancel();
    }
    EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TMpg_ModPagam")).toInt(), before);
}

TEST_F(EditFrameTest, ServerRefusalIsShownAndTheUserCanCorrect)
{
    ASSERT_TRUE(frame->insert());
    QTest::keyClicks(frame->xdeCodice, QStringLiteral("ERRATO"));
    // A value the table's CHECK refuses: the server's message is shown, the row stays in edit.
    frame->collection()->setFieldValue(QStringLiteral("lMpgPag"), 5);
    frame->xdeCodice->setFocus();
    key(Qt::Key_F10);
    ASSERT_EQ(messages.entries().size(), 1);
    EXPECT_EQ(messages.entries()[0].type, MsgType::Error);
    EXPECT_EQ(frame->mode(), 1);
    EXPECT_EQ(focused(), frame->xdeCodice);
    EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TMpg_ModPagam WHERE sMpgDescS = 'ERRATO'")).toInt(), 0);
    // Correct and post again.
    frame->xckPag->click();
    frame->xckPag->click();
    key(Qt::Key_F10);
    EXPECT_EQ(frame->mode(), 0);
    EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TMpg_ModPagam WHERE sMpgDescS = 'ERRATO'")).toInt(), 1);
}

TEST_F(EditFrameTest, EditFromTheGridAndPostWithCtrlEnter)
{
    const int row = rowOf(QStringLiteral("RID"));
    ASSERT_GE(row, 0);
    frame->grid()->setCurrentIndex(frame->model()->index(row, 0));
    EXPECT_EQ(frame->collection()->currentKey().toInt(), 3);
    key(Qt::Key_Return);
    EXPECT_EQ(frame->currentPage(), TVeEditFrame::DetailPage);
    EXPECT_EQ(frame->xdeDescrizione->text(), QStringLiteral("Addebito diretto"));
    key(Qt::Key_F2);
    ASSERT_EQ(frame->mode(), 2);
    frame->xdeDescrizione->setFocus();
    frame->xdeDescrizione->selectAll();
    QTest::keyClicks(frame->xdeDescrizione, QStringLiteral("Addebito SEPA"));
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(frame->mode(), 0);
    EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT sMpgDescL FROM TMpg_ModPagam WHERE iMpgId = 3")).toString(),
              QStringLiteral("Addebito SEPA"));
    EXPECT_EQ(frame->model()->data(frame->model()->index(rowOf(QStringLiteral("RID")), 1)).toString(),
              QStringLiteral("Addebito SEPA"));
}

TEST_F(EditFrameTest, EscCancelsThenGoesBackToTheList)
{
    frame->grid()->setCurrentIndex(frame->model()->index(rowOf(QStringLiteral("BONIFICO")), 0));
    frame->grid()->doubleClicked(frame->grid()->currentIndex());
    EXPECT_EQ(frame->currentPage(), TVeEditFrame::DetailPage);
    ASSERT_TRUE(frame->edit());
    QTest::keyClicks(frame->xdeCodice, QStringLiteral("XYZ"));
    key(Qt::Key_Escape);
    EXPECT_EQ(frame->mode(), 0);
    EXPECT_EQ(frame->xdeCodice->text(), QStringLiteral("BONIFICO"));
    EXPECT_EQ(frame->currentPage(), TVeEditFrame::DetailPage);
    key(Qt::Key_Escape);
    EXPECT_EQ(frame->currentPage(), TVeEditFrame::ListPage);
    EXPECT_EQ(focused(), frame->grid());
    EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT sMpgDescS FROM TMpg_ModPagam WHERE iMpgId = 1")).toString(),
              QStringLiteral("BONIFICO"));
    EXPECT_TRUE(messages.entries().isEmpty());
}

TEST_F(EditFrameTest, CtrlDelAsksAndMarksTheRowDeleted)
{
    frame->grid()->setCurrentIndex(frame->model()->index(rowOf(QStringLiteral("CONTANTI")), 0));
    messages.answer(MsgResult::No);
    key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(messages.entries().size(), 1);
    EXPECT_EQ(messages.entries()[0].type, MsgType::Confirmation);
    EXPECT_TRUE(scalar(t.db(), QStringLiteral("SELECT DDELETE FROM TMpg_ModPagam WHERE iMpgId = 2")).isNull());

    key(Qt::Key_Delete, Qt::ControlModifier);  // the fake answers Yes
    EXPECT_EQ(messages.entries().size(), 2);
    EXPECT_FALSE(scalar(t.db(), QStringLiteral("SELECT DDELETE FROM TMpg_ModPagam WHERE iMpgId = 2")).isNull());
    EXPECT_EQ(frame->hookLog, (QStringList{QStringLiteral("before 2 0 TMPG_MODPAGAM"),
                                           QStringLiteral("after 2 0 gen= curr=2"), QStringLiteral("afterDelete")}));
    frame->refresh();
    EXPECT_EQ(rowOf(QStringLiteral("CONTANTI")), -1);
    EXPECT_EQ(frame->model()->rowCount(), 2);
}

TEST_F(EditFrameTest, ActionsFollowModeRowsAndLocks)
{
    auto enabled = [&]() {
        QString s;
        for (QAction *a : {frame->xacInsert(), frame->xacEdit(), frame->xacPost(), frame->xacCancel(), frame->xacDelete()})
            s += a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    EXPECT_EQ(enabled(), QStringLiteral("11001"));
    frame->edit();
    EXPECT_EQ(enabled(), QStringLiteral("00110"));
    frame->cancel();
    frame->lockAction(TVeEditFrame::Insert, true);
    frame->lockAction(TVeEditFrame::Delete, true);
    EXPECT_EQ(enabled(), QStringLiteral("01000"));
    key(Qt::Key_Insert);  // locked: the key does nothing
    EXPECT_EQ(frame->mode(), 0);
    EXPECT_FALSE(frame->insert());
    frame->lockAction(TVeEditFrame::Insert, false);
    EXPECT_EQ(enabled(), QStringLiteral("11000"));
}

TEST_F(EditFrameTest, ClosingWhileEditingAsksToSave)
{
    struct Row
    {
        const char *name;
        MsgResult answer;
        bool closes;
        QString stored;
    };
    const Row rows[] = {
        {"cancel-keeps-open", MsgResult::Cancel, false, QStringLiteral("RID")},
        {"no-drops", MsgResult::No, true, QStringLiteral("RID")},
        {"yes-saves", MsgResult::Yes, true, QStringLiteral("RID2")},
    };
    frame->collection()->locate(3);
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        if (frame->mode() == 0) {
            ASSERT_TRUE(frame->edit());
        }
        frame->xdeCodice->setText(QString());
        QTest::keyClicks(frame->xdeCodice, QStringLiteral("RID2"));
        messages.answer(r.answer);
        EXPECT_EQ(frame->canClose(), r.closes);
        EXPECT_EQ(frame->mode() == 0, r.closes);
        EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT sMpgDescS FROM TMpg_ModPagam WHERE iMpgId = 3")).toString(), r.stored);
    }
}

} // namespace
