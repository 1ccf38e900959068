#pragma once
#include "Connection.h"
#include "Result.h"

#include <QTextStream>

namespace ccp::admin {

// Adds "report": a print to PDF without windows, and the list of the prints.
void registerReportCommand();

// Loads the print templates shipped with the program into the database (init, upgrade).
Status installReportTemplates(const ConnectionSettings &settings, QTextStream &out);

} // namespace ccp::admin
