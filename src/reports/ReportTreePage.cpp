#include "ReportTreePage.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ccp::reports {

namespace {
QString &mainRoot()
{
    static QString root;
    return root;
}
} // namespace

void setMainDirectory(const QString &root) { mainRoot() = root; }

const QString &mainDirectory() { return mainRoot(); }

QString schoolLogoFile()
{
    if (mainRoot().isEmpty())
        return {};
    const QString file = QDir(mainRoot()).filePath(QStringLiteral("etc/logo.png"));
    return QFileInfo::exists(file) ? file : QString();
}

TfrReportTree::TfrReportTree(QSqlDatabase db, ReportHost host, QWidget *parent, const std::vector<ReportInfo> &reports)
    : QWidget(parent), m_db(std::move(db)), m_host(std::move(host))
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("tvReport"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    // The side bar is narrow: a shortened title is shown whole in its tooltip.
    m_tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tree->setIndentation(12);
    QMap<QString, QTreeWidgetItem *> tabs;
    for (const ReportInfo &r : reports) {
        QTreeWidgetItem *&tab = tabs[r.tab];
        if (!tab) {
            tab = new QTreeWidgetItem(m_tree, {r.tab});
            tab->setFlags(Qt::ItemIsEnabled);
        }
        auto *item = new QTreeWidgetItem(tab, {r.title});
        item->setData(0, Qt::UserRole, r.id);
        item->setToolTip(0, QStringLiteral("%1 (stampa %2)").arg(r.title).arg(r.id));
    }
    m_tree->expandAll();
    if (auto *first = m_tree->topLevelItem(0); first && first->childCount() > 0)
        m_tree->setCurrentItem(first->child(0));
    // Enter and double click both arrive as activation.
    connect(m_tree, &QTreeWidget::itemActivated, this, [this] { runCurrent(); });
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    setFocusProxy(m_tree);
}

bool TfrReportTree::removeNode(const QString &text)
{
    const QList<QTreeWidgetItem *> found = m_tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty())
        return false;
    delete found.first();
    return true;
}

bool TfrReportTree::runCurrent()
{
    const QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || !item->data(0, Qt::UserRole).isValid())
        return false;
    ReportHost host = m_host;
    if (host.logoFile.isEmpty())
        host.logoFile = schoolLogoFile();
    return runReport(m_db, item->data(0, Qt::UserRole).toInt(), host, window());
}

} // namespace ccp::reports
