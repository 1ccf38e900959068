#include "EbsFModPagamento.h"

#include "EbsMDataSets.h"
#include "TVeDBCheckBox.h"
#include "TVeDBEdit.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QCloseEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace ccp::fees {

namespace {

class SiNoDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant &value, const QLocale &) const override { return siNo(value); }
};

} // namespace

QString siNo(const QVariant &flag)
{
    bool ok = false;
    const int n = flag.toString().trimmed().toInt(&ok);
    return (!ok || n == 0) ? QStringLiteral("NO") : QStringLiteral("SI");
}

TfrEbsModPagamento::TfrEbsModPagamento(fw::TVeQueryCollection *collection, QWidget *parent)
    : fw::TVeEditFrame(collection, parent)
{
    setObjectName(QStringLiteral("frModPagamento"));
    model()->setColumns({
        {QStringLiteral("sMpgDescS"), QStringLiteral("Codice"), 110, {}, {}},
        {QStringLiteral("sMpgDescL"), QStringLiteral("Descrizione"), 320, {}, {}},
        {QStringLiteral("LMPGRISC"), QStringLiteral("Riscossione"), 90, Qt::AlignLeft | Qt::AlignVCenter, {}},
        {QStringLiteral("LMPGPAG"), QStringLiteral("Pagamento"), 90, Qt::AlignLeft | Qt::AlignVCenter, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);
    auto *flags = new SiNoDelegate(grid());
    grid()->setItemDelegateForColumn(2, flags);
    grid()->setItemDelegateForColumn(3, flags);

    xdeCodice = new fw::TVeDBEdit;
    xdeCodice->setObjectName(QStringLiteral("xdeCodice"));
    xdeCodice->setUpperCase(true);
    xdeCodice->setMaxLength(20);
    addField(QStringLiteral("&Codice"), xdeCodice, QStringLiteral("sMpgDescS"));
    xdeDescrizione = new fw::TVeDBEdit;
    xdeDescrizione->setObjectName(QStringLiteral("xdeDescrizione"));
    xdeDescrizione->setMaxLength(100);
    addField(QStringLiteral("&Modalità pagamento"), xdeDescrizione, QStringLiteral("sMpgDescL"));
    xckRisc = new fw::TVeDBCheckBox(QStringLiteral("&Riscossione"));
    xckRisc->setObjectName(QStringLiteral("xckRisc"));
    addField(QString(), xckRisc, QStringLiteral("lMpgRisc"));
    xckPag = new fw::TVeDBCheckBox(QStringLiteral("&Pagamento"));
    xckPag->setObjectName(QStringLiteral("xckPag"));
    addField(QString(), xckPag, QStringLiteral("lMpgPag"));
}

TfmEbsModPagamento::TfmEbsModPagamento(TdmEbsDataSets &dm, QWidget *parent) : fw::TVeMdiForm(parent), m_dm(&dm)
{
    setObjectName(QStringLiteral("TfmEbsModPagamento"));
    setWindowTitle(QStringLiteral("Modalità di pagamento"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_frame = new TfrEbsModPagamento(m_dm->xqcModPagam, this);
    layout->addWidget(m_frame);
    if (auto s = m_dm->xqcModPagam->open(); !s)
        fw::showError(s.error());
    m_frame->updateActions();
}

TfmEbsModPagamento::~TfmEbsModPagamento()
{
    if (m_dm)
        m_dm->xqcModPagam->close();
}

void TfmEbsModPagamento::formShown() { m_frame->setFocus(); }

bool TfmEbsModPagamento::formCanClose() { return m_frame->canClose(); }

void TfmEbsModPagamento::formClosed() {}

} // namespace ccp::fees
