#include "TVeWizard.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace ccp::fw {

TVeWizard::TVeWizard(const QString &title, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    QFont f = m_title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    m_title->setFont(f);
    layout->addWidget(m_title);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages, 1);
    auto *buttons = new QHBoxLayout;
    m_prior = new QPushButton(QStringLiteral("< &Indietro"), this);
    m_next = new QPushButton(QStringLiteral("&Avanti >"), this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Annulla"), this);
    buttons->addStretch(1);
    for (QPushButton *b : {m_prior, m_next, m_ok, m_cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(m_prior, &QPushButton::clicked, this, &TVeWizard::prior);
    connect(m_next, &QPushButton::clicked, this, &TVeWizard::next);
    connect(m_ok, &QPushButton::clicked, this, &TVeWizard::accept);
    connect(m_cancel, &QPushButton::clicked, this, &TVeWizard::reject);
    updateButtons();
}

int TVeWizard::addPage(QWidget *page, const QString &title)
{
    const int index = m_pages->addWidget(page);
    m_titles << title;
    if (index == 0)
        m_title->setText(title);
    updateButtons();
    return index;
}

int TVeWizard::pageCount() const { return m_pages->count(); }
int TVeWizard::currentPage() const { return m_pages->currentIndex(); }
QWidget *TVeWizard::page(int index) const { return m_pages->widget(index); }

bool TVeWizard::next()
{
    if (currentPage() + 1 >= pageCount())
        return false;
    if (!canLeavePage(currentPage(), true))
        return false;
    return moveTo(currentPage() + 1, true);
}

bool TVeWizard::prior()
{
    if (currentPage() <= 0)
        return false;
    return moveTo(currentPage() - 1, false);
}

bool TVeWizard::moveTo(int index, bool forward)
{
    if (!canEnterPage(index, forward))
        return false;
    m_pages->setCurrentIndex(index);
    m_title->setText(m_titles.value(index));
    updateButtons();
    if (QWidget *w = m_pages->currentWidget()) {
        // First control of the page that takes the focus.
        QWidget *first = w->focusPolicy() != Qt::NoFocus ? w : w->nextInFocusChain();
        if (first && (first == w || w->isAncestorOf(first)))
            first->setFocus(Qt::TabFocusReason);
    }
    pageShown(index);
    Q_EMIT pageChanged(index);
    return true;
}

void TVeWizard::accept()
{
    if (currentPage() != pageCount() - 1)
        return;
    if (!canLeavePage(currentPage(), true))
        return;
    QDialog::accept();
}

void TVeWizard::updateButtons()
{
    const int i = currentPage();
    const bool last = i == pageCount() - 1;
    m_prior->setEnabled(i > 0);
    m_next->setEnabled(i >= 0 && !last);
    m_ok->setEnabled(last);
    m_next->setDefault(!last);
    m_ok->setDefault(last);
}

} // namespace ccp::fw
