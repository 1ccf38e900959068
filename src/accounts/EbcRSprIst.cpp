#include "EbcRSprIst.h"

#include "EbcUCcp.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDataSource.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

namespace ccp::accounts {

namespace {
QString S(const char *s) { return QString::fromUtf8(s); }

const QColor WorkingRowColour(255, 255, 132);

bool anyWindowCaptioned(const QString &caption)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowTitle() == caption)
            return true;
        for (QMdiSubWindow *sub : top->findChildren<QMdiSubWindow *>()) {
            if (sub->windowTitle() == caption || (sub->widget() && sub->widget()->windowTitle() == caption))
                return true;
        }
    }
    return false;
}
} // namespace

TfrEbcSprIst::TfrEbcSprIst(fw::TVeQueryCollection *collection, QWidget *parent)
    : fw::TVeEditFrame(collection, parent), IsWindowOpen(anyWindowCaptioned)
{
    setObjectName(S("frEbcSprIst"));
    setToolTip(S("Elenco conti"));
    model()->setColumns({
        {S("sBanAbi"), S("Codice ABI"), 90, {}, {}},
        {S("sSprCab"), S("Codice CAB"), 90, {}, {}},
        {S("sSprIstNumCc"), S("Numero conto"), 140, {}, {}},
        {S("sTipoConto"), S("Tipo conto"), 120, {}, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    const QSqlDatabase database = collection->database();
    xdlBanAbi = new fw::TVeDBLookupEdit(database);
    xdlBanAbi->setObjectName(S("xdlBanAbi"));
    xdlBanAbi->setSearchQuery(S(" SELECT Ban.iBanId, Ban.sBanAbi, Ban.sBanDescS, iCbaId FROM TBan_Banche Ban WHERE ##WHERE##"));
    xdlBanAbi->setKeyField(S("Ban.iBanId"));
    xdlBanAbi->setListField(S("sBanAbi"));
    xdlBanAbi->setDescriptionField(S("sBanDescS"));
    xdlBanAbi->setSearchTitle(S("Banche"));
    xdlBanAbi->setSearchWidth(500);
    xdlBanAbi->setSearchColumns({fw::SearchColumn::make(S("sBanAbi"), S("Codice"), true, 60),
                                 fw::SearchColumn::make(S("sBanDescS"), S("Descrizione"), true, 380)});
    xdlBanAbi->lineEdit()->setMaximumWidth(90);
    addField(S("Codice &ABI"), xdlBanAbi, S("iBanId"));

    xdlSprCab = new fw::TVeDBLookupEdit(database);
    xdlSprCab->setObjectName(S("xdlSprCab"));
    xdlSprCab->OnSetSearchQuery = [this]() {
        const int banId = m_cabBank.isNull() ? -1 : m_cabBank.toInt();
        return S(" SELECT iSprId, sSprCab, sSprDescS, sSprIndirizzo, sComDesc, sSprIndirizzo || '-' || sComDesc || ' (' || "
                 "sProSigla || ')' sIndCom FROM TSpr_SportelliCab Spr LEFT OUTER JOIN TSrpc ON (Spr.iSrpcId = TSrpc.iSrpcId) "
                 "LEFT OUTER JOIN TCom_Comuni Com ON (Com.iComId = TSrpc.iComId) LEFT OUTER JOIN TPro_Province Pro ON "
                 "(Pro.iProId = TSrpc.iProId) WHERE (##WHERE## AND (Spr.iBanId = %1))")
            .arg(banId);
    };
    xdlSprCab->setKeyField(S("Spr.iSprId"));
    xdlSprCab->setListField(S("sSprCab"));
    xdlSprCab->setDescriptionField(S("sSprDescS"));
    xdlSprCab->setSearchTitle(S("Sportelli"));
    xdlSprCab->setSearchWidth(700);
    xdlSprCab->setSearchColumns({fw::SearchColumn::make(S("sSprCab"), S("Codice CAB"), true, 90),
                                 fw::SearchColumn::make(S("sSprDescS"), S("Descrizione"), true, 220),
                                 fw::SearchColumn::make(S("sIndCom"), S("Indirizzo"), false, 250),
                                 fw::SearchColumn::make(S("sComDesc"), S("Comune"), true, 120)});
    xdlSprCab->lineEdit()->setMaximumWidth(90);
    addField(S("Codice &CAB"), xdlSprCab, S("iSprId"));
    lbIndCom = new QLabel(detailPage());
    lbIndCom->setObjectName(S("lbIndCom"));
    detailLayout()->addRow(S("Indirizzo"), lbIndCom);

    xdeNumCc = new fw::TVeDBEdit;
    xdeNumCc->setObjectName(S("xdeNumCc"));
    xdeNumCc->setUpperCase(true);
    xdeNumCc->setMaxLength(12);
    xdeNumCc->setCharFilter(fw::CharFilters::digitsAndLetters);
    addField(S("&Numero C/C"), xdeNumCc, S("sSprIstNumCc"));

    xdeCin = new fw::TVeDBEdit;
    xdeCin->setObjectName(S("xdeCin"));
    xdeCin->setUpperCase(true);
    xdeCin->setMaxLength(1);
    xdeCin->setCharFilter(fw::CharFilters::letters);
    xdeCin->setMaximumWidth(40);
    lbCin = new QLabel(S("C&IN"), detailPage());
    lbCin->setBuddy(xdeCin);
    detailLayout()->addRow(lbCin, xdeCin);
    bind(xdeCin, S("sSprIstCin"));

    gbIban = new QGroupBox(S(" IBAN "), detailPage());
    gbIban->setObjectName(S("gbIban"));
    auto *iban = new QFormLayout(gbIban);
    xdeStato = new fw::TVeDBEdit;
    xdeStato->setObjectName(S("xdeStato"));
    xdeStato->setUpperCase(true);
    xdeStato->setMaxLength(2);
    xdeStato->setCharFilter(fw::CharFilters::letters);
    xdeStato->setMaximumWidth(50);
    iban->addRow(S("&Stato"), xdeStato);
    bind(xdeStato, S("sSprIstStato"));
    xdeCinInt = new fw::TVeDBEdit;
    xdeCinInt->setObjectName(S("xdeCinInt"));
    xdeCinInt->setMaxLength(2);
    xdeCinInt->setCharFilter(fw::CharFilters::digits);
    xdeCinInt->setMaximumWidth(50);
    iban->addRow(S("CI&N"), xdeCinInt);
    bind(xdeCinInt, S("sSprIstCinInt"));
    detailLayout()->addRow(gbIban);

    xdeIntest = new fw::TVeDBEdit;
    xdeIntest->setObjectName(S("xdeIntest"));
    xdeIntest->setMaxLength(100);
    addField(S("In&testatario C/C"), xdeIntest, S("sSprIstIntest"));
    xddStart = new fw::TVeDBDateEdit;
    xddStart->setObjectName(S("xddStart"));
    xddStart->setMaximumWidth(120);
    addField(S("Data a&pertura conto"), xddStart, S("dStart"));
    xddEnd = new fw::TVeDBDateEdit;
    xddEnd->setObjectName(S("xddEnd"));
    xddEnd->setMaximumWidth(120);
    lbEnd = new QLabel(S("Data c&hiusura conto"), detailPage());
    lbEnd->setBuddy(xddEnd);
    detailLayout()->addRow(lbEnd, xddEnd);
    bind(xddEnd, S("dEnd"));

    acShowClosed = new QAction(QIcon(S(":/icons/STORIC_SHOW_HIDE.png")), S("&Mostra conti chiusi"), this);
    acShowClosed->setObjectName(S("acShowClosed"));
    acShowClosed->setCheckable(true);
    acShowClosed->setProperty("category", S("Conto"));
    acShowClosed->setProperty("menu", S("&Storico"));
    toolBar()->addSeparator();
    toolBar()->addAction(acShowClosed);
    connect(acShowClosed, &QAction::toggled, this, [this](bool on) {
        if (auto s = this->collection()->setFiltered(!on); !s)
            fw::showError(s.error());
        grid()->viewport()->update();
    });

    setRowForeground([this](int row) -> std::optional<QColor> {
        if (acShowClosed->isChecked() && !this->collection()->value(row, S("dEnd")).isNull())
            return QColor(Qt::red);
        return std::nullopt;
    });
    setRowBackground([this](int row) -> std::optional<QColor> {
        if (this->collection()->count() > 1
            && this->collection()->keyOf(row).toInt() == fw::TVeGlobalValuesManager::instance().intValue(S("EBCP_SprIstId")))
            return WorkingRowColour;
        return std::nullopt;
    });

    xdlBanAbi->OnChangeFKValue = [this]() { onBankChosen(); };
    xdlSprCab->OnChangeFKValue = [this]() { lbIndCom->setText(xdlSprCab->rowValue(S("sIndCom")).toString()); };
    connect(this, &fw::TVeEditFrame::dataChanged, this, &TfrEbcSprIst::onDataChanged);
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        if (m == 1) {
            showBankControls(true);
        } else if (m == 2) {
            // Each edit decides anew whether it closes or reopens the account.
            m_closingChanged = false;
            m_endConfirmed = false;
        } else {
            const QVariant banId = this->collection()->fieldValue(S("iBanId"));
            showBankControls(banId.isNull() || banId.toInt() != CashBankId);
            rebuildCabList(banId);
        }
    });

    fw::TVeQueryCollection *c = collection;
    c->VeBeforeExec = [this](fw::VeExecContext &x) {
        if (x.operation == fw::VeOperation::Insert) {
            x.params.set(S("iDwgId"), fw::TVeGlobalValuesManager::instance().intValue(S("VEUP_DwgId")));
            x.params.set(S("iSprIstPgm"), 2);
        } else if (x.operation == fw::VeOperation::Update && x.index == 1) {
            x.execute = m_closingChanged;
            x.params.set(S("iSprIstId"), this->collection()->currentKey());
        }
    };
    OnBeforeDelete = [this]() {
        if (!m_isWorking)
            return true;
        fw::showWarning(CcpMessages::WorkingNotDeletable);
        return false;
    };
    OnPostExecute = [this]() { postAccount(); };

    for (QWidget *w : {static_cast<QWidget *>(xdeNumCc), static_cast<QWidget *>(xdlSprCab->lineEdit()),
                       static_cast<QWidget *>(xddStart), static_cast<QWidget *>(xddEnd)})
        w->installEventFilter(this);
}

QSqlDatabase TfrEbcSprIst::db() const { return collection()->database(); }

bool TfrEbcSprIst::bankControlsShown() const { return !gbIban->isHidden(); }

void TfrEbcSprIst::showBankControls(bool shown)
{
    for (QWidget *w : {static_cast<QWidget *>(xdeCin), static_cast<QWidget *>(lbCin), static_cast<QWidget *>(gbIban),
                       static_cast<QWidget *>(xddEnd), static_cast<QWidget *>(lbEnd)})
        w->setVisible(shown);
}

void TfrEbcSprIst::rebuildCabList(const QVariant &banId)
{
    m_cabBank = banId;
    // The shown branch is read again through the rebuilt list.
    xdlSprCab->setFieldValue(collection()->fieldValue(S("iSprId")));
    lbIndCom->setText(xdlSprCab->rowValue(S("sIndCom")).toString());
}

QVariant TfrEbcSprIst::currentCategory() const
{
    const QVariant banId = collection()->fieldValue(S("iBanId"));
    if (!xdlBanAbi->row().isEmpty() && xdlBanAbi->key() == banId)
        return xdlBanAbi->rowValue(S("iCbaId"));
    return collection()->fieldValue(S("iCbaId"));
}

void TfrEbcSprIst::onBankChosen()
{
    const QVariant banId = xdlBanAbi->key();
    if (banId.isNull())
        return;
    const QVariant branchBank = xdlSprCab->row().isEmpty() ? QVariant() : QVariant(m_cabBank);
    rebuildCabList(banId);
    // A branch of another bank would put the account at that bank.
    if (!branchBank.isNull() && branchBank != banId) {
        collection()->setFieldValue(S("iSprId"), QVariant());
        xdlSprCab->setFieldValue(QVariant());
        lbIndCom->clear();
    }
    const QString number = collection()->fieldValue(S("sSprIstNumCc")).toString();
    if (banId.toInt() != CashBankId) {
        showBankControls(true);
        xdeNumCc->setMaxLength(std::max<int>(accountNumberLength(xdlBanAbi->rowValue(S("iCbaId"))), int(number.size())));
        return;
    }
    auto branch = cashBranchId(db());
    if (!branch) {
        fw::showError(branch.error());
        return;
    }
    xdlSprCab->chooseKey(*branch);
    lbIndCom->setText(xdlSprCab->rowValue(S("sIndCom")).toString());
    collection()->setFieldValue(S("sSprIstNumCc"), QString(xdeNumCc->maxLength(), QLatin1Char('0')));
    collection()->setFieldValue(S("sSprIstIntest"), QVariant());
    showBankControls(false);
}

void TfrEbcSprIst::setClosedReadOnly(bool closed)
{
    for (fw::TVeDBControl *c : std::initializer_list<fw::TVeDBControl *>{xdlBanAbi, xdlSprCab, xdeNumCc, xdeCin, xdeStato,
                                                                          xdeCinInt, xdeIntest, xddStart})
        c->setReadOnlyByOwner(closed);
}

void TfrEbcSprIst::onDataChanged(const QString &field)
{
    if (field.compare(S("dEnd"), Qt::CaseInsensitive) == 0) {
        if (mode() == 2) {
            m_closingChanged = true;
            m_endConfirmed = false;
        }
        return;
    }
    if (!field.isEmpty())
        return;
    fw::TVeQueryCollection *c = collection();
    const QVariant banId = c->fieldValue(S("iBanId"));
    rebuildCabList(banId);
    showBankControls(mode() == 1 || banId.isNull() || banId.toInt() != CashBankId);
    const int row = c->currentIndex();
    const int id = row >= 0 ? c->keyOf(row).toInt() : 0;
    if (OnAccountChanged)
        OnAccountChanged(id);
    setClosedReadOnly(row >= 0 && !c->value(row, S("dEnd")).isNull());
    m_isWorking = row >= 0 && id == fw::TVeGlobalValuesManager::instance().intValue(S("EBCP_SprIstId"));
    const QString number = c->fieldValue(S("sSprIstNumCc")).toString();
    xdeNumCc->setMaxLength(std::max<int>(accountNumberLength(c->fieldValue(S("iCbaId"))), int(number.size())));
}

bool TfrEbcSprIst::validateNumber()
{
    const QString number = collection()->fieldValue(S("sSprIstNumCc")).toString().trimmed();
    if (number.isEmpty()) {
        fw::showError(CcpMessages::NumberRequired);
        return false;
    }
    const QString padded = padAccountNumber(number, currentCategory());
    if (padded != collection()->fieldValue(S("sSprIstNumCc")).toString()) {
        if (xdeNumCc->maxLength() < padded.size())
            xdeNumCc->setMaxLength(int(padded.size()));
        collection()->setFieldValue(S("sSprIstNumCc"), padded);
    }
    return true;
}

bool TfrEbcSprIst::validateCab()
{
    if (!collection()->fieldValue(S("iSprId")).isNull())
        return true;
    fw::showError(CcpMessages::CabRequired);
    return false;
}

bool TfrEbcSprIst::validateOpening()
{
    const QDate start = collection()->fieldValue(S("dStart")).toDate();
    if (!start.isValid()) {
        fw::showError(CcpMessages::OpeningRequired);
        return false;
    }
    if (mode() != 2)
        return true;
    auto span = movementSpan(db(), collection()->currentKey().toInt());
    if (!span) {
        fw::showError(span.error());
        return false;
    }
    if (span->first.isValid() && start > span->first) {
        fw::showError(CcpMessages::OpeningAfterFirst.arg(fw::formatDate(span->first)));
        return false;
    }
    return true;
}

void TfrEbcSprIst::refuseClosing()
{
    m_closingChanged = false;
    m_endConfirmed = false;
    cancel();
}

bool TfrEbcSprIst::validateClosing()
{
    if (mode() != 2 || !collection()->isFieldChanged(S("dEnd")))
        return true;
    const QDate end = collection()->fieldValue(S("dEnd")).toDate();
    if (m_endConfirmed && m_confirmedEnd == end)
        return true;
    if (end.isValid()) {
        const QDate start = collection()->fieldValue(S("dStart")).toDate();
        if (start.isValid() && start > end) {
            fw::showError(CcpMessages::ClosingBeforeOpening);
            return false;
        }
        auto span = movementSpan(db(), collection()->currentKey().toInt());
        if (!span) {
            fw::showError(span.error());
            return false;
        }
        if (span->last.isValid() && end < span->last) {
            fw::showError(CcpMessages::ClosingBeforeLast.arg(fw::formatDate(span->last)));
            return false;
        }
        if (!fw::askYesNo(CcpMessages::CloseQuestion)) {
            refuseClosing();
            return false;
        }
        if (IsWindowOpen && IsWindowOpen(MovementsCaption)) {
            fw::showWarning(CcpMessages::CloseWindowOpen.arg(MovementsCaption));
            refuseClosing();
            return false;
        }
    } else {
        if (!m_closingChanged)
            return true;
        if (!fw::askYesNo(CcpMessages::ReopenQuestion)) {
            refuseClosing();
            return false;
        }
    }
    m_closingChanged = true;
    m_endConfirmed = true;
    m_confirmedEnd = end;
    return true;
}

void TfrEbcSprIst::postAccount()
{
    if (!dataSource()->commitControls())
        return;
    struct Check
    {
        bool (TfrEbcSprIst::*run)();
        QWidget *focus;
    };
    const Check checks[] = {{&TfrEbcSprIst::validateCab, xdlSprCab->lineEdit()},
                            {&TfrEbcSprIst::validateNumber, xdeNumCc},
                            {&TfrEbcSprIst::validateOpening, xddStart},
                            {&TfrEbcSprIst::validateClosing, xddEnd}};
    m_inValidation = true;
    for (const Check &c : checks) {
        if (!(this->*c.run)()) {
            m_inValidation = false;
            if (mode() != 0) {
                showPage(DetailPage);
                c.focus->setFocus();
            }
            return;
        }
    }
    m_inValidation = false;
    post();
}

bool TfrEbcSprIst::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && mode() != 0 && !m_inValidation) {
        auto *w = static_cast<QWidget *>(watched);
        // After the control has taken its text, and not while a dialog of ours has the focus.
        QTimer::singleShot(0, this, [this, w]() {
            if (mode() == 0 || m_inValidation || QApplication::activeModalWidget())
                return;
            bool (TfrEbcSprIst::*check)() = nullptr;
            if (w == xdeNumCc)
                check = &TfrEbcSprIst::validateNumber;
            else if (w == xdlSprCab->lineEdit())
                check = &TfrEbcSprIst::validateCab;
            else if (w == xddStart)
                check = &TfrEbcSprIst::validateOpening;
            else if (w == xddEnd)
                check = &TfrEbcSprIst::validateClosing;
            if (!check)
                return;
            // A field left for a toolbar action is checked by the post itself.
            if (focusWidget() == nullptr || !isAncestorOf(QApplication::focusWidget()))
                return;
            m_inValidation = true;
            const bool ok = (this->*check)();
            m_inValidation = false;
            if (!ok && mode() != 0)
                w->setFocus();
        });
    }
    return fw::TVeEditFrame::eventFilter(watched, event);
}

} // namespace ccp::accounts
