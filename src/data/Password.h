#pragma once
#include <QString>

namespace ccp {

// The server password of a command line, never left in the shell's history when avoidable:
// the option's value, else the environment variable CCP_DB_PASSWORD, else asked without echo
// when standard input is a terminal; empty when none of them gives one.
QString commandLinePassword(const QString &option, const QString &user);

inline constexpr char PasswordVariable[] = "CCP_DB_PASSWORD";

} // namespace ccp
