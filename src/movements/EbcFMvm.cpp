#include "EbcFMvm.h"

#include "EbcRMvm.h"
#include "TVeAccess.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QPlainTextEdit>
#include <QTabBar>
#include <QVBoxLayout>

namespace ccp::movements {

namespace {
MvmContext readContext(QSqlDatabase db)
{
    auto r = MvmContext::read(db);
    if (!r) {
        fw::showError(r.error());
        return {};
    }
    return r.value();
}
} // namespace

TfmEbcMvm::TfmEbcMvm(TdmEbcMvm &store, QWidget *parent)
    : fw::TVeMdiForm(parent), m_store(store), m_ctx(readContext(store.xqcMvm->database()))
{
    setObjectName(QStringLiteral("fmEbcMvm"));
    setWindowTitle(Caption);
    tcMain = new QTabBar(this);
    tcMain->setObjectName(QStringLiteral("tcMain"));
    tcMain->addTab(QStringLiteral("&Entrate"));
    tcMain->addTab(QStringLiteral("&Uscite"));
    tcMain->setExpanding(false);
    tcMain->setDrawBase(true);
    frEbcMvm = new TfrEbcMvm(store, m_ctx, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(tcMain);
    layout->addWidget(frEbcMvm, 1);

    // 1. The account type decides the layout.
    frEbcMvm->SetAccountType(m_ctx.accountType);
    frEbcMvm->setKind(0);
    m_store.setOwner(this);
    connect(tcMain, &QTabBar::currentChanged, this, &TfmEbcMvm::onTabChanged);
}

TfmEbcMvm::~TfmEbcMvm()
{
    if (m_store.owner() == this)
        m_store.setOwner(nullptr);
}

bool TfmEbcMvm::openList()
{
    fw::TVeQueryCollection *c = m_store.xqcMvm;
    c->close();
    m_store.setListParams(m_ctx.sprIstId, m_tab, m_ctx.periodStart, m_ctx.periodEnd);
    if (auto s = c->open(); !s) {
        fw::showError(s.error());
        return false;
    }
    // 3.-4. Read-only rule and the bar-code right.
    bool readOnly = m_ctx.accountEnd.isValid();
    if (!readOnly) {
        auto locked = yearFullyLocked(c->database(), m_ctx.sprIstId, m_ctx.anfValore);
        readOnly = locked.ok() && locked.value();
    }
    frEbcMvm->setReadOnly(readOnly, fw::TVeAccessProfile::current().HasRight(fw::Rights::BarCodeEntry));
    frEbcMvm->updateActions();
    frEbcMvm->loadNote();
    return true;
}

bool TfmEbcMvm::isReadOnly() const { return frEbcMvm->isReadOnly(); }

void TfmEbcMvm::formShown() { openList(); }

bool TfmEbcMvm::formCanClose() { return frEbcMvm->canClose(); }

void TfmEbcMvm::formClosed() { m_store.xqcMvm->close(); }

void TfmEbcMvm::selectTab(int index) { tcMain->setCurrentIndex(index); }

void TfmEbcMvm::onTabChanged(int index)
{
    if (m_undoingTab)
        return;
    if (frEbcMvm->mode() != 0) {
        m_undoingTab = true;
        tcMain->setCurrentIndex(m_tab);
        m_undoingTab = false;
        return;
    }
    m_tab = index;
    frEbcMvm->setKind(index);
    if (wasShown())
        openList();
}

MvmPayer TfmEbcMvm::payer() const { return frEbcMvm->payer(); }

QString TfmEbcMvm::amountText() const { return frEbcMvm->xdcImpIst->money().toEdit(); }

std::optional<QString> TfmEbcMvm::noteText() const
{
    const QString note = frEbcMvm->meNote->toPlainText();
    return note;
}

} // namespace ccp::movements
