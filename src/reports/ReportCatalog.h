#pragma once
#include "ReportData.h"
#include "ReportRender.h"

#include <QMap>
#include <QSqlDatabase>
#include <memory>

namespace ccp::reports {

// Reports of the program: application 14, ids from 14001. 14003 (register of the postal
// account) runs only on a postal working account and 14010 (cash receipts) only on a cash one.
struct ReportInfo
{
    int id = 0;
    QString tab;
    QString title;
    QStringList params;  // named as the report's selection dialog names its choices
};

const std::vector<ReportInfo> &reportCatalog();
const ReportInfo *findReport(int id);

// A report ready to lay out: its data and the PDF's describing texts.
struct PreparedReport
{
    std::unique_ptr<DataModule> data;
    PdfInfo info;
};

// Turns the choices (by the dialog's names; a choice not given takes the dialog's default
// from the working context) into the report's data. A choice without default is reported missing.
Result<PreparedReport> prepareReport(QSqlDatabase db, int id, const QMap<QString, QString> &choices);

// Lays report `id` out from its template in the database and writes it to `file`.
Status reportToPdf(QSqlDatabase db, int id, const QMap<QString, QString> &choices, const QString &file,
                   const QImage &logo = {});

// Writes the main data of report `id` to a spreadsheet.
Status reportToXlsx(QSqlDatabase db, int id, const QMap<QString, QString> &choices, const QString &file);

// Choice texts: "sì"/"no" and the like; nullopt when unreadable.
std::optional<bool> readYesNo(const QString &text);

} // namespace ccp::reports
