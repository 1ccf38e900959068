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
#include <QLineEdit>
#include <QPushButton>
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

} // namespace ccp::reports
