#include "MpgDemo.h"

#include "TVeDBCheckBox.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "VeMessageDlg.h"

#include <QTableView>

namespace ccp::fwtest {

using namespace ccp::fw;

QString MpgDemoFrame::kindMessage()
{
    return QStringLiteral("Indicare se la modalità è di riscossione, di pagamento o entrambe.");
}

MpgDemoFrame::MpgDemoFrame(QSqlDatabase db, QWidget *parent)
    : TVeEditFrame(new TVeQueryCollection(db), parent)
{
    TVeQueryCollection *c = collection();
    c->setParent(this);
    c->setSelectText(QString::fromLatin1(Select));
    c->setKeyField(QStringLiteral("iMpgId"));
    c->setSortKeys(QStringLiteral("sMpgDescS"));
    c->setStatements(VeOperation::Insert,
                     {QStringLiteral("INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) "
                                     "VALUES (:VEGENID, :sMpgDescS, :sMpgDescL, :lMpgRisc, :lMpgPag, 0)")});
    c->setStatements(VeOperation::Update,
                     {QStringLiteral("UPDATE TMpg_ModPagam SET sMpgDescS = :sMpgDescS, sMpgDescL = :sMpgDescL, "
                                     "lMpgRisc = :lMpgRisc, lMpgPag = :lMpgPag WHERE iMpgId = :VECURRID")});
    // Payment methods are never removed: they are marked deleted.
    c->setStatements(VeOperation::Delete,
                     {QStringLiteral("UPDATE TMpg_ModPagam SET DDELETE = CURRENT_DATE WHERE iMpgId = :VECURRID")});
    c->setDefault(QStringLiteral("lMpgRisc"), 1);
    c->setDefault(QStringLiteral("lMpgPag"), 0);
    c->VeBeforeExec = [this](VeExecContext &x) {
        hookLog << QStringLiteral("before %1 %2 %3").arg(int(x.operation)).arg(x.index).arg(x.tableName);
    };
    c->VeAfterExec = [this](VeExecContext &x) {
        hookLog << QStringLiteral("after %1 %2 gen=%3 curr=%4")
                       .arg(int(x.operation))
                       .arg(x.index)
                       .arg(x.params.value(QStringLiteral("VEGENID")).toString(),
                            x.params.value(QStringLiteral("VECURRID")).toString());
    };
    c->VeAfterInsert = [this]() { hookLog << QStringLiteral("afterInsert"); };
    c->VeAfterUpdate = [this]() { hookLog << QStringLiteral("afterUpdate"); };
    c->VeAfterDelete = [this]() { hookLog << QStringLiteral("afterDelete"); };

    model()->setColumns({
        {QStringLiteral("sMpgDescS"), QStringLiteral("Codice"), 120, {}, {}},
        {QStringLiteral("sMpgDescL"), QStringLiteral("Descrizione"), 320, {}, {}},
        {QStringLiteral("lMpgRisc"), QStringLiteral("Risc."), 60, {}, {}},
        {QStringLiteral("lMpgPag"), QStringLiteral("Pag."), 60, {}, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    xdeCodice = new TVeDBEdit;
    xdeCodice->setUpperCase(true);
    xdeCodice->setMaxLength(20);
    xdeCodice->setRequired(true);
    addField(QStringLiteral("&Codice"), xdeCodice, QStringLiteral("sMpgDescS"));
    xdeDescrizione = new TVeDBEdit;
    xdeDescrizione->setMaxLength(100);
    addField(QStringLiteral("D&escrizione"), xdeDescrizione, QStringLiteral("sMpgDescL"));
    xckRisc = new TVeDBCheckBox(QStringLiteral("&Riscossione"));
    addField(QString(), xckRisc, QStringLiteral("lMpgRisc"));
    xckPag = new TVeDBCheckBox(QStringLiteral("&Pagamento"));
    addField(QString(), xckPag, QStringLiteral("lMpgPag"));

    OnPostExecute = [this]() {
        if (!xckRisc->isChecked() && !xckPag->isChecked()) {
            showError(kindMessage());
            xckRisc->setFocus();
            return;
        }
        post();
    };
}

AcbDemoFrame::AcbDemoFrame(QSqlDatabase db, int anaId, QWidget *parent)
    : TVeEditFrame(new TVeQueryCollection(db), parent)
{
    TVeQueryCollection *c = collection();
    c->setParent(this);
    c->setSelectText(QStringLiteral("SELECT iAcbId, iAnaId, iMpgId, sAcbIntestatario FROM TAcb_AluCoordBan WHERE iAnaId = :iAnaId"));
    c->setParam(QStringLiteral("iAnaId"), anaId);
    c->setKeyField(QStringLiteral("iAcbId"));
    c->setTableName(QStringLiteral("TAcb_AluCoordBan"));
    c->setDefault(QStringLiteral("iAnaId"), anaId);
    c->setAutoDelete(true);

    xdlModPag = new TVeDBLookupEdit(db);
    xdlModPag->setSearchQuery(QStringLiteral(
        "SELECT Mpg.iMpgId, Mpg.sMpgDescS, Mpg.sMpgDescL FROM TMpg_ModPagam Mpg WHERE (Mpg.DDELETE IS NULL) AND ##WHERE##"));
    xdlModPag->setKeyField(QStringLiteral("Mpg.iMpgId"));
    xdlModPag->setListField(QStringLiteral("sMpgDescS"));
    xdlModPag->setDescriptionField(QStringLiteral("sMpgDescL"));
    xdlModPag->OnShowSearchForm = [](TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Modalità di pagamento"));
        form.setColumns({{QStringLiteral("iMpgId"), QStringLiteral("Id"), false, false, -1, {}},
                         {QStringLiteral("sMpgDescS"), QStringLiteral("Codice"), true, true, 100, {}},
                         {QStringLiteral("sMpgDescL"), QStringLiteral("Descrizione"), true, true, 330, {}}});
        form.setSortKeys(QStringLiteral("sMpgDescS"));
        form.resize(480, 360);
    };
    xdlModPag->OnChangeFKValue = [this]() { ++changes; };
    addField(QStringLiteral("&Modalità di pagamento"), xdlModPag, QStringLiteral("iMpgId"));
    xdeIntestatario = new TVeDBEdit;
    xdeIntestatario->setMaxLength(120);
    addField(QStringLiteral("&Intestatario"), xdeIntestatario, QStringLiteral("sAcbIntestatario"));
}

} // namespace ccp::fwtest
