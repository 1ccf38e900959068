#pragma once
#include "TVeQueryCollection.h"

#include <QObject>
#include <QSqlDatabase>

namespace ccp::fees {

// The school-fees data sets: causali, their links to components, the components of a
// causale, the components and the payment methods. Created once by the school-fees launcher
// module and freed with it; every fees window works on these collections.
class TdmEbsDataSets : public QObject
{
    Q_OBJECT
public:
    explicit TdmEbsDataSets(QSqlDatabase db, QObject *parent = nullptr);
    ~TdmEbsDataSets() override;

    QSqlDatabase database() const { return m_db; }
    // The one instance, set by the school-fees launcher module that owns it (null before).
    static TdmEbsDataSets *instance() { return s_instance; }

    fw::TVeQueryCollection *xqcCaus;      // causali of the causali school year
    fw::TVeQueryCollection *xqcCauCca;    // links causale -> component
    fw::TVeQueryCollection *qquCompXCau;  // components of the current causale (read only)
    fw::TVeQueryCollection *xqcCompCaus;  // components
    fw::TVeQueryCollection *xqcModPagam;  // payment methods

    // Kept by the causali window for the hooks of its sets: the selected tab (lCauTipo of
    // new causali) and the institute of the component last chosen for a link, which the
    // link insert gives to its causale.
    int causaliTipo = 0;
    QVariant chosenComponentDwg;

private:
    // Each set is configured in the unit of the windows that own its rules.
    void setupCausali();      // xqcCaus, xqcCauCca, qquCompXCau   (EbsMDataSetsCau.cpp)
    void setupComponents();   // xqcCompCaus, xqcModPagam          (EbsMDataSetsCca.cpp)

    QSqlDatabase m_db;
    static inline TdmEbsDataSets *s_instance = nullptr;
};

} // namespace ccp::fees
