#pragma once
#include "ReportData.h"
#include "ReportLauncher.h"
#include "ReportRender.h"

#include <QSqlDatabase>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ccp::reports {

struct TRptParam
{
    QString Name;
    QVariant Value;
};

// Named values that pick a report of a category (filter) or that a report is printed with.
class TRptParams
{
public:
    void add(const QString &name, const QVariant &value);
    int count() const { return int(m_items.size()); }
    // -1 when there is no list at all.
    static int count(const TRptParams *params) { return params ? params->count() : -1; }
    const TRptParam &item(int index) const { return m_items.at(size_t(index)); }
    // First parameter of that name, whatever its case; nullptr when absent.
    const TRptParam *find(const QString &name) const;
    void clear() { m_items.clear(); }
    QString text() const;

    bool acceptMismatches = false;

private:
    std::vector<TRptParam> m_items;
};

// Equal parameter values: numbers by their digits ("1.5000" is 1.5), dates as days, texts as typed.
bool sameParamValue(const QVariant &a, const QVariant &b);

// One report of a category, with the parameters stored for it (read on first use).
class TReport
{
public:
    TReport(QSqlDatabase db, int stmcId, int rptId, int sccId, QString desc);
    // A report whose parameters are already known.
    TReport(int stmcId, int rptId, int sccId, QString desc, TRptParams params);
    int iStmcID = 0;
    int iYRptID = 0;
    int iSccID = 0;
    QString sYRptDesc;
    const TRptParams &params();

private:
    QSqlDatabase m_db;
    std::optional<TRptParams> m_params;
};

using TReportList = std::vector<std::unique_ptr<TReport>>;

// The reports of category `category` of application `appId`, by description.
Result<TReportList> categoryReports(QSqlDatabase db, int appId, const QString &category);

// The reports that pass `filter`, in list order: one without parameters always passes, an
// empty filter lets all pass; otherwise each filter parameter must be present with the same
// value unless the filter accepts mismatches.
std::vector<TReport *> passingReports(TReportList &reports, const TRptParams &filter);
// The report to print among the passing ones; nullptr when none fits.
TReport *chooseReport(TReportList &reports, const TRptParams &filter, bool useFirstReport);

// What previews or exports a report id on a data module that already holds the data sets the
// template names. `imageIndex` is the picture the report is started with.
class TReportActivation
{
public:
    virtual ~TReportActivation() = default;
    virtual Status preview(int reportId, int imageIndex, std::unique_ptr<DataModule> data, const PdfInfo &info) = 0;
    virtual Status exportPdf(int reportId, int imageIndex, DataModule &data, const QString &file,
                             const PdfInfo &info) = 0;
};

// The program's activation: templates from the database, the school's logo as image "logo",
// the preview placed by the host.
class TDbReportActivation : public TReportActivation
{
public:
    TDbReportActivation(QSqlDatabase db, ReportHost host);
    Status preview(int reportId, int imageIndex, std::unique_ptr<DataModule> data, const PdfInfo &info) override;
    Status exportPdf(int reportId, int imageIndex, DataModule &data, const QString &file, const PdfInfo &info) override;

private:
    QSqlDatabase m_db;
    ReportHost m_host;
};

// Printing state shared by the contextual prints: at most one runs at a time.
struct ContextualPrintState
{
    bool printing = false;
    int reportId = -1;
    std::unique_ptr<TRptParams> params;  // cleared, not recreated, for every print
};
ContextualPrintState &contextualPrintState();

// The print that belongs to a category (the bank export's "Riepilogo" and "Brogliaccio"):
// picks the category's report by the filter and previews it or exports it to PDF.
class TStampeContestuali
{
public:
    enum Mode { Preview = 1, ExportPdf = 2 };

    // Creates <mainDirectory>/usr/mba, where exported prints go.
    TStampeContestuali(QSqlDatabase db, int applicationId, const QString &categoryName, const QString &mainDirectory);

    TReportActivation *AttivazioneReport = nullptr;  // not owned
    std::function<void(TRptParams &)> OnSetParams;
    std::function<void(TRptParams &)> OnGetFilter;
    std::function<void(TStampeContestuali &)> OnAfterPrint;
    bool diagnostic = false;
    bool useFirstReport = false;
    int mode = Preview;
    bool exportOptions = false;  // title, author and subject below replace the template's
    QString exportTitle;
    QString exportAuthor;
    QString exportSubject;

    // The data sets the category's templates name, with their rows; consumed by the print.
    void setDataModule(std::unique_ptr<DataModule> data) { m_data = std::move(data); }
    const QString &exportPath() const { return m_exportPath; }  // without ".pdf"
    const TReportList &reports() const { return m_reports; }

    // Finds and prints the report; every refusal and failure is shown before it returns.
    Status Print();

private:
    Status printReport(TReport &report);

    QSqlDatabase m_db;
    int m_appId = 0;
    QString m_category;
    QString m_exportPath;
    TReportList m_reports;
    std::unique_ptr<DataModule> m_data;
};

} // namespace ccp::reports
