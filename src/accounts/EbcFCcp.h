#pragma once
#include "TVeMdiForm.h"

#include <QSqlDatabase>
#include <memory>

namespace ccp::accounts {

class TdmEbcCcp;
class TfrEbcCassa;
class TfrEbcSprIst;
class TfrEbcTcc;

// The accounts window: the institute's accounts above, the yearly balances of the selected
// account and the composition of the selected year below.
class TfmEbcCcp : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Conti");

    explicit TfmEbcCcp(QSqlDatabase db, QWidget *parent = nullptr);
    ~TfmEbcCcp() override;

    TdmEbcCcp *dm() const { return m_dm.get(); }
    TfrEbcSprIst *frSprIst;
    TfrEbcCassa *frCassa;
    TfrEbcTcc *frTcc;

    // Opens the accounts on the working account and its balances on the working year.
    bool openLists();
    // The balances of an account (none for 0), on the working financial year's row.
    void openBalances(int sprIstId);
    // The composition of the current balance row.
    void openComposition();
    // The dialogs behind xacUpdateAnno and acModificaSaldo (for tests: the dialog before exec).
    std::function<void(QDialog &)> BeforeDialog;
    void updateYearDates();
    void modifyOpening();

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    int execDialog(QDialog &d);
    void refreshBalances();

    std::unique_ptr<TdmEbcCcp> m_dm;
    int m_balancesOf = -1;
    bool m_positioning = false;
    bool m_opening = false;
};

} // namespace ccp::accounts
