#include "FrameworkTestSupport.h"
#include "MpgDemo.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "TestDatabase.h"
#include "TfmVeSearch.h"
#include "VeMessageDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace ccp;
using namespace ccp::fw;
using ccp::test::scalar;

namespace {

class LookupSearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.ok()) << qPrintable(t.error());
        QSqlQuery q(t.db());
        // Only the rows the cases talk about.
        ASSERT_TRUE(q.exec(QStringLiteral("DELETE FROM TMpg_ModPagam")));
        const QStringList rows = {
            QStringLiteral("(1, 'BONIFICO', 'Bonifico bancario')"), QStringLiteral("(2, 'BOLLETTINO', 'Bollettino postale')"),
            QStringLiteral("(3, 'CONTANTI', 'Contanti')"),          QStringLiteral("(4, 'RID', 'Addebito diretto')"),
            QStringLiteral("(5, 'O''NEIL', 'Carta dell''ufficio')"),
        };
        for (const QString &r : rows)
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL) VALUES ") + r));
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome) VALUES (900, 'ROSSI')")));
    }

    test::TestDatabase t;
    RecordingMessageSink messages;
};

// Drives the search window that the lookup opens, then lets it run modally.
void onSearchWindow(std::function<void(TfmVeSearch *)> action)
{
    fwtest::onNextModal([action](QWidget *w) {
        auto *form = qobject_cast<TfmVeSearch *>(w);
        ASSERT_NE(form, nullptr);
        action(form);
    });
}

QStringList listed(TfmVeSearch &form)
{
    QStringList out;
    for (int r = 0; r < form.model()->rowCount(); ++r)
        out << form.collection()->value(r, QStringLiteral("sMpgDescS")).toString();
    return out;
}

TEST_F(LookupSearchTest, SearchTextIsBoundNeverPastedIntoSql)
{
    struct Row
    {
        const char *name;
        QString text;
        QStringList codes;
    };
    const Row rows[] = {
        {"nothing", QString(), {QStringLiteral("BOLLETTINO"), QStringLiteral("BONIFICO"), QStringLiteral("CONTANTI"), QStringLiteral("O'NEIL"), QStringLiteral("RID")}},
        {"in-code-any-case", QStringLiteral("bo"), {QStringLiteral("BOLLETTINO"), QStringLiteral("BONIFICO")}},
        {"in-description", QStringLiteral("diretto"), {QStringLiteral("RID")}},
        {"quote", QStringLiteral("o'n"), {QStringLiteral("O'NEIL")}},
        {"injection", QStringLiteral("x' OR '1'='1"), {}},
        {"wildcard-is-literal", QStringLiteral("%"), {}},
        {"statement", QStringLiteral("'; DELETE FROM TMpg_ModPagam; --"), {}},
    };
    TfmVeSearch form(t.db());
    form.setSelectText(QString::fromLatin1(fwtest::MpgDemoFrame::Select));
    form.setSortKeys(QStringLiteral("sMpgDescS"));
    form.setColumns({{QStringLiteral("iMpgId"), QStringLiteral("Id"), false, false, -1, {}},
                     {QStringLiteral("sMpgDescS"), QStringLiteral("Codice"), true, true, 100, {}},
                     {QStringLiteral("sMpgDescL"), QStringLiteral("Descrizione"), true, true, 250, {}}});
    ASSERT_TRUE(form.openList());
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        form.setSearchText(r.text);
        EXPECT_EQ(listed(form), r.codes);
    }
    EXPECT_TRUE(messages.entries().isEmpty()) << qPrintable(messages.lastText());
    EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM TMpg_ModPagam")).toInt(), 5);
}

TEST_F(LookupSearchTest, SearchWindowKeysSortAndChoose)
{
    TfmVeSearch form(t.db());
    form.setSelectText(QString::fromLatin1(fwtest::MpgDemoFrame::Select));
    form.setSortKeys(QStringLiteral("sMpgDescS"));
    form.setTypingDelay(0);
    form.setColumns({{QStringLiteral("iMpgId"), QStringLiteral("Id"), false, false, -1, {}},
                     {QStringLiteral("sMpgDescS"), QStringLiteral("Codice"), true, true, 100, {}},
                     {QStringLiteral("sMpgDescL"), QStringLiteral("Descrizione"), true, true, 250, {}}});
    // Sorting by the description column is done by the server.
    ASSERT_TRUE(form.openList());
    form.grid()->sortByColumn(1, Qt::DescendingOrder);
    EXPECT_EQ(listed(form).first(), QStringLiteral("CONTANTI"));  // "Contanti" is last alphabetically
    form.grid()->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(listed(form).first(), QStringLiteral("BOLLETTINO"));

    // Typing narrows, Down moves in the list without leaving the box, Enter chooses.
    fwtest::onNextModal([&](QWidget *) {
        EXPECT_TRUE(form.searchEdit()->hasFocus());
        QTest::keyClicks(form.searchEdit(), QStringLiteral("bo"));
        QTest::qWait(20);
        EXPECT_EQ(listed(form), (QStringList{QStringLiteral("BOLLETTINO"), QStringLiteral("BONIFICO")}));
        QTest::keyClick(form.searchEdit(), Qt::Key_Down);
        EXPECT_TRUE(form.searchEdit()->hasFocus());
        QTest::keyClick(form.searchEdit(), Qt::Key_Return);
    });
    ASSERT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.chosenKey().toInt(), 1);
    EXPECT_EQ(form.chosenValue(QStringLiteral("smpgdescl")).toString(), QStringLiteral("Bonifico bancario"));

    // Esc cancels.
    fwtest::onNextModal([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
}

class LookupFrameTest : public LookupSearchTest
{
protected:
    void SetUp() override
    {
        LookupSearchTest::SetUp();
        if (HasFatalFailure())
            return;
        frame = new fwtest::AcbDemoFrame(t.db(), 900, &host);
        host.resize(600, 300);
        frame->resize(600, 300);
        ASSERT_TRUE(frame->collection()->open().ok());
        host.show();
        QApplication::setActiveWindow(&host);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        ASSERT_TRUE(frame->insert());
        ASSERT_EQ(QApplication::focusWidget(), frame->xdlModPag->lineEdit());
    }
    void typeInLookup(const QString &text)
    {
        QLineEdit *e = frame->xdlModPag->lineEdit();
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }

    QWidget host;
    fwtest::AcbDemoFrame *frame = nullptr;
};

TEST_F(LookupFrameTest, TypedCodesAreLookedUpDirectly)
{
    struct Row
    {
        const char *name;
        QString typed;
        QVariant key;          // expected key after leaving (null: nothing chosen)
        QString shown;
        bool refused;
    };
    const Row rows[] = {
        {"exact-code", QStringLiteral("rid"), 4, QStringLiteral("RID"), false},
        {"only-match-contains", QStringLiteral("ntan"), 3, QStringLiteral("CONTANTI"), false},
        {"quote-in-code", QStringLiteral("o'neil"), 5, QStringLiteral("O'NEIL"), false},
        {"unknown", QStringLiteral("ZZZ"), 5, QStringLiteral("ZZZ"), true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        messages.clear();
        typeInLookup(r.typed);
        QTest::keyClick(frame->xdlModPag->lineEdit(), Qt::Key_Tab);
        QTest::qWait(10);
        EXPECT_EQ(frame->xdlModPag->key(), r.key);
        EXPECT_EQ(frame->xdlModPag->text(), r.shown);
        EXPECT_EQ(messages.entries().size(), r.refused ? 1 : 0);
        if (r.refused) {
            EXPECT_EQ(messages.lastText(), TVeDBLookupEdit::notFoundMessage(r.typed));
            EXPECT_TRUE(frame->xdlModPag->lineEdit()->hasFocus());
            // Esc gives the stored choice back without cancelling the row.
            QTest::keyClick(frame->xdlModPag->lineEdit(), Qt::Key_Escape);
            EXPECT_EQ(frame->xdlModPag->text(), QStringLiteral("O'NEIL"));
            EXPECT_EQ(frame->mode(), 1);
        } else {
            EXPECT_EQ(frame->collection()->fieldValue(QStringLiteral("iMpgId")), r.key);
        }
    }
    EXPECT_EQ(frame->changes, 3);
}

TEST_F(LookupFrameTest, SeveralMatchesOpenTheSearchWindowWithTheText)
{
    onSearchWindow([](TfmVeSearch *form) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Modalità di pagamento"));
        EXPECT_EQ(form->searchText(), QStringLiteral("bo"));
        QTest::qWait(400);  // typing delay
        EXPECT_EQ(form->model()->rowCount(), 2);
        QTest::keyClick(form->grid(), Qt::Key_Down);
        QTest::keyClick(form->grid(), Qt::Key_Return);
    });
    typeInLookup(QStringLiteral("bo"));
    QTest::keyClick(frame->xdlModPag->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(frame->xdlModPag->text(), QStringLiteral("BONIFICO"));
    EXPECT_EQ(frame->xdlModPag->key().toInt(), 1);
    auto *desc = frame->xdlModPag->findChild<QLabel *>();
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ(desc->text(), QStringLiteral("Bonifico bancario"));

    // Post: the chosen key reaches the database.
    QApplication::setActiveWindow(&host);  // the offscreen platform does not give it back
    frame->xdeIntestatario->setFocus();
    QTest::keyClicks(frame->xdeIntestatario, QStringLiteral("Rossi Mario"));
    QTest::keyClick(frame->xdeIntestatario, Qt::Key_F10);
    EXPECT_EQ(frame->mode(), 0) << qPrintable(messages.lastText());
    EXPECT_EQ(scalar(t.db(), QStringLiteral("SELECT iMpgId FROM TAcb_AluCoordBan WHERE iAnaId = 900")).toInt(), 1);
}

TEST_F(LookupFrameTest, F8OpensTheSearchAndEscKeepsTheValue)
{
    ASSERT_TRUE(frame->xdlModPag->chooseKey(4));
    onSearchWindow([](TfmVeSearch *form) {
        // The current value is preselected.
        EXPECT_EQ(form->collection()->keyOf(form->grid()->currentIndex().row()).toInt(), 4);
        QTest::keyClick(form, Qt::Key_Escape);
    });
    QTest::keyClick(frame->xdlModPag->lineEdit(), Qt::Key_F8);
    EXPECT_EQ(frame->xdlModPag->key().toInt(), 4);
    EXPECT_EQ(frame->mode(), 1);  // Esc closed the window only

    onSearchWindow([](TfmVeSearch *form) {
        QTest::keyClicks(form->searchEdit(), QStringLiteral("contanti"));
        QTest::qWait(400);
        ASSERT_EQ(form->model()->rowCount(), 1);
        const QPoint at = form->grid()->visualRect(form->model()->index(0, 0)).center();
        QTest::mouseClick(form->grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(form->grid()->viewport(), Qt::LeftButton, {}, at);
    });
    QTest::keyClick(frame->xdlModPag->lineEdit(), Qt::Key_F8);
    EXPECT_EQ(frame->xdlModPag->key().toInt(), 3);
    EXPECT_EQ(frame->collection()->fieldValue(QStringLiteral("iMpgId")).toInt(), 3);

    // Browsing: F8 and the button do nothing.
    frame->cancel();
    EXPECT_FALSE(frame->xdlModPag->button()->isEnabled());
    QTest::keyClick(frame->xdlModPag->lineEdit(), Qt::Key_F8);
    EXPECT_EQ(fwtest::activeModal(), nullptr);
}

} // namespace
