#pragma once
#include "EbcMMvm.h"
#include "EbcUMvm.h"
#include "TVeMdiForm.h"

class QTabBar;

namespace ccp::movements {

class TfrEbcMvm;

// The movements window: the movements of the working account in the working financial year,
// income and expense on two tabs. It tells the store the tab, the payer, the amount and the
// note of the movement being posted.
class TfmEbcMvm : public fw::TVeMdiForm, public TEbcMvmOwner
{
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Movimenti");

    explicit TfmEbcMvm(TdmEbcMvm &store, QWidget *parent = nullptr);
    ~TfmEbcMvm() override;

    QTabBar *tcMain;
    TfrEbcMvm *frEbcMvm;

    // Selects a tab as the user would (undone while a movement is being entered).
    void selectTab(int index);
    // Opens the list (what the first showing does).
    bool openList();
    const MvmContext &context() const { return m_ctx; }
    bool isReadOnly() const;

    // ---- what the store reads -------------------------------------------------------------
    int tabIndex() const override { return m_tab; }
    MvmPayer payer() const override;
    QString amountText() const override;
    std::optional<QString> noteText() const override;

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    void onTabChanged(int index);

    TdmEbcMvm &m_store;
    MvmContext m_ctx;
    int m_tab = 0;
    bool m_undoingTab = false;
};

} // namespace ccp::movements
