#include "AbiFCtrlCode.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ccp::ben {

TfmCtrlCode::TfmCtrlCode(const QList<PersonMatch> &matches, QWidget *parent) : QDialog(parent), m_matches(matches)
{
    setObjectName(QStringLiteral("TfmCtrlCode"));
    setWindowTitle(QStringLiteral("Codice di controllo Beneficiari"));
    resize(760, 300);
    auto *layout = new QVBoxLayout(this);
    m_grid = new QTableWidget(int(matches.size()), 7, this);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Data Nascita"),
                                       QStringLiteral("Cod. fiscale"), QStringLiteral("Comune"), QStringLiteral("Prov."),
                                       QStringLiteral("Stato")});
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    for (int r = 0; r < matches.size(); ++r) {
        const PersonMatch &m = matches[r];
        const QStringList cells = {m.surname, m.name, m.birth.toString(QStringLiteral("dd/MM/yyyy")), m.fiscalCode,
                                   m.town, m.province, m.state};
        for (int c = 0; c < cells.size(); ++c)
            m_grid->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    m_grid->resizeColumnsToContents();
    m_grid->selectRow(0);
    layout->addWidget(m_grid);
    layout->addWidget(new QLabel(QStringLiteral("  Nell'archivio esiste gia' un soggetto con gli stessi dati.\n"
                                                "  Si tratta dello stesso soggetto?"), this));
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *yes = buttons->addButton(QStringLiteral("SI"), QDialogButtonBox::AcceptRole);
    QPushButton *no = buttons->addButton(QStringLiteral("No"), QDialogButtonBox::RejectRole);
    yes->setObjectName(QStringLiteral("btnSi"));
    no->setObjectName(QStringLiteral("btnNo"));
    no->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::optional<int> TfmCtrlCode::chosen() const
{
    const int row = m_grid->currentRow();
    if (result() != QDialog::Accepted || row < 0 || row >= m_matches.size())
        return std::nullopt;
    return m_matches[row].anaId;
}

std::optional<int> TfmCtrlCode::choose(const QList<PersonMatch> &matches, QWidget *parent)
{
    TfmCtrlCode dialog(matches, parent);
    dialog.exec();
    return dialog.chosen();
}

} // namespace ccp::ben
