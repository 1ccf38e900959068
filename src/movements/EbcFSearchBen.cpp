#include "EbcFSearchBen.h"
#include "EbcUWorkContext.h"

#include "TVeQueryCollection.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace ccp::movements {

TfmEbcSearchBen::TfmEbcSearchBen(QSqlDatabase db, int dwgId, bool isGroup, bool withInstitute, QWidget *parent)
    : TfmEbsSearchBen(db, parent), m_dwgId(dwgId), m_isGroup(isGroup), m_withInstitute(withInstitute)
{
    setObjectName(QStringLiteral("fmEbcSearchBen"));
    laIstituto = new QLabel(QStringLiteral("&Istituto"));
    cbIstituto = new QComboBox;
    cbIstituto->setObjectName(QStringLiteral("cbIstituto"));
    cbIstituto->setMinimumWidth(200);
    laIstituto->setBuddy(cbIstituto);
    topArea()->insertWidget(topArea()->count() - 1, laIstituto);
    topArea()->insertWidget(topArea()->count() - 1, cbIstituto);
    rebuildInstitutes();
    connect(cbIstituto, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_loading || index < 0)
            return;
        m_instDwg = cbIstituto->itemData(index).toInt();
        setParam(QStringLiteral("iDwgId"), m_instDwg);
        research();
    });
}

void TfmEbcSearchBen::yearChanged()
{
    // The list of institutes depends on the year (members of a group come and go).
    if (cbIstituto)
        rebuildInstitutes();
}

void TfmEbcSearchBen::rebuildInstitutes()
{
    // A list that cannot be read offers no institute to choose.
    const QList<work::Institute> list = work::instituteList(database(), m_dwgId, m_isGroup, schoolYear()).valueOr({});
    m_loading = true;
    cbIstituto->clear();
    for (const work::Institute &i : list)
        cbIstituto->addItem(i.description, i.dwgId);
    int index = cbIstituto->findData(m_instDwg);
    if (index < 0)
        index = cbIstituto->count() > 0 ? 0 : -1;
    cbIstituto->setCurrentIndex(index);
    m_instDwg = index >= 0 ? cbIstituto->itemData(index).toInt() : 0;
    m_loading = false;
    const bool shown = m_withInstitute && list.size() > 1;
    laIstituto->setVisible(shown);
    cbIstituto->setVisible(shown);
    setParam(QStringLiteral("iDwgId"), m_instDwg);
}

void TfmEbcSearchBen::SetInstitute(int dwgId)
{
    const int index = cbIstituto->findData(dwgId);
    cbIstituto->setCurrentIndex(index >= 0 ? index : (cbIstituto->count() > 0 ? 0 : -1));
    m_instDwg = cbIstituto->currentIndex() >= 0 ? cbIstituto->currentData().toInt() : 0;
    setParam(QStringLiteral("iDwgId"), m_instDwg);
    research();
}

} // namespace ccp::movements
