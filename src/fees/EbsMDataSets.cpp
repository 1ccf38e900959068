#include "EbsMDataSets.h"

namespace ccp::fees {

TdmEbsDataSets::TdmEbsDataSets(QSqlDatabase db, QObject *parent)
    : QObject(parent), m_db(std::move(db))
{
    xqcCaus = new fw::TVeQueryCollection(m_db, this);
    xqcCauCca = new fw::TVeQueryCollection(m_db, this);
    qquCompXCau = new fw::TVeQueryCollection(m_db, this);
    xqcCompCaus = new fw::TVeQueryCollection(m_db, this);
    xqcModPagam = new fw::TVeQueryCollection(m_db, this);
    xqcCaus->setObjectName(QStringLiteral("xqcCaus"));
    xqcCauCca->setObjectName(QStringLiteral("xqcCauCca"));
    qquCompXCau->setObjectName(QStringLiteral("qquCompXCau"));
    xqcCompCaus->setObjectName(QStringLiteral("xqcCompCaus"));
    xqcModPagam->setObjectName(QStringLiteral("xqcModPagam"));
    setupCausali();
    setupComponents();
    if (!s_instance)
        s_instance = this;
}

TdmEbsDataSets::~TdmEbsDataSets()
{
    if (s_instance == this)
        s_instance = nullptr;
}

} // namespace ccp::fees
