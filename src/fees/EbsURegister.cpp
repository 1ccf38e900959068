#include "EbsURegister.h"

#include "EbsFCau.h"
#include "EbsFCca.h"
#include "EbsFModPagamento.h"
#include "EbsFTipologie.h"
#include "EbsMDataSets.h"
#include "TVeLaunchers.h"
#include "VeMessageDlg.h"

namespace ccp::fees {

namespace {
// Fees windows work on the one data sets module of the school-fees launchers.
TdmEbsDataSets *dataSets()
{
    TdmEbsDataSets *ds = TdmEbsDataSets::instance();
    if (!ds)
        fw::showError(QStringLiteral("Il modulo dati delle causali non è disponibile."));
    return ds;
}
} // namespace

void registerWindows()
{
    // Each window unit adds its line here: registry.registerClass("TfmEbsCau", ...).
    [[maybe_unused]] auto &registry = fw::TVeFormRegistry::instance();
    registry.registerClass(QStringLiteral("TfmEbsCau"), [](QWidget *parent) -> QWidget * {
        TdmEbsDataSets *ds = dataSets();
        return ds ? new TfmEbsCau(*ds, parent) : nullptr;
    });
    registry.registerClass(QStringLiteral("TfmEbsCca"), [](QWidget *parent) -> QWidget * {
        TdmEbsDataSets *ds = dataSets();
        return ds ? new TfmEbsCca(*ds, parent) : nullptr;
    });
    registry.registerClass(QStringLiteral("TfmEbsModPagamento"), [](QWidget *parent) -> QWidget * {
        TdmEbsDataSets *ds = dataSets();
        return ds ? new TfmEbsModPagamento(*ds, parent) : nullptr;
    });
    registry.registerClass(QStringLiteral("TfmEbsTipologie"), [](QWidget *parent) -> QWidget * {
        TdmEbsDataSets *ds = dataSets();
        return ds ? new TfmEbsTipologie(parent, ds->database()) : nullptr;
    });
}

} // namespace ccp::fees
