#pragma once
#include "ReportCatalog.h"

#include <QDialog>
#include <QMap>
#include <QSqlDatabase>
#include <functional>


namespace ccp::reports {

// Hooks of the program around a print: the check before it runs and where its preview goes.
struct ReportHost
{
    std::function<bool(int reportId)> check;
    std::function<void(QWidget *preview)> show;
    QString logoFile;
};

// Runs print `id`: choices dialog, then the preview. False when abandoned or refused.
bool runReport(QSqlDatabase db, int id, const ReportHost &host, QWidget *parent);

} // namespace ccp::reports
