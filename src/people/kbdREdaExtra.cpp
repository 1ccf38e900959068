#include "kbdREdaExtra.h"

#include "ModAnaMAtt.h"
#include "TVeDBLookupEdit.h"
#include "TVeDataSource.h"
#include "TVeLaunchers.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "VeMessageDlg.h"

#include <QTableView>

namespace ccp::people {

namespace {

fw::TVeQueryCollection *statusCollection(QSqlDatabase db)
{
    auto *c = new fw::TVeQueryCollection(db);
    c->setSelectText(QStringLiteral(
        "SELECT TAS.iAnaSocId, TAS.iAnaId, TAS.iSocId, TSoc.sSocLDesc FROM TAnaSoc TAS"
        " LEFT OUTER JOIN TSoc_StatOccupaz TSoc ON (TSoc.iSocId = TAS.iSocId) WHERE TAS.iAnaId = :iAnaId"));
    c->setKeyField(QStringLiteral("iAnaSocId"));
    // One status per person: a new one takes the place of the old in the same transaction.
    c->setStatements(fw::VeOperation::Insert, {QStringLiteral("DELETE FROM TAnaSoc TAS WHERE TAS.iAnaId = :iAnaId"),
                                                QStringLiteral("INSERT INTO TAnaSoc   (iAnaSocId, iAnaId, iSocId) VALUES"
                                                               " (:VEGENID, :iAnaId, :iSocId)")});
    c->setStatements(fw::VeOperation::Delete, {QStringLiteral("DELETE FROM TAnaSoc TAS WHERE TAS.iAnaId = :iAnaId")});
    return c;
}

} // namespace

TfrkbdEdeExtra::TfrkbdEdeExtra(QSqlDatabase db, QWidget *parent) : fw::TVeEditFrame(statusCollection(db), parent)
{
    collection()->setParent(this);
    setObjectName(ClassName);
    setToolTip(QStringLiteral("Stato occupazionale"));
    collection()->setParam(QStringLiteral("iAnaId"), 0);
    // Every statement is about the window's current person.
    collection()->VeBeforeExec = [this](fw::VeExecContext &ctx) { ctx.params.set(QStringLiteral("iAnaId"), m_anaId); };
    // A status is changed by entering the new one.
    lockAction(Edit, true);
    model()->setColumns({{QStringLiteral("sSocLDesc"), QStringLiteral("Stato occupazionale"), 320, {}, {}}});
    grid()->setColumnWidth(0, 320);

    xdlStato = new fw::TVeDBLookupEdit(db);
    xdlStato->setObjectName(QStringLiteral("xdlStato"));
    xdlStato->setSearchQuery(QStringLiteral("SELECT TSoc.iSocId, TSoc.sSocLDesc FROM TSoc_StatOccupaz TSoc WHERE ##WHERE##"));
    xdlStato->setKeyField(QStringLiteral("iSocId"));
    xdlStato->setListField(QStringLiteral("sSocLDesc"));
    xdlStato->setSearchTitle(QStringLiteral("Stato occupazionale"));
    xdlStato->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setColumns({fw::SearchColumn::make(QStringLiteral("iSocId"), QString(), false, 0, false),
                         fw::SearchColumn::make(QStringLiteral("sSocLDesc"), QStringLiteral("Descrizione"), true,
                                                qMax(100, form.width() - 50))});
    };
    addField(QStringLiteral("&Stato occupazionale"), xdlStato, QStringLiteral("iSocId"));
    OnBeforeInsert = [this] { return m_anaId > 0; };
    OnPostExecute = [this] {
        if (!dataSource()->commitControls())
            return;
        if (collection()->fieldValue(QStringLiteral("iSocId")).toInt() <= 0) {
            fw::showError(QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Stato occupazionale\""));
            xdlStato->setFocus();
            return;
        }
        post();
    };
}

void TfrkbdEdeExtra::showPerson(int anaId)
{
    if (collection()->isEditing())
        cancel();
    m_anaId = anaId;
    collection()->setParam(QStringLiteral("iAnaId"), anaId);
    collection()->setDefault(QStringLiteral("iAnaId"), anaId);
    if (auto s = collection()->open(); !s)
        fw::showError(s.error());
    dataSource()->reload();
    updateActions();
}

void TfrkbdEdeExtra::registerClass()
{
    auto &registry = fw::TVeFormRegistry::instance();
    if (registry.contains(ClassName))
        return;
    registry.registerClass(ClassName, [](QWidget *parent) -> QWidget * {
        TdmModAnaAtt *module = TdmModAnaAtt::instance();
        return module ? new TfrkbdEdeExtra(module->db(), parent) : nullptr;
    });
}

} // namespace ccp::people
