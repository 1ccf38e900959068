#include "MvmURegister.h"

#include "EbcFMvm.h"
#include "EbcMMvm.h"
#include "TVeLaunchers.h"
#include "VeMessageDlg.h"

namespace ccp::movements {

void registerWindows()
{
    auto &registry = fw::TVeFormRegistry::instance();
    registry.registerClass(QStringLiteral("TfmEbcMvm"), [](QWidget *parent) -> QWidget * {
        TdmEbcMvm *store = TdmEbcMvm::instance();
        if (!store) {
            fw::showError(QStringLiteral("Il modulo dati dei movimenti non è disponibile."));
            return nullptr;
        }
        return new TfmEbcMvm(*store, parent);
    });
}

} // namespace ccp::movements
