#pragma once
#include "ReportCatalog.h"
#include "ReportLauncher.h"

#include <QSqlDatabase>
#include <QWidget>

class QTreeWidget;

namespace ccp::reports {

// The installation's main folder, set once at start; the school's logo is etc/logo.png in it.
void setMainDirectory(const QString &root);
const QString &mainDirectory();
// The logo file when the office has put one there, else empty.
QString schoolLogoFile();

// The program's prints by tab, as the side bar's "Stampe" page shows them; Enter or a double
// click runs the print through its choices into the preview.
class TfrReportTree : public QWidget
{
    Q_OBJECT
public:
    TfrReportTree(QSqlDatabase db, ReportHost host, QWidget *parent = nullptr,
                  const std::vector<ReportInfo> &reports = reportCatalog());
    QTreeWidget *tree() const { return m_tree; }
    // Takes away the first node, at any depth, whose text is `text`; false when there is none.
    bool removeNode(const QString &text);
    // Runs the print of the current node; false when it is a tab or the print did not run.
    bool runCurrent();

private:
    QSqlDatabase m_db;
    ReportHost m_host;
    QTreeWidget *m_tree = nullptr;
};

} // namespace ccp::reports
