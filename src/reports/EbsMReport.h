#pragma once
#include "ReportData.h"

#include <QSqlDatabase>
#include <memory>

namespace ccp::reports {

// Select texts the selection dialogs and the report modules share.
namespace RptSql {
// Pupils of a school year for a causale: first situation of each pupil of the year, class
// (LIKE :iClsId, "%" for all) and institute; "**MY_FILTER**" and the report-filter marker inside.
QString pupils(bool newEnrolled);
// "**MY_FILTER**" filled: attending pupils only, or everyone.
QString withMyFilter(const QString &sql, bool onlyAttending);
// The report-filter marker replaced by "AND (condition)"; an empty condition leaves it as it is.
QString withReportFilter(const QString &sql, const QString &condition);
} // namespace RptSql

// Choices of the pupils-for-a-causale dialog, as the notices need them.
struct NoticeChoice
{
    int cauId = 0;
    int ansId = 0;
    int dwgId = 0;
    QString clsId = QStringLiteral("%");
    bool onlyAttending = false;
    bool newEnrolled = false;
    bool barCodes = false;
    bool erario = false;
    QString accountNumber;
    QList<int> sitIds;  // ticked pupils; empty: all
};

// Data of the school-fee prints: components of a year, causali with their components, and
// the per-pupil payment notices of a causale.
class TdmEbsReport
{
public:
    explicit TdmEbsReport(QSqlDatabase db) : m_db(std::move(db)) {}

    // Flags handed to the pupils dialog, fixed when the module is made.
    static constexpr bool AllCausali = true;
    static constexpr bool ShowNewEnrolled = true;
    static constexpr bool ShowErario = false;

    Result<std::unique_ptr<SqlDataModule>> componentsOfYear(int ansId, bool allComponents = false);
    Result<std::unique_ptr<SqlDataModule>> causali(int ansId, bool income);
    Result<std::unique_ptr<SqlDataModule>> notices(const NoticeChoice &choice);

    // Institute whose offices head every print.
    int dwgId = 0;
    // The report variables of the last print.
    QString schoolYear;
    bool barCode = false;
    bool erario = false;
    QString accountNumber;

    static const QString CompCauSql;
    static const QString CauSql;
    static const QString CompXCauSql;
    static const QString CauBollettinoSql;
    static QString addressSql(int kind);  // 1 domicile, 2 residence
    static const QString DatiScuolaSql;

private:
    Result<QString> yearText(int ansId);
    // A module for the year with the report variables and the school's data.
    Result<std::unique_ptr<SqlDataModule>> module(int ansId);
    QSqlDatabase m_db;
};

} // namespace ccp::reports
