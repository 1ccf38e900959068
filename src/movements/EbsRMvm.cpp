#include "EbsRMvm.h"

#include "EbcUMvm.h"
#include "EbsFCauComp.h"
#include "EbsFSearchCau.h"
#include "EbsRBarCode.h"
#include "SqlQuery.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDBMemo.h"
#include "TVeDataSource.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "TfrVeFilter.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include <limits>

namespace ccp::movements {

namespace {
const QString FieldCauId = QStringLiteral("iCauId");
const QString FieldAmount = QStringLiteral("fMvmImporto");
const QString FieldDifference = QStringLiteral("fMvmDifferenza");
const QString FieldMvmId = QStringLiteral("iMvmId");
constexpr int InstituteTag = 2;  // the composition column the amount feeds
constexpr int PostalBank = 2;

// A money parameter as stored ("12.50"), or as a clerk typed it ("12,50").
Money moneyParameter(const QString &key)
{
    const QString text = fw::GetValues(key).toString().trimmed();
    bool ok = false;
    const Money m = Money::fromSqlText(text, &ok);
    return ok ? m : Money::fromText(text);
}

QVariant idParameter(const QString &key)
{
    const int v = fw::TVeGlobalValuesManager::instance().intValue(key);
    return v ? QVariant(v) : QVariant();
}

bool isAmountKey(const QKeyEvent *k)
{
    const QString t = k->text();
    if (t.size() == 1 && (t.at(0).isDigit() || t.at(0) == QLatin1Char('.') || t.at(0) == QLatin1Char(',')))
        return true;
    if (k->key() == Qt::Key_Backspace || k->key() == Qt::Key_Delete)
        return true;
    return k->modifiers().testFlag(Qt::ControlModifier) && (k->key() == Qt::Key_V || k->key() == Qt::Key_X);
}
} // namespace

TfrEbsMvm::TfrEbsMvm(fw::TVeQueryCollection *collection, QSqlDatabase db, QWidget *parent)
    : fw::TVeEditFrame(collection, parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("frEbsMvm"));
    auto &values = fw::TVeGlobalValuesManager::instance();

    // ---- causale -------------------------------------------------------------------------
    xdlCausale = new fw::TVeDBLookupEdit(m_db, detailPage());
    xdlCausale->setObjectName(QStringLiteral("xdlCausale"));
    xdlCausale->setCaption(QStringLiteral("Causale"));
    xdlCausale->setKeyField(QStringLiteral("Cau.iCauId"));
    xdlCausale->setListField(QStringLiteral("sCauLDesc"));
    xdlCausale->setSearchField(QStringLiteral("Cau.sCauLDesc"));
    xdlCausale->OnSetSearchQuery = [this]() { return m_causaleSelect; };
    xdlCausale->CreateSearchForm = [this](QWidget *p) -> fw::TfmVeSearch * {
        return new fees::TfmEbsSearchCau(m_db, p);
    };
    xdlCausale->OnShowSearchForm = [this](fw::TfmVeSearch &form) {
        auto *search = qobject_cast<fees::TfmEbsSearchCau *>(&form);
        if (!search)
            return;
        search->SetShowAll(m_allCausali);
        search->SetAllInstitutes(m_allInstitutes);
        search->SetTipo(m_kind);
        const QVariant chosen = xdlCausale->key();
        int year = fw::TVeGlobalValuesManager::instance().intValue(MvmKeys::CauAnsId);
        if (!chosen.isNull())
            if (const int y = causaleSchoolYear(chosen.toInt()))
                year = y;
        search->SetSchoolYear(year);
        search->setColumns({
            fw::SearchColumn::make(QStringLiteral("iCauId"), QString(), false, -1, false),
            fw::SearchColumn::make(QStringLiteral("sCauLDesc"), QStringLiteral("Descrizione"), true, 200),
            fw::SearchColumn::make(QStringLiteral("sCauSDesc"), QStringLiteral("Codice"), true, 80),
            fw::SearchColumn::make(QStringLiteral("fCauImportoIst"), QStringLiteral("Importo istituto"), false, 100),
            fw::SearchColumn::make(QStringLiteral("fCauImportoEra"), QStringLiteral("Importo erario"), false, 100),
        });
        search->resize(550, search->height());
    };
    xdlCausale->OnSearchFormClosed = [this](fw::TfmVeSearch &form) {
        auto *search = qobject_cast<fees::TfmEbsSearchCau *>(&form);
        if (!search)
            return;
        m_searchYear = search->options().ansId;
        laCausale->setText(QStringLiteral("Causale anno ") + search->cbAnnoScol->currentText());
        rebuildCausaleList();
    };
    xdlCausale->OnChangeFKValue = [this]() { onCausaleChosen(); };
    laCausale = addRow(QStringLiteral("Causale"), xdlCausale);
    laCausale->setObjectName(QStringLiteral("laCausale"));
    bind(xdlCausale, FieldCauId);

    // ---- amounts -------------------------------------------------------------------------
    auto makeAmount = [this](const char *name, const QString &caption) {
        auto *e = new fw::TVeDBCurrencyEdit(detailPage());
        e->setObjectName(QString::fromLatin1(name));
        e->setCaption(caption);
        e->setMaximumWidth(160);
        return e;
    };
    xdcImpIst = makeAmount("xdcImpIst", QStringLiteral("Importo"));
    xdcImpIst->setProperty("tag", InstituteTag);
    laImpIst = addRow(QStringLiteral("Importo"), xdcImpIst);
    bind(xdcImpIst, FieldAmount);
    xdcDiffIst = makeAmount("xdcDiffIst", QStringLiteral("Differenza"));
    xdcDiffIst->setReadOnlyByOwner(true);
    xdcDiffIst->setFocusPolicy(Qt::NoFocus);
    laDiffIst = addRow(QStringLiteral("Differenza"), xdcDiffIst);
    bind(xdcDiffIst, FieldDifference);
    // The treasury amounts are not used by this program.
    xdcImpEra = makeAmount("xdcImpEra", QStringLiteral("Importo erario"));
    xdcImpEra->setProperty("tag", 3);
    laImpEra = addRow(QStringLiteral("Importo erario"), xdcImpEra);
    xdcDiffEra = makeAmount("xdcDiffEra", QStringLiteral("Differenza erario"));
    xdcDiffEra->setProperty("tag", 3);
    laDiffEra = addRow(QStringLiteral("Differenza erario"), xdcDiffEra);
    detailLayout()->setRowVisible(xdcImpEra, false);
    detailLayout()->setRowVisible(xdcDiffEra, false);
    xdcImpIst->installEventFilter(this);
    connect(xdcImpIst, &fw::TVeDBCurrencyEdit::moneyEdited, this, [this]() {
        if (m_mode != 0 && m_typed)
            CheckAmount(xdcImpIst);
    });

    // ---- dates, slip, note ---------------------------------------------------------------
    xddData1 = new fw::TVeDBDateEdit(detailPage());
    xddData1->setObjectName(QStringLiteral("xddData1"));
    xddData1->setMaximumWidth(120);
    laData1 = addRow(QString(), xddData1);
    xddData2 = new fw::TVeDBDateEdit(detailPage());
    xddData2->setObjectName(QStringLiteral("xddData2"));
    xddData2->setMaximumWidth(120);
    laData2 = addRow(QString(), xddData2);
    xdnNrBollIst = new fw::TVeDBNumericEdit(detailPage());
    xdnNrBollIst->setObjectName(QStringLiteral("xdnNrBollIst"));
    xdnNrBollIst->setMaxLength(15);
    xdnNrBollIst->setMaximumWidth(160);
    xdnNrBollIst->setCaption(QStringLiteral("Nr. bollettino"));
    laNrBollIst = addRow(QStringLiteral("Nr. bollettino"), xdnNrBollIst);

    // ---- post office ---------------------------------------------------------------------
    xdlCabIst = new fw::TVeDBLookupEdit(m_db, detailPage());
    xdlCabIst->setObjectName(QStringLiteral("xdlCabIst"));
    xdlCabIst->setCaption(QStringLiteral("CAB"));
    xdlCabIst->setKeyField(QStringLiteral("Spr.iSprId"));
    xdlCabIst->setListField(QStringLiteral("sSprCab"));
    xdlCabIst->setSearchField(QStringLiteral("Spr.sSprCab"));
    xdlCabIst->setSearchQuery(MvmSql::CabList.arg(PostalBank));
    xdlCabIst->setSearchTitle(QStringLiteral("Uffici provinciali"));
    xdlCabIst->setSearchColumns({
        fw::SearchColumn::make(QStringLiteral("iSprId"), QString(), false, -1, false),
        fw::SearchColumn::make(QStringLiteral("sSprCab"), QStringLiteral("Codice CAB"), true, 90),
        fw::SearchColumn::make(QStringLiteral("sSprDescS"), QStringLiteral("Descrizione"), true, 250),
        fw::SearchColumn::make(QStringLiteral("sSprIndirizzo"), QStringLiteral("Indirizzo"), false, 180),
        fw::SearchColumn::make(QStringLiteral("sComDesc"), QStringLiteral("Comune"), true, 150),
        fw::SearchColumn::make(QStringLiteral("iProId"), QString(), false, -1, false),
    });
    xdlCabIst->setSearchWidth(700);
    xdlCabIst->OnChangeFKValue = [this]() { onCabChosen(); };
    laCabIst = addRow(QStringLiteral("CAB"), xdlCabIst);
    bind(xdlCabIst, QStringLiteral("iSprId"));

    xdlComuneIst = new fw::TVeDBLookupEdit(m_db, detailPage());
    xdlComuneIst->setObjectName(QStringLiteral("xdlComuneIst"));
    xdlComuneIst->setCaption(QStringLiteral("Comune"));
    xdlComuneIst->setKeyField(QStringLiteral("Srpc.iSrpcId"));
    xdlComuneIst->setListField(QStringLiteral("sComDesc"));
    xdlComuneIst->setSearchField(QStringLiteral("Com.sComDesc"));
    xdlComuneIst->setSearchQuery(MvmSql::MunicipalityList.arg(0));
    xdlComuneIst->setSearchTitle(QStringLiteral("Comuni"));
    xdlComuneIst->setSearchColumns({
        fw::SearchColumn::make(QStringLiteral("iSrpcId"), QString(), false, -1, false),
        fw::SearchColumn::make(QStringLiteral("sComDesc"), QStringLiteral("Comune"), true, 250),
    });
    xdlComuneIst->OnChangeFKValue = [this]() { onMunicipalityChosen(); };
    laComuneIst = addRow(QStringLiteral("Comune"), xdlComuneIst);
    bind(xdlComuneIst, QStringLiteral("iSrpcId"));

    xdlFraQuaIst = new fw::TVeDBLookupEdit(m_db, detailPage());
    xdlFraQuaIst->setObjectName(QStringLiteral("xdlFraQuaIst"));
    xdlFraQuaIst->setCaption(QStringLiteral("Località"));
    xdlFraQuaIst->setKeyField(QStringLiteral("ComCap.iComCapId"));
    xdlFraQuaIst->setListField(QStringLiteral("sFraQuaDesc"));
    xdlFraQuaIst->setSearchField(QStringLiteral("FraQua.sFraQuaDesc"));
    xdlFraQuaIst->setSearchQuery(MvmSql::LocationList.arg(0));
    xdlFraQuaIst->setSearchTitle(QStringLiteral("Località"));
    xdlFraQuaIst->setSearchColumns({
        fw::SearchColumn::make(QStringLiteral("iComCapId"), QString(), false, -1, false),
        fw::SearchColumn::make(QStringLiteral("sCapValue"), QStringLiteral("CAP"), true, 80),
        fw::SearchColumn::make(QStringLiteral("sFraQuaDesc"), QStringLiteral("Frazione/quartiere"), true, 250),
    });
    laFraQuaIst = addRow(QStringLiteral("Località"), xdlFraQuaIst);
    bind(xdlFraQuaIst, QStringLiteral("iComCapId"));

    xdeNrUffIst = new fw::TVeDBEdit(detailPage());
    xdeNrUffIst->setObjectName(QStringLiteral("xdeNrUffIst"));
    xdeNrUffIst->setMaxLength(20);
    xdeNrUffIst->setCaption(QStringLiteral("Nr. ufficio"));
    laNrUffIst = addRow(QStringLiteral("Nr. ufficio"), xdeNrUffIst);
    bind(xdeNrUffIst, QStringLiteral("sNrUffPostale"));

    xdmNote = new fw::TVeDBMemo(detailPage());
    xdmNote->setObjectName(QStringLiteral("xdmNote"));
    xdmNote->setMaximumHeight(80);
    laNote = addRow(QStringLiteral("Note"), xdmNote);

    // ---- bar-code panel ------------------------------------------------------------------
    paBarCode = new QWidget(this);
    paBarCode->setObjectName(QStringLiteral("paBarCode"));
    auto *barLayout = new QVBoxLayout(paBarCode);
    barLayout->setContentsMargins(0, 2, 0, 0);
    frBarCode = new TfrEbsBarCode(paBarCode);
    frBarCode->setObjectName(QStringLiteral("frBarCode"));
    barLayout->addWidget(frBarCode);
    if (auto *outer = qobject_cast<QVBoxLayout *>(layout()))
        outer->addWidget(paBarCode);

    // ---- actions -------------------------------------------------------------------------
    acShowHide = new QAction(QStringLiteral("Mostra/nascondi barcode"), this);
    acShowHide->setObjectName(QStringLiteral("acShowHide"));
    acShowHide->setToolTip(QStringLiteral("Mostra/nasconde la sezione di caricamento mediante codice a barre"));
    acShowHide->setCheckable(true);
    connect(acShowHide, &QAction::triggered, this, [this](bool checked) { paBarCode->setVisible(!checked); });
    toolBar()->addAction(acShowHide);
    acFilter = new QAction(QStringLiteral("Filtro ..."), this);
    acFilter->setObjectName(QStringLiteral("acFilter"));
    acFilter->setToolTip(QStringLiteral("Configura un filtro"));
    acFilter->setVisible(false);
    acApplyFilter = new QAction(QStringLiteral("Abilita/disabilita filtro"), this);
    acApplyFilter->setObjectName(QStringLiteral("acApplyFilter"));
    acApplyFilter->setToolTip(QStringLiteral("Applica/rimuove il filtro sui dati"));
    acApplyFilter->setCheckable(true);
    acApplyFilter->setVisible(false);
    acFilter->setIcon(QIcon(QStringLiteral(":/icons/FILTEROPT.png")));
    acApplyFilter->setIcon(QIcon(QStringLiteral(":/icons/FILTERAPPLY.png")));
    acFilter->setShortcut(fw::TfmVeFilter::dialogShortcut());
    acApplyFilter->setShortcut(fw::TfmVeFilter::applyShortcut());
    toolBar()->addAction(acFilter);
    toolBar()->addAction(acApplyFilter);
    addAction(acFilter);
    addAction(acApplyFilter);
    connect(acFilter, &QAction::triggered, this, [this]() { onFilter(); });
    connect(acApplyFilter, &QAction::triggered, this, [this](bool on) {
        if (auto s = applyFilter(on); !s)
            fw::showError(s.error());
    });
    ShowFilterDialog = [](fw::TfmVeFilter &dialog) { return dialog.exec(); };

    // ---- state and defaults --------------------------------------------------------------
    m_yearCondition = QStringLiteral("(Ans.iAnsId = %1)").arg(values.intValue(MvmKeys::CauAnsId));
    rebuildCausaleList();
    collection->setDefault(FieldCauId, idParameter(MvmKeys::CausaleInId));
    collection->setDefault(FieldAmount, moneyParameter(MvmKeys::ImpIstCauIn).toVariant());
    collection->setDefault(FieldDifference, Money().toVariant());
    xdcImpEra->setMoney(moneyParameter(MvmKeys::ImpEraCauIn));
    setBarCodeVisible(values.intValue(MvmKeys::ShowBarCode) != 0);

    ShowSplitDialog = [](fees::TfmEbsCauComp &dialog) { dialog.exec(); };
    setRowBackground([this](int row) { return rowBackground(row); });
    // The last scanned movement stays light yellow with normal text while it is the current row.
    setRowKeepsColour([this](int row) { return isHighlightedRow(row); });
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int m) { onFrameModeChanged(m); });
    connect(this, &fw::TVeEditFrame::dataChanged, this, [this](const QString &field) {
        if (field.isEmpty() && mode() == 0)
            onRowChanged();
    });
}

TfrEbsMvm::~TfrEbsMvm()
{
    // The list outlives the frame: it gets back its own select and parameters.
    if (m_filterApplied && m_filterBaseKept) {
        collection()->close();
        collection()->setSelectText(m_filterBaseSelect);
        collection()->params() = m_filterParams;
    }
}

Status TfrEbsMvm::setFilterDefinition(const QString &xml)
{
    auto def = fw::FilterDefinition::fromXml(xml);
    if (!def)
        return def.status();
    m_filterDefinition = def.value();
    m_hasFilterDefinition = true;
    if (m_filterDialog)
        m_filterDialog->frame()->setDefinition(m_filterDefinition);
    return {};
}

void TfrEbsMvm::setFilterActionsVisible(bool visible)
{
    acFilter->setVisible(visible);
    acApplyFilter->setVisible(visible);
}

void TfrEbsMvm::onFilter()
{
    if (!m_hasFilterDefinition || collection()->isEditing())
        return;
    if (!m_filterDialog) {
        m_filterDialog = new fw::TfmVeFilter(this);
        m_filterDialog->frame()->setDefinition(m_filterDefinition);
    }
    if (ShowFilterDialog(*m_filterDialog) != QDialog::Accepted)
        return;
    auto condition = m_filterDialog->frame()->condition();
    if (!condition) {
        fw::showError(condition.error());
        return;
    }
    m_filterCondition = condition.value();
    if (auto s = applyFilter(true); !s)
        fw::showError(s.error());
}

Status TfrEbsMvm::applyFilter(bool on)
{
    fw::TVeQueryCollection *c = collection();
    if (c->isEditing())
        return Status::failure(QStringLiteral("Salvare o annullare le modifiche prima di filtrare l'elenco."));
    c->close();
    if (!m_filterBaseKept) {
        m_filterBaseSelect = c->selectText();
        m_filterParams = c->params();
        m_filterBaseKept = true;
    }
    m_filterApplied = on && !m_filterCondition.isEmpty();
    c->setSelectText(m_filterApplied ? fw::TVeFilter::applyToSelect(m_filterBaseSelect, m_filterCondition)
                                     : m_filterBaseSelect);
    c->params() = m_filterParams;
    acApplyFilter->setChecked(m_filterApplied);
    acApplyFilter->setIcon(QIcon(m_filterApplied ? QStringLiteral(":/icons/FILTERAPPLYON.png")
                                                 : QStringLiteral(":/icons/FILTERAPPLY.png")));
    return c->open();
}

QLabel *TfrEbsMvm::addRow(const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption, detailPage());
    label->setBuddy(field);
    detailLayout()->addRow(label, field);
    return label;
}

void TfrEbsMvm::SetCausaleKind(int kind)
{
    m_kind = kind;
    rebuildCausaleList();
}

void TfrEbsMvm::SetAllInstitutes(bool on)
{
    m_allInstitutes = on;
    rebuildCausaleList();
}

void TfrEbsMvm::rebuildCausaleList()
{
    const int dwgId = fw::TVeGlobalValuesManager::instance().intValue(MvmKeys::DwgId);
    QString sql = MvmSql::causaleList(m_allCausali, m_kind, dwgId, m_allInstitutes);
    if (m_mode == 1) {
        sql += QStringLiteral(" AND ") + m_yearCondition;
    } else if (m_mode == 2) {
        const int year = causaleSchoolYear(collection()->fieldValue(FieldCauId).toInt());
        sql += QStringLiteral(" AND ") + QStringLiteral("(Ans.iAnsId = %1)").arg(year);
    }
    if (m_mode != 0 && m_searchYear)
        sql += QStringLiteral(" AND (Ans.iAnsId = %1)").arg(m_searchYear);
    m_causaleSelect = sql;
}

int TfrEbsMvm::currentMovementId() const
{
    if (collection()->mode() == fw::DataMode::Insert)
        return 0;
    return collection()->fieldValue(FieldMvmId).toInt();
}

int TfrEbsMvm::componentCount(int causaleId) const
{
    auto r = SqlQuery::scalar(m_db, MvmSql::ComponentCount, {{QStringLiteral("iCauId"), causaleId}});
    return r.ok() ? r.value().toInt() : 0;
}

bool TfrEbsMvm::movementHasSplit(int mvmId) const
{
    if (mvmId <= 0 || SplitExistsSql.isEmpty())
        return false;
    auto r = SqlQuery::scalar(m_db, SplitExistsSql, {{QStringLiteral("iMvmId"), mvmId}});
    return r.ok() && r.value().isValid() && !r.value().isNull();
}

int TfrEbsMvm::causaleSchoolYear(int causaleId) const
{
    if (causaleId <= 0)
        return 0;
    auto r = SqlQuery::scalar(m_db, MvmSql::CausaleYear, {{QStringLiteral("iCauId"), causaleId}});
    return r.ok() ? r.value().toInt() : 0;
}

QString TfrEbsMvm::schoolYearDescription(int ansId) const
{
    auto r = SqlQuery::scalar(m_db, QStringLiteral(" SELECT sAnsAnnoDesc FROM VAns_AnniScolast WHERE iAnsId = :iAnsId"),
                              {{QStringLiteral("iAnsId"), ansId}});
    return r.ok() ? r.value().toString() : QString();
}

void TfrEbsMvm::readCausaleTotal()
{
    const QVariant cau = collection()->fieldValue(FieldCauId);
    m_causaleTotal.clear();
    if (cau.isNull())
        return;
    auto r = SqlQuery::scalar(m_db, MvmSql::CausaleTotal, {{QStringLiteral("iCauId"), cau.toInt()}});
    m_causaleTotal = Money::fromVariant(r.ok() ? r.value() : QVariant()).toEdit();
}

void TfrEbsMvm::onFrameModeChanged(int newMode)
{
    const int old = m_mode;
    m_mode = newMode;
    m_searchYear = 0;
    if (newMode == 0) {
        laCausale->setText(QStringLiteral("Causale"));
        fees::TfmEbsCauComp::release();
        m_causaleChanged = false;
        m_typed = false;
    } else if (newMode == 1) {
        const int year = fw::TVeGlobalValuesManager::instance().intValue(MvmKeys::CauAnsId);
        laCausale->setText(QStringLiteral("Causale anno ") + schoolYearDescription(year));
        m_amountFocusedAtInsert = xdcImpIst->hasFocus();
        m_causaleChanged = false;
        m_typed = false;
        readCausaleTotal();
    } else if (newMode == 2) {
        const int year = causaleSchoolYear(collection()->fieldValue(FieldCauId).toInt());
        laCausale->setText(QStringLiteral("Causale anno ") + schoolYearDescription(year));
        m_causaleChanged = false;
        m_typed = false;
        readCausaleTotal();
    }
    Q_UNUSED(old);
    rebuildCausaleList();
    if (newMode != 0 && detailLayout()->isRowVisible(xdlCabIst)) {
        // The lists follow the office of the new or edited row (defaults included).
        repointPostOffice();
        dataSource()->reload();
    }
}

void TfrEbsMvm::onRowChanged()
{
    repointPostOffice();
    readCausaleTotal();
}

void TfrEbsMvm::repointPostOffice()
{
    const QVariant spr = collection()->fieldValue(QStringLiteral("iSprId"));
    int province = 0;
    if (!spr.isNull()) {
        auto r = SqlQuery::scalar(m_db, MvmSql::CabProvince, {{QStringLiteral("iSprId"), spr.toInt()}});
        province = r.ok() ? r.value().toInt() : 0;
    }
    xdlComuneIst->setSearchQuery(MvmSql::MunicipalityList.arg(province));
    xdlFraQuaIst->setSearchQuery(
        MvmSql::LocationList.arg(collection()->fieldValue(QStringLiteral("iSrpcId")).toInt()));
}

void TfrEbsMvm::onCausaleChosen()
{
    if (m_mode == 0)
        return;
    const QVariant key = xdlCausale->key();
    if (key.isNull())
        return;
    if (componentCount(key.toInt()) == 0) {
        // Nothing to split the amount over: the composition could never be closed.
        fw::showError(MvmText::CausaleWithoutComponents);
        collection()->setFieldValue(FieldCauId, QVariant());
        dataSource()->reload();
        return;
    }
    m_causaleChanged = true;
    fees::TfmEbsCauComp::release();
    const Money total = Money::fromVariant(xdlCausale->rowValue(QStringLiteral("fCauImportoIst")));
    collection()->setFieldValue(FieldAmount, total.toVariant());
    m_causaleTotal = total.toEdit();
    collection()->setFieldValue(FieldDifference, Money().toVariant());
    dataSource()->reload();
    m_typed = false;
}

void TfrEbsMvm::onCabChosen()
{
    int province = 0;
    const QVariant spr = xdlCabIst->key();
    if (!spr.isNull()) {
        auto r = SqlQuery::scalar(m_db, MvmSql::CabProvince, {{QStringLiteral("iSprId"), spr.toInt()}});
        province = r.ok() ? r.value().toInt() : 0;
    }
    xdlComuneIst->setSearchQuery(MvmSql::MunicipalityList.arg(province));
    collection()->setFieldValue(QStringLiteral("iSrpcId"), QVariant());
    collection()->setFieldValue(QStringLiteral("iComCapId"), QVariant());
    dataSource()->reload();
}

void TfrEbsMvm::onMunicipalityChosen()
{
    xdlFraQuaIst->setSearchQuery(MvmSql::LocationList.arg(xdlComuneIst->key().toInt()));
    collection()->setFieldValue(QStringLiteral("iComCapId"), QVariant());
    dataSource()->reload();
}

void TfrEbsMvm::CheckAmount(fw::TVeDBCurrencyEdit *edit)
{
    const QVariant cau = collection()->fieldValue(FieldCauId);
    if (m_mode == 0 || cau.isNull())
        return;
    const AmountDecision d = decideAmount(m_causaleTotal, edit->money().toEdit(), xdcDiffIst->money());
    if (d.action == AmountDecision::OpenSplit)
        OpenSplit(edit);
    else if (d.action == AmountDecision::ReleaseSplit)
        fees::TfmEbsCauComp::release();
    if (d.showDifference) {
        collection()->setFieldValue(FieldDifference, d.difference.toVariant());
        xdcDiffIst->setMoney(d.difference);
    }
    m_typed = false;
}

void TfrEbsMvm::OpenSplit(fw::TVeDBCurrencyEdit *edit)
{
    const int cauId = collection()->fieldValue(FieldCauId).toInt();
    // Without components there is nothing to split (the causale is refused at validation).
    if (cauId <= 0 || componentCount(cauId) <= 1)
        return;
    fees::TfmEbsCauComp *dialog = fees::TfmEbsCauComp::obtain(m_db, window());
    dialog->AmountText = edit->money().toEdit();
    dialog->AmountColumn = edit->property("tag").toInt();
    dialog->ShowBothAmounts = m_treasury;
    dialog->DefinitionMode = true;
    dialog->CausaleId = cauId;
    dialog->ComponentsSql = storedSplitApplies() ? storedSplitSql() : MvmSql::CausaleComponents;
    m_causaleChanged = false;
    if (auto s = dialog->BuildGrid(); !s) {
        fw::showError(s.error());
        return;
    }
    ShowSplitDialog(*dialog);
}

void TfrEbsMvm::ViewSplit(fw::TVeDBCurrencyEdit *edit)
{
    const int cauId = collection()->fieldValue(FieldCauId).toInt();
    if (cauId <= 0)
        return;
    // A dialog of its own: the split being defined for the post stays as it is.
    auto *dialog = new fees::TfmEbsCauComp(m_db, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->AmountText = edit->money().toEdit();
    dialog->AmountColumn = edit->property("tag").toInt();
    dialog->ShowBothAmounts = m_treasury;
    dialog->DefinitionMode = false;
    dialog->CausaleId = cauId;
    dialog->ComponentsSql = storedSplitApplies() ? storedSplitSql() : MvmSql::CausaleComponents;
    if (auto s = dialog->BuildGrid(); !s)
        fw::showError(s.error());
    else
        ShowSplitDialog(*dialog);
    delete dialog;  // the program-wide reference forgets it by itself
}

bool TfrEbsMvm::storedSplitApplies() const
{
    // The stored rows split the stored causale: another causale takes its own components.
    if (m_mode == 1)
        return false;
    const fw::TVeQueryCollection *c = collection();
    return c->fieldValue(FieldCauId) == c->value(c->currentIndex(), FieldCauId)
           && movementHasSplit(currentMovementId());
}

bool TfrEbsMvm::ValidateAmount(fw::TVeDBCurrencyEdit *edit)
{
    if (m_typed)
        CheckAmount(edit);
    const int cauId = collection()->fieldValue(FieldCauId).toInt();
    if (cauId <= 0)
        return true;
    if (componentCount(cauId) == 1)
        return true;  // the store writes the amount itself on the one component
    const Money amount = edit->money();
    const fees::TfmEbsCauComp *split = fees::TfmEbsCauComp::instance();
    if (!split || split->CausaleId != cauId) {
        // An amount never typed (a new movement's default) goes through the same rule.
        if (m_mode == 1)
            CheckAmount(edit);
        split = fees::TfmEbsCauComp::instance();
    }
    if (!split || split->CausaleId != cauId) {
        // The store always finds a split: in edit the stored one while neither the causale nor
        // the amount changed, else the components' own amounts.
        fees::TfmEbsCauComp *dialog = fees::TfmEbsCauComp::obtain(m_db, window());
        dialog->AmountText = amount.toEdit();
        dialog->AmountColumn = edit->property("tag").toInt();
        dialog->ShowBothAmounts = false;
        dialog->ComponentsSql = keepsStoredSplit(amount) ? storedSplitSql() : MvmSql::CausaleComponents;
        dialog->CausaleId = cauId;
        dialog->DefinitionMode = true;
        if (auto s = dialog->BuildGrid(); !s) {
            fw::showError(s.error());
            return false;
        }
        split = dialog;
    }
    if (splitTotal(*split) != amount) {
        // A split that does not add up is never posted: the clerk completes it.
        OpenSplit(edit);
        split = fees::TfmEbsCauComp::instance();
        if (!split || splitTotal(*split) != amount) {
            fw::showError(MvmText::SplitUnbalanced);
            edit->setFocus();
            return false;
        }
    }
    return true;
}

bool TfrEbsMvm::keepsStoredSplit(Money amount) const
{
    const fw::TVeQueryCollection *c = collection();
    return m_mode == 2 && amount == Money::fromVariant(c->value(c->currentIndex(), FieldAmount)) && storedSplitApplies();
}

QString TfrEbsMvm::storedSplitSql() const
{
    // The id is a number of ours, written into the text.
    return QString(SplitSql).replace(QStringLiteral(":iMvmId"), QString::number(currentMovementId()));
}

Money TfrEbsMvm::splitTotal(const fees::TfmEbsCauComp &dialog)
{
    return dialog.rules().total(dialog.rules().amountColumn());
}

bool TfrEbsMvm::ValidateCausale()
{
    const QVariant cau = collection()->fieldValue(FieldCauId);
    QString message;
    if (cau.isNull())
        message = fw::TVeQueryCollection::requiredMessage(QStringLiteral("Causale"));
    else if (componentCount(cau.toInt()) == 0)
        message = MvmText::CausaleWithoutComponents;
    if (message.isEmpty())
        return true;
    fw::showError(message);
    xdlCausale->lineEdit()->setFocus();
    return false;
}

bool TfrEbsMvm::ValidateSlipNumber()
{
    const QVariant nr = xdnNrBollIst->fieldValue();
    if (nr.isNull() || !detailLayout()->isRowVisible(xdnNrBollIst)
        || (nr.toLongLong() >= std::numeric_limits<qint32>::min() && nr.toLongLong() <= std::numeric_limits<qint32>::max()))
        return true;
    fw::showError(MvmText::SlipNumberTooLong);
    xdnNrBollIst->setFocus();
    return false;
}

void TfrEbsMvm::SetAccountType(const QString &type)
{
    m_accountType = type;
    const bool postal = type == MvmAccountType::Postal;
    setPostOfficeVisible(postal);
    setPostOfficeDefaults(postal);
}

void TfrEbsMvm::setPostOfficeVisible(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(xdlCabIst), static_cast<QWidget *>(xdlComuneIst),
                       static_cast<QWidget *>(xdlFraQuaIst), static_cast<QWidget *>(xdeNrUffIst)})
        detailLayout()->setRowVisible(w, visible);
}

void TfrEbsMvm::setPostOfficeDefaults(bool set)
{
    fw::TVeQueryCollection *c = collection();
    c->setDefault(QStringLiteral("iSrpcId"), set ? idParameter(MvmKeys::SprComuneId) : QVariant());
    c->setDefault(QStringLiteral("iSprId"), set ? idParameter(MvmKeys::SprCabProvId) : QVariant());
    const QString office = fw::GetValues(MvmKeys::NrUffPostale).toString();
    c->setDefault(QStringLiteral("sNrUffPostale"), set && !office.isEmpty() ? QVariant(office) : QVariant());
}

void TfrEbsMvm::setBarCodeVisible(bool visible)
{
    acShowHide->setChecked(!visible);
    paBarCode->setVisible(visible);
}

bool TfrEbsMvm::barCodeVisible() const { return !acShowHide->isChecked(); }

void TfrEbsMvm::setHighlightedMvmId(int id)
{
    m_highlighted = id;
    if (model()->rowCount() > 0)
        Q_EMIT model()->dataChanged(model()->index(0, 0),
                                    model()->index(model()->rowCount() - 1, model()->columnCount() - 1));
}

bool TfrEbsMvm::isHighlightedRow(int row) const
{
    return m_highlighted > 0 && collection()->keyOf(row).toInt() == m_highlighted;
}

std::optional<QColor> TfrEbsMvm::rowBackground(int row) const
{
    if (isHighlightedRow(row))
        return fw::TVeQueryModel::highlightColour();
    return std::nullopt;
}

bool TfrEbsMvm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == xdcImpIst && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_F8) {
            ViewSplit(xdcImpIst);
            return true;
        }
        if (m_mode != 0 && isAmountKey(k))
            m_typed = true;
    }
    if (watched == xdcImpIst && event->type() == QEvent::FocusOut && m_mode == 1 && m_amountFocusedAtInsert) {
        // The amount had the focus as the movement began: it keeps its default unless typed.
        m_amountFocusedAtInsert = false;
    }
    return fw::TVeEditFrame::eventFilter(watched, event);
}

} // namespace ccp::movements
