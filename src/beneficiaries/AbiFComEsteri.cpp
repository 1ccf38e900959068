#include "AbiFComEsteri.h"

#include "AbiMCom.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QTableView>
#include <QVBoxLayout>

namespace ccp::ben {

TfrComEsteri::TfrComEsteri(TdmComuni &dm, QWidget *parent) : fw::TVeEditFrame(dm.xqcComEsteri(), parent)
{
    setObjectName(QStringLiteral("frComEsteri"));
    model()->setColumns({{QStringLiteral("SCOMDESC"), QStringLiteral("Città"), 250, {}, {}},
                         {QStringLiteral("SSTALDESC"), QStringLiteral("Stato"), 250, {}, {}}});
    grid()->setColumnWidth(0, 250);
    grid()->setColumnWidth(1, 250);
    grid()->setSortingEnabled(false);
    xdeCitta = new fw::TVeDBEdit;
    xdeCitta->setObjectName(QStringLiteral("xdeCitta"));
    xdeCitta->setMaxLength(100);
    xdeCitta->setUpperCase(true);
    addField(QStringLiteral("&Città"), xdeCitta, QStringLiteral("SCOMDESC"));
    xdlStato = new fw::TVeDBLookupEdit(dm.db());
    xdlStato->setObjectName(QStringLiteral("xdlStato"));
    xdlStato->setSearchQuery(TdmComuni::statesSql());
    xdlStato->setKeyField(QStringLiteral("TSTA_STATI.ISTAID"));
    xdlStato->setListField(QStringLiteral("SSTALDESC"));
    xdlStato->setSearchField(QStringLiteral("TSTA_STATI.SSTALDESC"));
    xdlStato->setSearchTitle(QStringLiteral("Stati"));
    xdlStato->setSearchColumns({fw::SearchColumn::make(QStringLiteral("ISTAID"), QString(), false, 0, false),
                                fw::SearchColumn::make(QStringLiteral("SSTALDESC"), QStringLiteral("Stato"), true, 200),
                                fw::SearchColumn::make(QStringLiteral("SSTACODICE"), QStringLiteral("Codice"), true, 70),
                                fw::SearchColumn::make(QStringLiteral("SSTAISTAT"), QStringLiteral("ISTAT"), true, 70)});
    addField(QStringLiteral("&Stato"), xdlStato, QStringLiteral("ISTAID"));
    xdeCodCatastale = new fw::TVeDBEdit;
    xdeCodCatastale->setObjectName(QStringLiteral("xdeCodCatastale"));
    xdeCodCatastale->setMaxLength(4);
    xdeCodCatastale->setUpperCase(true);
    addField(QStringLiteral("Codice &catastale"), xdeCodCatastale, QStringLiteral("SSRPCCODCATA"));
    xdeIstat = new fw::TVeDBEdit;
    xdeIstat->setObjectName(QStringLiteral("xdeIstat"));
    xdeIstat->setMaxLength(6);
    addField(QStringLiteral("Codice &ISTAT"), xdeIstat, QStringLiteral("SSRPCCOMRISTAT"));
    // The state's codes are the town's unless the user types others.
    xdlStato->OnChangeFKValue = [this] {
        if (mode() == 0)
            return;
        auto *c = collection();
        const QVariant code = xdlStato->rowValue(QStringLiteral("SSTACODICE"));
        const QVariant istat = xdlStato->rowValue(QStringLiteral("SSTAISTAT"));
        c->setFieldValue(QStringLiteral("SSRPCCODCATA"), code);
        c->setFieldValue(QStringLiteral("SSRPCCOMRISTAT"), istat);
        c->setDefault(QStringLiteral("SSRPCCODCATA"), code);
        c->setDefault(QStringLiteral("SSRPCCOMRISTAT"), istat);
        dataSource()->reload();
    };
}

TfmComEsteri::TfmComEsteri(TdmComuni &dm, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfmComEsteri"));
    setWindowTitle(QStringLiteral("Comuni esteri"));
    resize(640, 480);
    auto *layout = new QVBoxLayout(this);
    m_frame = new TfrComEsteri(dm, this);
    layout->addWidget(m_frame);
    if (auto s = dm.open(); !s)
        fw::showError(s.error());
    m_frame->showPage(fw::TVeEditFrame::ListPage);
    m_frame->updateActions();
}

void TfmComEsteri::reject()
{
    if (m_frame->canClose())
        QDialog::reject();
}

} // namespace ccp::ben
