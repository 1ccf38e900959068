#pragma once
#include "EbcUCcp.h"
#include "TVeWizard.h"

#include <QSqlDatabase>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

namespace ccp::fw {
class TVeDBCurrencyEdit;
class TVeDBDateEdit;
} // namespace ccp::fw

namespace ccp::accounts {

// Opens a financial year of an account with the balances carried over per top-level component
// type (page 1: year and dates, page 2: amounts); in modify mode it corrects the opening
// composition of an existing year.
class TfmEbcInitAnf : public fw::TVeWizard
{
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Inizio anno finanziario");

    // `sprIstId`: the account; `ansId`: the school year whose component types count.
    TfmEbcInitAnf(QSqlDatabase db, int sprIstId, int ansId, QWidget *parent = nullptr);

    // Modify mode on the account-year `caiId` of year `year` (opens on the amounts page).
    void setModifyMode(int year, int caiId);
    bool modifyMode() const { return m_modify; }

    QComboBox *cbAnno;
    QCheckBox *cbPersonalizza;
    QGroupBox *gbDate;
    fw::TVeDBDateEdit *xddInizio;
    fw::TVeDBDateEdit *xddFine;
    // Position 0 the balance, then one edit per type, last the differences.
    QList<fw::TVeDBCurrencyEdit *> amountEdits;

    int chosenYear() const;
    const QList<TopType> &types() const { return m_types; }
    bool endsPreviousYear() const { return m_endPrevious; }
    // The figures of the amounts page as they stand.
    Opening opening() const;
    // Enables OK when the types add up to the balance.
    void updateOk();

protected:
    bool canLeavePage(int page, bool forward) override;
    void pageShown(int page) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillYears();
    void onYearChosen();
    void resetDates();
    bool checkFirstPage();
    void loadAmounts();
    bool create();
    bool modify();

    QSqlDatabase m_db;
    int m_sprIstId;
    bool m_modify = false;
    int m_caiId = 0;
    QList<TopType> m_types;
    bool m_endPrevious = false;
    int m_previousYear = 0;
    QDate m_previousEnd;
    bool m_choosing = false;
};

} // namespace ccp::accounts
