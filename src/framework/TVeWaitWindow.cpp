#include "TVeWaitWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace ccp::fw {

TVeWaitWindow::TVeWaitWindow(const QString &title, const QString &text, int count, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(title);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    m_text = new QLabel(text, this);
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(320);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(true);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    setCount(count);
}

void TVeWaitWindow::setText(const QString &text)
{
    m_text->setText(text);
    repaintNow();
}

void TVeWaitWindow::setCount(int count)
{
    m_bar->setRange(0, qMax(0, count));
    m_bar->setValue(0);
    repaintNow();
}

void TVeWaitWindow::step(int steps)
{
    if (m_bar->maximum() > 0)
        m_bar->setValue(qMin(m_bar->maximum(), m_bar->value() + steps));
    repaintNow();
}

int TVeWaitWindow::position() const { return m_bar->value(); }
int TVeWaitWindow::count() const { return m_bar->maximum(); }
QString TVeWaitWindow::text() const { return m_text->text(); }

void TVeWaitWindow::showNow()
{
    show();
    raise();
    repaintNow();
}

void TVeWaitWindow::repaintNow()
{
    if (!isVisible())
        return;
    // Painting only, no user input: the work in progress must not be re-entered.
    static QElapsedTimer last;
    if (last.isValid() && last.elapsed() < 30 && m_bar->value() != m_bar->maximum())
        return;
    last.start();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TVeWaitWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void TVeWaitWindow::closeEvent(QCloseEvent *event)
{
    // Only the owner closes it (by destroying it), never the user.
    if (event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace ccp::fw
