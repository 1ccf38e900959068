#pragma once
#include <QString>

namespace ccp::budget {

// Registers the aggregates and items windows with the framework's window registry; they work
// on the named database connection.
void registerWindows(const QString &connectionName);

// Whether a budget list may open now (kind 1 aggregates, kind 2 items): the items need the
// write right, then the opening dialog chooses the flow and total type (Cancel: no window).
bool canOpen(int kind);

} // namespace ccp::budget
