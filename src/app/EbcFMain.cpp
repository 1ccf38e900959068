#include "EbcFMain.h"

#include "Connection.h"
#include "EbcMConn.h"
#include "EbcMParam.h"
#include "EbcUContext.h"
#include "EbcUImages.h"
#include "EbcUSignals.h"
#include "ReportLauncher.h"
#include "ReportTreePage.h"
#include "SqlQuery.h"
#include "TVeAccess.h"
#include "TVeGlobalValues.h"
#include "TVeMdiForm.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBox>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace ccp::app {

TfmEbcMain::TfmEbcMain(TdmEbcConn &conn, TdmEbcAtt &att, QWidget *parent)
    : QMainWindow(parent), m_conn(conn), m_att(att)
{
    setObjectName(QStringLiteral("fmEbcMain"));
    setWindowTitle(Caption);
    setWindowIcon(commandImage(1));
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_sideBar = new QToolBox(m_splitter);
    m_sideBar->setObjectName(QStringLiteral("xpgSideBar"));
    m_sideBar->setMinimumWidth(120);
    m_mdi = new QMdiArea(m_splitter);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_splitter->addWidget(m_sideBar);
    m_splitter->addWidget(m_mdi);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({SideBarWidth, 1000});
    m_splitter->setChildrenCollapsible(false);
    setCentralWidget(m_splitter);

    m_firstPanel = new QLabel(this);
    m_firstPanel->setObjectName(QStringLiteral("pnlVe"));
    statusBar()->addWidget(m_firstPanel, 1);
    for (int i = 0; i < 5; ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("pnlContext%1").arg(i + 1));
        // The widths are the least a panel takes: a longer text widens it rather than being cut.
        panel->setMinimumWidth(PanelWidths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setContentsMargins(4, 0, 4, 0);
        statusBar()->addPermanentWidget(panel);
        m_panels << panel;
    }
    buildMenus();
    fw::TVeAttivazione::setHost(this);
    m_att.setServices(this);
}

TfmEbcMain::~TfmEbcMain()
{
    if (&fw::TVeAttivazione::host() == this)
        fw::TVeAttivazione::setHost(nullptr);
    if (m_att.services() == this)
        m_att.setServices(nullptr);
}

void TfmEbcMain::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *quit = file->addAction(QStringLiteral("&Esci"), this, &QWidget::close);
    quit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    // One menu per command page, in the pages' order.
    for (const fw::TVeApgPage &page : m_att.pages()) {
        if (!page.visible || !page.inMenu)
            continue;
        QMenu *menu = menuBar()->addMenu(page.caption);
        menu->setObjectName(QStringLiteral("mnu") + page.name);
        menu->setEnabled(page.enabled);
        for (fw::TVeAttivazione *l : m_att.launchersOf(page.name)) {
            if (!l->visible)
                continue;
            if (l->kind() == fw::LauncherKind::Report) {
                addReportMenus(menu, l->enabled);
                continue;
            }
            QAction *a = menu->addAction(commandImage(l->imageIndex), l->caption);
            a->setObjectName(QStringLiteral("act") + l->name);
            a->setEnabled(l->enabled);
            if (auto *form = qobject_cast<fw::TVeAttForm *>(l); form && !form->shortcut.isEmpty())
                a->setShortcut(form->shortcut);
            connect(a, &QAction::triggered, l, [l] { l->execute(); });
        }
    }

    QMenu *windows = menuBar()->addMenu(QStringLiteral("F&inestre"));
    windows->addAction(QStringLiteral("&Sovrapponi"), m_mdi, &QMdiArea::cascadeSubWindows);
    windows->addAction(QStringLiteral("&Affianca"), m_mdi, &QMdiArea::tileSubWindows);
    windows->addAction(QStringLiteral("&Chiudi tutte"), m_mdi, &QMdiArea::closeAllSubWindows);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&?"));
    QAction *manual = help->addAction(imageByName(QStringLiteral("HELP")), QStringLiteral("&Guida"), this,
                                      &TfmEbcMain::openManual);
    manual->setShortcut(QKeySequence(Qt::Key_F1));
    manual->setShortcutContext(Qt::ApplicationShortcut);
    QAction *notes = help->addAction(QStringLiteral("Notizie sull'aggiornamento"), this,
                                     [this] { m_att.runReleaseNotes(); });
    notes->setObjectName(QStringLiteral("actNotizie"));
    help->addSeparator();
    help->addAction(QStringLiteral("&Informazioni"), this, [] {
        fw::showInfo(QStringLiteral("C/C Posta Banca Cassa\r\nVersione %1").arg(TdmEbcConn::DbVersion));
    });
}

namespace {

// A side-bar command whose caption is shortened with "…" when the bar is narrower than the
// caption (the full caption stays in the tooltip); widening the bar shows it whole again.
class SideBarButton : public QToolButton
{
public:
    SideBarButton(const QString &caption, QWidget *parent) : QToolButton(parent), m_caption(caption)
    {
        setText(caption);
        setToolTip(caption);
        setMinimumWidth(60);
    }
    QSize sizeHint() const override { return {60, QToolButton::sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QToolButton::resizeEvent(event);
        const int room = width() - iconSize().width() - 16;
        setText(fontMetrics().elidedText(m_caption, Qt::ElideRight, qMax(room, 10)));
    }

private:
    QString m_caption;
};

} // namespace

void TfmEbcMain::buildSideBar()
{
    if (m_sideBarBuilt)
        return;
    m_sideBarBuilt = true;
    for (const fw::TVeApgPage &page : m_att.pages()) {
        if (!page.visible)
            continue;
        auto *scroll = new QScrollArea(m_sideBar);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        auto *content = new QWidget(scroll);
        auto *column = new QVBoxLayout(content);
        column->setContentsMargins(2, 2, 2, 2);
        column->setSpacing(2);
        bool filled = false;
        for (fw::TVeAttivazione *l : m_att.launchersOf(page.name)) {
            if (!l->visible)
                continue;
            if (l->kind() == fw::LauncherKind::Report) {
                m_reportTree = new reports::TfrReportTree(m_conn.db(), reportHost(), content);
                m_reportTree->setObjectName(QStringLiteral("tree") + l->name);
                m_reportTree->setEnabled(l->enabled && page.enabled);
                column->addWidget(m_reportTree, 1);
                filled = true;
                continue;
            }
            auto *button = new SideBarButton(l->caption, content);
            button->setObjectName(QStringLiteral("btn") + l->name);
            QIcon icon = commandImage(l->imageIndex);
            if (icon.isNull() && l->kind() == fw::LauncherKind::Report)
                icon = imageByName(QStringLiteral("STAMPE"));
            button->setIcon(icon);
            button->setIconSize(QSize(24, 24));
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            button->setAutoRaise(true);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            button->setEnabled(l->enabled && page.enabled);
            connect(button, &QToolButton::clicked, l, [l] { l->execute(); });
            column->addWidget(button);
        }
        if (!filled)
            column->addStretch(1);
        scroll->setWidget(content);
        m_sideBar->addItem(scroll, page.caption);
    }
    if (m_sideBar->count() > 0)
        m_sideBar->setCurrentIndex(0);
}

bool TfmEbcMain::activateMain()
{
    if (m_conn.isConnected() || m_activating)
        return m_conn.isConnected();
    m_activating = true;
    if (!m_conn.OpenConnection()) {
        m_activating = false;
        m_exitCode = 1;
        close();
        return false;
    }
    rearmTerminationSignals();
    QSqlDatabase db = m_conn.db();
    QString rightsError;
    fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile::forSession(db, m_conn.settings().user, &rightsError));
    if (!rightsError.isEmpty())
        fw::showError(rightsError);
    if (auto s = m_att.params().load(); !s)
        fw::showError(QStringLiteral("Impossibile leggere i parametri del programma.\r\n%1").arg(s.error()));
    fw::SetValues(Keys::HostModule, HostModuleCode);
    m_firstPanel->setText(QStringLiteral("Utente: %1").arg(fw::TVeAccessProfile::current().user()));
    buildSideBar();
    // The shared fee layer's deposits have no print of this program.
    if (m_reportTree)
        m_reportTree->removeNode(QStringLiteral("Versamenti"));
    if (!CheckContextKeys(QStringLiteral("VEUP_DwgId,EBCP_SprIstId,EBCP_AnfId,EBSP_CauAnsId")))
        OpenParamDialog();
    RefreshPanels();
    WorkingContext::instance().refreshInstitutes(db);
    WorkingContext::instance().publishBudget(db);
    m_activating = false;
    m_ready = true;
    Q_EMIT ready();
    return true;
}

void TfmEbcMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Without a window manager (a bare X server) maximising does nothing: take the screen.
    if (!isMaximized() && screen())
        setGeometry(screen()->availableGeometry());
    if (QFileInfo::exists(TdmEbcAtt::programPath(TdmEbcAtt::VersionMarker)))
        QTimer::singleShot(0, this, [this] { m_att.runReleaseNotes(); });
    QTimer::singleShot(0, this, [this] { activateMain(); });
}

void TfmEbcMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_shown && !m_ready)
        QTimer::singleShot(0, this, [this] { activateMain(); });
}

void TfmEbcMain::closeEvent(QCloseEvent *event)
{
    m_mdi->closeAllSubWindows();
    if (!m_mdi->subWindowList().isEmpty()) {
        event->ignore();   // a window refused to close (unsaved changes)
        return;
    }
    QMainWindow::closeEvent(event);
    m_conn.CloseConnection();
    QCoreApplication::exit(m_exitCode);
}

void TfmEbcMain::terminate()
{
    // A modal dialog's loop may be running under this call: nothing unwinds through the
    // windows. Edits live in the windows until posted, so dropping them loses no stored data.
    // Closing the connection is worth a moment, never a hang: the engine has been seen to
    // spin in a detach with lists still open, so a watchdog ends the process regardless.
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        std::fflush(nullptr);
        std::_Exit(0);
    }).detach();
    if (m_conn.isConnected())
        m_conn.db().rollback();
    m_conn.CloseConnection();
    Db::shutdownEngine();
    std::fflush(nullptr);
    std::_Exit(0);
}

bool TfmEbcMain::hasChildWindows() const { return !m_mdi->subWindowList().isEmpty(); }

QWidget *TfmEbcMain::FindOpenWindow(const QString &caption) const
{
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        QWidget *w = sub->widget();
        if (w && (w->windowTitle() == caption || sub->windowTitle() == caption))
            return w;
    }
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->windowTitle() == caption)
            return w;
    return nullptr;
}

QStringList TfmEbcMain::panelTexts() const
{
    QStringList out;
    for (QLabel *p : m_panels)
        out << p->text();
    return out;
}

void TfmEbcMain::RefreshPanels()
{
    QSqlDatabase db = m_conn.db();
    const auto &values = fw::TVeGlobalValuesManager::instance();
    auto scalarText = [&db](const QString &sql, const QString &name, int id) {
        auto r = SqlQuery::scalar(db, sql, {{name, id}});
        return r && r.value().isValid() ? r.value().toString() : QString();
    };
    const int account = values.intValue(Keys::SprIstId);
    const QString number = scalarText(QStringLiteral("SELECT sSprIstNumCc FROM TSprIst WHERE iSprIstId = :iSprIstId"),
                                      QStringLiteral("iSprIstId"), account);
    const QString ansDesc = values.isSet(Keys::AnsId)
        ? scalarText(QStringLiteral("SELECT sAnsAnnoDesc FROM VAns_AnniScolast WHERE iAnsId = :iAnsId"),
                     QStringLiteral("iAnsId"), values.intValue(Keys::AnsId))
        : QString();
    const QString cauDesc = values.isSet(Keys::CauAnsId)
        ? scalarText(QStringLiteral("SELECT sAnsAnnoDesc FROM VAns_AnniScolast WHERE iAnsId = :iAnsId"),
                     QStringLiteral("iAnsId"), values.intValue(Keys::CauAnsId))
        : QString();
    const QStringList texts = {
        QStringLiteral("Istituto: ") + m_att.params().manager().GetVeuParamValue(Keys::DwgId),
        QStringLiteral("C/C: ") + number + QStringLiteral(" (") + accountType(db, account) + u')',
        QStringLiteral("Esercizio finanziario: ") + financialYearValue(db, values.intValue(Keys::AnfId)).toString(),
        QStringLiteral("A.S.: ") + ansDesc,
        QStringLiteral("A.S. Causali: ") + cauDesc,
    };
    for (int i = 0; i < m_panels.size(); ++i) {
        m_panels[i]->setText(texts[i]);
        m_panels[i]->setToolTip(texts[i]);
    }
    WorkingContext::instance().refreshPeriod(db);
}

bool TfmEbcMain::OpenParamDialog() { return m_att.params().Execute(); }

void TfmEbcMain::showForm(QWidget *form, bool modal)
{
    if (modal) {
        fw::TVeLauncherHost::showForm(form, true);
        return;
    }
    QMdiSubWindow *sub = fw::addFormWindow(m_mdi, form);
    sub->setWindowIcon(form->windowIcon().isNull() ? windowIcon() : form->windowIcon());
    form->show();
    sub->show();
    m_mdi->setActiveSubWindow(sub);
}

void TfmEbcMain::bringToFront(QWidget *form)
{
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        if (sub->widget() == form) {
            if (sub->isMinimized())
                sub->showNormal();
            m_mdi->setActiveSubWindow(sub);
            return;
        }
    }
    fw::TVeLauncherHost::bringToFront(form);
}

// The menu lists the same prints as the side bar's tree, one submenu per tab.
void TfmEbcMain::addReportMenus(QMenu *menu, bool enabled)
{
    QMap<QString, QMenu *> tabs;
    for (const reports::ReportInfo &r : reports::reportCatalog()) {
        QMenu *&tab = tabs[r.tab];
        if (!tab)
            tab = menu->addMenu(r.tab);
        QAction *a = tab->addAction(r.title);
        a->setObjectName(QStringLiteral("actReport%1").arg(r.id));
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, [this, id = r.id] { reports::runReport(m_conn.db(), id, reportHost(), this); });
    }
}

reports::ReportHost TfmEbcMain::reportHost()
{
    reports::ReportHost host;
    host.check = [this](int id) { return m_att.checkReport(id); };
    host.show = [this](QWidget *preview) { showForm(preview, false); };
    host.logoFile = reports::schoolLogoFile();
    return host;
}

bool TfmEbcMain::runReport(const QString &appCode)
{
    Q_UNUSED(appCode);
    // The prints are listed on the side bar's page: bring it up with the tree focused.
    if (!m_reportTree)
        return false;
    for (int i = 0; i < m_sideBar->count(); ++i) {
        if (m_sideBar->widget(i)->isAncestorOf(m_reportTree))
            m_sideBar->setCurrentIndex(i);
    }
    m_reportTree->setFocus();
    return true;
}

QString TfmEbcMain::manualPath()
{
    return TdmEbcAtt::programPath(TdmEbcAtt::NotesFolder + ManualFile);
}

void TfmEbcMain::openManual()
{
    const QString path = manualPath();
    if (!QFileInfo::exists(path)) {
        fw::showInfo(QStringLiteral("Il manuale del programma non è presente.\r\nÈ atteso in %1")
                         .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        fw::showError(QStringLiteral("Impossibile aprire il manuale %1.").arg(QDir::toNativeSeparators(path)));
}

} // namespace ccp::app
