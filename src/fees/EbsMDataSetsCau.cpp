#include "EbsMDataSets.h"

namespace ccp::fees {

void TdmEbsDataSets::setupCausali() {}

} // namespace ccp::fees
