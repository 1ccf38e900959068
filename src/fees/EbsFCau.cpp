#include "EbsFCau.h"

#include "EbsMDataSets.h"
#include "EbsRCau.h"
#include "EbsRCauCca.h"
#include "EbsUCau.h"
#include "TVeDBLookupEdit.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>

namespace ccp::fees {

TfmEbsCau::TfmEbsCau(TdmEbsDataSets &dataSets, QWidget *parent) : fw::TVeMdiForm(parent), m_ds(dataSets)
{
    setObjectName(QStringLiteral("fmEbsCau"));
    setWindowTitle(Caption);

    auto *top = new QWidget;
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    tcMain = new QTabBar(top);
    tcMain->setObjectName(QStringLiteral("tcMain"));
    tcMain->addTab(QStringLiteral("Causali di &entrata"));
    tcMain->addTab(QStringLiteral("Causali di &uscita"));
    tcMain->setExpanding(false);
    tcMain->setDrawBase(true);
    topLayout->addWidget(tcMain);
    frEbsCausali = new TfrEbsCau(dataSets, top);
    topLayout->addWidget(frEbsCausali, 1);

    auto *bottom = new QWidget;
    auto *bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 4, 0, 0);
    bottomLayout->setSpacing(2);
    auto *title = new QLabel(QStringLiteral("Componenti della causale"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    bottomLayout->addWidget(title);
    frEbsCompXCaus = new TfrEbsCauCca(dataSets, bottom);
    bottomLayout->addWidget(frEbsCompXCaus, 1);
    splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(bottom);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    tcMain->setCurrentIndex(0);
    m_tab = 0;
    m_ds.causaliTipo = 0;
    m_ds.chosenComponentDwg = QVariant();
    frEbsCausali->setCurrentTipo(0);
    frEbsCausali->showPage(fw::TVeEditFrame::ListPage);
    frEbsCompXCaus->showPage(fw::TVeEditFrame::ListPage);
    FilterComponentLookup(true, 0, -1);

    connect(tcMain, &QTabBar::currentChanged, this, &TfmEbsCau::onTabChanged);
    connect(m_ds.xqcCaus, &fw::TVeQueryCollection::currentChanged, this, &TfmEbsCau::onCausaleChanged);
    connect(frEbsCausali, &fw::TVeEditFrame::modeChanged, this, &TfmEbsCau::onCausaliModeChanged);
    connect(m_ds.xqcCaus, &fw::TVeQueryCollection::posted, this, [this](fw::VeOperation op) {
        onCausaleChanged();
        // A new causale gets its first component at once.
        if (op == fw::VeOperation::Insert && m_ds.xqcCaus->currentIndex() >= 0)
            frEbsCompXCaus->insertRequired();
    });
    connect(m_ds.xqcCauCca, &fw::TVeQueryCollection::posted, this,
            [this](fw::VeOperation op) { onLinkPosted(int(op)); });
    // While a component row is edited its causale stays where it is.
    connect(frEbsCompXCaus, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        frEbsCausali->setEnabled(m == 0);
        tcMain->setEnabled(m == 0);
    });
    connect(frEbsCausali, &TfrEbsCau::duplicated, this, [this]() { onCausaleChanged(); });
}

TfmEbsCau::~TfmEbsCau() = default;

int TfmEbsCau::tipo() const { return m_tab; }

void TfmEbsCau::selectTab(int index) { tcMain->setCurrentIndex(index); }

bool TfmEbsCau::CausaleInUse(int cauId) const
{
    auto r = fees::CausaleInUse(m_ds.database(), cauId);
    if (!r) {
        fw::showError(r.error());
        return false;
    }
    return r.value();
}

QVariant TfmEbsCau::SchoolYearColumn(const QString &column, int ansId) const
{
    auto r = fees::SchoolYearColumn(m_ds.database(), column, ansId);
    if (!r) {
        fw::showError(r.error());
        return {};
    }
    return r.value();
}

QString TfmEbsCau::SchoolYearDescription(const QString &key) const
{
    auto r = fees::SchoolYearDescription(m_ds.database(), key);
    if (!r) {
        fw::showError(r.error());
        return {};
    }
    return r.value();
}

void TfmEbsCau::FilterComponentLookup(bool showAll, int tipoValue, int dwg)
{
    const int ansId = fw::TVeGlobalValuesManager::instance().intValue(CauKeys::CauAnsId);
    frEbsCompXCaus->setComponentSelect(fees::FilterComponentLookup(showAll, tipoValue, ansId, dwg));
}

void TfmEbsCau::openCausali()
{
    fw::TVeQueryCollection *c = m_ds.xqcCaus;
    c->close();
    c->setParam(QStringLiteral("iAnsId"), fw::TVeGlobalValuesManager::instance().intValue(CauKeys::CauAnsId));
    c->setParam(QStringLiteral("ShowAll"), 1);
    c->setParam(QStringLiteral("lCauTipo"), m_tab);
    if (auto s = c->open(); !s)
        fw::showError(s.error());
    onCausaleChanged();
    frEbsCausali->updateActions();
}

void TfmEbsCau::onCausaleChanged()
{
    fw::TVeQueryCollection *cau = m_ds.xqcCaus;
    fw::TVeQueryCollection *links = m_ds.xqcCauCca;
    if (links->isEditing())
        return;
    const bool inserting = cau->mode() == fw::DataMode::Insert;
    const int cauId = inserting || !cau->isOpen() ? 0 : cau->currentKey().toInt();
    // The lookup first: the links shown are resolved through its select.
    if (cau->mode() == fw::DataMode::Browse)
        FilterComponentLookup(true, m_tab, dwgFilterOf(cau->fieldValue(QStringLiteral("iDwgId"))));
    if (!links->isOpen() || m_loadedCauId != QVariant(cauId)) {
        links->close();
        links->setParam(QStringLiteral("iCauId"), cauId);
        m_loadedCauId = cauId;
        if (cau->isOpen())
            if (auto s = links->open(); !s)
                fw::showError(s.error());
    }
    // A causale without components takes its institute from the first one: any is offered.
    if (cau->mode() == fw::DataMode::Browse && links->isOpen() && links->count() == 0)
        FilterComponentLookup(true, m_tab, -1);
    frEbsCompXCaus->setCausaleInUse(cauId > 0 && CausaleInUse(cauId));
    // Components belong to a stored causale.
    if (cauId == 0)
        frEbsCompXCaus->lockAction(fw::TVeEditFrame::Insert, true);
    frEbsCompXCaus->updateActions();
}

void TfmEbsCau::onCausaliModeChanged(int mode)
{
    // While a causale is edited its components wait.
    frEbsCompXCaus->setEnabled(mode == 0);
    if (mode == 1) {
        // A new causale belongs to the causali school year and may take any component.
        m_ds.xqcCaus->setFieldValue(QStringLiteral("sAnsAnnoDesc"), SchoolYearDescription(CauKeys::CauAnsId));
        FilterComponentLookup(true, m_tab, -1);
    }
    if (mode != 2)
        onCausaleChanged();
}

void TfmEbsCau::onTabChanged(int index)
{
    if (m_undoingTab)
        return;
    if (frEbsCausali->mode() != 0 || frEbsCompXCaus->mode() != 0) {
        m_undoingTab = true;
        tcMain->setCurrentIndex(m_tab);
        m_undoingTab = false;
        return;
    }
    m_tab = index;
    m_ds.causaliTipo = index;
    frEbsCausali->setCurrentTipo(index);
    if (wasShown())
        openCausali();
    else
        FilterComponentLookup(true, index, 0);
}

void TfmEbsCau::onLinkPosted(int op)
{
    // The first component decides the institute of the causale and of its other components.
    if (op == int(fw::VeOperation::Insert) && m_ds.xqcCauCca->count() == 1)
        FilterComponentLookup(true, m_tab, dwgFilterOf(m_ds.chosenComponentDwg));
    frEbsCompXCaus->updateActions();
}

bool TfmEbsCau::canCloseWindow()
{
    if (frEbsCausali->mode() == 1)
        return false;
    if (frEbsCompXCaus->firstComponentPending() && frEbsCompXCaus->xdlCod->key().isNull()) {
        fw::showError(CauMessages::OneComponentRequired);
        return false;
    }
    if (!frEbsCompXCaus->canClose() || !frEbsCausali->canClose())
        return false;
    fw::TVeQueryCollection *cau = m_ds.xqcCaus;
    if (cau->isOpen() && cau->count() > 0 && cau->currentIndex() >= 0 && m_ds.xqcCauCca->isOpen()
        && m_ds.xqcCauCca->count() == 0) {
        frEbsCompXCaus->insertRequired();
        fw::VeMessageDlg(CauMessages::OneComponentRequired, fw::MsgType::Error, fw::MsgButtons::Ok);
        return false;
    }
    return true;
}

void TfmEbsCau::formShown() { openCausali(); }

bool TfmEbsCau::formCanClose() { return canCloseWindow(); }

void TfmEbsCau::formClosed()
{
    m_ds.xqcCauCca->close();
    m_ds.xqcCaus->close();
    m_loadedCauId = QVariant();
}

} // namespace ccp::fees
