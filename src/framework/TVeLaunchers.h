#pragma once
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace ccp::fw {

// Window classes by registered name, so that launchers (and other programs' launchers) open
// windows by their class name.
class TVeFormRegistry
{
public:
    using Factory = std::function<QWidget *(QWidget *parent)>;
    static TVeFormRegistry &instance();
    void registerClass(const QString &className, Factory factory);
    bool contains(const QString &className) const;
    QWidget *create(const QString &className, QWidget *parent = nullptr) const;
    QStringList classNames() const;

private:
    QHash<QString, Factory> m_factories;
};

// A command page of the side bar and menu.
struct TVeApgPage
{
    QString name;         // "xpgGestione"
    QString caption;      // "Gestione"
    int order = 0;
    bool sorted = true;   // launchers by order, then caption; otherwise as added
    bool inMenu = true;
    int image = -1;
    bool visible = true;
    bool enabled = true;
};

class TVeAttivazione;

// What launchers need from the main window: where windows go and how they are shown.
// The program installs one; without it windows are shown as top-level windows.
class TVeLauncherHost
{
public:
    virtual ~TVeLauncherHost() = default;
    virtual QWidget *parentForForms() { return nullptr; }
    // Shows a new window (modal: waits until it closes).
    virtual void showForm(QWidget *form, bool modal);
    // Brings an open window forward.
    virtual void bringToFront(QWidget *form);
    // Opens a report tree for an application code (reports subsystem).
    virtual bool runReport(const QString &appCode) { Q_UNUSED(appCode); return false; }
    // Opens a document with its program.
    virtual bool openDocument(const QString &path, bool wait);
};

enum class LauncherKind { Form, Report, Shell, Component };

// A launcher: a command on a page. Events: BeforeExecute may refuse (false), OnExecute
// replaces the default action when set, AfterExecute runs after a launch that was not refused.
class TVeAttivazione : public QObject
{
    Q_OBJECT
public:
    TVeAttivazione(LauncherKind kind, const QString &name, QObject *parent = nullptr);

    LauncherKind kind() const { return m_kind; }
    QString name;
    QString page;         // name of the page; empty: on no page
    int order = 0;
    QString caption;
    int imageIndex = -1;
    int helpContext = 0;
    bool visible = true;
    bool enabled = true;

    std::function<bool(TVeAttivazione &)> BeforeExecute;
    std::function<void(TVeAttivazione &)> OnExecute;
    std::function<void(TVeAttivazione &)> AfterExecute;

    // Runs the launcher; false when refused (by BeforeExecute, disabled) or failed.
    bool execute();

    static void setHost(TVeLauncherHost *host);   // not owned; nullptr: default host
    static TVeLauncherHost &host();

Q_SIGNALS:
    void executed();

protected:
    // The default action of the kind; false when it could not run.
    virtual bool run() { return true; }

private:
    LauncherKind m_kind;
};

// Opens a window by registered class name; single instance unless `multiInstance`.
class TVeAttForm : public TVeAttivazione
{
    Q_OBJECT
public:
    explicit TVeAttForm(const QString &name, QObject *parent = nullptr);
    QString formClass;
    bool modal = false;
    bool multiInstance = false;
    QKeySequence shortcut;
    // Receives each new window before it is shown.
    std::function<void(TVeAttForm &, QWidget *form)> OnInitForm;
    // The windows this launcher opened that are still open.
    QList<QWidget *> openForms() const;

protected:
    bool run() override;

private:
    QList<QPointer<QWidget>> m_forms;
};

// Runs the report tree of an application code.
class TVeAttReport : public TVeAttivazione
{
    Q_OBJECT
public:
    explicit TVeAttReport(const QString &name, QObject *parent = nullptr);
    QString appCode;

protected:
    bool run() override;
};

// Opens a file with its program.
class TVeAttShell : public TVeAttivazione
{
    Q_OBJECT
public:
    explicit TVeAttShell(const QString &name, QObject *parent = nullptr);
    QString fileName;
    QString directory;
    int showStyle = 1;    // 1 normal window
    bool waitForEnd = false;
    QString filePath() const;

protected:
    bool run() override;
};

// A plain command: only its events.
class TVeAttComponent : public TVeAttivazione
{
    Q_OBJECT
public:
    explicit TVeAttComponent(const QString &name, QObject *parent = nullptr);
};

// The pages and launchers of a program (or of a shared package, whose launchers are then
// moved onto the program's pages).
class TdmVeAttivazioni : public QObject
{
    Q_OBJECT
public:
    explicit TdmVeAttivazioni(QObject *parent = nullptr);

    TVeApgPage &addPage(const TVeApgPage &page);
    TVeApgPage *page(const QString &name);
    QList<TVeApgPage> pages() const;   // by order
    // Takes ownership.
    template<typename T>
    T *add(T *launcher)
    {
        launcher->setParent(this);
        m_launchers << launcher;
        return launcher;
    }
    TVeAttivazione *launcher(const QString &name) const;
    QList<TVeAttivazione *> launchers() const { return m_launchers; }
    // The launchers of a page in the page's order (sorted: by order, then caption).
    QList<TVeAttivazione *> launchersOf(const QString &pageName) const;
    // Moves a launcher (possibly of another module) onto a page of this module.
    void adopt(TVeAttivazione *launcher, const QString &pageName, int order, int imageIndex);

private:
    QList<TVeApgPage> m_pages;
    QList<TVeAttivazione *> m_launchers;
};

} // namespace ccp::fw
