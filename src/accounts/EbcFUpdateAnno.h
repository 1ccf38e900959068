#pragma once
#include <QDate>
#include <QDialog>
#include <QSqlDatabase>

class QGroupBox;

namespace ccp::fw {
class TVeDBDateEdit;
}

namespace ccp::accounts {

// Changes the first and last day of one account-year, checked against its year and the
// account's neighbouring years.
class TfmEbcUpdateAnno : public QDialog
{
    Q_OBJECT
public:
    TfmEbcUpdateAnno(QSqlDatabase db, int caiId, int year, int sprIstId, const QDate &first, const QDate &last,
                     QWidget *parent = nullptr);

    QGroupBox *gbDate;
    fw::TVeDBDateEdit *xddInizio;
    fw::TVeDBDateEdit *xddFine;

public Q_SLOTS:
    void accept() override;

private:
    QSqlDatabase m_db;
    int m_caiId;
    int m_year;
    int m_sprIstId;
};

} // namespace ccp::accounts
