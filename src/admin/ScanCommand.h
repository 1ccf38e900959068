#pragma once

namespace ccp::admin {

// Adds "scan": movements created from a file of bar-code readings, as the bar-code panel does.
void registerScanCommand();

} // namespace ccp::admin
