#pragma once
#include "TVeMdiForm.h"
#include "Result.h"

#include <QVariant>
#include <QWidget>

class QSplitter;
class QTabBar;

namespace ccp::fees {

class TdmEbsDataSets;
class TfrEbsCau;
class TfrEbsCauCca;

// The causali window: the causali of the causali school year by kind (income / expense tab)
// above the components of the current causale.
class TfmEbsCau : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Causali");

    explicit TfmEbsCau(TdmEbsDataSets &dataSets, QWidget *parent = nullptr);
    ~TfmEbsCau() override;

    QTabBar *tcMain;
    TfrEbsCau *frEbsCausali;
    TfrEbsCauCca *frEbsCompXCaus;
    QSplitter *splitter;

    int tipo() const;
    // Selects a tab as the user would (refused while the causali frame is editing).
    void selectTab(int index);

    // ---- operations ---------------------------------------------------------------------
    bool CausaleInUse(int cauId) const;
    QVariant SchoolYearColumn(const QString &column, int ansId) const;
    // Raises (shows) "Parametro %s non definito" for a key other than "EBSP_CauAnsId".
    QString SchoolYearDescription(const QString &key) const;
    // Rebuilds the component lookup's select (dwg -1 all, 0 without institute, > 0 that one).
    void FilterComponentLookup(bool showAll, int tipo, int dwg);

    // The closing rules; false keeps the window open (and says why when there is a reason).
    bool canCloseWindow();

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    void onCausaleChanged();
    void onCausaliModeChanged(int mode);
    void onTabChanged(int index);
    void onLinkPosted(int op);
    void openCausali();

    TdmEbsDataSets &m_ds;
    int m_tab = 0;
    bool m_undoingTab = false;
    QVariant m_loadedCauId;
};

} // namespace ccp::fees
