#include "EbsFCca.h"

#include "EbcRCca.h"
#include "EbsMDataSets.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QCloseEvent>
#include <QSqlDatabase>
#include <QTabBar>
#include <QVBoxLayout>

namespace ccp::fees {

TfmEbsCca::TfmEbsCca(TdmEbsDataSets &dm, QWidget *parent) : fw::TVeMdiForm(parent), m_dm(&dm)
{
    setObjectName(QStringLiteral("TfmEbsCca"));
    setWindowTitle(QStringLiteral("Componenti di causali"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tcMain"));
    m_tabs->setDocumentMode(true);
    m_tabs->setExpanding(false);
    m_tabs->addTab(QStringLiteral("Componenti di &entrata"));
    m_tabs->addTab(QStringLiteral("Componenti di &uscita"));
    layout->addWidget(m_tabs);
    m_frame = new TfrEbcCca(m_dm->xqcCompCaus, this);
    layout->addWidget(m_frame, 1);
    m_frame->showPage(fw::TVeEditFrame::ListPage);
    m_frame->setFeesDefault(fw::GetValues(QStringLiteral("EBCP_CcaRette")).toInt() != 0);
    m_frame->setTipo(0);
    applyTabLayout();
    connect(m_tabs, &QTabBar::currentChanged, this, &TfmEbsCca::onTabChanged);
}

TfmEbsCca::~TfmEbsCca()
{
    if (wasShown() && m_dm)
        m_dm->xqcCompCaus->close();
}

int TfmEbsCca::tipo() const { return m_tipo; }

void TfmEbsCca::setShowRette(bool on) { m_frame->setFeesDefault(on); }

void TfmEbsCca::formShown()
{
    auto *c = m_dm->xqcCompCaus;
    c->close();
    c->setParam(QStringLiteral("iAnsId"), fw::TVeGlobalValuesManager::instance().intValue(QStringLiteral("EBSP_CauAnsId")));
    c->setParam(QStringLiteral("ShowAll"), 1);
    c->setParam(QStringLiteral("lCcaTipo"), m_tipo);
    if (auto s = c->open(); !s)
        fw::showError(s.error());
    m_frame->updateActions();
    m_frame->setFocus();
}

bool TfmEbsCca::formCanClose() { return m_frame->canClose(); }

void TfmEbsCca::formClosed() { m_dm->xqcCompCaus->close(); }

void TfmEbsCca::onTabChanged(int index)
{
    if (m_undoing)
        return;
    if (m_frame->mode() != 0) {
        // The row being edited belongs to the tab it was started on.
        m_undoing = true;
        m_tabs->setCurrentIndex(m_tipo);
        m_undoing = false;
    } else {
        m_tipo = index == 1 ? 1 : 0;
        // The aggregates of the new flow first: the reopened list shows its rows through them.
        m_frame->setTipo(m_tipo);
        auto *c = m_dm->xqcCompCaus;
        c->setParam(QStringLiteral("lCcaTipo"), m_tipo);
        // Another list: it starts from its first row.
        if (c->isOpen()) {
            if (auto s = c->open(); !s)
                fw::showError(s.error());
        }
    }
    applyTabLayout();
}

void TfmEbsCca::applyTabLayout() { m_frame->setIncomeLayout(m_tipo == 0); }

} // namespace ccp::fees
