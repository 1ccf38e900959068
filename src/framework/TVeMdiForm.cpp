#include "TVeMdiForm.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

namespace ccp::fw {

void TVeMdiForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->showMaximized();
    formShown();
}

void TVeMdiForm::closeEvent(QCloseEvent *event)
{
    if (!formCanClose()) {
        event->ignore();
        return;
    }
    formClosed();
    m_shown = false;
    QWidget::closeEvent(event);
}

} // namespace ccp::fw
