#include "EbsRCauCca.h"

#include "EbsMDataSets.h"
#include "EbsUCau.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TfmVeSearch.h"

#include <QFormLayout>
#include <QTableView>

namespace ccp::fees {

TfrEbsCauCca::TfrEbsCauCca(TdmEbsDataSets &dataSets, QWidget *parent)
    : fw::TVeEditFrame(dataSets.xqcCauCca, parent), m_ds(dataSets)
{
    setObjectName(QStringLiteral("frEbsCompXCaus"));
    setToolTip(QStringLiteral("Componenti"));
    model()->setColumns({
        {QStringLiteral("sCcaSDesc"), QStringLiteral("Codice"), 140, {}, {}},
        {QStringLiteral("sCcaLDesc"), QStringLiteral("Descrizione"), 420, {}, {}},
        {QStringLiteral("dCcaDataScadenza"), QStringLiteral("Data scadenza"), 100, {}, {}},
        {QStringLiteral("sAnsAnnoDesc"), QStringLiteral("Anno scolastico"), 110, {}, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    xdlCod = new fw::TVeDBLookupEdit(dataSets.database());
    xdlCod->setObjectName(QStringLiteral("xdlCod"));
    xdlCod->setKeyField(QStringLiteral("Cca.iCcaId"));
    xdlCod->setListField(QStringLiteral("sCcaSDesc"));
    xdlCod->setRequired(true);
    xdlCod->setCaption(QStringLiteral("Codice"));
    xdlCod->OnSetSearchQuery = [this]() { return m_select; };
    xdlCod->setSearchTitle(QStringLiteral("Componenti"));
    xdlCod->setSearchColumns({
        {QStringLiteral("iCcaId"), QString(), false, false, -1, {}},
        {QStringLiteral("sCcaSDesc"), QStringLiteral("Codice"), true, true, 80, {}},
        {QStringLiteral("sCcaLDesc"), QStringLiteral("Descrizione"), true, true, 200, {}},
        {QStringLiteral("sAggDescS"), QStringLiteral("Aggregato"), false, true, 80, {}},
        {QStringLiteral("sVproCod"), QStringLiteral("Voce"), false, true, 40, {}},
    });
    xdlCod->setSearchWidth(450);
    // A chosen component shows its description and amounts at once, and its institute is
    // what the link gives to the causale.
    xdlCod->OnChangeFKValue = [this]() {
        fw::TVeQueryCollection *c = collection();
        if (!c->isEditing())
            return;
        c->setFieldValue(QStringLiteral("sCcaLDesc"), xdlCod->rowValue(QStringLiteral("sCcaLDesc")));
        c->setFieldValue(QStringLiteral("fCcaImportoIst"), xdlCod->rowValue(QStringLiteral("fCcaImportoIst")));
        c->setFieldValue(QStringLiteral("fCcaImportoEra"), xdlCod->rowValue(QStringLiteral("fCcaImportoEra")));
        m_ds.chosenComponentDwg = xdlCod->rowValue(QStringLiteral("iDwgId"));
    };
    xdlCod->setMaximumWidth(320);   // a short code
    addField(QStringLiteral("&Codice"), xdlCod, QStringLiteral("iCcaId"));

    xdeDescrizione = new fw::TVeDBEdit;
    xdeDescrizione->setReadOnlyByOwner(true);
    addField(QStringLiteral("Descrizione"), xdeDescrizione, QStringLiteral("sCcaLDesc"));
    xdcImportoIst = new fw::TVeDBCurrencyEdit;
    xdcImportoIst->setReadOnlyByOwner(true);
    xdcImportoIst->setMaximumWidth(140);
    addField(QStringLiteral("Importo istituto"), xdcImportoIst, QStringLiteral("fCcaImportoIst"));
    xdcImportoEra = new fw::TVeDBCurrencyEdit;
    xdcImportoEra->setReadOnlyByOwner(true);
    xdcImportoEra->setMaximumWidth(140);
    addField(QStringLiteral("Importo erario"), xdcImportoEra, QStringLiteral("fCcaImportoEra"));
    detailLayout()->setRowVisible(xdcImportoEra, false);
    xdeAnnoScol = new fw::TVeDBEdit;
    xdeAnnoScol->setMaxLength(11);
    xdeAnnoScol->setReadOnlyByOwner(true);
    addField(QStringLiteral("A.S. causale"), xdeAnnoScol, QStringLiteral("sAnsAnnoDesc"));
    xddScadenza = new fw::TVeDBDateEdit;
    xddScadenza->setReadOnlyByOwner(true);
    xddScadenza->setMaximumWidth(140);
    addField(QStringLiteral("Data scadenza"), xddScadenza, QStringLiteral("dCcaDataScadenza"));

    connect(this, &fw::TVeEditFrame::actionsUpdated, this, &TfrEbsCauCca::applyDeleteRule);
    // The cancel lock of a pending first component lasts until the frame stops inserting.
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        if (m != 1 && m_pending) {
            m_pending = false;
            lockAction(Cancel, false);
        }
    });
    OnBeforeDelete = [this]() {
        return canDeleteComponent(collection()->count(), m_inUse) && !collection()->canFetchMore();
    };
}

QVariant TfrEbsCauCca::chosenComponentDwg() const { return m_ds.chosenComponentDwg; }

void TfrEbsCauCca::setCausaleInUse(bool inUse)
{
    m_inUse = inUse;
    m_applying = true;
    lockAction(Insert, inUse);
    lockAction(Edit, inUse);
    lockAction(Delete, inUse);
    m_applying = false;
    xdlCod->setReadOnly(inUse);
    applyDeleteRule();
}

void TfrEbsCauCca::applyDeleteRule()
{
    // Unless the causale is in use (then everything is locked), the last component stays.
    if (m_applying || isLocked(Edit))
        return;
    const bool one = collection()->count() == 1 && !collection()->canFetchMore();
    if (isLocked(Delete) != one) {
        m_applying = true;
        lockAction(Delete, one);
        m_applying = false;
    }
}

bool TfrEbsCauCca::insertRequired()
{
    if (mode() != 1 && !insert())
        return false;
    m_pending = true;
    lockAction(Cancel, true);
    return true;
}

} // namespace ccp::fees
