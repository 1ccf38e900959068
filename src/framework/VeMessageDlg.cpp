#include "VeMessageDlg.h"

#include <QTextStream>

namespace ccp::fw {

namespace {

// Without a window system (command line, before the Qt sink is installed) messages go to stderr.
class StderrSink : public MessageSink
{
public:
    MsgResult show(const QString &text, MsgType, MsgButtons buttons) override
    {
        QTextStream(stderr) << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << Qt::endl;
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
    }
};

StderrSink &defaultSink()
{
    static StderrSink sink;
    return sink;
}

MessageSink *g_sink = nullptr;

} // namespace

MessageSink &messageSink() { return g_sink ? *g_sink : defaultSink(); }

MessageSink *setMessageSink(MessageSink *sink)
{
    MessageSink *previous = g_sink;
    g_sink = sink;
    return previous;
}

MsgResult VeMessageDlg(const QString &text, MsgType type, MsgButtons buttons)
{
    return messageSink().show(text, type, buttons);
}

RecordingMessageSink::RecordingMessageSink() { m_previous = setMessageSink(this); }
RecordingMessageSink::~RecordingMessageSink() { setMessageSink(m_previous); }

MsgResult RecordingMessageSink::show(const QString &text, MsgType type, MsgButtons buttons)
{
    m_entries << Entry{text, type, buttons};
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
}

} // namespace ccp::fw
