#pragma once
#include "TVeEditFrame.h"

#include <QDate>
#include <QSqlDatabase>
#include <functional>

class QGroupBox;
class QLabel;

namespace ccp::fw {
class TVeDBDateEdit;
class TVeDBEdit;
class TVeDBLookupEdit;
} // namespace ccp::fw

namespace ccp::accounts {

// The institute's accounts: list and detail of TSprIst rows, their bank and branch, the rules
// of the cash, of number lengths, of opening and closing dates.
class TfrEbcSprIst : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    // The caption of the movements window: no account closes while it is open.
    static inline const QString MovementsCaption = QStringLiteral("Movimenti");

    explicit TfrEbcSprIst(fw::TVeQueryCollection *collection, QWidget *parent = nullptr);

    fw::TVeDBLookupEdit *xdlBanAbi;
    fw::TVeDBLookupEdit *xdlSprCab;
    QLabel *lbIndCom;
    fw::TVeDBEdit *xdeNumCc;
    fw::TVeDBEdit *xdeCin;
    QLabel *lbCin;
    QGroupBox *gbIban;
    fw::TVeDBEdit *xdeStato;
    fw::TVeDBEdit *xdeCinInt;
    fw::TVeDBEdit *xdeIntest;
    fw::TVeDBDateEdit *xddStart;
    fw::TVeDBDateEdit *xddEnd;
    QLabel *lbEnd;
    QAction *acShowClosed;

    bool closingChanged() const { return m_closingChanged; }
    bool isWorkingAccount() const { return m_isWorking; }
    // Whether the bank-only controls are shown.
    bool bankControlsShown() const;
    // The field checks, as on leaving each field (false: refused, message shown).
    bool validateNumber();
    bool validateCab();
    bool validateOpening();
    // The closing date: the checks, then the closing or reopening question (false: refused or
    // declined, and then the edit is cancelled when `cancelOnRefusal`).
    bool validateClosing();
    // Where a window of this caption is open (default: any visible window of the program).
    std::function<bool(const QString &caption)> IsWindowOpen;
    // After a row change: the account id whose balances to show.
    std::function<void(int sprIstId)> OnAccountChanged;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onDataChanged(const QString &field);
    void onBankChosen();
    void showBankControls(bool shown);
    void rebuildCabList(const QVariant &banId);
    void setClosedReadOnly(bool closed);
    QVariant currentCategory() const;
    QSqlDatabase db() const;
    void postAccount();
    void refuseClosing();

    QVariant m_cabBank;
    bool m_closingChanged = false;
    bool m_isWorking = false;
    bool m_inValidation = false;
    QDate m_confirmedEnd;
    bool m_endConfirmed = false;
};

} // namespace ccp::accounts
