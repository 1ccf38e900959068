#pragma once
#include <QString>
#include <QList>
#include <memory>

namespace ccp::fw {

// Every message, question and error of the program goes through this one channel:
// Qt dialogs in the program, a recording fake in tests.
enum class MsgType { Information, Warning, Error, Confirmation };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual MsgResult show(const QString &text, MsgType type, MsgButtons buttons) = 0;
};

// The sink in use; the program installs the Qt one at start, tests install a fake.
MessageSink &messageSink();
// Installs `sink` (not owned) and returns the previous one; nullptr restores the default.
MessageSink *setMessageSink(MessageSink *sink);

// Shows `text` (CR LF line breaks allowed) and returns the button pressed.
MsgResult VeMessageDlg(const QString &text, MsgType type, MsgButtons buttons = MsgButtons::Ok);

// Convenience forms used everywhere.
inline void showInfo(const QString &t) { VeMessageDlg(t, MsgType::Information); }
inline void showWarning(const QString &t) { VeMessageDlg(t, MsgType::Warning); }
inline void showError(const QString &t) { VeMessageDlg(t, MsgType::Error); }
inline bool askYesNo(const QString &t)
{
    return VeMessageDlg(t, MsgType::Confirmation, MsgButtons::YesNo) == MsgResult::Yes;
}

// Records each message and answers questions from a script (default: Yes / Ok).
class RecordingMessageSink : public MessageSink
{
public:
    struct Entry
    {
        QString text;
        MsgType type;
        MsgButtons buttons;
    };
    RecordingMessageSink();
    ~RecordingMessageSink() override;
    MsgResult show(const QString &text, MsgType type, MsgButtons buttons) override;
    void answer(MsgResult r) { m_answers << r; }
    const QList<Entry> &entries() const { return m_entries; }
    QString lastText() const { return m_entries.isEmpty() ? QString() : m_entries.last().text; }
    void clear() { m_entries.clear(); }

private:
    QList<Entry> m_entries;
    QList<MsgResult> m_answers;
    MessageSink *m_previous = nullptr;
};

} // namespace ccp::fw
