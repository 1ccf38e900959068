#include "EbsMDataSets.h"

namespace ccp::fees {

void TdmEbsDataSets::setupComponents() {}

} // namespace ccp::fees
