#include "TVeDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace ccp::fw {

TVeDialog::TVeDialog(const QString &title, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    setModal(true);
    auto *outer = new QVBoxLayout(this);
    m_content = new QVBoxLayout;
    outer->addLayout(m_content, 1);
    auto *box = new QDialogButtonBox(this);
    m_ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_cancel = box->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    outer->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this, &TVeDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &TVeDialog::reject);
    auto *ctrlEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(ctrlEnter, &QShortcut::activated, this, &TVeDialog::accept);
    auto *ctrlEnter2 = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), this);
    connect(ctrlEnter2, &QShortcut::activated, this, &TVeDialog::accept);
}

void TVeDialog::accept()
{
    if (validate())
        QDialog::accept();
}

} // namespace ccp::fw
