#pragma once
#include <QString>
#include <QWidget>
#include <functional>
#include <ostream>

// Readable QStrings in assertion messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// One QApplication for the whole test executable (created by a gtest environment),
// plus helpers for widget tests.
namespace ccp::fwtest {

// Runs `action` on the next modal dialog that appears (e.g. to click a button of a
// message box opened by the code under test). Gives up after `timeoutMs`.
void onNextModal(std::function<void(QWidget *)> action, int timeoutMs = 3000);

// The modal widget currently open, if any.
QWidget *activeModal();

} // namespace ccp::fwtest
