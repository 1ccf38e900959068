#pragma once
#include "Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace ccp::reports {

// A template's place among the contextual prints, as its XML declares it:
//   <category application="14" name="Riepilogo">
//     <param name="iBanca" value="3" type="integer"/>   (string, integer, number, date)
//   </category>
struct CategoryDecl
{
    struct Param
    {
        QString name;
        QString value;
        QString type;
    };
    int application = 0;
    QString name;
    QList<Param> params;
};

Result<QList<CategoryDecl>> templateCategories(const QString &xml);

// Writes the category, report and parameter rows of report `reportId`, replacing the ones it
// had; a template that declares no category leaves its rows alone. Runs in the caller's
// transaction.
Status registerCategories(QSqlDatabase db, int reportId, const QList<CategoryDecl> &categories);

} // namespace ccp::reports
