#pragma once
#include "TVeMdiForm.h"

#include <QPointer>
#include <QSqlDatabase>
#include <functional>

class QAction;
class QLineEdit;
class QTabWidget;
class QTimer;
class QToolButton;

namespace ccp::fw {
class TVeEditFrame;
}

namespace ccp::ben {

class TdmBeneficiari;
class TfrBeneficiari;

// "Beneficiari": the registry's list and detail, searched as the user types, with the
// beneficiary's seats, payments, legal data and contacts in tabs below.
class TfmBeneficiari : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    static constexpr int SearchDelayMs = 700;

    explicit TfmBeneficiari(TdmBeneficiari &dm, QWidget *parent = nullptr);
    ~TfmBeneficiari() override;

    TfrBeneficiari *frame() const { return m_frame; }
    QLineEdit *searchEdit() const { return m_search; }
    QAction *xacStorico() const { return m_storico; }
    QTabWidget *tabs() const { return m_tabs; }
    // Every editing frame of the window, the beneficiary's first.
    QList<fw::TVeEditFrame *> editFrames() const;
    // Applies the search text at once (typing applies it after the pause).
    void applySearch();
    // Active or historicized beneficiaries.
    void setHistoricized(bool on);
    // Adds a detail frame as a tab; it follows the current beneficiary while its tab shows.
    void addDetailTab(fw::TVeEditFrame *frame, const QString &title, std::function<void(int benId)> open);
    // Runs when the window first shows (the IBAN batch check).
    std::function<void()> OnFirstShow;

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    void openCurrentTab();
    void lockTabs();

    QPointer<TdmBeneficiari> m_dm;
    TfrBeneficiari *m_frame;
    QLineEdit *m_search;
    QToolButton *m_clear;
    QAction *m_storico;
    QTimer *m_delay;
    QTabWidget *m_tabs;
    struct Tab
    {
        fw::TVeEditFrame *frame;
        std::function<void(int)> open;
    };
    QList<Tab> m_tabFrames;
    int m_lastTab = 0;
    int m_openedFor = -1;
};

// The one-off recomputation of every beneficiary's IBAN, asked until it has run once; errors
// are listed in a file under the main directory. True when it ran.
bool runIbanBatchCheck(QSqlDatabase db, const QString &mainDirectory, QWidget *parent = nullptr);

} // namespace ccp::ben
