#include "EbcFUpdateAnno.h"

#include "EbcUCcp.h"
#include "TVeDBDateEdit.h"
#include "VeMessageDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace ccp::accounts {

TfmEbcUpdateAnno::TfmEbcUpdateAnno(QSqlDatabase db, int caiId, int year, int sprIstId, const QDate &first,
                                   const QDate &last, QWidget *parent)
    : QDialog(parent), m_db(db), m_caiId(caiId), m_year(year), m_sprIstId(sprIstId)
{
    setObjectName(QStringLiteral("fmEbcUpdateAnno"));
    setWindowTitle(QStringLiteral("Cambia date anno finanziario"));
    auto *layout = new QVBoxLayout(this);
    gbDate = new QGroupBox(QStringLiteral("Date anno finanziario %1").arg(year), this);
    auto *form = new QFormLayout(gbDate);
    xddInizio = new fw::TVeDBDateEdit;
    xddInizio->setObjectName(QStringLiteral("xddInizio"));
    xddInizio->setDate(first);
    form->addRow(QStringLiteral("Data &inizio"), xddInizio);
    xddFine = new fw::TVeDBDateEdit;
    xddFine->setObjectName(QStringLiteral("xddFine"));
    xddFine->setDate(last);
    form->addRow(QStringLiteral("Data &fine"), xddFine);
    layout->addWidget(gbDate);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmEbcUpdateAnno::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TfmEbcUpdateAnno::accept()
{
    if (!xddInizio->commitText() || !xddFine->commitText())
        return;
    auto around = readNeighbours(m_db, m_sprIstId, m_year);
    if (!around) {
        fw::showError(around.error());
        return;
    }
    const DateCheck check = checkYearDates(xddInizio->date(), xddFine->date(), m_year, *around, false);
    if (!check.accepted) {
        (check.focus == DateCheck::Start ? xddInizio : xddFine)->setFocus();
        return;
    }
    // The database refuses bounds that would move movements into another year or out of all.
    if (auto s = updateYearDates(m_db, m_caiId, xddInizio->date(), xddFine->date()); !s) {
        fw::showError(s.error());
        return;
    }
    QDialog::accept();
}

} // namespace ccp::accounts
