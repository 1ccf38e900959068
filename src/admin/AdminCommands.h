#pragma once
#include <QStringList>
#include <QTextStream>

namespace ccp::admin {

// Runs one ccp-admin command line (without the program name); returns the exit status.
int run(const QStringList &args, QTextStream &out, QTextStream &err);

// Extra command groups ("iban", ...) register here; each returns an exit status.
using CommandFn = int (*)(const QStringList &args, QTextStream &out, QTextStream &err);
void registerCommand(const QString &name, const QString &usage, CommandFn fn);

} // namespace ccp::admin
