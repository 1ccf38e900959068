#pragma once
#include "TVeMdiForm.h"
#include <QPointer>
#include <QWidget>

class QTabBar;

namespace ccp::fees {

class TdmEbsDataSets;
class TfrEbcCca;

// "Componenti di causali": the components of the causali school year, income and expense on
// two tabs, in one editing frame over xqcCompCaus.
class TfmEbsCca : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    explicit TfmEbsCca(TdmEbsDataSets &dm, QWidget *parent = nullptr);
    ~TfmEbsCca() override;

    QTabBar *tcMain() const { return m_tabs; }
    TfrEbcCca *frEbsCompCaus() const { return m_frame; }
    int tipo() const;

    // Default of the fees flag of new income components ("EBCP_CcaRette"), set by the launcher.
    Q_INVOKABLE void setShowRette(bool on);

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    void onTabChanged(int index);
    void applyTabLayout();

    QPointer<TdmEbsDataSets> m_dm;
    QTabBar *m_tabs;
    TfrEbcCca *m_frame;
    int m_tipo = 0;
    bool m_undoing = false;
};

} // namespace ccp::fees
