#include "EbcRCca.h"

#include "EbsUCca.h"
#include "TVeDBCheckBox.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDataSource.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "VeMessageDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace ccp::fees {

using fw::SearchColumn;

namespace {

SearchColumn col(const QString &field, const QString &title, bool searchable, int width, bool visible = true,
                 const QString &expression = {})
{
    return SearchColumn::make(field, title, searchable, width, visible, expression);
}

bool isEmptyKey(const QVariant &v) { return v.isNull() || !v.isValid() || v.toString().isEmpty(); }

} // namespace

TfrEbcCca::TfrEbcCca(fw::TVeQueryCollection *collection, QWidget *parent)
    : fw::TVeEditFrame(collection, parent), m_db(collection->database())
{
    setObjectName(QStringLiteral("frEbsCompCaus"));
    m_bindings = collection->findChild<TEbsCcaBindings *>();
    if (!m_bindings)
        m_bindings = new TEbsCcaBindings(collection);

    model()->setColumns({
        {QStringLiteral("sCcaLDesc"), QStringLiteral("Descrizione"), 320, {}, {}},
        {QStringLiteral("sCcaSDesc"), QStringLiteral("Codice"), 110, {}, {}},
        {QStringLiteral("sTccSDesc"), QStringLiteral("Tipo-Sottotipo"), 110, {}, {}},
        {QStringLiteral("sAnsAnnoDesc"), QStringLiteral("Anno scolastico"), 110, {}, {}},
        {QStringLiteral("dCcaDataScadenza"), QStringLiteral("Data Scadenza"), 110, {}, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    xdeDescrizione = new fw::TVeDBEdit;
    xdeDescrizione->setObjectName(QStringLiteral("xdeDescrizione"));
    xdeDescrizione->setMaxLength(120);
    addField(QStringLiteral("&Descrizione"), xdeDescrizione, QStringLiteral("sCcaLDesc"));
    xdeCodice = new fw::TVeDBEdit;
    xdeCodice->setObjectName(QStringLiteral("xdeCodice"));
    xdeCodice->setMaxLength(20);
    addField(QStringLiteral("&Codice"), xdeCodice, QStringLiteral("sCcaSDesc"));
    xdcImportoIst = new fw::TVeDBCurrencyEdit;
    xdcImportoIst->setObjectName(QStringLiteral("xdcImportoIst"));
    xdcImportoIst->setMaximumWidth(140);
    addField(QStringLiteral("&Importo istituto"), xdcImportoIst, QStringLiteral("fCcaImportoIst"));
    xdcImportoEra = new fw::TVeDBCurrencyEdit;
    xdcImportoEra->setObjectName(QStringLiteral("xdcImportoEra"));
    xdcImportoEra->setMaximumWidth(140);
    addField(QStringLiteral("Importo erario "), xdcImportoEra, QStringLiteral("fCcaImportoEra"));
    // This system keeps the treasury amount out of sight.
    detailLayout()->setRowVisible(xdcImportoEra, false);

    // Type: the parent's description in the lookup, the sub-type's own beside it.
    xdlTipo = new fw::TVeDBLookupEdit(m_db);
    xdlTipo->setObjectName(QStringLiteral("xdlTipo"));
    xdlTipo->setCaption(QStringLiteral("Tipo"));
    xdlTipo->setKeyField(QStringLiteral("Tcc.iTccId"));
    xdlTipo->setListField(QStringLiteral("LDesc_P"));
    xdlTipo->setSearchField(QStringLiteral("Tcc_P.sTccLDesc"));
    xdlTipo->OnSetSearchQuery = [this]() { return CcaSql::typeSelect(causaliYear()); };
    xdlTipo->OnShowSearchForm = [this](fw::TfmVeSearch &form) {
        form.setSelectText(CcaSql::typeSearchSelect(causaliYear()));
        form.setKeyField(QStringLiteral("iTccId"));
        form.setWindowTitle(QStringLiteral("Tipo - Sottotipo"));
        form.setColumns({col(QStringLiteral("iTccId"), QStringLiteral("Id"), false, -1, false),
                         col(QStringLiteral("LDesc_P"), QStringLiteral("Tipo"), true, 220, true, QStringLiteral("U.LDesc_P")),
                         col(QStringLiteral("LDesc"), QStringLiteral("Sottotipo"), true, 240, true, QStringLiteral("U.LDesc"))});
        form.setSortKeys(QStringLiteral("LDesc_P;LDesc"));
        form.resize(500, 420);
    };
    xdlTipo->OnChangeFKValue = [this]() { refreshSubType(); };
    xdlSottoTipo = new fw::TVeDBLookupEdit(m_db);
    xdlSottoTipo->setObjectName(QStringLiteral("xdlSottoTipo"));
    xdlSottoTipo->setKeyField(QStringLiteral("Tcc.iTccId"));
    xdlSottoTipo->setListField(QStringLiteral("LDesc"));
    xdlSottoTipo->OnSetSearchQuery = [this]() { return CcaSql::typeSelect(causaliYear()); };
    xdlSottoTipo->setReadOnly(true);
    xdlSottoTipo->button()->hide();
    xdlSottoTipo->setFocusPolicy(Qt::NoFocus);
    xdlSottoTipo->lineEdit()->setFocusPolicy(Qt::NoFocus);
    auto *typeRow = new QWidget(detailPage());
    auto *typeBox = new QHBoxLayout(typeRow);
    typeBox->setContentsMargins(0, 0, 0, 0);
    typeBox->addWidget(xdlTipo, 1);
    typeBox->addWidget(xdlSottoTipo, 1);
    auto *typeLabel = new QLabel(QStringLiteral("&Tipo - Sottotipo"), detailPage());
    typeLabel->setBuddy(xdlTipo);
    detailLayout()->addRow(typeLabel, typeRow);
    bind(xdlTipo, QStringLiteral("iTccId"));

    xdlAggr = new fw::TVeDBLookupEdit(m_db);
    xdlAggr->setObjectName(QStringLiteral("xdlAggr"));
    xdlAggr->setKeyField(QStringLiteral("Agg.iAggId"));
    xdlAggr->setListField(QStringLiteral("sAggDescL"));
    xdlAggr->setDescriptionField(QStringLiteral("sAggDescS"));
    xdlAggr->OnSetSearchQuery = [this]() { return m_aggSelect; };
    xdlAggr->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Aggregati"));
        form.setColumns({col(QStringLiteral("iAggId"), QStringLiteral("Id"), false, -1, false),
                         col(QStringLiteral("sAggDescS"), QStringLiteral("Codice"), true, 50),
                         col(QStringLiteral("sAggDescL"), QStringLiteral("Descrizione"), true, 300),
                         col(QStringLiteral("dStart"), QStringLiteral("Inizio valid."), false, 75),
                         col(QStringLiteral("dEnd"), QStringLiteral("Fine valid."), false, 75),
                         col(QStringLiteral("iDwgId"), QStringLiteral("Istituto"), false, -1, false)});
        form.setSortKeys(QStringLiteral("sAggDescS"));
        form.resize(550, 420);
    };
    addField(QStringLiteral("&Aggregato"), xdlAggr, QStringLiteral("iAggId"));

    xdlVoci = new fw::TVeDBLookupEdit(m_db);
    xdlVoci->setObjectName(QStringLiteral("xdlVoci"));
    xdlVoci->setKeyField(QStringLiteral("iVproId"));
    xdlVoci->setListField(QStringLiteral("sVproDescS"));
    xdlVoci->setDescriptionField(QStringLiteral("sVproCod"));
    xdlVoci->OnSetSearchQuery = [this]() { return m_itemSelect; };
    xdlVoci->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Voci"));
        form.setColumns({col(QStringLiteral("iVproId"), QStringLiteral("Id"), false, -1, false),
                         col(QStringLiteral("sVproCod"), QStringLiteral("Codice"), true, 80),
                         col(QStringLiteral("sVproDescS"), QStringLiteral("Descrizione"), true, 250),
                         col(QStringLiteral("dStart"), QStringLiteral("Inizio valid."), false, 75),
                         col(QStringLiteral("dEnd"), QStringLiteral("Fine valid."), false, 75),
                         col(QStringLiteral("iDwgId"), QStringLiteral("Istituto"), false, -1, false)});
        form.setSortKeys(QStringLiteral("sVproCod"));
        form.resize(550, 420);
    };
    addField(QStringLiteral("&Voce"), xdlVoci, QStringLiteral("iVproId"));

    xdlSottoVoci = new fw::TVeDBLookupEdit(m_db);
    xdlSottoVoci->setObjectName(QStringLiteral("xdlSottoVoci"));
    xdlSottoVoci->setKeyField(QStringLiteral("iSvoId"));
    xdlSottoVoci->setListField(QStringLiteral("sSvoDescL"));
    xdlSottoVoci->setDescriptionField(QStringLiteral("sSvoDescS"));
    xdlSottoVoci->OnSetSearchQuery = [this]() { return m_subItemSelect; };
    xdlSottoVoci->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Sottovoci"));
        form.setColumns({col(QStringLiteral("iSvoId"), QStringLiteral("Id"), false, -1, false),
                         col(QStringLiteral("sSvoDescS"), QStringLiteral("Codice"), true, 80),
                         col(QStringLiteral("sSvoDescL"), QStringLiteral("Descrizione"), true, 250),
                         col(QStringLiteral("iDwgId"), QStringLiteral("Istituto"), false, -1, false)});
        form.setSortKeys(QStringLiteral("sSvoDescS"));
        form.resize(400, 420);
    };
    addField(QStringLiteral("&Sottovoce"), xdlSottoVoci, QStringLiteral("iSvoId"));

    xckRette = new fw::TVeDBCheckBox(QStringLiteral("Visibile nel programma &Rette"));
    xckRette->setObjectName(QStringLiteral("xckRette"));
    addField(QString(), xckRette, QStringLiteral("lCcaRette"));

    xdeAnnoScol = new fw::TVeDBEdit;
    xdeAnnoScol->setObjectName(QStringLiteral("xdeAnnoScol"));
    xdeAnnoScol->setMaxLength(11);
    xdeAnnoScol->setReadOnly(true);
    xdeAnnoScol->setReadOnlyByOwner(true);
    xdeAnnoScol->setFocusPolicy(Qt::NoFocus);
    addField(QStringLiteral("A.S. causale"), xdeAnnoScol, QStringLiteral("sAnsAnnoDesc"));

    // The budget choices decide the institute of the component.
    xdlAggr->OnChangeFKValue = [this]() {
        const QVariant agg = xdlAggr->key();
        rebuildItemSelect(agg);
        // An item belongs to one aggregate: a new aggregate leaves no item (nor sub-item) valid.
        resetLookup(xdlVoci);
        rebuildSubItemSelect(QVariant());
        resetLookup(xdlSottoVoci);
        setChosenInstitute(isEmptyKey(agg) ? QVariant() : xdlAggr->rowValue(QStringLiteral("iDwgId")));
    };
    xdlVoci->OnChangeFKValue = [this]() {
        const QVariant item = xdlVoci->key();
        rebuildSubItemSelect(item);
        resetLookup(xdlSottoVoci);
        setChosenInstitute(isEmptyKey(item) ? QVariant() : xdlVoci->rowValue(QStringLiteral("iDwgId")));
    };
    xdlSottoVoci->OnChangeFKValue = [this]() {
        setChosenInstitute(isEmptyKey(xdlVoci->key()) ? QVariant() : xdlVoci->rowValue(QStringLiteral("iDwgId")));
    };

    rebuildItemSelect(-1);
    rebuildSubItemSelect(-1);
    rebuildAggregateSelect();

    connect(this, &fw::TVeEditFrame::modeChanged, this, &TfrEbcCca::onModeChanged);
    connect(this, &fw::TVeEditFrame::dataChanged, this, [this](const QString &field) {
        if (field.isEmpty() && mode() == 0)
            onRowCurrent();
    });
    connect(collection, &fw::TVeQueryCollection::reset, this, [this]() {
        if (mode() == 0)
            onRowCurrent();
    });
    OnPostExecute = [this]() { validateAndPost(); };
    applyFeesDefault();
}

TfrEbcCca::~TfrEbcCca() = default;

int TfrEbcCca::causaliYear() const
{
    return fw::TVeGlobalValuesManager::instance().intValue(QStringLiteral("EBSP_CauAnsId"));
}

int TfrEbcCca::workingInstitute() const
{
    return fw::TVeGlobalValuesManager::instance().intValue(QStringLiteral("VEUP_DwgId"));
}

void TfrEbcCca::setTipo(int tipo)
{
    m_tipo = tipo == 1 ? 1 : 0;
    rebuildAggregateSelect();
    applyFeesDefault();
}

void TfrEbcCca::setFeesDefault(bool on)
{
    m_feesDefault = on;
    applyFeesDefault();
}

void TfrEbcCca::applyFeesDefault()
{
    // Expense components are never offered by the fees program.
    collection()->setDefault(QStringLiteral("lCcaRette"), (m_tipo == 0 && m_feesDefault) ? 1 : 0);
}

QVariant TfrEbcCca::chosenInstitute() const { return m_bindings->chosenDwgId; }

void TfrEbcCca::setChosenInstitute(const QVariant &dwgId)
{
    m_bindings->chosenDwgId = isEmptyKey(dwgId) ? QVariant() : QVariant(dwgId.toInt());
}

bool TfrEbcCca::ComponentInUse(int ccaId) const
{
    const auto used = CcaRules::componentInUse(m_db, ccaId);
    return used.ok() && *used;
}

void TfrEbcCca::setIncomeLayout(bool income)
{
    detailLayout()->setRowVisible(xdlSottoVoci, income);
    detailLayout()->setRowVisible(xckRette, income);
}

void TfrEbcCca::rebuildAggregateSelect() { m_aggSelect = CcaSql::aggregateSelect(workingInstitute(), m_tipo + 1); }

void TfrEbcCca::rebuildItemSelect(const QVariant &aggId, int dwgId)
{
    m_itemSelect = CcaSql::itemSelect(isEmptyKey(aggId) ? -1 : aggId.toInt(), dwgId > 0 ? dwgId : workingInstitute());
}

void TfrEbcCca::rebuildSubItemSelect(const QVariant &itemId, int dwgId)
{
    m_subItemSelect = CcaSql::subItemSelect(isEmptyKey(itemId) ? -1 : itemId.toInt(), dwgId > 0 ? dwgId : workingInstitute());
}

void TfrEbcCca::resetLookup(fw::TVeDBLookupEdit *lookup)
{
    if (mode() == 0)
        return;
    lookup->setFieldValue(QVariant());
    collection()->setFieldValue(lookup->dataField(), QVariant());
}

void TfrEbcCca::refreshSubType()
{
    const QVariant key = xdlTipo->key();
    xdlSottoTipo->setFieldValue(key);
    xdlSottoTipo->lineEdit()->setText(CcaRules::subTypeText(key, xdlSottoTipo->text(), xdlTipo->text()));
}

void TfrEbcCca::applyLocking()
{
    const QVariant id = collection()->currentKey();
    const bool used = mode() == 0 && !isEmptyKey(id) && ComponentInUse(id.toInt());
    xdcImportoIst->setReadOnlyByOwner(used);
    xdcImportoEra->setReadOnlyByOwner(used);
    xckRette->setReadOnlyByOwner(used);
}

void TfrEbcCca::onRowCurrent()
{
    applyLocking();
    const int rowDwg = collection()->fieldValue(QStringLiteral("iDwgId")).toInt();
    rebuildItemSelect(collection()->fieldValue(QStringLiteral("iAggId")), rowDwg);
    rebuildSubItemSelect(collection()->fieldValue(QStringLiteral("iVproId")), rowDwg);
    // The lookups were loaded before their selects followed the row: show the row's values again.
    xdlVoci->setFieldValue(collection()->fieldValue(QStringLiteral("iVproId")));
    xdlSottoVoci->setFieldValue(collection()->fieldValue(QStringLiteral("iSvoId")));
    setChosenInstitute(collection()->fieldValue(QStringLiteral("iDwgId")));
    refreshSubType();
}

void TfrEbcCca::onModeChanged(int newMode)
{
    if (newMode == 1) {
        for (fw::TVeDBControl *c : std::initializer_list<fw::TVeDBControl *>{xdcImportoIst, xdcImportoEra, xckRette,
                                                                              xdlAggr, xdlVoci})
            c->setReadOnlyByOwner(false);
        rebuildItemSelect(-1);
        rebuildSubItemSelect(-1);
        setChosenInstitute(QVariant());
        collection()->setFieldValue(QStringLiteral("sAnsAnnoDesc"),
                                    CcaRules::schoolYearDescription(m_db, causaliYear()));
        refreshSubType();
    } else if (newMode == 0) {
        // After a cancel or a post the current row's budget choices and locking apply again.
        onRowCurrent();
    }
}

void TfrEbcCca::validateAndPost()
{
    CcaRules::Entry e;
    e.description = xdeDescrizione->text();
    e.code = xdeCodice->text();
    e.type = xdlTipo->key();
    e.aggregate = xdlAggr->key();
    e.item = xdlVoci->key();
    e.instituteEmpty = xdcImportoIst->isEmpty();
    e.institute = xdcImportoIst->money();
    e.treasuryEmpty = xdcImportoEra->isEmpty();
    e.treasury = xdcImportoEra->money();
    const QString missing = CcaRules::missingField(e);
    if (!missing.isEmpty()) {
        fw::showError(fw::TVeQueryCollection::requiredMessage(missing));
        QWidget *focus = missing == QStringLiteral("Descrizione") ? static_cast<QWidget *>(xdeDescrizione)
                         : missing == QStringLiteral("Codice")    ? static_cast<QWidget *>(xdeCodice)
                         : missing == QStringLiteral("Tipo")      ? static_cast<QWidget *>(xdlTipo)
                         : missing == QStringLiteral("Aggregato") ? static_cast<QWidget *>(xdlAggr)
                                                                  : static_cast<QWidget *>(xdlVoci);
        focus->setFocus();
        return;
    }
    post();
}

} // namespace ccp::fees
