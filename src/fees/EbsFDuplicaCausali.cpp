#include "EbsFDuplicaCausali.h"

#include "EbsMDataSets.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ccp::fees {

namespace {
constexpr int IdRole = Qt::UserRole + 1;
}

TfmEbsDuplicaCausali::TfmEbsDuplicaCausali(TdmEbsDataSets &dataSets, int tipo, QWidget *parent)
    : fw::TVeDialog(Caption, parent), m_ds(dataSets), m_tipo(tipo)
{
    setObjectName(QStringLiteral("fmEbsDuplicaCausali"));
    auto *label = new QLabel(QStringLiteral("Anno Scolastico di &provenienza"));
    cbAnnoScol = new QComboBox;
    cbAnnoScol->setObjectName(QStringLiteral("cbAnnoScol"));
    cbAnnoScol->setMinimumWidth(140);
    label->setBuddy(cbAnnoScol);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(cbAnnoScol);
    row->addStretch(1);
    contentLayout()->addLayout(row);

    lvCausali = new QTreeWidget;
    lvCausali->setObjectName(QStringLiteral("lvCausali"));
    lvCausali->setColumnCount(2);
    lvCausali->setHeaderLabels({QStringLiteral("Causale"), QStringLiteral("IdCausale")});
    lvCausali->setRootIsDecorated(false);
    lvCausali->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvCausali->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvCausali->setAlternatingRowColors(true);
    lvCausali->setUniformRowHeights(true);
    lvCausali->setStyleSheet(QStringLiteral("QTreeView::item { border-bottom: 1px solid palette(midlight); }"));
    lvCausali->header()->setStretchLastSection(false);
    lvCausali->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvCausali->setColumnWidth(1, 80);
    contentLayout()->addWidget(lvCausali, 1);
    resize(560, 420);

    // Every school year, the working one selected first.
    SqlQuery q(m_ds.database());
    if (auto s = q.exec(CauSql::SchoolYears); !s) {
        fw::showError(s.error());
    } else {
        m_loading = true;
        while (q.next())
            cbAnnoScol->addItem(q.value(1).toString(), q.value(0).toInt());
        cbAnnoScol->setCurrentIndex(
            cbAnnoScol->findData(fw::TVeGlobalValuesManager::instance().intValue(CauKeys::AnsId)));
        m_loading = false;
    }
    connect(cbAnnoScol, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_loading && index >= 0)
            selectYear(cbAnnoScol->itemData(index).toInt());
    });
}

void TfmEbsDuplicaCausali::loadSourceYear()
{
    const int target = fw::TVeGlobalValuesManager::instance().intValue(CauKeys::CauAnsId);
    if (!selectYear(target - 1)) {
        m_loading = true;
        cbAnnoScol->setCurrentIndex(-1);
        m_loading = false;
        m_source = 0;
        lvCausali->clear();
    }
}

bool TfmEbsDuplicaCausali::selectYear(int ansId)
{
    const int index = cbAnnoScol->findData(ansId);
    if (index < 0)
        return false;
    m_loading = true;
    cbAnnoScol->setCurrentIndex(index);
    m_loading = false;
    m_source = ansId;
    fill();
    return true;
}

void TfmEbsDuplicaCausali::fill()
{
    lvCausali->clear();
    auto &values = fw::TVeGlobalValuesManager::instance();
    auto rows = DuplicationCandidates(m_ds.database(), m_source, values.intValue(CauKeys::CauAnsId),
                                      values.intValue(CauKeys::DwgId), m_tipo);
    if (!rows) {
        fw::showError(rows.error());
        return;
    }
    for (const DuplicationCandidate &c : rows.value()) {
        auto *item = new QTreeWidgetItem(lvCausali, {c.description, QString::number(c.cauId)});
        item->setData(0, IdRole, c.cauId);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void TfmEbsDuplicaCausali::setTicked(int cauId, bool ticked)
{
    for (int i = 0; i < lvCausali->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = lvCausali->topLevelItem(i);
        if (item->data(0, IdRole).toInt() == cauId)
            item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    }
}

QList<int> TfmEbsDuplicaCausali::listedIds() const
{
    QList<int> ids;
    for (int i = 0; i < lvCausali->topLevelItemCount(); ++i)
        ids << lvCausali->topLevelItem(i)->data(0, IdRole).toInt();
    return ids;
}

QList<int> TfmEbsDuplicaCausali::tickedIds() const
{
    QList<int> ids;
    for (int i = 0; i < lvCausali->topLevelItemCount(); ++i)
        if (lvCausali->topLevelItem(i)->checkState(0) == Qt::Checked)
            ids << lvCausali->topLevelItem(i)->data(0, IdRole).toInt();
    return ids;
}

DuplicationOutcome TfmEbsDuplicaCausali::confirm()
{
    const QList<int> ids = tickedIds();
    if (ids.isEmpty())
        return {};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DuplicationOutcome out = DuplicateCausali(
        m_ds.database(), fw::TVeGlobalValuesManager::instance().intValue(CauKeys::CauAnsId), ids);
    QApplication::restoreOverrideCursor();
    // Also after a failure the list shows what was copied.
    if (m_ds.xqcCaus->isOpen())
        m_ds.xqcCaus->refresh();
    if (!out.ok()) {
        QString name;
        for (int i = 0; i < lvCausali->topLevelItemCount(); ++i)
            if (lvCausali->topLevelItem(i)->data(0, IdRole).toInt() == out.failedCauId)
                name = lvCausali->topLevelItem(i)->text(0);
        fw::showError(CauMessages::duplicationFailed(name, out.failedCauId, out.copied, out.error));
    }
    return out;
}

bool TfmEbsDuplicaCausali::validate()
{
    confirm();
    return true;
}

} // namespace ccp::fees
