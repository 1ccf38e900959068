#include "ReportStore.h"

#include "ReportRegistration.h"
#include "SqlQuery.h"

#include <QDir>
#include <QFile>

static void initReportResources()
{
    Q_INIT_RESOURCE(reports);
}

namespace ccp::reports {

Result<std::vector<StoredTemplate>> shippedTemplates()
{
    initReportResources();
    std::vector<StoredTemplate> out;
    const QDir dir(QStringLiteral(":/reports"));
    for (const QString &name : dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return Result<std::vector<StoredTemplate>>::failure(QStringLiteral("Modello %1 non leggibile.").arg(name));
        StoredTemplate st;
        st.xml = QString::fromUtf8(f.readAll());
        auto tpl = parseTemplate(st.xml);
        if (!tpl)
            return Result<std::vector<StoredTemplate>>::failure(QStringLiteral("Modello %1: %2").arg(name, tpl.error()));
        st.id = tpl.value()->id;
        st.title = tpl.value()->title;
        if (st.id <= 0)
            return Result<std::vector<StoredTemplate>>::failure(QStringLiteral("Modello %1 senza id.").arg(name));
        out.push_back(std::move(st));
    }
    return out;
}

Result<TemplateInstall> installTemplates(QSqlDatabase db)
{
    auto shipped = shippedTemplates();
    if (!shipped)
        return shipped.status();
    return installTemplates(db, shipped.value());
}

Result<TemplateInstall> installTemplates(QSqlDatabase db, const std::vector<StoredTemplate> &templates)
{
    TemplateInstall done;
    const Status s = runInTransaction(db, [&]() -> Status {
        done = {};
        SqlQuery q(db);
        if (auto p = q.prepare(QStringLiteral(
                "UPDATE OR INSERT INTO TYRpt_RptTemplate (iYRptId, sYRptDesc, bYRptTemplate, DDELETE) "
                "VALUES (:id, :title, :xml, NULL) MATCHING (iYRptId)")); !p)
            return p;
        for (const StoredTemplate &t : templates) {
            q.bind(QStringLiteral("id"), t.id).bind(QStringLiteral("title"), t.title).bind(QStringLiteral("xml"), t.xml);
            if (auto e = q.exec(); !e)
                return e;
            auto categories = templateCategories(t.xml);
            if (!categories)
                return Status::failure(QStringLiteral("Modello %1: %2").arg(t.id).arg(categories.error()));
            if (auto e = registerCategories(db, t.id, categories.value()); !e)
                return e;
            ++done.written;
        }
        return {};
    });
    if (!s)
        return Result<TemplateInstall>::failure(QStringLiteral("Modelli di stampa non caricati: %1").arg(s.error()));
    return done;
}

Result<std::shared_ptr<const Template>> loadTemplate(QSqlDatabase db, int id)
{
    using R = Result<std::shared_ptr<const Template>>;
    auto xml = SqlQuery::scalar(db, QStringLiteral(
        "SELECT bYRptTemplate FROM TYRpt_RptTemplate WHERE iYRptId = :id AND DDELETE IS NULL"), {{QStringLiteral("id"), id}});
    if (!xml)
        return xml.status();
    if (!xml.value().isValid() || xml.value().toString().trimmed().isEmpty())
        return R::failure(QStringLiteral("Il modello della stampa %1 non è nel database (eseguire \"ccp-admin upgrade\").").arg(id));
    auto tpl = parseTemplate(xml.value().toString());
    if (!tpl)
        return R::failure(QStringLiteral("Modello della stampa %1: %2").arg(id).arg(tpl.error()));
    return tpl;
}

} // namespace ccp::reports
