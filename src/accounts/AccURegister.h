#pragma once
#include <QSqlDatabase>

namespace ccp::accounts {

// Registers the accounts window and the year wizard for their launchers; `db` gives the
// program's connection when a window is made.
void registerWindows(QSqlDatabase (*db)());

} // namespace ccp::accounts
