#include "TVeMdiForm.h"

#include <QCloseEvent>
#include <QDialog>
#include <QMdiArea>
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

QMdiSubWindow *addFormWindow(QMdiArea *area, QWidget *form)
{
    QMdiSubWindow *sub = area->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (auto *dialog = qobject_cast<QDialog *>(form))
        QObject::connect(dialog, &QDialog::finished, sub, &QWidget::close);
    return sub;
}

} // namespace ccp::fw
