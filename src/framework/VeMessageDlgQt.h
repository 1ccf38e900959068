#pragma once
#include "VeMessageDlg.h"

#include <QPointer>
#include <memory>

class QMessageBox;
class QWidget;

namespace ccp::fw {

// Texts carry CR LF (and sometimes a lone CR) as line breaks; a dialog wants plain LF.
QString displayText(const QString &text);

// The box VeMessageDlg shows: Italian buttons, icon by type, caption by type.
std::unique_ptr<QMessageBox> createMessageBox(const QString &text, MsgType type, MsgButtons buttons,
                                              QWidget *parent = nullptr);
// Maps the button the user pressed (or Esc / window close) back to a result.
MsgResult messageBoxResult(const QMessageBox &box, MsgButtons buttons);

// The program's sink: a modal Qt dialog over the active window.
class QtMessageSink : public MessageSink
{
public:
    MsgResult show(const QString &text, MsgType type, MsgButtons buttons) override;
};

} // namespace ccp::fw
