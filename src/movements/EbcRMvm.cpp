#include "EbcRMvm.h"

#include "EbcFSearchBen.h"
#include "EbsFCauComp.h"
#include "EbsRBarCode.h"
#include "EbsUBarCode.h"
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
#include "VeMessageDlg.h"

#include <QAction>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

namespace ccp::movements {

namespace {
const QString FCat = QStringLiteral("iCbmId");
const QString FAna = QStringLiteral("iAnaId");
const QString FBen = QStringLiteral("iBenId");
const QString FSit = QStringLiteral("iSitId");
const QString FAnaPer = QStringLiteral("iAnaPerId");
const QString FDataEc = QStringLiteral("dMvmDataEc");
const QString FDataMov = QStringLiteral("dMvmDataMov");
const QString FAmount = QStringLiteral("fMvmImporto");
const QString FSplitSum = QStringLiteral("fImporto_CCA");

QVariant dateParameter(const QString &key)
{
    const QVariant v = fw::GetValues(key);
    if (v.typeId() == QMetaType::QDate)
        return v;
    const QString t = v.toString().trimmed();
    QDate d = QDate::fromString(t.left(10), Qt::ISODate);
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    return d.isValid() ? QVariant(d) : QVariant();
}

QVariant idOrNull(const QVariant &v) { return v.isNull() || !v.isValid() || v.toInt() == 0 ? QVariant() : v; }
} // namespace

const QStringList TfrEbcMvm::SortKeys = {
    QStringLiteral("iMvmProgr"),           QStringLiteral("sCauLDesc;iMvmProgr"),
    QStringLiteral("sBenefDescr;iMvmProgr"), QStringLiteral("dMvmDataEc;iMvmProgr"),
    QStringLiteral("dMvmDataMov;iMvmProgr"), QStringLiteral("fMvmImporto"),
    QStringLiteral("fImporto_CCA"),
};

TfrEbcMvm::TfrEbcMvm(TdmEbcMvm &store, const MvmContext &context, QWidget *parent)
    : TfrEbsMvm(store.xqcMvm, store.xqcMvm->database(), parent), m_store(store), m_ctx(context)
{
    setObjectName(QStringLiteral("frEbcMvm"));
    QFormLayout *form = detailLayout();

    // ---- payer ---------------------------------------------------------------------------
    xdlCategoria = new fw::TVeDBLookupEdit(m_db, detailPage());
    xdlCategoria->setObjectName(QStringLiteral("xdlCategoria"));
    xdlCategoria->setCaption(QStringLiteral("Categoria"));
    xdlCategoria->setKeyField(QStringLiteral("iCbmId"));
    xdlCategoria->setListField(QStringLiteral("sCbmDesc"));
    xdlCategoria->setSearchQuery(MvmSql::CategoryList);
    xdlCategoria->setSearchColumns({
        fw::SearchColumn::make(QStringLiteral("iCbmId"), QString(), false, -1, false),
        fw::SearchColumn::make(QStringLiteral("sCbmDesc"), QStringLiteral("Categoria"), true, 200),
    });
    xdlCategoria->OnShowSearchForm = [](fw::TfmVeSearch &f) { f.resize(245, 250); };
    xdlCategoria->OnChangeFKValue = [this]() { onCategoryChosen(); };
    laCategoria = new QLabel(QStringLiteral("Categoria"), detailPage());
    laCategoria->setBuddy(xdlCategoria);
    form->insertRow(0, laCategoria, xdlCategoria);
    bind(xdlCategoria, FCat);

    xdlAluSit = makePayerLookup("xdlAluSit", FSit);
    xdlAluSit->setKeyField(QStringLiteral("Sit.iSitId"));
    xdlAluSit->setListField(QStringLiteral("sCognomeNome"));
    xdlAluSit->setSearchField(QStringLiteral("Ana.sAnaCognome"));
    xdlAluSit->OnSetSearchQuery = [this]() { return pupilSelect(); };
    xdlAluSit->CreateSearchForm = [this](QWidget *p) -> fw::TfmVeSearch * {
        return new TfmEbcSearchBen(m_db, m_ctx.dwgId, m_ctx.isGroup, category() == 1, p);
    };
    xdlAluSit->OnShowSearchForm = [this](fw::TfmVeSearch &f) { preparePupilSearch(f); };
    xdlAluSit->OnSearchFormClosed = [this](fw::TfmVeSearch &f) {
        if (auto *search = qobject_cast<TfmEbsSearchBen *>(&f))
            m_pupilSearchYear = search->schoolYear();
    };
    xdlClasse = new fw::TVeDBLookupEdit(m_db, detailPage());
    xdlClasse->setObjectName(QStringLiteral("xdlClasse"));
    xdlClasse->setKeyField(QStringLiteral("Sit.iSitId"));
    xdlClasse->setListField(QStringLiteral("sClsAnno"));
    xdlClasse->OnSetSearchQuery = [this]() { return MvmSql::pupils(m_ctx.isGroup, m_ctx.dwgId, QString()); };
    xdlClasse->setReadOnly(true);
    xdlClasse->setFocusPolicy(Qt::NoFocus);
    xdlClasse->setMaximumWidth(160);
    bind(xdlClasse, FSit);

    xdlAna = makePayerLookup("xdlAna", FAna);
    xdlAna->setKeyField(QStringLiteral("Ana.iAnaId"));
    xdlAna->setListField(QStringLiteral("sCognomeNome"));
    xdlAna->setSearchField(QStringLiteral("Ana.sAnaCognome"));
    xdlAna->OnSetSearchQuery = [this]() { return MvmSql::Persons + QString::number(qMax(category(), 2)); };
    xdlAna->OnShowSearchForm = [this](fw::TfmVeSearch &f) {
        QList<fw::SearchColumn> cols = {
            fw::SearchColumn::make(QStringLiteral("iAnaId"), QString(), false, -1, false),
            fw::SearchColumn::make(QStringLiteral("sAnaCognome"), QStringLiteral("Cognome"), true, 120),
            fw::SearchColumn::make(QStringLiteral("sAnaNome"), QStringLiteral("Nome"), true, 120),
        };
        if (category() == 2) {
            cols << fw::SearchColumn::make(QStringLiteral("dAnaNascita"), QStringLiteral("Data di nascita"), false, 100);
            f.setWindowTitle(QStringLiteral("Finestra di ricerca: Genitori/Tutori"));
        }
        f.setColumns(cols);
        f.resize(530, f.height());
    };

    xdlAnaPer = makePayerLookup("xdlAnaPer", FAnaPer);
    xdlAnaPer->setKeyField(QStringLiteral("AnaPer.iAnaPerId"));
    xdlAnaPer->setListField(QStringLiteral("sCognomeNome"));
    xdlAnaPer->setSearchField(QStringLiteral("Ana.sAnaCognome"));
    xdlAnaPer->setSearchQuery(MvmSql::Staff.arg(m_ctx.dwgId));
    xdlAnaPer->OnShowSearchForm = [](fw::TfmVeSearch &f) {
        f.setWindowTitle(QStringLiteral("Finestra di ricerca: Personale"));
        f.setColumns({
            fw::SearchColumn::make(QStringLiteral("iAnaPerId"), QString(), false, -1, false),
            fw::SearchColumn::make(QStringLiteral("sAnaCognome"), QStringLiteral("Cognome"), true, 120),
            fw::SearchColumn::make(QStringLiteral("sAnaNome"), QStringLiteral("Nome"), true, 120),
            fw::SearchColumn::make(QStringLiteral("sAnaCagCode"), QStringLiteral("Codice anagrafico"), true, 125),
        });
        f.resize(530, f.height());
    };

    xdlBen = makePayerLookup("xdlBen", FBen);
    xdlBen->setKeyField(QStringLiteral("iBenId"));
    xdlBen->setListField(QStringLiteral("sBenRagSoc"));
    xdlBen->setSearchQuery(MvmSql::Others);
    xdlBen->setSearchTitle(QStringLiteral("Altri"));
    xdlBen->setSearchColumns({
        fw::SearchColumn::make(QStringLiteral("iBenId"), QString(), false, -1, false),
        fw::SearchColumn::make(QStringLiteral("sBenRagSoc"), QStringLiteral("Ragione sociale"), true, 200),
    });
    xdlBen->setSearchWidth(530);

    laBeneficiario = new QLabel(QStringLiteral("Beneficiario"), detailPage());
    auto *payerRow = new QWidget(detailPage());
    auto *payerLayout = new QHBoxLayout(payerRow);
    payerLayout->setContentsMargins(0, 0, 0, 0);
    for (fw::TVeDBLookupEdit *l : {xdlAluSit, xdlAna, xdlAnaPer, xdlBen})
        payerLayout->addWidget(l, 1);
    laClasse = new QLabel(QStringLiteral("Classe"), payerRow);
    payerLayout->addWidget(laClasse);
    payerLayout->addWidget(xdlClasse);
    form->insertRow(1, laBeneficiario, payerRow);

    // ---- the movement's own captions and fields -----------------------------------------
    laData1->setText(QStringLiteral("Data estratto conto"));
    xddData1->setCaption(QStringLiteral("Data estratto conto"));
    laData2->setText(QStringLiteral("Data movimento"));
    xddData2->setCaption(QStringLiteral("Data movimento"));
    bind(xddData1, FDataEc);
    bind(xddData2, FDataMov);
    bind(xdnNrBollIst, QStringLiteral("iMvmNrBollettino"));
    form->setRowVisible(xdmNote, false);
    meNote = new QPlainTextEdit(detailPage());
    meNote->setObjectName(QStringLiteral("meNote"));
    meNote->setMaximumHeight(90);
    meNote->setTabChangesFocus(true);
    meNote->installEventFilter(this);
    form->addRow(new QLabel(QStringLiteral("Note"), detailPage()), meNote);

    // ---- frame creation ------------------------------------------------------------------
    SetAllInstitutes(m_ctx.isGroup);
    SplitExistsSql = MvmSql::SplitExists;
    SplitSql = MvmSql::SplitRows;
    collection()->setDefault(FDataMov, dateParameter(MvmKeys::MvmDataMov));
    collection()->setDefault(FCat, idOrNull(fw::GetValues(MvmKeys::MvmBenefCateg)));
    collection()->setDefault(FDataEc, dateParameter(MvmKeys::MvmDataEc));
    setupGrid();

    // Bar-code entry: one reading after the other, the new movement highlighted.
    BarCodeContext bc;
    bc.sprIstId = m_ctx.sprIstId;
    bc.anfValore = m_ctx.anfValore;
    bc.cauAnsId = m_ctx.cauAnsId;
    bc.accountStart = m_ctx.accountStart;
    bc.dataEc = dateParameter(MvmKeys::MvmDataEc).toDate();
    bc.dataMov = dateParameter(MvmKeys::MvmDataMov).toDate();
    m_reader = std::make_unique<TEbsBarCodeReader>(m_db, bc);
    m_queue = std::make_unique<TEbsBarCodeQueue>(*m_reader);
    frBarCode->setDateRules(m_ctx.anfValore, m_ctx.accountStart);
    frBarCode->setDates(bc.dataEc, bc.dataMov);
    frBarCode->setQueue(m_queue.get());
    connect(m_queue.get(), &TEbsBarCodeQueue::movementCreated, this, [this](int id) { onBarCodeCreated(id); });
    connect(frBarCode, &TfrEbsBarCode::readyToRead, this, [this]() { showEndForReadings(); });
    connect(acShowHide, &QAction::triggered, this, [this](bool checked) { m_userHidBarCode = checked; });

    OnPostExecute = [this]() { postMovement(); };
    OnBeforeInsert = [this]() { return !m_readOnly; };
    OnBeforeEdit = [this]() { return !m_readOnly; };
    OnBeforeDelete = [this]() { return !m_readOnly; };
    connect(this, &fw::TVeEditFrame::dataChanged, this, [this](const QString &field) {
        if (field.compare(FDataMov, Qt::CaseInsensitive) == 0)
            onMovementDateChanged();
    });
    connect(collection(), &fw::TVeQueryCollection::posted, this, [this](fw::VeOperation op) {
        if (op != fw::VeOperation::Delete)
            loadNote();
    });
}

TfrEbcMvm::~TfrEbcMvm()
{
    frBarCode->setQueue(nullptr);
}

fw::TVeDBLookupEdit *TfrEbcMvm::makePayerLookup(const char *name, const QString &field)
{
    auto *l = new fw::TVeDBLookupEdit(m_db, detailPage());
    l->setObjectName(QString::fromLatin1(name));
    l->setCaption(QStringLiteral("Beneficiario"));
    l->OnChangeFKValue = [this, l]() { onPayerChosen(l); };
    l->lineEdit()->installEventFilter(this);
    bind(l, field);
    return l;
}

void TfrEbcMvm::setupGrid()
{
    using C = fw::TVeQueryModel::Column;
    model()->setColumns({
        C{QStringLiteral("iMvmProgr"), QStringLiteral("Progr."), 60, {}, {}},
        C{QStringLiteral("sCauLDesc"), QStringLiteral("Causale"), 260, {}, {}},
        C{QStringLiteral("sBenefDescr"), QStringLiteral("Beneficiario"), 240, {}, {}},
        C{FDataEc, QStringLiteral("Data estratto conto"), 120, {}, {}},
        C{FDataMov, QStringLiteral("Data movimento"), 110, {}, {}},
        C{FAmount, QStringLiteral("Importo"), 100, {}, QStringLiteral("#,###.00")},
        C{FSplitSum, QStringLiteral("Somma componenti"), 120, {}, QStringLiteral("#,###.00")},
    });
    // Sorting by a column uses its keys (the progressive number breaks ties).
    grid()->setSortingEnabled(false);
    QHeaderView *header = grid()->horizontalHeader();
    // At least as wide as the caption with its sort arrow, whatever the font.
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, qMax(model()->columns().at(i).width,
                                       header->fontMetrics().horizontalAdvance(model()->columns().at(i).caption) + 28));
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { sortByColumn(column); });
}

void TfrEbcMvm::sortByColumn(int column)
{
    if (column < 0 || column >= SortKeys.size() || collection()->isEditing())
        return;
    m_sortOrder = (column == m_sortColumn && m_sortOrder == Qt::AscendingOrder) ? Qt::DescendingOrder
                                                                               : Qt::AscendingOrder;
    m_sortColumn = column;
    QString keys = SortKeys.at(column);
    if (m_sortOrder == Qt::DescendingOrder)
        keys.replace(QLatin1Char(';'), QStringLiteral(" DESC;")).append(QStringLiteral(" DESC"));
    collection()->setSortKeys(keys);
    grid()->horizontalHeader()->setSortIndicator(column, m_sortOrder);
    if (collection()->isOpen())
        if (auto s = collection()->refresh(); !s)
            fw::showError(s.error());
}

int TfrEbcMvm::category() const
{
    return collection()->fieldValue(FCat).toInt();
}

fw::TVeDBLookupEdit *TfrEbcMvm::payerLookup() const
{
    switch (m_shownCategory) {
    case 0: return nullptr;
    case 1:
    case 5: return xdlAluSit;
    case 3: return xdlAnaPer;
    case 4: return xdlBen;
    default: return xdlAna;
    }
}

void TfrEbcMvm::showCategory(int cat)
{
    m_shownCategory = cat;
    fw::TVeDBLookupEdit *shown = payerLookup();
    for (fw::TVeDBLookupEdit *l : {xdlAluSit, xdlAna, xdlAnaPer, xdlBen})
        l->setVisible(l == shown);
    laClasse->setVisible(cat == 1);
    xdlClasse->setVisible(cat == 1);
    laBeneficiario->setVisible(shown != nullptr);
    laBeneficiario->setBuddy(shown);
}

void TfrEbcMvm::resetPayerFields(bool all)
{
    fw::TVeQueryCollection *c = collection();
    if (!c->isEditing())
        return;
    for (const QString &f : {FAna, FSit})
        c->setFieldValue(f, QVariant());
    if (all) {
        c->setFieldValue(FBen, QVariant());
        c->setFieldValue(FAnaPer, QVariant());
    }
    m_payer = MvmPayer{};
    copyPayerFromRow();
}

void TfrEbcMvm::onCategoryChosen()
{
    const int cat = xdlCategoria->key().toInt();
    m_pupilSearchYear = 0;
    showCategory(cat);
    resetPayerFields(cat == 0);
    dataSource()->reload();
}

void TfrEbcMvm::onPayerChosen(fw::TVeDBLookupEdit *lookup)
{
    fw::TVeQueryCollection *c = collection();
    if (!c->isEditing())
        return;
    const QVariant key = lookup->key();
    QVariant ana, ben, sit, per;
    if (lookup == xdlAluSit) {
        sit = key;
        ana = key.isNull() ? QVariant() : lookup->rowValue(QStringLiteral("iAnaId"));
    } else if (lookup == xdlAnaPer) {
        per = key;
        ana = key.isNull() ? QVariant() : lookup->rowValue(QStringLiteral("iAnaId"));
    } else if (lookup == xdlBen) {
        ben = key;
    } else {
        ana = key;
    }
    c->setFieldValue(FAna, ana);
    c->setFieldValue(FBen, ben);
    c->setFieldValue(FSit, sit);
    c->setFieldValue(FAnaPer, per);
    copyPayerFromRow();
    if (lookup == xdlAluSit)
        xdlClasse->setFieldValue(sit);
}

void TfrEbcMvm::copyPayerFromRow()
{
    fw::TVeQueryCollection *c = collection();
    m_payer.iAnaId = idOrNull(c->fieldValue(FAna));
    m_payer.iBenId = idOrNull(c->fieldValue(FBen));
    m_payer.iSitId = idOrNull(c->fieldValue(FSit));
    m_payer.iAnaPerId = idOrNull(c->fieldValue(FAnaPer));
}

int TfrEbcMvm::situationYear(const QVariant &sitId) const
{
    if (sitId.isNull() || !sitId.isValid())
        return 0;
    auto r = SqlQuery::scalar(
        m_db,
        QStringLiteral(" SELECT Ans.iAnsId FROM TSit_Situazioni Sit INNER JOIN TAns_AnniScolast Ans ON"
                       " (Sit.dStart = Ans.dAnsVeltoInizio AND Sit.dEnd = Ans.dAnsVeltoFine) WHERE Sit.iSitId = :iSitId"),
        {{QStringLiteral("iSitId"), sitId}});
    return r.ok() && r.value().isValid() ? r.value().toInt() : 0;
}

void TfrEbcMvm::preparePupilSearch(fw::TfmVeSearch &f)
{
    const int cat = category();
    const bool withClass = cat == 1;
    f.setWindowTitle(withClass ? QStringLiteral("Finestra di ricerca: Alunni")
                               : QStringLiteral("Finestra di ricerca: Alunni nuovi iscritti"));
    QList<fw::SearchColumn> cols = {
        fw::SearchColumn::make(QStringLiteral("iSitId"), QString(), false, -1, false),
        fw::SearchColumn::make(QStringLiteral("sAnaCognome"), QStringLiteral("Cognome"), true, 120),
        fw::SearchColumn::make(QStringLiteral("sAnaNome"), QStringLiteral("Nome"), true, 120),
        fw::SearchColumn::make(QStringLiteral("sAnaCagCode"), QStringLiteral("Codice anagrafico"), true, 125),
    };
    if (withClass)
        cols << fw::SearchColumn::make(QStringLiteral("sClsDesc"), QStringLiteral("Classe"), false, 150);
    f.setColumns(cols);
    f.resize(530, f.height());
    auto *search = qobject_cast<TfmEbcSearchBen *>(&f);
    if (!search)
        return;
    // The search offers every year: the window's own choice restricts it.
    const bool inserting = collection()->mode() == fw::DataMode::Insert;
    const QString slot = QStringLiteral("##WHERE##");
    QString condition = QStringLiteral("(Ans.iAnsId = :iAnsId)");
    if (withClass && m_ctx.isGroup)
        condition += QStringLiteral(" AND (VCls.iDwgId = :iDwgId)");
    QString sql = withClass ? MvmSql::pupils(m_ctx.isGroup, m_ctx.dwgId, QString()) : MvmSql::NewEnrolments;
    sql.replace(slot, QStringLiteral(" ") + condition + QStringLiteral(" AND ") + slot);
    search->setSelectText(sql);

    const QVariant rowSit = inserting ? xdlAluSit->key()
                                      : collection()->value(collection()->currentIndex(), FSit);
    const int year = situationYear(rowSit);
    search->SetSchoolYear(year);
    if (withClass) {
        int dwg = 0;
        if (!rowSit.isNull() && rowSit.isValid()) {
            auto r = SqlQuery::scalar(m_db, MvmSql::PupilInstitute, {{QStringLiteral("iSitId"), rowSit}});
            dwg = r.ok() ? r.value().toInt() : 0;
        }
        const int first = search->cbIstituto->count() > 0 ? search->cbIstituto->itemData(0).toInt() : 0;
        search->SetInstitute(inserting ? (dwg ? dwg : first) : qMax(dwg, first));
    }
}

QString TfrEbcMvm::pupilSelect() const
{
    if (category() == 5)
        return MvmSql::NewEnrolments;
    QString year;
    const int mode = collection() ? int(collection()->mode()) : 0;
    if (m_pupilSearchYear) {
        year = QStringLiteral(" AND (Ans.iAnsId = %1)").arg(m_pupilSearchYear);
    } else if (mode == 1) {
        year = QStringLiteral(" AND (Ans.iAnsId = %1)").arg(m_ctx.ansId);
    } else if (mode == 2) {
        // The working year and that of the row's pupil, so that a stored pupil stays listed.
        int rowYear = m_ctx.ansId;
        const QVariant sit = collection()->value(collection()->currentIndex(), FSit);
        if (!sit.isNull()) {
            auto r = SqlQuery::scalar(
                m_db,
                QStringLiteral(" SELECT Ans.iAnsId FROM TSit_Situazioni Sit INNER JOIN TAns_AnniScolast Ans ON"
                               " (Sit.dStart = Ans.dAnsVeltoInizio AND Sit.dEnd = Ans.dAnsVeltoFine) WHERE Sit.iSitId = :iSitId"),
                {{QStringLiteral("iSitId"), sit}});
            if (r.ok() && r.value().isValid())
                rowYear = r.value().toInt();
        }
        year = QStringLiteral(" AND ((Ans.iAnsId = %1) OR (Ans.iAnsId = %2))").arg(m_ctx.ansId).arg(rowYear);
    }
    return MvmSql::pupils(m_ctx.isGroup, m_ctx.dwgId, year);
}

void TfrEbcMvm::SetAccountType(const QString &type)
{
    TfrEbsMvm::SetAccountType(type);
    const bool postal = type == MvmAccountType::Postal;
    const bool cash = type == MvmAccountType::Cash;
    acShowHide->setVisible(postal);
    if (!postal) {
        paBarCode->setVisible(false);
        detailLayout()->setRowVisible(xdnNrBollIst, false);
    }
    // A cash account has no statement: the movement date stands for both.
    const int ecColumn = model()->columnOfField(FDataEc);
    grid()->setColumnHidden(ecColumn, cash);
    detailLayout()->setRowVisible(xddData1, !cash);
    if (cash) {
        collection()->setDefault(FDataEc, dateParameter(MvmKeys::MvmDataMov));
        setTabOrder(xddData2, xdnNrBollIst);
    } else {
        collection()->setDefault(FDataEc, dateParameter(MvmKeys::MvmDataEc));
    }
}

void TfrEbcMvm::setKind(int kind)
{
    fw::TVeQueryCollection *c = collection();
    const bool expense = kind == 1;
    c->setDefault(QStringLiteral("iCauId"), idOrNull(fw::GetValues(expense ? MvmKeys::CausaleOutId : MvmKeys::CausaleInId)));
    {
        const QString text = fw::GetValues(expense ? MvmKeys::ImpIstCauOut : MvmKeys::ImpIstCauIn).toString().trimmed();
        bool ok = false;
        Money m = Money::fromSqlText(text, &ok);
        if (!ok)
            m = Money::fromText(text);
        c->setDefault(FAmount, m.toVariant());
    }
    SetCausaleKind(kind);
    if (m_accountType == MvmAccountType::Postal) {
        const bool income = !expense;
        for (QWidget *w : {static_cast<QWidget *>(xdlCabIst), static_cast<QWidget *>(xdlComuneIst),
                           static_cast<QWidget *>(xdlFraQuaIst), static_cast<QWidget *>(xdeNrUffIst),
                           static_cast<QWidget *>(xdnNrBollIst)})
            detailLayout()->setRowVisible(w, income);
        acShowHide->setVisible(income);
        acShowHide->setEnabled(income);
        setPostOfficeDefaults(income);
        paBarCode->setVisible(income && !m_userHidBarCode);
    }
}

void TfrEbcMvm::setReadOnly(bool readOnly, bool barCodeRight)
{
    m_readOnly = readOnly;
    m_barCodeRight = barCodeRight;
    lockAction(Insert, readOnly);
    lockAction(Edit, readOnly);
    lockAction(Delete, readOnly);
    frBarCode->setBarCodeEnabled(!readOnly && barCodeRight);
}

void TfrEbcMvm::onFrameModeChanged(int newMode)
{
    TfrEbsMvm::onFrameModeChanged(newMode);
    m_pupilSearchYear = 0;
    if (newMode == 1) {
        // A new movement starts from who paid.
        QTimer::singleShot(0, xdlCategoria->lineEdit(), qOverload<>(&QWidget::setFocus));
        meNote->clear();
        copyPayerFromRow();
        showCategory(category());
        if (m_accountType == MvmAccountType::Cash)
            collection()->setFieldValue(FDataEc, collection()->fieldValue(FDataMov));
    } else if (newMode == 0) {
        // After a cancel (or a post) the row's payer and note are shown again.
        copyPayerFromRow();
        showCategory(category());
        loadNote();
    }
}

void TfrEbcMvm::onRowChanged()
{
    TfrEbsMvm::onRowChanged();
    showCategory(category());
    copyPayerFromRow();
    loadNote();
}

void TfrEbcMvm::loadNote()
{
    m_loadingNote = true;
    fw::TVeQueryCollection *c = collection();
    const int row = c->currentIndex();
    if (!c->isOpen() || row < 0 || c->isEmpty()) {
        meNote->clear();
    } else {
        const int id = c->value(row, QStringLiteral("iMvmId")).toInt();
        auto r = SqlQuery::scalar(m_db, MvmSql::NoteRead + QString::number(id));
        meNote->setPlainText(r.ok() && r.value().isValid() ? r.value().toString() : QString());
    }
    m_loadingNote = false;
}

void TfrEbcMvm::onMovementDateChanged()
{
    if (m_accountType != MvmAccountType::Cash || !collection()->isEditing())
        return;
    collection()->setFieldValue(FDataEc, collection()->fieldValue(FDataMov));
}

bool TfrEbcMvm::checkDates()
{
    fw::TVeQueryCollection *c = collection();
    const bool cash = m_accountType == MvmAccountType::Cash;
    if (cash)
        c->setFieldValue(FDataEc, c->fieldValue(FDataMov));
    const QDate ec = c->fieldValue(FDataEc).toDate();
    const QDate mov = c->fieldValue(FDataMov).toDate();
    if (!cash) {
        const QString m = checkMovementDate(MvmDateKind::Statement, ec, m_ctx.periodStart, m_ctx.periodEnd,
                                            m_ctx.accountStart);
        if (!m.isEmpty()) {
            fw::showError(m);
            xddData1->setFocus();
            return false;
        }
    }
    const QString m = checkMovementDate(MvmDateKind::Movement, mov, m_ctx.periodStart, m_ctx.periodEnd,
                                        m_ctx.accountStart, cash ? QDate() : ec);
    if (!m.isEmpty()) {
        fw::showError(m);
        xddData2->setFocus();
        return false;
    }
    return true;
}

bool TfrEbcMvm::checkAmount()
{
    fw::TVeQueryCollection *c = collection();
    const QVariant stored = c->fieldValue(FAmount);
    const Money amount = Money::fromVariant(stored);
    if (stored.isNull() || amount.isZero()) {
        fw::showError(MvmText::AmountZero);
        xdcImpIst->setFocus();
        return false;
    }
    if (causaleKind() == 1) {
        auto available = accountAvailability(m_db, m_ctx.sprIstId, m_ctx.anfValore);
        if (!available) {
            fw::showError(available.error());
            return false;
        }
        const Money before = c->mode() == fw::DataMode::Edit
                                 ? Money::fromVariant(c->value(c->currentIndex(), FAmount))
                                 : Money();
        if (exceedsAvailability(amount, available.value(), before)) {
            fw::showError(MvmText::OverAvailability);
            xdcImpIst->setFocus();
            return false;
        }
    }
    return ValidateAmount(xdcImpIst);
}

bool TfrEbcMvm::validatePost()
{
    if (!dataSource()->commitControls())
        return false;
    if (!ValidateCausale())
        return false;
    if (fw::TVeDBLookupEdit *l = payerLookup(); l && l->key().isNull()) {
        fw::showError(MvmText::PayerRequired);
        l->lineEdit()->setFocus();
        return false;
    }
    if (!checkDates() || !ValidateSlipNumber())
        return false;
    return checkAmount();
}

bool TfrEbcMvm::postMovement()
{
    if (!collection()->isEditing() || !validatePost())
        return false;
    copyPayerFromRow();
    const bool ok = post();
    if (ok)
        loadNote();
    return ok;
}

void TfrEbcMvm::ProcessBarCode(const QString &code)
{
    m_queue->enqueue(BarCodeReading{code, frBarCode->dataMov(), frBarCode->dataEc()});
}

// Scanned movements go to the end of the list: a list just opened (still on its first row) is
// taken there when the clerk enters the code edit, so that the readings only add to what is
// shown instead of each first finding where the end is.
void TfrEbcMvm::showEndForReadings()
{
    fw::TVeQueryCollection *c = collection();
    if (!c->isOpen() || c->isEditing() || !c->canFetchMore() || c->currentIndex() > 0
        || !c->sortKeys().isEmpty())
        return;
    if (auto s = c->last(); !s)
        fw::showError(s.error());
}

void TfrEbcMvm::onBarCodeCreated(int mvmId)
{
    fw::TVeQueryCollection *c = collection();
    if (c->isEditing())
        return;
    setHighlightedMvmId(mvmId);
    if (auto s = c->refreshTo(mvmId); !s)
        fw::showError(s.error());
}

std::optional<QColor> TfrEbcMvm::rowBackground(int row) const
{
    if (auto base = TfrEbsMvm::rowBackground(row))
        return base;
    const fw::TVeQueryCollection *c = collection();
    if (!c->isRowLoaded(row))
        return std::nullopt;
    // A split that does not add up to the amount (none at all counts as 0).
    const Money amount = Money::fromVariant(c->value(row, FAmount));
    const Money split = Money::fromVariant(c->value(row, FSplitSum));
    if (amount != split)
        return QColor(Qt::red);
    return std::nullopt;
}

bool TfrEbcMvm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == meNote && event->type() == QEvent::KeyPress && !m_readOnly) {
        auto *k = static_cast<QKeyEvent *>(event);
        const bool typing = !k->text().isEmpty() && k->text().at(0).isPrint();
        if (typing && !collection()->isEditing() && collection()->currentIndex() >= 0) {
            // Typing a note puts the row into edit and keeps the focus in the note.
            const QString note = meNote->toPlainText();
            if (edit()) {
                meNote->setPlainText(note);
                meNote->moveCursor(QTextCursor::End);
                meNote->setFocus();
            }
        }
    }
    if (event->type() == QEvent::FocusIn && collection()->isEditing() && category() == 0) {
        for (fw::TVeDBLookupEdit *l : {xdlAluSit, xdlAna, xdlAnaPer, xdlBen}) {
            if (watched == l->lineEdit()) {
                fw::showWarning(MvmText::ChooseCategory);
                xdlCategoria->lineEdit()->setFocus();
                return true;
            }
        }
    }
    return TfrEbsMvm::eventFilter(watched, event);
}

} // namespace ccp::movements
