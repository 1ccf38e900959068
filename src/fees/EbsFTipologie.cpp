#include "EbsFTipologie.h"

#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "VeMessageDlg.h"

#include <QCloseEvent>
#include <QDate>
#include <QTableView>
#include <QVBoxLayout>

namespace ccp::fees {

QString TfmEbsTipologie::selectSql()
{
    // The list is wrapped by the collection: no statement terminator here.
    return QStringLiteral("SELECT iTccId, sTccSDesc, sTccLDesc, iTccId_p, dStart, iLocked FROM TTcc_TipoCompCaus");
}

QString TfmEbsTipologie::insertSql()
{
    return QStringLiteral("INSERT INTO TTCC_TIPOCOMPCAUS (ITCCID,STCCSDESC,STCCLDESC,ITCCID_P,DSTART,ILOCKED) VALUES "
                          "(:VEGENID,:STCCSDESC,:STCCLDESC,:ITCCID_P,:DSTART,:ILOCKED)");
}

QString TfmEbsTipologie::updateSql()
{
    return QStringLiteral("UPDATE TTcc_TipoCompCaus SET sTccSDesc=:sTccSDesc, sTccLDesc=:sTccLDesc, iTccId_p=:iTccId_P "
                          "WHERE iTccId=:VECURRID");
}

QString TfmEbsTipologie::deleteSql() { return QStringLiteral("DELETE FROM TTcc_TipoCompCaus WHERE iTccId=:VECURRID"); }

QString TfmEbsTipologie::parentSelectSql()
{
    return QStringLiteral("SELECT iTccId, sTccSDesc, sTccLDesc FROM TTcc_TipoCompCaus WHERE (iTccId < 5) AND ##WHERE##");
}

TfrEbsTipologie::TfrEbsTipologie(fw::TVeQueryCollection *collection, QWidget *parent)
    : fw::TVeEditFrame(collection, parent)
{
    setObjectName(QStringLiteral("frMaster"));
    model()->setColumns({
        {QStringLiteral("sTccSDesc"), QStringLiteral("Codice"), 110, {}, {}},
        {QStringLiteral("sTccLDesc"), QStringLiteral("Descrizione"), 360, {}, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    xdeCodice = new fw::TVeDBEdit;
    xdeCodice->setObjectName(QStringLiteral("xdeCodice"));
    xdeCodice->setMaxLength(20);
    addField(QStringLiteral("&Codice"), xdeCodice, QStringLiteral("sTccSDesc"));
    xdeDescrizione = new fw::TVeDBEdit;
    xdeDescrizione->setObjectName(QStringLiteral("xdeDescrizione"));
    xdeDescrizione->setMaxLength(100);
    addField(QStringLiteral("&Descrizione"), xdeDescrizione, QStringLiteral("sTccLDesc"));
    xdlTipo = new fw::TVeDBLookupEdit(collection->database());
    xdlTipo->setObjectName(QStringLiteral("xdlTipo"));
    xdlTipo->setSearchQuery(TfmEbsTipologie::parentSelectSql());
    xdlTipo->setKeyField(QStringLiteral("iTccId"));
    xdlTipo->setListField(QStringLiteral("sTccLDesc"));
    xdlTipo->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Tipologia madre"));
        form.setColumns({{QStringLiteral("iTccId"), QStringLiteral("Id"), false, false, -1, {}},
                         {QStringLiteral("sTccSDesc"), QStringLiteral("Codice"), true, true, 80, {}},
                         {QStringLiteral("sTccLDesc"), QStringLiteral("Descrizione"), true, true, 250, {}}});
        form.setSortKeys(QStringLiteral("iTccId"));
        form.resize(350, 300);
    };
    // Every typology hangs under a type: the column cannot be empty.
    xdlTipo->setRequired(true);
    addField(QStringLiteral("&Tipologia madre"), xdlTipo, QStringLiteral("iTccId_P"));
}

TfmEbsTipologie::TfmEbsTipologie(QWidget *parent, QSqlDatabase db) : fw::TVeMdiForm(parent)
{
    setObjectName(QStringLiteral("TfmEbsTipologie"));
    setWindowTitle(QStringLiteral("Tipologie componenti causali"));
    m_master = new fw::TVeQueryCollection(db, this);
    m_master->setObjectName(QStringLiteral("xqcMaster"));
    m_master->setSelectText(selectSql());
    m_master->setKeyField(QStringLiteral("iTccId"));
    m_master->setTableName(QStringLiteral("TTcc_TipoCompCaus"));
    m_master->setSortKeys(QStringLiteral("iTccId"));
    m_master->setStatements(fw::VeOperation::Insert, {insertSql()});
    m_master->setStatements(fw::VeOperation::Update, {updateSql()});
    m_master->setStatements(fw::VeOperation::Delete, {deleteSql()});
    m_master->VeBeforeExec = [](fw::VeExecContext &x) {
        if (x.operation != fw::VeOperation::Insert)
            return;
        // Whatever the row holds: a typology starts today, unlocked. The date is bound as a date,
        // never as text the server could read month first.
        x.params.set(QStringLiteral("ILOCKED"), 0);
        x.params.set(QStringLiteral("DSTART"), QDate::currentDate());
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_frame = new TfrEbsTipologie(m_master, this);
    layout->addWidget(m_frame);
}

TfmEbsTipologie::~TfmEbsTipologie() { m_master->close(); }

void TfmEbsTipologie::formShown()
{
    if (auto s = m_master->open(); !s)
        fw::showError(s.error());
    m_frame->updateActions();
    m_frame->setFocus();
}

bool TfmEbsTipologie::formCanClose() { return m_frame->canClose(); }

void TfmEbsTipologie::formClosed() { m_master->close(); }

} // namespace ccp::fees
