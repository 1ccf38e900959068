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

// Writes the shipped templates into TYRpt_RptTemplate in one transaction, replacing older
// texts of the same ids; returns how many were written.
Result<int> installTemplates(QSqlDatabase db);

// Reads report `id` from the database, where the office may have changed it.
Result<std::shared_ptr<const Template>> loadTemplate(QSqlDatabase db, int id);

} // namespace ccp::reports
