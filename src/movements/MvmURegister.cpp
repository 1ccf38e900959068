#include "MvmURegister.h"

#include "TVeLaunchers.h"

namespace ccp::movements {

void registerWindows()
{
    // Each window unit adds its line here: registry.registerClass("TfmEbcMvm", ...).
    [[maybe_unused]] auto &registry = fw::TVeFormRegistry::instance();
}

} // namespace ccp::movements
