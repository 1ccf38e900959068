#include "AbcFVoci.h"

#include "AbcUWindow.h"
#include "TVeDBCheckBox.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "VeMessageDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace ccp::budget {

namespace {

const QString kCompetenza = QStringLiteral("LCOMPETENZA");
const QString kResidui = QStringLiteral("LRESIDUI");

bool flag(const fw::TVeQueryCollection *c, const QString &field) { return c->fieldValue(field).toInt() != 0; }

// The two account boxes side by side on one row of the detail page.
void addAccounts(fw::TVeEditFrame &frame, fw::TVeDBCheckBox *&competenza, fw::TVeDBCheckBox *&residui)
{
    competenza = new fw::TVeDBCheckBox(QStringLiteral("C&ompetenza"));
    competenza->setObjectName(QStringLiteral("xcbCompetenza"));
    residui = new fw::TVeDBCheckBox(QStringLiteral("&Residui"));
    residui->setObjectName(QStringLiteral("xcbResidui"));
    auto *row = new QHBoxLayout;
    row->addWidget(competenza);
    row->addWidget(residui);
    row->addStretch(1);
    frame.detailLayout()->addRow(QStringLiteral("Conti"), row);
    frame.bind(competenza, kCompetenza);
    frame.bind(residui, kResidui);
}

QList<fw::TVeQueryModel::Column> accountColumns()
{
    return {{QStringLiteral("COMPETENZA"), QStringLiteral("Competenza"), 90, Qt::AlignCenter, {}},
            {QStringLiteral("RESIDUI"), QStringLiteral("Residui"), 90, Qt::AlignCenter, {}}};
}

void applyWidths(fw::TVeEditFrame &frame)
{
    for (int i = 0; i < frame.model()->columns().size(); ++i)
        frame.grid()->setColumnWidth(i, frame.model()->columns()[i].width);
}

} // namespace

// ---- items ----------------------------------------------------------------------------------

TfrVociProgetti::TfrVociProgetti(fw::TVeQueryCollection *collection, const BudgetStore &store, QWidget *parent)
    : fw::TVeEditFrame(collection, parent), m_store(store)
{
    setObjectName(QStringLiteral("frVociProgetti"));
    model()->setColumns(QList<fw::TVeQueryModel::Column>{
                            {QStringLiteral("SAGGDESCS"), QStringLiteral("Aggregato"), 80, {}, {}},
                            {QStringLiteral("SVPROCOD"), QStringLiteral("Codice"), 80, {}, {}},
                            {QStringLiteral("SVPRODESCS"), QStringLiteral("Descrizione"), 420, {}, {}},
                            {QStringLiteral("DSTART"), QStringLiteral("Inizio"), 90, {}, {}},
                            {QStringLiteral("DEND"), QStringLiteral("Fine"), 90, {}, {}},
                        }
                        + accountColumns());
    applyWidths(*this);

    xdlAggregato = new fw::TVeDBLookupEdit(collection->database());
    xdlAggregato->setObjectName(QStringLiteral("xdlAggregato"));
    xdlAggregato->OnSetSearchQuery = [this] { return AbcSql::aggregateLookup(m_store.view(), m_store.year()); };
    xdlAggregato->setKeyField(QStringLiteral("TAGG_AGGREGATI.IAGGID"));
    xdlAggregato->setListField(QStringLiteral("SAGGDESCS"));
    xdlAggregato->setDescriptionField(QStringLiteral("SAGGDESCL"));
    xdlAggregato->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Aggregati"));
        form.setColumns({{QStringLiteral("IAGGID"), QStringLiteral("Id"), false, false, -1, {}},
                         {QStringLiteral("SAGGDESCS"), QStringLiteral("Codice"), true, true, 80, {}},
                         {QStringLiteral("SAGGDESCL"), QStringLiteral("Descrizione"), true, true, 420, {}}});
        form.setSortKeys(QStringLiteral("SAGGDESCS"));
    };
    xdlAggregato->OnChangeFKValue = [this] { proposeCode(); };
    addField(QStringLiteral("&Aggregato"), xdlAggregato, QStringLiteral("IAGGID"));

    xdeCodice = new fw::TVeDBEdit;
    xdeCodice->setObjectName(QStringLiteral("xdeCodice"));
    xdeCodice->setMaxLength(10);
    if (store.view().income()) {
        xdeCodice->setCharFilter(fw::CharFilters::digits);
    } else {
        xdeCodice->setCharFilter(fw::CharFilters::digitsAndLetters);
        xdeCodice->setUpperCase(true);
    }
    addField(QStringLiteral("&Codice"), xdeCodice, QStringLiteral("SVPROCOD"));
    xdeDescrizione = new fw::TVeDBEdit;
    xdeDescrizione->setObjectName(QStringLiteral("xdeDescrizione"));
    xdeDescrizione->setMaxLength(60);
    addField(QStringLiteral("&Descrizione"), xdeDescrizione, QStringLiteral("SVPRODESCS"));
    xddInizio = new fw::TVeDBDateEdit;
    xddInizio->setObjectName(QStringLiteral("xddInizio"));
    addField(QStringLiteral("Data &inizio"), xddInizio, QStringLiteral("DSTART"));
    xddFine = new fw::TVeDBDateEdit;
    xddFine->setObjectName(QStringLiteral("xddFine"));
    addField(QStringLiteral("Data &fine"), xddFine, QStringLiteral("DEND"));
    addAccounts(*this, xcbCompetenza, xcbResidui);

    OnPostExecute = [this] { postChecked(); };
}

QWidget *TfrVociProgetti::fieldWidget(Field field) const
{
    switch (field) {
    case Field::Aggregate: return xdlAggregato->lineEdit();
    case Field::Code: return xdeCodice;
    case Field::Description: return xdeDescrizione;
    case Field::Start: return xddInizio;
    case Field::End: return xddFine;
    case Field::Competence: return xcbCompetenza;
    case Field::Residues: return xcbResidui;
    case Field::None: break;
    }
    return nullptr;
}

void TfrVociProgetti::proposeCode()
{
    fw::TVeQueryCollection *c = collection();
    const int aggId = c->fieldValue(QStringLiteral("IAGGID")).toInt();
    if (mode() == 0 || aggId <= 0)
        return;
    auto aggCode = m_store.aggregateCode(aggId);
    if (!aggCode) {
        fw::showError(aggCode.error());
        return;
    }
    c->setFieldValue(QStringLiteral("SAGGDESCS"), aggCode.value());
    // An edited item keeps a code that still fits its aggregate.
    if (mode() == 2 && itemCodeFits(aggCode.value(), c->fieldValue(QStringLiteral("SVPROCOD")).toString()))
        return;
    auto code = m_store.proposeItemCode(aggId, mode() == 2 ? c->currentKey().toInt() : 0);
    if (code)
        c->setFieldValue(QStringLiteral("SVPROCOD"), code.value());
    else
        fw::showError(code.error());
}

bool TfrVociProgetti::postChecked()
{
    if (!dataSource()->commitControls())
        return false;
    fw::TVeQueryCollection *c = collection();
    ItemValues v;
    v.id = mode() == 2 ? c->currentKey().toInt() : 0;
    v.aggId = c->fieldValue(QStringLiteral("IAGGID")).toInt();
    v.code = c->fieldValue(QStringLiteral("SVPROCOD")).toString().trimmed();
    v.start = c->fieldValue(QStringLiteral("DSTART")).toDate();
    v.end = c->fieldValue(QStringLiteral("DEND")).toDate();
    v.competence = flag(c, kCompetenza);
    v.residues = flag(c, kResidui);
    v.dwgId = mode() == 2 ? c->fieldValue(QStringLiteral("IDWGID")).toInt() : m_store.year().dwgId;
    if (v.aggId > 0) {
        auto aggCode = m_store.aggregateCode(v.aggId);
        if (!aggCode) {
            fw::showError(aggCode.error());
            return false;
        }
        v.aggregateCode = aggCode.value();
    }
    std::optional<StoredItem> stored;
    if (mode() == 2) {
        const int row = c->currentIndex();
        stored = StoredItem{c->value(row, QStringLiteral("IAGGID")).toInt(), c->value(row, QStringLiteral("SVPROCOD")).toString().trimmed(),
                            c->value(row, QStringLiteral("DSTART")).toDate(), c->value(row, QStringLiteral("DEND")).toDate(),
                            c->value(row, QStringLiteral("ICORID")).toInt()};
    }
    if (const Verdict refusal = m_store.checkItem(v, stored)) {
        refuse(*refusal, [this](Field f) { return fieldWidget(f); });
        return false;
    }
    c->setFieldValue(QStringLiteral("SVPROCOD"), v.code);
    c->setFieldValue(QStringLiteral("ICORID"), corIdOf(v.competence, v.residues));
    c->setFieldValue(QStringLiteral("ITCKID"), tckIdFor(v.aggId));
    if (mode() == 1)
        c->setFieldValue(QStringLiteral("IDWGID"), m_store.year().dwgId > 0 ? QVariant(m_store.year().dwgId) : QVariant());
    return post();
}

// ---- sub-items ------------------------------------------------------------------------------

TfrSottoVoci::TfrSottoVoci(fw::TVeQueryCollection *collection, const BudgetStore &store, QWidget *parent)
    : fw::TVeEditFrame(collection, parent), m_store(store)
{
    setObjectName(QStringLiteral("frSottoVoci"));
    model()->setColumns(QList<fw::TVeQueryModel::Column>{
                            {QStringLiteral("SSVODESCS"), QStringLiteral("Codice"), 80, {}, {}},
                            {QStringLiteral("SSVODESCL"), QStringLiteral("Descrizione"), 500, {}, {}},
                        }
                        + accountColumns());
    applyWidths(*this);

    xdeCodice = new fw::TVeDBEdit;
    xdeCodice->setObjectName(QStringLiteral("xdeCodice"));
    xdeCodice->setMaxLength(3);
    xdeCodice->setCharFilter(fw::CharFilters::digits);
    addField(QStringLiteral("&Codice"), xdeCodice, QStringLiteral("SSVODESCS"));
    xdeDescrizione = new fw::TVeDBEdit;
    xdeDescrizione->setObjectName(QStringLiteral("xdeDescrizione"));
    xdeDescrizione->setMaxLength(82);
    addField(QStringLiteral("&Descrizione"), xdeDescrizione, QStringLiteral("SSVODESCL"));
    addAccounts(*this, xcbCompetenza, xcbResidui);

    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        applyItemAccounts();
        if (m != 1)
            return;
        auto code = m_store.proposeSubItemCode(this->collection()->param(QStringLiteral("IVPROID")).toInt());
        if (!code) {
            fw::showError(code.error());
        } else if (code.value().isEmpty()) {
            fw::showError(AbcMessages::NoMoreSubItemCodes);
        } else {
            this->collection()->setFieldValue(QStringLiteral("SSVODESCS"), code.value());
        }
    });
    OnBeforeInsert = [this] { return m_itemCor > 0; };
    OnPostExecute = [this] { postChecked(); };
}

void TfrSottoVoci::setItemAccounts(int corId)
{
    m_itemCor = corId;
    lockAction(Insert, corId <= 0);
    applyItemAccounts();
    updateActions();
}

void TfrSottoVoci::applyItemAccounts()
{
    // On an item of one account its sub-items are on that account; on both they are free.
    const bool follow = m_itemCor == 1 || m_itemCor == 2;
    for (fw::TVeDBCheckBox *box : {xcbCompetenza, xcbResidui}) {
        box->setReadOnlyByOwner(follow);
        box->setEnabled(!follow || mode() == 0);
    }
    if (follow && mode() == 1) {
        collection()->setFieldValue(kCompetenza, hasCompetence(m_itemCor) ? 1 : 0);
        collection()->setFieldValue(kResidui, hasResidues(m_itemCor) ? 1 : 0);
    }
}

QWidget *TfrSottoVoci::fieldWidget(Field field) const
{
    switch (field) {
    case Field::Code: return xdeCodice;
    case Field::Description: return xdeDescrizione;
    case Field::Competence: return xcbCompetenza->isEnabled() ? static_cast<QWidget *>(xcbCompetenza) : xdeCodice;
    case Field::Residues: return xcbResidui->isEnabled() ? static_cast<QWidget *>(xcbResidui) : xdeCodice;
    default: return nullptr;
    }
}

bool TfrSottoVoci::postChecked()
{
    if (!dataSource()->commitControls())
        return false;
    fw::TVeQueryCollection *c = collection();
    SubItemValues v;
    v.id = mode() == 2 ? c->currentKey().toInt() : 0;
    v.code = c->fieldValue(QStringLiteral("SSVODESCS")).toString().trimmed();
    v.competence = flag(c, kCompetenza);
    v.residues = flag(c, kResidui);
    v.storedCorId = mode() == 2 ? c->value(c->currentIndex(), QStringLiteral("ICORID")).toInt() : 3;
    if (const Verdict refusal = m_store.checkSubItem(v)) {
        refuse(*refusal, [this](Field f) { return fieldWidget(f); });
        return false;
    }
    c->setFieldValue(QStringLiteral("ICORID"), corIdOf(v.competence, v.residues));
    return post();
}

// ---- window ---------------------------------------------------------------------------------

TfmVoci::TfmVoci(QSqlDatabase db, const BudgetYear &year, const BudgetView &view, QWidget *parent)
    : fw::TVeMdiForm(parent), m_store(db, year, view)
{
    setObjectName(QStringLiteral("TfmVoci"));
    setWindowTitle(budgetCaption(QStringLiteral("Voci Progetti"), view));

    m_voci = new fw::TVeQueryCollection(db, this);
    m_voci->setObjectName(QStringLiteral("xqcVoci"));
    m_voci->setSelectText(AbcSql::ItemsSelect);
    m_voci->setKeyField(QStringLiteral("IVPROID"));
    m_voci->setTableName(QStringLiteral("TVPRO_VOCIPROGETTI"));
    m_voci->setSortKeys(QStringLiteral("SAGGDESCS;SVPROCOD;IVPROID"));
    m_voci->setParam(QStringLiteral("IFLSID"), view.flow);
    m_voci->setParam(QStringLiteral("ITITOID"), view.totalType);
    m_voci->setParam(QStringLiteral("IDWGID"), year.dwgId);
    m_voci->setParam(QStringLiteral("DINIZIO"), year.start);
    m_voci->setParam(QStringLiteral("DFINE"), year.end);
    m_voci->setDefault(QStringLiteral("DSTART"), year.start);
    m_voci->setDefault(kCompetenza, 1);
    m_voci->setDefault(kResidui, 1);
    m_voci->setStatements(fw::VeOperation::Insert, {AbcSql::ItemInsert});
    m_voci->setStatements(fw::VeOperation::Update, {AbcSql::ItemUpdate, AbcSql::SubItemsFollowDates});
    // The sub-items follow the item's dates in the same transaction, and its account when it
    // is on one only.
    m_voci->VeBeforeUpdate = [this](fw::VeListContext &x) {
        const int cor = m_voci->fieldValue(QStringLiteral("ICORID")).toInt();
        x.statements = {AbcSql::ItemUpdate, cor == 3 ? AbcSql::SubItemsFollowDates : AbcSql::SubItemsFollowDatesAndAccounts};
    };

    m_sottoVoci = new fw::TVeQueryCollection(db, this);
    m_sottoVoci->setObjectName(QStringLiteral("xqcSottoVoci"));
    m_sottoVoci->setSelectText(AbcSql::SubItemsSelect);
    m_sottoVoci->setKeyField(QStringLiteral("ISVOID"));
    m_sottoVoci->setTableName(QStringLiteral("TSVO_SOTTOVOCI"));
    m_sottoVoci->setSortKeys(QStringLiteral("SSVODESCS;ISVOID"));
    m_sottoVoci->setParam(QStringLiteral("IDWGID"), year.dwgId);
    m_sottoVoci->setDefault(kCompetenza, 1);
    m_sottoVoci->setDefault(kResidui, 1);
    m_sottoVoci->setStatements(fw::VeOperation::Insert, {AbcSql::SubItemInsert});
    m_sottoVoci->setStatements(fw::VeOperation::Update, {AbcSql::SubItemUpdate});
    m_sottoVoci->VeBeforeExec = [this](fw::VeExecContext &x) {
        // A sub-item takes its item's id, dates and institute.
        const int row = m_voci->currentIndex();
        x.params.set(QStringLiteral("DSTART"), m_voci->value(row, QStringLiteral("DSTART")));
        x.params.set(QStringLiteral("DEND"), m_voci->value(row, QStringLiteral("DEND")));
        if (x.operation == fw::VeOperation::Insert) {
            x.params.set(QStringLiteral("IVPROID"), m_voci->value(row, QStringLiteral("IVPROID")));
            x.params.set(QStringLiteral("IDWGID"), m_voci->value(row, QStringLiteral("IDWGID")));
        }
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_info = yearPanel(year.anfValore, this);
    layout->addWidget(m_info);
    m_frVoci = new TfrVociProgetti(m_voci, m_store, this);
    auto *bottom = new QWidget;
    auto *bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 4, 0, 0);
    auto *title = new QLabel(QStringLiteral("Sottovoci"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    bottomLayout->addWidget(title);
    m_frSottoVoci = new TfrSottoVoci(m_sottoVoci, m_store, bottom);
    bottomLayout->addWidget(m_frSottoVoci, 1);
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->addWidget(m_frVoci);
    m_splitter->addWidget(bottom);
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 2);
    m_splitter->setChildrenCollapsible(false);
    layout->addWidget(m_splitter, 1);

    connect(m_voci, &fw::TVeQueryCollection::currentChanged, this, &TfmVoci::onItemChanged);
    connect(m_voci, &fw::TVeQueryCollection::posted, this, [this](fw::VeOperation) {
        // The sub-items shown carry the item's dates and accounts again.
        m_loadedItem = QVariant();
        onItemChanged();
    });
    // One frame edits at a time.
    connect(m_frVoci, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        m_frSottoVoci->setEnabled(m == 0);
        if (m == 0)
            onItemChanged();
    });
    connect(m_frSottoVoci, &fw::TVeEditFrame::modeChanged, this, [this](int m) { m_frVoci->setEnabled(m == 0); });
}

TfmVoci::~TfmVoci()
{
    m_sottoVoci->close();
    m_voci->close();
}

void TfmVoci::openSubItems(const QVariant &itemId)
{
    m_sottoVoci->close();
    m_sottoVoci->setParam(QStringLiteral("IVPROID"), itemId.isValid() ? itemId.toInt() : 0);
    m_loadedItem = itemId;
    if (auto s = m_sottoVoci->open(); !s)
        fw::showError(s.error());
}

void TfmVoci::onItemChanged()
{
    if (m_voci->isEditing() || m_sottoVoci->isEditing() || !m_voci->isOpen())
        return;
    const int row = m_voci->currentIndex();
    const QVariant id = row >= 0 ? m_voci->keyOf(row) : QVariant();
    if (!m_sottoVoci->isOpen() || m_loadedItem != id)
        openSubItems(id);
    m_frSottoVoci->setItemAccounts(row >= 0 ? m_voci->value(row, QStringLiteral("ICORID")).toInt() : 0);
}

void TfmVoci::formShown()
{
    if (auto s = m_voci->open(); !s)
        fw::showError(s.error());
    m_loadedItem = QVariant();
    onItemChanged();
    m_frVoci->updateActions();
    m_frVoci->grid()->setFocus();
}

bool TfmVoci::formCanClose()
{
    return saveBeforeClose(*m_frVoci, [this] { return m_frVoci->postChecked(); })
        && saveBeforeClose(*m_frSottoVoci, [this] { return m_frSottoVoci->postChecked(); });
}

void TfmVoci::formClosed()
{
    m_sottoVoci->close();
    m_voci->close();
    m_loadedItem = QVariant();
}

} // namespace ccp::budget
