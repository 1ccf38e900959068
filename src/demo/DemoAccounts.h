#pragma once
#include "Result.h"

#include <QSqlDatabase>

namespace ccp::DemoData {

// Accounts for trying the accounts window and the year wizard: a bank account closed at the
// end of 2025, and a bank account whose financial years run from September to August (2025
// from 01/09/2024, 2026 following it), with movements in both years.
Status loadAccounts(QSqlDatabase db);

} // namespace ccp::DemoData
