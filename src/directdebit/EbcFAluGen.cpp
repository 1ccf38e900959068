#include "EbcFAluGen.h"

#include "EbcFDataReplace.h"
#include "EbcMAluGen.h"
#include "EbcUAluGen.h"
#include "TVeDBCheckBox.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDBMemo.h"
#include "TVeDataSource.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "SqlQuery.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace ccp::directdebit {

using fw::SearchColumn;

namespace {

SearchColumn col(const QString &field, const QString &title, bool searchable, int width, bool visible = true)
{
    return SearchColumn::make(field, title, searchable, width, visible);
}

void setGridColumns(fw::TVeEditFrame *frame, const QList<fw::TVeQueryModel::Column> &columns)
{
    frame->model()->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].width > 0)
            frame->grid()->setColumnWidth(i, columns[i].width);
}

// The "Pagato" column: a paid row shows the paid image, 20 pixels from the left and 2 from
// the top of the cell; an unpaid one nothing.
class PaidDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget *w = option.widget;
        QStyle *style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
        if (index.data(fw::TVeQueryModel::FieldValueRole).toInt() == 1) {
            const QPixmap image = style->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16);
            painter->drawPixmap(option.rect.left() + 20, option.rect.top() + 2, image);
        }
    }
};

QWidget *titled(const QString &title, QWidget *frame)
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    auto *label = new QLabel(title);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    layout->addWidget(frame, 1);
    return box;
}

} // namespace

// ---- coordinates ---------------------------------------------------------------------------

TfrEbcAluGen::TfrEbcAluGen(TdmEbcAluGen &dm, int ansId, QWidget *parent)
    : fw::TVeEditFrame(dm.xqcAluGen, parent), m_dm(dm)
{
    setObjectName(QStringLiteral("frEbcAluGen"));
    setGridColumns(this, {
        {QStringLiteral("sAcbIntestatario"), QStringLiteral("Intestatario"), 220, {}, {}},
        {QStringLiteral("sCognomeNomeAlu"), QStringLiteral("Alunno"), 220, {}, {}},
        {QStringLiteral("sAnaCagCode"), QStringLiteral("Matricola"), 90, {}, {}},
        {QStringLiteral("sclsdesc"), QStringLiteral("Classe"), 240, {}, {}},
        {QStringLiteral("sAcbIban"), QStringLiteral("IBAN"), 250, {}, {}},
        {QStringLiteral("sMpgDescL"), QStringLiteral("Tipo pagamento"), 160, {}, {}},
        {QStringLiteral("sAcbMandato"), QStringLiteral("Codice mandato"), 200, {}, {}},
        {QStringLiteral("dAcbDataFirma"), QStringLiteral("Data sottoscrizione"), 120, {}, QStringLiteral("dd/MM/yyyy")},
    });
    const QSqlDatabase db = dm.database();

    xdlAlunno = new fw::TVeDBLookupEdit(db);
    xdlAlunno->setObjectName(QStringLiteral("xdlAlunno"));
    xdlAlunno->setCaption(QStringLiteral("Alunno"));
    xdlAlunno->setSearchQuery(AcbSql::pupilSearch(ansId));
    xdlAlunno->setKeyField(QStringLiteral("TAna.iAnaId"));
    xdlAlunno->setListField(QStringLiteral("sCognomeNome"));
    xdlAlunno->setSearchField(QStringLiteral("TAna.sAnaCognome"));
    xdlAlunno->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Alunno"));
        form.setColumns({col(QStringLiteral("iAnaId"), QStringLiteral("Id"), false, -1, false),
                         col(QStringLiteral("sAnaCagCode"), QStringLiteral("Matricola"), true, 80),
                         col(QStringLiteral("sAnaCognome"), QStringLiteral("Cognome"), true, 150),
                         col(QStringLiteral("sAnaNome"), QStringLiteral("Nome"), true, 130),
                         col(QStringLiteral("sClsDesc"), QStringLiteral("Classe"), true, 200),
                         col(QStringLiteral("sCognomeNome"), QString(), false, -1, false)});
        form.resize(600, 350);
    };
    xdlAlunno->OnChangeFKValue = [this] {
        collection()->setFieldValue(QStringLiteral("sClsDesc"), xdlAlunno->rowValue(QStringLiteral("sClsDesc")));
        followPupil();
    };
    addField(QStringLiteral("&Alunno"), xdlAlunno, QStringLiteral("iAnaId"));

    xdlGenitore = new fw::TVeDBLookupEdit(db);
    xdlGenitore->setObjectName(QStringLiteral("xdlGenitore"));
    xdlGenitore->setCaption(QStringLiteral("Genitori"));
    xdlGenitore->setSearchQuery(AcbSql::ParentSearch);
    xdlGenitore->setKeyField(QStringLiteral("TAnaGen.iAnaId"));
    xdlGenitore->setListField(QStringLiteral("sCognomeNomeGen"));
    xdlGenitore->setSearchField(QStringLiteral("TAnaGen.sAnaCognome"));
    xdlGenitore->setParam(QStringLiteral("iAnaId"), 0);
    xdlGenitore->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Genitore"));
        form.setColumns({col(QStringLiteral("iAnaId"), QStringLiteral("Id"), false, -1, false),
                         col(QStringLiteral("sAnaCognome"), QStringLiteral("Cognome"), true, 120),
                         col(QStringLiteral("sAnaNome"), QStringLiteral("Nome"), true, 110),
                         col(QStringLiteral("sCognomeNomeGen"), QStringLiteral("Cognome Nome"), false, 180),
                         col(QStringLiteral("sGptLDesc"), QStringLiteral("Parentela"), false, 90)});
        form.resize(545, 350);
    };
    // The holder follows a parent's choice, never a mere move between rows.
    xdlGenitore->OnChangeFKValue = [this] {
        collection()->setFieldValue(QStringLiteral("sAcbIntestatario"), xdlGenitore->text());
    };
    addField(QStringLiteral("&Genitori"), xdlGenitore, QStringLiteral("iAnaId_p"));

    xdeIban = new fw::TVeDBEdit;
    xdeIban->setObjectName(QStringLiteral("xdeIban"));
    xdeIban->setUpperCase(true);
    xdeIban->setCharFilter(fw::CharFilters::digitsAndLetters);
    xdeIban->setMaxLength(34);
    xdeIban->setMinimumWidth(xdeIban->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 30);
    addField(QStringLiteral("Codice &IBAN"), xdeIban, QStringLiteral("sAcbIBan"));

    xdeMandato = new fw::TVeDBEdit;
    xdeMandato->setObjectName(QStringLiteral("xdeMandato"));
    xdeMandato->setMaxLength(35);
    xdeMandato->setToolTip(QStringLiteral("Vuoto: il programma assegna un codice dall'istituto e dalle coordinate"));
    xdeMandato->setMinimumWidth(xdeMandato->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 30);
    addField(QStringLiteral("Codice &mandato"), xdeMandato, QStringLiteral("sAcbMandato"));

    xddDataFirma = new fw::TVeDBDateEdit;
    xddDataFirma->setObjectName(QStringLiteral("xddDataFirma"));
    xddDataFirma->setMaximumWidth(140);
    addField(QStringLiteral("Data &sottoscrizione"), xddDataFirma, QStringLiteral("dAcbDataFirma"));

    xdlPagamento = new fw::TVeDBLookupEdit(db);
    xdlPagamento->setObjectName(QStringLiteral("xdlPagamento"));
    xdlPagamento->setCaption(QStringLiteral("Tipo di pagamento"));
    xdlPagamento->setSearchQuery(AcbSql::MethodSearch);
    xdlPagamento->setKeyField(QStringLiteral("TMpg.iMpgId"));
    xdlPagamento->setListField(QStringLiteral("sMpgDescL"));
    xdlPagamento->setSearchField(QStringLiteral("TMpg.sMpgDescS"));
    xdlPagamento->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Pagamento"));
        form.setColumns({col(QStringLiteral("iMpgId"), QStringLiteral("Id"), false, -1, false),
                         col(QStringLiteral("sMpgDescS"), QStringLiteral("Codice"), true, 90),
                         col(QStringLiteral("sMpgDescL"), QStringLiteral("Tipo Pagamento"), true, 300)});
        form.resize(545, 350);
    };
    addField(QStringLiteral("&Tipo di pagamento"), xdlPagamento, QStringLiteral("iMpgId"));

    xdeIntestatario = new fw::TVeDBEdit;
    xdeIntestatario->setObjectName(QStringLiteral("xdeIntestatario"));
    xdeIntestatario->setMaxLength(120);
    addField(QStringLiteral("I&ntestatario"), xdeIntestatario, QStringLiteral("SACBINTESTATARIO"));

    xdeClasse = new fw::TVeDBEdit;
    xdeClasse->setObjectName(QStringLiteral("xdeClasse"));
    xdeClasse->setReadOnly(true);
    xdeClasse->setFocusPolicy(Qt::NoFocus);
    addField(QStringLiteral("Classe"), xdeClasse, QStringLiteral("sClsDesc"));

    acInsMultiplo = new QAction(QStringLiteral("Inserimento multiplo"), this);
    acInsMultiplo->setObjectName(QStringLiteral("acInsMultiplo"));
    acInsMultiplo->setToolTip(QStringLiteral("Inserisce o sostituisce un dato su più alunni (Ctrl+M)"));
    acInsMultiplo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    acInsMultiplo->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    toolBar()->addSeparator();
    toolBar()->addAction(acInsMultiplo);
    addAction(acInsMultiplo);

    OnPostExecute = [this] { onPost(); };
    connect(this, &fw::TVeEditFrame::dataChanged, this, [this] { followPupil(); });
    // The list shows joined columns (pupil, method, class): read it again after each change.
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int mode) {
        acInsMultiplo->setEnabled(mode == 0);
        if (mode == 0 && collection()->isOpen())
            collection()->refresh();
    });
}

void TfrEbcAluGen::followPupil()
{
    const QVariant pupil = collection()->fieldValue(QStringLiteral("iAnaId"));
    xdlGenitore->setParam(QStringLiteral("iAnaId"), pupil.isNull() ? QVariant(0) : pupil);
}

void TfrEbcAluGen::onPost()
{
    if (!dataSource()->commitControls())
        return;
    const QString error = checkCoordinates(collection()->fieldValue(QStringLiteral("iAnaId_p")),
                                           collection()->fieldValue(QStringLiteral("sAcbIBan")).toString());
    if (!error.isEmpty()) {
        fw::showError(error);
        (error == AcbText::ParentRequired ? xdlGenitore->widget() : static_cast<QWidget *>(xdeIban))->setFocus();
        return;
    }
    if (collection()->fieldValue(QStringLiteral("iAnaId")).isNull()) {
        fw::showError(fw::TVeQueryCollection::requiredMessage(QStringLiteral("Alunno")));
        xdlAlunno->setFocus();
        return;
    }
    const QString mandate = collection()->fieldValue(QStringLiteral("sAcbMandato")).toString().trimmed();
    const QString mandateError = checkMandate(mandate, collection()->fieldValue(QStringLiteral("dAcbDataFirma")).toDate(),
                                              QDate::currentDate());
    if (!mandateError.isEmpty()) {
        fw::showError(mandateError);
        (mandateError == AcbText::SignatureFuture ? static_cast<QWidget *>(xddDataFirma) : xdeMandato)->setFocus();
        return;
    }
    if (!mandate.isEmpty()) {
        const QVariant self = collection()->mode() == fw::DataMode::Edit ? collection()->currentKey() : QVariant(0);
        auto holder = SqlQuery::scalar(m_dm.database(), AcbSql::MandateHeld,
                                       {{QStringLiteral("sMandato"), mandate}, {QStringLiteral("iAcbId"), self}});
        if (!holder) {
            fw::showError(holder.error());
            return;
        }
        if (holder.value().isValid()) {
            fw::showError(AcbText::mandateHeld(mandate, holder.value().toString()));
            xdeMandato->setFocus();
            return;
        }
    }
    post();
}

// ---- causali -------------------------------------------------------------------------------

TfrEbcAcbCau::TfrEbcAcbCau(TdmEbcAluGen &dm, int cauAnsId, int dwgId, QWidget *parent)
    : fw::TVeEditFrame(dm.xqcAcbCau, parent), m_dm(dm)
{
    setObjectName(QStringLiteral("frEbcAcbCau"));
    setGridColumns(this, {
        {QStringLiteral("sCauSDesc"), QStringLiteral("Codice"), 120, {}, {}},
        {QStringLiteral("sCauLDesc"), QStringLiteral("Causale"), 420, {}, {}},
    });
    xdlCausale = new fw::TVeDBLookupEdit(dm.database());
    xdlCausale->setObjectName(QStringLiteral("xdlCausale"));
    xdlCausale->setCaption(QStringLiteral("Causale"));
    xdlCausale->setSearchQuery(AcbSql::causaleSearch(cauAnsId, dwgId));
    xdlCausale->setKeyField(QStringLiteral("TCau.iCauId"));
    xdlCausale->setListField(QStringLiteral("sCauLDesc"));
    xdlCausale->setSearchField(QStringLiteral("TCau.sCauLDesc"));
    xdlCausale->OnShowSearchForm = [](fw::TfmVeSearch &form) {
        form.setWindowTitle(QStringLiteral("Causali"));
        form.setColumns({col(QStringLiteral("iCauId"), QStringLiteral("Id"), false, -1, false),
                         col(QStringLiteral("sCauSDesc"), QStringLiteral("Codice"), false, -1, false),
                         col(QStringLiteral("sCauLDesc"), QStringLiteral("Causale"), true, 320)});
        form.resize(350, 350);
    };
    addField(QStringLiteral("&Causale"), xdlCausale, QStringLiteral("iCauId"));
    xdmNote = new fw::TVeDBMemo;
    xdmNote->setObjectName(QStringLiteral("xdmNote"));
    xdmNote->setMaximumHeight(80);
    addField(QStringLiteral("&Note"), xdmNote, QStringLiteral("bAcbCauNote"));

    // A causale belongs to saved coordinates that are not being edited.
    OnBeforeInsert = [this] {
        if (m_dm.xqcAluGen->isEditing() || m_dm.xqcAluGen->currentKey().isNull()
            || !m_dm.xqcAluGen->currentKey().isValid()) {
            fw::showWarning(AcbText::NoCoordinates);
            return false;
        }
        return true;
    };
    OnPostExecute = [this] { onPost(); };
}

void TfrEbcAcbCau::onPost()
{
    if (!dataSource()->commitControls())
        return;
    const QVariant cau = collection()->fieldValue(QStringLiteral("iCauId"));
    if (cau.isNull()) {
        fw::showError(fw::TVeQueryCollection::requiredMessage(QStringLiteral("Causale")));
        xdlCausale->setFocus();
        return;
    }
    // The same causale twice would debit the family twice.
    const QVariant self = collection()->mode() == fw::DataMode::Edit ? collection()->currentKey() : QVariant(0);
    auto held = SqlQuery::scalar(m_dm.database(), AcbSql::CausaleHeld,
                                 {{QStringLiteral("iAcbId"), m_dm.xqcAluGen->currentKey()},
                                  {QStringLiteral("iCauId"), cau},
                                  {QStringLiteral("iAcbCauId"), self}});
    if (!held) {
        fw::showError(held.error());
        return;
    }
    if (held.value().toInt() > 0) {
        fw::showError(AcbText::CausaleHeld);
        xdlCausale->setFocus();
        return;
    }
    post();
}

// ---- components ----------------------------------------------------------------------------

TfrEbcCcaAcbCau::TfrEbcCcaAcbCau(TdmEbcAluGen &dm, QWidget *parent) : fw::TVeEditFrame(dm.xqcCcaAcbCau, parent)
{
    setObjectName(QStringLiteral("frEbcCcaAcbCau"));
    setGridColumns(this, {
        {QStringLiteral("sCcaLDesc"), QStringLiteral("Componente"), 320, {}, {}},
        {QStringLiteral("fCacImporto"), QStringLiteral("Importo"), 110, {}, {}},
        {QStringLiteral("dCacDataScadenza"), QStringLiteral("Data scadenza"), 110, {}, QStringLiteral("dd/MM/yyyy")},
        {QStringLiteral("lCacPagato"), QStringLiteral("Pagato"), 60, {}, {}},
    });
    grid()->setItemDelegateForColumn(3, new PaidDelegate(grid()));

    xdeComponente = new fw::TVeDBEdit;
    xdeComponente->setObjectName(QStringLiteral("xdeComponente"));
    xdeComponente->setReadOnly(true);
    xdeComponente->setFocusPolicy(Qt::NoFocus);
    addField(QStringLiteral("Componente"), xdeComponente, QStringLiteral("sCcaLDesc"));
    xdcImporto = new fw::TVeDBCurrencyEdit;
    xdcImporto->setObjectName(QStringLiteral("xdcImporto"));
    xdcImporto->setMaximumWidth(140);
    addField(QStringLiteral("&Importo"), xdcImporto, QStringLiteral("fCacImporto"));
    xddScadenza = new fw::TVeDBDateEdit;
    xddScadenza->setObjectName(QStringLiteral("xddScadenza"));
    xddScadenza->setMaximumWidth(140);
    addField(QStringLiteral("&Data scadenza"), xddScadenza, QStringLiteral("dCacDataScadenza"));
    xckPagato = new fw::TVeDBCheckBox(QStringLiteral("&Pagato"));
    xckPagato->setObjectName(QStringLiteral("xckPagato"));
    addField(QString(), xckPagato, QStringLiteral("lCacPagato"));

    // Rows come with their causale: never added or removed here.
    for (Action a : {Insert, Delete}) {
        lockAction(a, true);
        action(a)->setVisible(false);
    }
}

// ---- window --------------------------------------------------------------------------------

TfmEbcAluGen::TfmEbcAluGen(QSqlDatabase db, QWidget *parent) : fw::TVeMdiForm(parent)
{
    setObjectName(QStringLiteral("TfmEbcAluGen"));
    setWindowTitle(Caption);
    const auto &values = fw::TVeGlobalValuesManager::instance();
    const int ansId = values.intValue(AcbKeys::AnsId);
    m_dm = new TdmEbcAluGen(std::move(db), this);
    frEbcAluGen = new TfrEbcAluGen(*m_dm, ansId, this);
    frEbcAcbCau = new TfrEbcAcbCau(*m_dm, values.intValue(AcbKeys::CauAnsId), values.intValue(AcbKeys::DwgId), this);
    frEbcCcaAcbCau = new TfrEbcCcaAcbCau(*m_dm, this);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(titled(QStringLiteral("Genitori alunni"), frEbcAluGen));
    splitter->addWidget(titled(QStringLiteral("Causali pagate con addebito diretto"), frEbcAcbCau));
    splitter->addWidget(titled(QStringLiteral("Componenti della causale"), frEbcCcaAcbCau));
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setStretchFactor(2, 2);
    splitter->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(frEbcAluGen->acInsMultiplo, &QAction::triggered, this, &TfmEbcAluGen::onInsMultiplo);
    OpenDataReplace = [this, ansId] {
        TfmEbcDataReplace wizard(m_dm->database(), ansId, filterFolder, this);
        if (wizard.start())
            wizard.exec();
    };
    if (auto s = m_dm->open(ansId); !s)
        fw::showError(s.error());
    for (fw::TVeEditFrame *f : {static_cast<fw::TVeEditFrame *>(frEbcAluGen), static_cast<fw::TVeEditFrame *>(frEbcAcbCau),
                                static_cast<fw::TVeEditFrame *>(frEbcCcaAcbCau)})
        f->updateActions();
    // Causali and components follow the coordinates: no edits there while these are edited.
    connect(frEbcAluGen, &fw::TVeEditFrame::modeChanged, this, [this](int mode) {
        frEbcAcbCau->setEnabled(mode == 0);
        frEbcCcaAcbCau->setEnabled(mode == 0);
    });
    connect(frEbcAcbCau, &fw::TVeEditFrame::modeChanged, this, [this](int mode) {
        frEbcAluGen->setEnabled(mode == 0);
        frEbcCcaAcbCau->setEnabled(mode == 0);
    });
    connect(frEbcCcaAcbCau, &fw::TVeEditFrame::modeChanged, this, [this](int mode) {
        frEbcAluGen->setEnabled(mode == 0);
        frEbcAcbCau->setEnabled(mode == 0);
    });
}

TfmEbcAluGen::~TfmEbcAluGen() { m_dm->close(); }

void TfmEbcAluGen::formShown()
{
    // Shown again after a close: read the lists again.
    if (!m_dm->xqcAluGen->isOpen())
        if (auto s = m_dm->open(fw::TVeGlobalValuesManager::instance().intValue(AcbKeys::AnsId)); !s)
            fw::showError(s.error());
    showMaximized();
    frEbcAluGen->grid()->setFocus();
}

bool TfmEbcAluGen::formCanClose()
{
    return frEbcCcaAcbCau->canClose() && frEbcAcbCau->canClose() && frEbcAluGen->canClose();
}

void TfmEbcAluGen::formClosed() { m_dm->close(); }

void TfmEbcAluGen::onInsMultiplo()
{
    if (frEbcAluGen->mode() != 0)
        return;
    if (OpenDataReplace)
        OpenDataReplace();
    // The replace may have changed any row of the three lists.
    m_dm->xqcAluGen->refresh();
    m_dm->followAluGen(true);
}

} // namespace ccp::directdebit
