#pragma once

namespace ccp::admin {

// Adds "iban check" and "iban build" to ccp-admin.
void registerIbanCommand();

} // namespace ccp::admin
