#include "EbcFCcp.h"

#include "EbcFInitAnf.h"
#include "EbcFUpdateAnno.h"
#include "EbcMCcp.h"
#include "EbcRCassa.h"
#include "EbcRSprIst.h"
#include "EbcUWorkContext.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QSplitter>
#include <QVBoxLayout>

namespace ccp::accounts {

namespace {
QString S(const char *s) { return QString::fromUtf8(s); }
} // namespace

TfmEbcCcp::TfmEbcCcp(QSqlDatabase db, QWidget *parent) : fw::TVeMdiForm(parent), m_dm(std::make_unique<TdmEbcCcp>(db))
{
    setObjectName(S("fmEbcCcp"));
    setWindowTitle(Caption);
    frSprIst = new TfrEbcSprIst(m_dm->xqcSprIst, this);
    frCassa = new TfrEbcCassa(m_dm->xqcCai, this);
    frTcc = new TfrEbcTcc(m_dm->xqcTcc, this);
    auto *bottom = new QSplitter(Qt::Horizontal);
    bottom->addWidget(frCassa);
    bottom->addWidget(frTcc);
    bottom->setStretchFactor(0, 3);
    bottom->setStretchFactor(1, 2);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(frSprIst);
    split->addWidget(bottom);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);

    frSprIst->OnAccountChanged = [this](int id) {
        if (!m_opening)
            openBalances(id);
    };
    connect(m_dm->xqcCai, &fw::TVeQueryCollection::currentChanged, this, [this]() {
        if (!m_positioning)
            openComposition();
    });
    connect(frCassa->xacUpdateAnno, &QAction::triggered, this, &TfmEbcCcp::updateYearDates);
    connect(frTcc->acModificaSaldo, &QAction::triggered, this, &TfmEbcCcp::modifyOpening);
}

TfmEbcCcp::~TfmEbcCcp() = default;

bool TfmEbcCcp::openLists()
{
    fw::TVeQueryCollection *c = m_dm->xqcSprIst;
    c->close();
    c->setParam(S("iDwgId"), fw::TVeGlobalValuesManager::instance().intValue(S("VEUP_DwgId")));
    m_balancesOf = -1;
    // The balances are read once, for the account the list ends up on.
    m_opening = true;
    const Status s = c->open();
    const int working = fw::TVeGlobalValuesManager::instance().intValue(S("EBCP_SprIstId"));
    if (s && !c->isEmpty() && working != 0)
        c->locate(working);
    m_opening = false;
    if (!s) {
        fw::showError(s.error());
        return false;
    }
    openBalances(c->currentIndex() >= 0 ? c->currentKey().toInt() : 0);
    frSprIst->updateActions();
    return true;
}

void TfmEbcCcp::openBalances(int sprIstId)
{
    if (sprIstId == m_balancesOf && m_dm->xqcCai->isOpen())
        return;
    m_balancesOf = sprIstId;
    fw::TVeQueryCollection *cai = m_dm->xqcCai;
    cai->close();
    cai->setParam(S("iSprIstId"), sprIstId);
    // The composition is read once, for the row the list ends up on.
    m_positioning = true;
    if (auto s = cai->open(); !s) {
        m_positioning = false;
        fw::showError(s.error());
        return;
    }
    const QVariant year = work::financialYearValue(
        cai->database(), fw::TVeGlobalValuesManager::instance().intValue(S("EBCP_AnfId")));
    if (year.isValid() && !year.isNull()) {
        for (int row = 0; row < cai->count() || cai->canFetchMore(); ++row) {
            if (row >= cai->count() && cai->fetchMore() == 0)
                break;
            if (cai->value(row, S("iCaiEsercizioFin")).toInt() == year.toInt()) {
                cai->setCurrentIndex(row);
                break;
            }
        }
    }
    m_positioning = false;
    openComposition();
    frCassa->updateActions();
}

void TfmEbcCcp::openComposition()
{
    fw::TVeQueryCollection *cai = m_dm->xqcCai;
    fw::TVeQueryCollection *tcc = m_dm->xqcTcc;
    tcc->close();
    const int row = cai->currentIndex();
    const int year = row >= 0 ? cai->value(row, S("iCaiEsercizioFin")).toInt() : 0;
    tcc->setParam(S("iSprIstId"), row >= 0 ? cai->value(row, S("iSprIstId")) : QVariant(0));
    tcc->setParam(S("icaieserciziofin"), year);
    // The year's own last day: with dates of its own 31 December may belong to another year.
    tcc->setParam(S("dDataMax"), year != 0 ? cai->value(row, S("dFineAnno")).toDate() : QDate());
    if (auto s = tcc->open(); !s)
        fw::showError(s.error());
    frTcc->acModificaSaldo->setEnabled(row >= 0);
}

void TfmEbcCcp::refreshBalances()
{
    const QVariant key = m_dm->xqcCai->currentKey();
    m_positioning = true;
    const Status s = m_dm->xqcCai->refreshTo(key);
    m_positioning = false;
    if (!s)
        fw::showError(s.error());
    openComposition();
}

int TfmEbcCcp::execDialog(QDialog &d)
{
    if (BeforeDialog)
        BeforeDialog(d);
    return d.exec();
}

void TfmEbcCcp::updateYearDates()
{
    fw::TVeQueryCollection *cai = m_dm->xqcCai;
    const int row = cai->currentIndex();
    if (row < 0)
        return;
    TfmEbcUpdateAnno d(cai->database(), cai->keyOf(row).toInt(), cai->value(row, S("iCaiEsercizioFin")).toInt(),
                       cai->value(row, S("iSprIstId")).toInt(), cai->value(row, S("dInizioAnno")).toDate(),
                       cai->value(row, S("dFineAnno")).toDate(), this);
    execDialog(d);
    refreshBalances();
}

void TfmEbcCcp::modifyOpening()
{
    fw::TVeQueryCollection *cai = m_dm->xqcCai;
    const int row = cai->currentIndex();
    if (row < 0)
        return;
    // The wizard reads and writes the account selected here, not the working one.
    TfmEbcInitAnf w(cai->database(), cai->value(row, S("iSprIstId")).toInt(),
                    fw::TVeGlobalValuesManager::instance().intValue(S("VEUP_AnsId")), this);
    w.setModifyMode(cai->value(row, S("iCaiEsercizioFin")).toInt(), cai->keyOf(row).toInt());
    execDialog(w);
    refreshBalances();
}

void TfmEbcCcp::formShown() { openLists(); }

bool TfmEbcCcp::formCanClose() { return frSprIst->canClose(); }

void TfmEbcCcp::formClosed()
{
    m_dm->xqcTcc->close();
    m_dm->xqcCai->close();
    m_dm->xqcSprIst->close();
}

} // namespace ccp::accounts
