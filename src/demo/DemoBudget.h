#pragma once
#include "Result.h"

#include <QSqlDatabase>

namespace ccp::DemoData {

// Completes the demo budget: the remaining income aggregates with their items, sub-items of
// the expense items, and budget models of the working institute (one frozen) that use them.
// Runs after the budget scheme is in place.
Status loadBudget(QSqlDatabase db);

} // namespace ccp::DemoData
