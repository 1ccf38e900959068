#include "ReportLauncher.h"

#include "EbsMReport.h"
#include "ReportPreview.h"
#include "ReportSelection.h"
#include "ReportStore.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ccp::reports {

bool runReport(QSqlDatabase db, int id, const ReportHost &host, QWidget *parent)
{
    const ReportInfo *info = findReport(id);
    if (!info)
        return false;
    if (host.check && !host.check(id))
        return false;
    auto selected = selectAndPrepare(db, id, parent);
    if (!selected) {
        fw::showError(selected.error());
        return false;
    }
    if (!selected.value())
        return false;
    auto &prepared = *selected.value();
    auto tpl = loadTemplate(db, id);
    if (!tpl) {
        fw::showError(tpl.error());
        return false;
    }
    if (!host.logoFile.isEmpty()) {
        if (auto *sql = dynamic_cast<SqlDataModule *>(prepared.data.get()))
            sql->setImage(QStringLiteral("logo"), QImage(host.logoFile));
    }
    auto *preview = new TfmReportPreview;
    preview->setAttribute(Qt::WA_DeleteOnClose);
    if (host.show)
        host.show(preview);
    else
        preview->show();
    // A page wants the whole room of the window it lands in.
    if (preview->parentWidget())
        preview->parentWidget()->showMaximized();
    PdfInfo pdf = prepared.info;
    if (pdf.author.isEmpty())
        pdf.author = QStringLiteral("Segreteria");
    if (!preview->run(tpl.value(), std::move(prepared.data), pdf)) {
        preview->close();
        return false;
    }
    return true;
}

TfmReportTree::TfmReportTree(QSqlDatabase db, ReportHost host, QWidget *parent)
    : QDialog(parent), m_db(std::move(db)), m_host(std::move(host))
{
    setWindowTitle(QStringLiteral("Stampe"));
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderLabels({QStringLiteral("Stampa"), QStringLiteral("Numero")});
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    QMap<QString, QTreeWidgetItem *> tabs;
    for (const ReportInfo &r : reportCatalog()) {
        QTreeWidgetItem *&tab = tabs[r.tab];
        if (!tab) {
            tab = new QTreeWidgetItem(m_tree, {r.tab});
            tab->setFlags(Qt::ItemIsEnabled);
        }
        auto *item = new QTreeWidgetItem(tab, {r.title, QString::number(r.id)});
        item->setData(0, Qt::UserRole, r.id);
    }
    m_tree->expandAll();
    if (auto *first = m_tree->topLevelItem(0); first && first->childCount() > 0)
        m_tree->setCurrentItem(first->child(0));
    connect(m_tree, &QTreeWidget::itemActivated, this, [this] { runCurrent(); });
    auto *buttons = new QDialogButtonBox(this);
    auto *run = buttons->addButton(QStringLiteral("&Anteprima"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    connect(run, &QPushButton::clicked, this, [this] { runCurrent(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
    resize(520, 380);
}

void TfmReportTree::runCurrent()
{
    const QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || !item->data(0, Qt::UserRole).isValid())
        return;
    // The tree steps aside so the preview can be used while its pages are laid out.
    hide();
    const bool ran = runReport(m_db, item->data(0, Qt::UserRole).toInt(), m_host, parentWidget());
    done(ran ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace ccp::reports
