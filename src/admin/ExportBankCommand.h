#pragma once

#include "Result.h"

#include <QString>

namespace ccp::admin {

// Adds "export-bank" to ccp-admin.
void registerExportBankCommand();

} // namespace ccp::admin
