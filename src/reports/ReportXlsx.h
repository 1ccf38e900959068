#pragma once
#include "ReportData.h"
#include "ReportTemplate.h"

namespace ccp::reports {

// The rows of a report's main data set (its first section), as a spreadsheet.
Result<DataTable> mainData(const Template &tpl, DataModule &data);

// Writes a table to an .xlsx file: amounts ("f" columns) as numbers with two decimals, dates as
// dates, integers as numbers, the rest as text; the first row holds the column names.
Status writeXlsx(const DataTable &table, const QString &file, const QString &sheet);

} // namespace ccp::reports
