#pragma once
#include <QSqlDatabase>

namespace ccp::test {

// The working context of a session as the program loads it (SYSDBA's parameters, decimal
// comma) in place of whatever the previous test left in the global values. False with a
// gtest failure when the parameters cannot be read.
bool loadWorkingContext(QSqlDatabase db);

} // namespace ccp::test
