#include "FrameworkTestSupport.h"
#include "QtTestApp.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace ccp::fwtest {

namespace {

[[maybe_unused]] const bool g_env = ccp::test::registerQtApplication("test_framework");

} // namespace

QWidget *activeModal() { return QApplication::activeModalWidget(); }

void onNextModal(std::function<void(QWidget *)> action, int timeoutMs)
{
    auto *timer = new QTimer;
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, elapsed, action, timeoutMs]() {
        // Keys go to the active window: until the dialog is activated (later, on a loaded
        // machine), a shortcut of the window below it would take them.
        if (QWidget *w = QApplication::activeModalWidget(); w && w->isVisible() && w->isActiveWindow()) {
            timer->stop();
            timer->deleteLater();
            QPointer<QWidget> guard(w);
            action(w);
            // An action that failed half way must not leave the test waiting on the dialog.
            QTimer::singleShot(3000, [guard]() {
                if (guard && guard->isVisible()) {
                    ADD_FAILURE() << "the modal dialog was left open";
                    if (auto *d = qobject_cast<QDialog *>(guard.data()))
                        d->reject();
                    else
                        guard->close();
                }
            });
        } else if (elapsed->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start();
}

} // namespace ccp::fwtest
