#include "AbcFAggregati.h"

#include "AbcUWindow.h"
#include "TVeDBEdit.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace ccp::budget {

TfrAggregati::TfrAggregati(fw::TVeQueryCollection *collection, const BudgetStore &store, QWidget *parent)
    : fw::TVeEditFrame(collection, parent), m_store(store)
{
    setObjectName(QStringLiteral("frAggregati"));
    model()->setColumns({
        {QStringLiteral("SAGGDESCS"), QStringLiteral("Codice"), 80, {}, {}},
        {QStringLiteral("SAGGDESCL"), QStringLiteral("Descrizione"), 520, {}, {}},
        {QStringLiteral("DSTART"), QStringLiteral("Inizio"), 90, {}, {}},
        {QStringLiteral("DEND"), QStringLiteral("Fine"), 90, {}, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    xdeCodice = new fw::TVeDBEdit;
    xdeCodice->setObjectName(QStringLiteral("xdeCodice"));
    xdeCodice->setMaxLength(10);
    xdeCodice->setMaximumWidth(120);
    // Income aggregates are numbered; expense ones are the scheme's letters (A, P, G, R, D).
    if (store.view().income()) {
        xdeCodice->setCharFilter(fw::CharFilters::digits);
    } else {
        xdeCodice->setCharFilter(fw::CharFilters::letters);
        xdeCodice->setUpperCase(true);
    }
    addField(QStringLiteral("&Codice"), xdeCodice, QStringLiteral("SAGGDESCS"));
    xdeDescrizione = new fw::TVeDBEdit;
    xdeDescrizione->setObjectName(QStringLiteral("xdeDescrizione"));
    xdeDescrizione->setMaxLength(120);
    addField(QStringLiteral("&Descrizione"), xdeDescrizione, QStringLiteral("SAGGDESCL"));

    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        if (m != 1 || !m_store.view().income())
            return;
        auto code = m_store.proposeAggregateCode();
        if (code)
            this->collection()->setFieldValue(QStringLiteral("SAGGDESCS"), code.value());
        else
            fw::showError(code.error());
    });
    OnPostExecute = [this] { postChecked(); };
}

bool TfrAggregati::postChecked()
{
    if (!dataSource()->commitControls())
        return false;
    fw::TVeQueryCollection *c = collection();
    AggregateValues v;
    v.id = mode() == 2 ? c->currentKey().toInt() : 0;
    v.code = c->fieldValue(QStringLiteral("SAGGDESCS")).toString().trimmed().toUpper();
    if (const Verdict refusal = m_store.checkAggregate(v)) {
        refuse(*refusal, [this](Field f) -> QWidget * { return f == Field::Code ? xdeCodice : nullptr; });
        return false;
    }
    c->setFieldValue(QStringLiteral("SAGGDESCS"), v.code);
    return post();
}

TfmAggregati::TfmAggregati(QSqlDatabase db, const BudgetYear &year, const BudgetView &view, QWidget *parent)
    : fw::TVeMdiForm(parent), m_store(db, year, view)
{
    setObjectName(QStringLiteral("TfmAggregati"));
    setWindowTitle(budgetCaption(QStringLiteral("Aggregati"), view));
    m_aggregati = new fw::TVeQueryCollection(db, this);
    m_aggregati->setObjectName(QStringLiteral("xqcAggregati"));
    m_aggregati->setSelectText(AbcSql::AggregatesSelect);
    m_aggregati->setKeyField(QStringLiteral("IAGGID"));
    m_aggregati->setTableName(QStringLiteral("TAGG_AGGREGATI"));
    m_aggregati->setSortKeys(QStringLiteral("SAGGDESCS;IAGGID"));
    m_aggregati->setParam(QStringLiteral("IFLSID"), view.flow);
    m_aggregati->setParam(QStringLiteral("ITITOID"), view.totalType);
    m_aggregati->setParam(QStringLiteral("IDWGID"), year.dwgId);
    m_aggregati->setParam(QStringLiteral("DINIZIO"), year.start);
    m_aggregati->setParam(QStringLiteral("DFINE"), year.end);
    m_aggregati->setStatements(fw::VeOperation::Insert, {AbcSql::AggregateInsert});
    m_aggregati->setStatements(fw::VeOperation::Update, {AbcSql::AggregateUpdate});
    m_aggregati->VeBeforeExec = [this](fw::VeExecContext &x) {
        if (x.operation != fw::VeOperation::Insert)
            return;
        // A new aggregate belongs to the window's flow and total type, the working institute
        // and the financial year.
        x.params.set(QStringLiteral("IFLSID"), m_store.view().flow);
        x.params.set(QStringLiteral("ITITOID"), m_store.view().totalType);
        x.params.set(QStringLiteral("DSTART"), m_store.year().start);
        x.params.set(QStringLiteral("IDWGID"), m_store.year().dwgId);
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_info = yearPanel(year.anfValore, this);
    layout->addWidget(m_info);
    m_frame = new TfrAggregati(m_aggregati, m_store, this);
    layout->addWidget(m_frame, 1);
}

TfmAggregati::~TfmAggregati() { m_aggregati->close(); }

void TfmAggregati::formShown()
{
    if (auto s = m_aggregati->open(); !s)
        fw::showError(s.error());
    m_frame->updateActions();
    m_frame->grid()->setFocus();
}

bool TfmAggregati::formCanClose()
{
    return saveBeforeClose(*m_frame, [this] { return m_frame->postChecked(); });
}

void TfmAggregati::formClosed() { m_aggregati->close(); }

} // namespace ccp::budget
