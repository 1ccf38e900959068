#pragma once
#include "ReportCatalog.h"
#include "VeFRptMultiSelect.h"
#include "VeRptDataSet.h"

namespace ccp::reports {

// What the selection dialog of a print chose: the choices by the names `prepareReport` takes
// and the rows of the main data set left ticked.
struct ReportSelection
{
    QMap<QString, QString> choices;
    QString dataSet;
    ReportFilter filter;
    QString replacementSql;  // the main data set's text when the dialog chose other rows
    QVariantMap replacementParams;
};

// The main data set of print `id` with its dialog; the handlers write into `out`.
TVefrDBDataSet reportDataSet(int id, ReportSelection &out);

// The prepared print restricted to the chosen rows.
void applySelection(DataModule &data, const ReportSelection &s);

// The dialog, then the print's data. A cancelled dialog gives no report and no error.
Result<std::optional<PreparedReport>> selectAndPrepare(QSqlDatabase db, int id, QWidget *parent,
                                                       const ShowSelectForm &show = {});

} // namespace ccp::reports
