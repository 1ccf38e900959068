#include "EbsURegister.h"

#include "TVeLaunchers.h"

namespace ccp::fees {

void registerWindows()
{
    // Each window unit adds its line here: registry.registerClass("TfmEbsCau", ...).
    [[maybe_unused]] auto &registry = fw::TVeFormRegistry::instance();
}

} // namespace ccp::fees
