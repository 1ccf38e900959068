#include "FrameworkTestSupport.h"
#include "VeMessageDlgQt.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace ccp::fw;

TEST(MessageDlgQt, CrLfAndLoneCrBecomeLineBreaks)
{
    EXPECT_EQ(displayText(QStringLiteral("uno\r\ndue\rtre\nquattro")), QStringLiteral("uno\ndue\ntre\nquattro"));
    auto box = createMessageBox(QStringLiteral("Riga 1\r\nRiga 2"), MsgType::Information, MsgButtons::Ok);
    EXPECT_EQ(box->text(), QStringLiteral("Riga 1\nRiga 2"));
}

// The real sink, driven by keys on the modal box: Enter takes the default, Esc the escape button.
TEST(MessageDlgQt, KeysAnswerTheModalBox)
{
    struct Row
    {
        const char *name;
        MsgButtons buttons;
        Qt::Key key;
        MsgResult expected;
    };
    const Row rows[] = {
        {"ok-enter", MsgButtons::Ok, Qt::Key_Return, MsgResult::Ok},
        {"ok-esc", MsgButtons::Ok, Qt::Key_Escape, MsgResult::Ok},
        {"yesno-enter-is-yes", MsgButtons::YesNo, Qt::Key_Return, MsgResult::Yes},
        {"yesno-esc-is-no", MsgButtons::YesNo, Qt::Key_Escape, MsgResult::No},
        {"ync-esc-is-cancel", MsgButtons::YesNoCancel, Qt::Key_Escape, MsgResult::Cancel},
    };
    QtMessageSink sink;
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        ccp::fwtest::onNextModal([&](QWidget *w) { QTest::keyClick(w, r.key); });
        EXPECT_EQ(sink.show(QStringLiteral("Domanda?"), MsgType::Confirmation, r.buttons), r.expected);
    }
}

