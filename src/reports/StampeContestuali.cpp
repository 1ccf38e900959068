#include "StampeContestuali.h"

#include "ReportLayout.h"
#include "ReportPreview.h"
#include "ReportStore.h"
#include "SqlQuery.h"
#include "VeMessageDlg.h"

#include <QDir>
#include <QRegularExpression>

namespace ccp::reports {

void TRptParams::add(const QString &name, const QVariant &value)
{
    m_items.push_back({name, value});
}

const TRptParam *TRptParams::find(const QString &name) const
{
    for (const TRptParam &p : m_items) {
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

QString TRptParams::text() const
{
    QString out = QStringLiteral("Lista parametri: (%1)").arg(count());
    for (const TRptParam &p : m_items)
        out += QStringLiteral("\n\rName: %1 Value: %2;").arg(p.Name, p.Value.toString());
    return out;
}

namespace {

// Stored values come back as text of their column's type; decimals lose their trailing zeros.
QString comparable(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date().toString(Qt::ISODate);
    QString s = v.toString().trimmed();
    static const QRegularExpression decimal(QStringLiteral("^[-+]?\\d+\\.\\d*$"));
    if (decimal.match(s).hasMatch()) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    if (s.startsWith(u'+'))
        s.remove(0, 1);
    return s;
}

} // namespace

bool sameParamValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return comparable(a) == comparable(b);
}

TReport::TReport(QSqlDatabase db, int stmcId, int rptId, int sccId, QString desc)
    : iStmcID(stmcId), iYRptID(rptId), iSccID(sccId), sYRptDesc(std::move(desc)), m_db(std::move(db))
{
}

TReport::TReport(int stmcId, int rptId, int sccId, QString desc, TRptParams params)
    : iStmcID(stmcId), iYRptID(rptId), iSccID(sccId), sYRptDesc(std::move(desc)), m_params(std::move(params))
{
}

const TRptParams &TReport::params()
{
    if (m_params)
        return *m_params;
    m_params.emplace();
    SqlQuery q(m_db);
    // One value column per type; the first one set is the value.
    if (!q.run(QStringLiteral("SELECT iStmpId, sStmpName, sStmpValue, iStmpValue, fStmpValue, dStmpValue"
                              " FROM TStmp_StampePar WHERE iStmcId = :ISTMCID ORDER BY iStmpId"),
               {{QStringLiteral("ISTMCID"), iStmcID}}))
        return *m_params;
    while (q.next()) {
        QVariant value;
        for (const char *col : {"sStmpValue", "iStmpValue", "fStmpValue", "dStmpValue"}) {
            if (!q.isNull(QString::fromLatin1(col))) {
                value = q.value(QString::fromLatin1(col));
                break;
            }
        }
        m_params->add(q.text(QStringLiteral("sStmpName")), value);
    }
    return *m_params;
}

Result<TReportList> categoryReports(QSqlDatabase db, int appId, const QString &category)
{
    SqlQuery q(db);
    if (auto s = q.run(QStringLiteral(
            "SELECT Scc.iSccId, Stmc.iStmcId, Stmc.iYRptId, Rpt.sYRptDesc FROM TScc_StampeCateg Scc"
            " INNER JOIN TStmc_StampeCont Stmc ON (Stmc.iSccId = Scc.iSccId)"
            " INNER JOIN TYRpt_RptTemplate Rpt ON (Rpt.iYRptId = Stmc.iYRptId)"
            " WHERE Scc.iYAppId = :iApplicationID AND Scc.sSccName = :sCategoryName AND Rpt.DDELETE IS NULL"
            " ORDER BY Rpt.sYRptDesc, Stmc.iStmcId"),
            {{QStringLiteral("iApplicationID"), appId}, {QStringLiteral("sCategoryName"), category}}); !s)
        return s;
    TReportList out;
    while (q.next()) {
        out.push_back(std::make_unique<TReport>(db, q.integer(QStringLiteral("iStmcId")), q.integer(QStringLiteral("iYRptId")),
                                                q.integer(QStringLiteral("iSccId")), q.text(QStringLiteral("sYRptDesc"))));
    }
    return out;
}

std::vector<TReport *> passingReports(TReportList &reports, const TRptParams &filter)
{
    std::vector<TReport *> out;
    for (auto &r : reports) {
        const TRptParams &own = r->params();
        bool pass = true;
        if (own.count() > 0 && filter.count() > 0) {
            for (int i = 0; i < filter.count() && pass; ++i) {
                const TRptParam &want = filter.item(i);
                const TRptParam *have = own.find(want.Name);
                if (have && sameParamValue(have->Value, want.Value))
                    continue;
                pass = filter.acceptMismatches;
            }
        }
        if (pass)
            out.push_back(r.get());
    }
    return out;
}

TReport *chooseReport(TReportList &reports, const TRptParams &filter, bool useFirstReport)
{
    const std::vector<TReport *> passing = passingReports(reports, filter);
    for (TReport *r : passing) {
        if (r->params().count() > 0)
            return r;
    }
    const bool someWithout = std::any_of(reports.begin(), reports.end(), [](auto &r) { return r->params().count() == 0; });
    if (useFirstReport && someWithout && !passing.empty())
        return passing.front();
    return nullptr;
}

TDbReportActivation::TDbReportActivation(QSqlDatabase db, ReportHost host) : m_db(std::move(db)), m_host(std::move(host)) {}

namespace {

void giveLogo(DataModule &data, const QString &logoFile)
{
    if (logoFile.isEmpty())
        return;
    if (auto *sql = dynamic_cast<SqlDataModule *>(&data))
        sql->setImage(QStringLiteral("logo"), QImage(logoFile));
}

} // namespace

Status TDbReportActivation::preview(int reportId, int imageIndex, std::unique_ptr<DataModule> data, const PdfInfo &info)
{
    Q_UNUSED(imageIndex)
    auto tpl = loadTemplate(m_db, reportId);
    if (!tpl)
        return tpl.status();
    giveLogo(*data, m_host.logoFile);
    auto *preview = new TfmReportPreview;
    preview->setAttribute(Qt::WA_DeleteOnClose);
    if (m_host.show)
        m_host.show(preview);
    else
        preview->show();
    if (!preview->run(tpl.value(), std::move(data), info)) {
        preview->close();
        return Status::failure(QString());  // the preview said why, or the user stopped it
    }
    return {};
}

Status TDbReportActivation::exportPdf(int reportId, int imageIndex, DataModule &data, const QString &file,
                                      const PdfInfo &info)
{
    Q_UNUSED(imageIndex)
    auto tpl = loadTemplate(m_db, reportId);
    if (!tpl)
        return tpl.status();
    giveLogo(data, m_host.logoFile);
    PageList pages;
    if (auto s = layoutReport(tpl.value(), data, pages); !s)
        return s;
    return writePdf(pages, file, info);
}

ContextualPrintState &contextualPrintState()
{
    static ContextualPrintState state;
    return state;
}

TStampeContestuali::TStampeContestuali(QSqlDatabase db, int applicationId, const QString &categoryName,
                                       const QString &mainDirectory)
    : m_db(std::move(db)), m_appId(applicationId), m_category(categoryName)
{
    const QString folder = QDir(mainDirectory).filePath(QStringLiteral("usr/mba"));
    QDir().mkpath(folder);
    m_exportPath = folder + QStringLiteral("/ExportStampa");
}

Status TStampeContestuali::Print()
{
    TRptParams filter;
    if (OnGetFilter)
        OnGetFilter(filter);
    auto list = categoryReports(m_db, m_appId, m_category);
    if (!list) {
        fw::showError(list.error());
        return list.status();
    }
    m_reports = std::move(list.value());
    TReport *chosen = chooseReport(m_reports, filter, useFirstReport);
    if (!chosen) {
        const QString text = QStringLiteral("Nessuna stampa associata");
        fw::showWarning(text);
        return Status::failure(text);
    }
    return printReport(*chosen);
}

Status TStampeContestuali::printReport(TReport &report)
{
    if (!AttivazioneReport) {
        const QString text = QStringLiteral("Proprieta \"AttivazioneReport\" non impostata. Impossibile avviare l'anteprima.");
        fw::showError(text);
        return Status::failure(text);
    }
    ContextualPrintState &state = contextualPrintState();
    if (state.printing) {
        const QString text = QStringLiteral("È già in corso una stampa: attendere la sua fine.");
        fw::showWarning(text);
        return Status::failure(text);
    }
    const int id = report.iYRptID;
    state.printing = true;
    state.reportId = id;
    if (!state.params)
        state.params = std::make_unique<TRptParams>();
    state.params->clear();
    if (OnSetParams)
        OnSetParams(*state.params);
    if (diagnostic)
        fw::showInfo(QStringLiteral("Report ID: %1\n\r").arg(id) + state.params->text());
    const int imageIndex = id >= 1000000 ? 5 : 4;

    if (!m_data)
        m_data = std::make_unique<SqlDataModule>(m_db);
    // The template reads the print's parameters as report variables.
    if (auto *sql = dynamic_cast<SqlDataModule *>(m_data.get())) {
        for (int i = 0; i < state.params->count(); ++i)
            sql->setVariable(state.params->item(i).Name, state.params->item(i).Value);
    }
    PdfInfo info;
    info.title = report.sYRptDesc;
    if (exportOptions) {
        info.title = exportTitle;
        info.author = exportAuthor;
        info.subject = exportSubject;
    }
    Status s;
    if (mode == ExportPdf)
        s = AttivazioneReport->exportPdf(id, imageIndex, *m_data, m_exportPath + QStringLiteral(".pdf"), info);
    else
        s = AttivazioneReport->preview(id, imageIndex, std::move(m_data), info);
    state.printing = false;
    state.reportId = -1;
    if (!s && !s.error().isEmpty())
        fw::showError(s.error());
    if (OnAfterPrint)
        OnAfterPrint(*this);
    return s;
}

} // namespace ccp::reports
