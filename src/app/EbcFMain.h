#pragma once
#include "EbcMAtt.h"
#include "MainDirectory.h"
#include "ReportLauncher.h"
#include "TVeLaunchers.h"

#include <QMainWindow>

class QLabel;
class QMenu;
class QMdiArea;
class QSplitter;
class QToolBox;

namespace ccp::reports {
class TfrReportTree;
}

namespace ccp::app {

class TdmEbcConn;

// The program's multi-document main window: side bar of command pages on the left, the same
// commands in the menu, the working context in the status bar.
class TfmEbcMain : public QMainWindow, public EbcMainServices, public fw::TVeLauncherHost
{
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("C/C Posta Banca Cassa");
    static inline const QString ManualFile = QStringLiteral("ContoCorrentePostale.pdf");
    static constexpr int SideBarWidth = 175;
    static constexpr int PanelWidths[5] = {250, 165, 135, 100, 150};

    TfmEbcMain(TdmEbcConn &conn, TdmEbcAtt &att, QWidget *parent = nullptr);
    ~TfmEbcMain() override;

    // The activation work: connect once, side bar, context check, panels, derived values.
    // False when the connection could not be opened (the window then closes).
    bool activateMain();
    bool isReady() const { return m_ready; }
    int exitCode() const { return m_exitCode; }
    // Ends the program at once without questions (logout, shutdown, Ctrl+C): what is being
    // edited is dropped, an open transaction rolled back, the connection closed; status 0.
    [[noreturn]] void terminate();

    // EbcMainServices
    bool hasChildWindows() const override;
    QWidget *FindOpenWindow(const QString &caption) const override;
    void RefreshPanels() override;
    bool OpenParamDialog() override;

    // TVeLauncherHost
    void showForm(QWidget *form, bool modal) override;
    void bringToFront(QWidget *form) override;
    bool runReport(const QString &appCode) override;

    QStringList panelTexts() const;          // the five context panels
    QToolBox *sideBar() const { return m_sideBar; }
    reports::TfrReportTree *reportTree() const { return m_reportTree; }
    QMdiArea *mdiArea() const { return m_mdi; }
    // Where the manual is looked for.
    static QString manualPath();
    void openManual();

Q_SIGNALS:
    void ready();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildSideBar();
    void buildMenus();
    void addReportMenus(QMenu *menu, bool enabled);
    reports::ReportHost reportHost();

    TdmEbcConn &m_conn;
    TdmEbcAtt &m_att;
    QSplitter *m_splitter;
    QToolBox *m_sideBar;
    QMdiArea *m_mdi;
    QLabel *m_firstPanel;
    QList<QLabel *> m_panels;
    bool m_shown = false;
    bool m_activating = false;
    bool m_ready = false;
    bool m_sideBarBuilt = false;
    reports::TfrReportTree *m_reportTree = nullptr;
    int m_exitCode = 0;
};

} // namespace ccp::app
