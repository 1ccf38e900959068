#pragma once
#include <QString>

namespace ccp::directdebit {

// Registers the direct-debit windows with the framework's window registry (once, at start);
// `mainDirectory` is the installation's main folder (saved filters go under usr/ebc/filter).
void registerWindows(const QString &mainDirectory);

} // namespace ccp::directdebit
