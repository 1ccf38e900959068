#include "EbsFSearchBen.h"

#include "EbcUMvm.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace ccp::movements {

TfmEbsSearchBen::TfmEbsSearchBen(QSqlDatabase db, QWidget *parent) : fw::TfmVeSearch(db, parent), m_db(db)
{
    setObjectName(QStringLiteral("fmEbsSearchBen"));
    laAnnoScol = new QLabel(QStringLiteral("&Anno scolastico"));
    cbAnnoScol = new QComboBox;
    cbAnnoScol->setObjectName(QStringLiteral("cbAnnoScol"));
    cbAnnoScol->setMinimumWidth(110);
    laAnnoScol->setBuddy(cbAnnoScol);
    topArea()->addWidget(laAnnoScol);
    topArea()->addWidget(cbAnnoScol);
    topArea()->addStretch(1);

    m_loading = true;
    SqlQuery q(db);
    if (auto s = q.exec(MvmSql::SchoolYearsWithClasses); !s)
        fw::showError(s.error());
    else
        while (q.next())
            cbAnnoScol->addItem(q.value(1).toString(), q.value(0).toInt());
    m_loading = false;
    SetSchoolYear(0);
    connect(cbAnnoScol, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_loading && index >= 0)
            SetSchoolYear(cbAnnoScol->itemData(index).toInt());
    });
}

void TfmEbsSearchBen::SetSchoolYear(int ansId)
{
    m_ansId = ansId ? ansId : fw::TVeGlobalValuesManager::instance().intValue(MvmKeys::AnsId);
    m_loading = true;
    cbAnnoScol->setCurrentIndex(cbAnnoScol->findData(m_ansId));
    m_loading = false;
    setParam(QStringLiteral("iAnsId"), m_ansId);
    yearChanged();
    research();
}

void TfmEbsSearchBen::research()
{
    if (!collection()->isOpen())
        return;
    collection()->close();
    openList();
}

} // namespace ccp::movements
