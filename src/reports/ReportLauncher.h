#pragma once
#include "ReportCatalog.h"

#include <QDialog>
#include <QMap>
#include <QSqlDatabase>
#include <functional>

class QTreeWidget;

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

// The tree of the program's prints by tab; Enter or a double click runs the print.
class TfmReportTree : public QDialog
{
    Q_OBJECT
public:
    TfmReportTree(QSqlDatabase db, ReportHost host, QWidget *parent = nullptr);
    QTreeWidget *tree() const { return m_tree; }

private:
    void runCurrent();
    QSqlDatabase m_db;
    ReportHost m_host;
    QTreeWidget *m_tree = nullptr;
};

} // namespace ccp::reports
