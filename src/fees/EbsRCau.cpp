#include "EbsRCau.h"

#include "EbsFDuplicaCausali.h"
#include "EbsMDataSets.h"
#include "EbsUCau.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBEdit.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QFormLayout>
#include <QTableView>
#include <QToolBar>

namespace ccp::fees {

TfrEbsCau::TfrEbsCau(TdmEbsDataSets &dataSets, QWidget *parent)
    : fw::TVeEditFrame(dataSets.xqcCaus, parent), m_ds(dataSets)
{
    setObjectName(QStringLiteral("frEbsCausali"));
    model()->setColumns({
        {QStringLiteral("sCauSDesc"), QStringLiteral("Codice"), 140, {}, {}},
        {QStringLiteral("sCauLDesc"), QStringLiteral("Descrizione"), 420, {}, {}},
        {QStringLiteral("sAnsAnnoDesc"), QStringLiteral("Anno scolastico"), 110, {}, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    xdeDescrizione = new fw::TVeDBEdit;
    xdeDescrizione->setMaxLength(120);
    xdeDescrizione->setRequired(true);
    addField(QStringLiteral("&Descrizione"), xdeDescrizione, QStringLiteral("sCauLDesc"));
    xdeCodice = new fw::TVeDBEdit;
    xdeCodice->setMaxLength(20);
    xdeCodice->setRequired(true);
    addField(QStringLiteral("&Codice"), xdeCodice, QStringLiteral("sCauSDesc"));
    xdcImportoIst = new fw::TVeDBCurrencyEdit;
    xdcImportoIst->setReadOnlyByOwner(true);
    xdcImportoIst->setEnabled(false);   // computed: greyed
    xdcImportoIst->setMaximumWidth(140);
    addField(QStringLiteral("Importo istituto"), xdcImportoIst, QStringLiteral("fCauImportoIst"));
    xdcImportoEra = new fw::TVeDBCurrencyEdit;
    xdcImportoEra->setReadOnlyByOwner(true);
    xdcImportoEra->setEnabled(false);
    xdcImportoEra->setMaximumWidth(140);
    addField(QStringLiteral("Importo erario"), xdcImportoEra, QStringLiteral("fCauImportoEra"));
    detailLayout()->setRowVisible(xdcImportoEra, false);
    xdeAnnoScol = new fw::TVeDBEdit;
    xdeAnnoScol->setMaxLength(11);
    xdeAnnoScol->setReadOnlyByOwner(true);
    addField(QStringLiteral("A.S. causale"), xdeAnnoScol, QStringLiteral("sAnsAnnoDesc"));

    xacDuplica = new QAction(QStringLiteral("Duplica Causali"), this);
    xacDuplica->setObjectName(QStringLiteral("xacDuplica"));
    xacDuplica->setToolTip(QStringLiteral("Copia le causali di un altro anno scolastico"));
    toolBar()->addSeparator();
    toolBar()->addAction(xacDuplica);
    connect(xacDuplica, &QAction::triggered, this, &TfrEbsCau::duplicate);
    connect(this, &fw::TVeEditFrame::actionsUpdated, this, [this]() { xacDuplica->setEnabled(mode() == 0); });

    // A new row or a new edit: a change of a causale in use is asked about again.
    connect(this, &fw::TVeEditFrame::dataChanged, this, [this](const QString &field) {
        if (field.isEmpty())
            m_warn = true;
    });
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        if (m == 2)
            m_warn = true;
    });
    for (fw::TVeDBEdit *e : {xdeCodice, xdeDescrizione}) {
        connect(e, &QLineEdit::editingFinished, this, [this, e]() {
            if (mode() == 2 && collection()->isFieldChanged(e->dataField()))
                confirmPropagation();
        });
    }
    OnPostExecute = [this]() {
        if (confirmPropagation())
            post();
    };
}

bool TfrEbsCau::confirmPropagation()
{
    if (mode() != 2 || !m_warn)
        return true;
    auto inUse = CausaleInUse(m_ds.database(), collection()->currentKey().toInt());
    if (!inUse) {
        fw::showError(inUse.error());
        return false;
    }
    if (!inUse.value())
        return true;
    m_warn = false;
    if (fw::askYesNo(CauMessages::PropagationQuestion))
        return true;
    cancel();
    return false;
}

void TfrEbsCau::duplicate()
{
    if (mode() != 0)
        return;
    TfmEbsDuplicaCausali dlg(m_ds, m_tipo, window());
    dlg.loadSourceYear();
    dlg.exec();
    Q_EMIT duplicated();
}

} // namespace ccp::fees
