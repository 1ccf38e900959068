#include "ReportStore.h"

#include "ReportRegistration.h"
#include "SqlQuery.h"

#include <QCryptographicHash>
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

QString shipHash(const QString &xml)
{
    return QString::fromLatin1(QCryptographicHash::hash(xml.toUtf8(), QCryptographicHash::Sha256).toHex());
}

Result<TemplateInstall> installTemplates(QSqlDatabase db, const std::vector<StoredTemplate> &templates)
{
    TemplateInstall done;
    const Status s = runInTransaction(db, [&]() -> Status {
        done = {};
        SqlQuery read(db);
        if (auto p = read.prepare(QStringLiteral(
                "SELECT bYRptTemplate, sYRptShipHash FROM TYRpt_RptTemplate WHERE iYRptId = :id")); !p)
            return p;
        SqlQuery write(db);
        if (auto p = write.prepare(QStringLiteral(
                "UPDATE OR INSERT INTO TYRpt_RptTemplate (iYRptId, sYRptDesc, bYRptTemplate, sYRptShipHash, DDELETE) "
                "VALUES (:id, :title, :xml, :hash, NULL) MATCHING (iYRptId)")); !p)
            return p;
        for (const StoredTemplate &t : templates) {
            read.bind(QStringLiteral("id"), t.id);
            if (auto e = read.exec(); !e)
                return e;
            QString xml = t.xml;
            // The office's own version differs from what was shipped last: it stays, unless it
            // no longer reads as a template. A row without fingerprint comes from before they
            // were kept and is replaced.
            const bool found = read.next();
            const QString current = found ? read.text(QStringLiteral("bYRptTemplate")) : QString();
            const bool edited = found && !read.isNull(QStringLiteral("sYRptShipHash"))
                && shipHash(current) != read.text(QStringLiteral("sYRptShipHash")) && current != t.xml;
            if (edited && parseTemplate(current) && templateCategories(current)) {
                xml = current;
                done.kept << t.id;
            } else {
                if (edited)
                    done.repaired << t.id;
                write.bind(QStringLiteral("id"), t.id).bind(QStringLiteral("title"), t.title).bind(QStringLiteral("xml"), t.xml)
                    .bind(QStringLiteral("hash"), shipHash(t.xml));
                if (auto e = write.exec(); !e)
                    return e;
                ++done.written;
            }
            read.finish();
            auto categories = templateCategories(xml);
            if (!categories)
                return Status::failure(QStringLiteral("Modello %1: %2").arg(t.id).arg(categories.error()));
            if (auto e = registerCategories(db, t.id, categories.value()); !e)
                return e;
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
