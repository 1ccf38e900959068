#include "EbcRCassa.h"

#include "TVeDBCurrencyEdit.h"
#include "TVeDBEdit.h"
#include "TVeQueryCollection.h"

#include <QAction>
#include <QIcon>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>

namespace ccp::accounts {

namespace {
QString S(const char *s) { return QString::fromUtf8(s); }

void setColumns(fw::TVeEditFrame &f, const QList<fw::TVeQueryModel::Column> &columns)
{
    f.model()->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        f.grid()->setColumnWidth(i, columns[i].width);
}
} // namespace

void makeReadOnlyList(fw::TVeEditFrame &frame)
{
    for (auto a : {fw::TVeEditFrame::Insert, fw::TVeEditFrame::Edit, fw::TVeEditFrame::Post, fw::TVeEditFrame::Cancel,
                   fw::TVeEditFrame::Delete}) {
        frame.lockAction(a, true);
        frame.action(a)->setVisible(false);
    }
}

TfrEbcCassa::TfrEbcCassa(fw::TVeQueryCollection *collection, QWidget *parent) : fw::TVeEditFrame(collection, parent)
{
    setObjectName(S("frEbcCassa"));
    setToolTip(S("Stato del conto"));
    setColumns(*this, {{S("iCaiEsercizioFin"), S("Esercizio Fin."), 105, {}, S("")},
                       {S("fCaiCassaIn"), S("Saldo iniziale"), 110, {}, S("#,###.00")},
                       {S("fCaiCassaAtt"), S("Saldo attuale"), 110, {}, S("#,###.00")},
                       {S("dInizioAnno"), S("Data inizio"), 90, {}, {}},
                       {S("dFineAnno"), S("Data fine"), 90, {}, {}}});
    makeReadOnlyList(*this);

    xdeEsercizio = new fw::TVeDBNumericEdit;
    xdeEsercizio->setObjectName(S("xdeEsercizio"));
    xdeEsercizio->setMaxLength(4);
    addField(S("Esercizio finanziario"), xdeEsercizio, S("iCaiEsercizioFin"));
    struct Amount
    {
        fw::TVeDBCurrencyEdit **edit;
        const char *name;
        const char *caption;
        const char *field;
    };
    const Amount amounts[] = {{&xdcSaldoIn, "xdcSaldoIn", "Saldo entrate", "fCaiSaldoIn"},
                              {&xdcSaldoOut, "xdcSaldoOut", "Saldo uscite", "fCaiSaldoOut"},
                              {&xdcCassaIn, "xdcCassaIn", "Saldo iniziale", "fCaiCassaIn"},
                              {&xdcCassaAtt, "xdcCassaAtt", "Saldo attuale", "fCaiCassaAtt"},
                              {&xdcDiffIniz, "xdcDiffIniz", "Differenza iniziale", "fCaiDiffIniz"},
                              {&xdcDiff, "xdcDiff", "Differenza attuale", "fDiff"}};
    for (const Amount &a : amounts) {
        *a.edit = new fw::TVeDBCurrencyEdit;
        (*a.edit)->setObjectName(S(a.name));
        (*a.edit)->setMaximumWidth(160);
        addField(S(a.caption), *a.edit, S(a.field));
    }
    xdeEsercizio->setReadOnlyByOwner(true);
    for (const Amount &a : amounts)
        (*a.edit)->setReadOnlyByOwner(true);

    xacUpdateAnno = new QAction(QIcon(S(":/icons/NEWYEAR.png")), S("Cambia date anno finanziario"), this);
    xacUpdateAnno->setObjectName(S("xacUpdateAnno"));
    toolBar()->addAction(xacUpdateAnno);
    auto enable = [this]() { xacUpdateAnno->setEnabled(this->collection()->currentIndex() >= 0); };
    connect(collection, &fw::TVeQueryCollection::currentChanged, this, enable);
    enable();
}

TfrEbcTcc::TfrEbcTcc(fw::TVeQueryCollection *collection, QWidget *parent) : fw::TVeEditFrame(collection, parent)
{
    setObjectName(S("frEbcTcc"));
    setToolTip(S("Composizione saldo"));
    setColumns(*this, {{S("sTccLDesc"), S("Componente"), 200, {}, {}},
                       {S("fTccImporto_Iniz"), S("Importo Iniziale"), 120, {}, S("#,###.00")},
                       {S("fTccImporto"), S("Importo Attuale"), 120, {}, S("#,###.00")}});
    makeReadOnlyList(*this);
    pages()->setTabVisible(DetailPage, false);
    acModificaSaldo = new QAction(QIcon(S(":/icons/CONSUNTIVO.png")), S("Modifica Composizione e Saldo"), this);
    acModificaSaldo->setObjectName(S("acModificaSaldo"));
    acModificaSaldo->setToolTip(S("Modifica Composizione e Saldo"));
    toolBar()->addAction(acModificaSaldo);
}

} // namespace ccp::accounts
