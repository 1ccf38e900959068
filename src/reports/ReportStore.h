#pragma once
#include "ReportTemplate.h"
#include "Result.h"

#include <QSqlDatabase>

namespace ccp::reports {

struct StoredTemplate
{
    int id = 0;
    QString title;
    QString xml;
};

// The templates shipped with the program (resources/reports/*.xml), by id.
Result<std::vector<StoredTemplate>> shippedTemplates();

struct TemplateInstall
{
    int written = 0;
    QList<int> kept;  // edited by the office, left as they are
};

// Writes the shipped templates into TYRpt_RptTemplate in one transaction, replacing older
// texts of the same ids, and registers the contextual prints they declare.
Result<TemplateInstall> installTemplates(QSqlDatabase db);
Result<TemplateInstall> installTemplates(QSqlDatabase db, const std::vector<StoredTemplate> &templates);

// Reads report `id` from the database, where the office may have changed it.
Result<std::shared_ptr<const Template>> loadTemplate(QSqlDatabase db, int id);

} // namespace ccp::reports
