#pragma once
#include "ReportCatalog.h"

#include <QDialog>
#include <QMap>
#include <QSqlDatabase>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace ccp::reports {

// The choices of a print, one control per choice the report takes, with the working
// context's defaults; the result is named as `prepareReport` reads it.
class TfmRptChoices : public QDialog
{
    Q_OBJECT
public:
    TfmRptChoices(QSqlDatabase db, const ReportInfo &info, QWidget *parent = nullptr);
    QMap<QString, QString> choices() const;
    void accept() override;

private:
    void loadCausali();
    void loadClasses();
    QSqlDatabase m_db;
    ReportInfo m_info;
    QComboBox *m_year = nullptr;
    QCheckBox *m_income = nullptr;
    QComboBox *m_causale = nullptr;
    QComboBox *m_class = nullptr;
    QLineEdit *m_account = nullptr;
    QCheckBox *m_new = nullptr;
    QCheckBox *m_attending = nullptr;
    QCheckBox *m_barCodes = nullptr;
};

// Hooks of the program around a print: the check before it runs and where its preview goes.
struct ReportHost
{
    std::function<bool(int reportId)> check;
    std::function<void(QWidget *preview)> show;
    QString logoFile;
};

// Runs print `id`: choices dialog, then the preview. False when abandoned or refused.
bool runReport(QSqlDatabase db, int id, const ReportHost &host, QWidget *parent);

} // namespace ccp::reports
