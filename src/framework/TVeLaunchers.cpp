#include "TVeLaunchers.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QUrl>

namespace ccp::fw {

// ---- registry --------------------------------------------------------------------------------

TVeFormRegistry &TVeFormRegistry::instance()
{
    static TVeFormRegistry registry;
    return registry;
}

void TVeFormRegistry::registerClass(const QString &className, Factory factory)
{
    m_factories.insert(className.toUpper(), std::move(factory));
}

bool TVeFormRegistry::contains(const QString &className) const { return m_factories.contains(className.toUpper()); }

QWidget *TVeFormRegistry::create(const QString &className, QWidget *parent) const
{
    const auto it = m_factories.constFind(className.toUpper());
    return it == m_factories.constEnd() ? nullptr : it.value()(parent);
}

QStringList TVeFormRegistry::classNames() const { return m_factories.keys(); }

// ---- host ------------------------------------------------------------------------------------

void TVeLauncherHost::showForm(QWidget *form, bool modal)
{
    if (modal) {
        if (auto *dialog = qobject_cast<QDialog *>(form)) {
            dialog->exec();
            return;
        }
        form->setWindowModality(Qt::ApplicationModal);
        form->setAttribute(Qt::WA_DeleteOnClose);
        QEventLoop loop;
        QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
        form->show();
        loop.exec();
        return;
    }
    form->show();
}

void TVeLauncherHost::bringToFront(QWidget *form)
{
    if (form->isMinimized())
        form->showNormal();
    form->show();
    form->raise();
    form->activateWindow();
}

bool TVeLauncherHost::openDocument(const QString &path, bool wait)
{
    if (!QFileInfo::exists(path))
        return false;
    if (!wait)
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#if defined(Q_OS_WIN)
    return QProcess::execute(QStringLiteral("cmd"), {QStringLiteral("/c"), QStringLiteral("start"), QStringLiteral("/wait"), QString(), path}) == 0;
#else
    return QProcess::execute(QStringLiteral("xdg-open"), {path}) == 0;
#endif
}

namespace {
TVeLauncherHost *g_host = nullptr;
TVeLauncherHost &defaultHost()
{
    static TVeLauncherHost host;
    return host;
}
} // namespace

void TVeAttivazione::setHost(TVeLauncherHost *host) { g_host = host; }
TVeLauncherHost &TVeAttivazione::host() { return g_host ? *g_host : defaultHost(); }

// ---- launchers -------------------------------------------------------------------------------

TVeAttivazione::TVeAttivazione(LauncherKind kind, const QString &launcherName, QObject *parent)
    : QObject(parent), name(launcherName), m_kind(kind)
{
    setObjectName(launcherName);
}

bool TVeAttivazione::execute()
{
    if (!enabled)
        return false;
    if (BeforeExecute && !BeforeExecute(*this))
        return false;
    bool ok = true;
    if (OnExecute)
        OnExecute(*this);
    else
        ok = run();
    if (!ok)
        return false;
    if (AfterExecute)
        AfterExecute(*this);
    Q_EMIT executed();
    return true;
}

TVeAttForm::TVeAttForm(const QString &launcherName, QObject *parent)
    : TVeAttivazione(LauncherKind::Form, launcherName, parent)
{
}

QList<QWidget *> TVeAttForm::openForms() const
{
    QList<QWidget *> out;
    for (const auto &f : m_forms)
        if (f)
            out << f.data();
    return out;
}

bool TVeAttForm::run()
{
    m_forms.removeIf([](const QPointer<QWidget> &f) { return f.isNull(); });
    if (!multiInstance && !m_forms.isEmpty()) {
        host().bringToFront(m_forms.first());
        return true;
    }
    QWidget *form = TVeFormRegistry::instance().create(formClass, host().parentForForms());
    if (!form)
        return false;
    form->setAttribute(Qt::WA_DeleteOnClose);
    if (form->windowTitle().isEmpty())
        form->setWindowTitle(caption);
    m_forms << form;
    if (OnInitForm)
        OnInitForm(*this, form);
    host().showForm(form, modal);
    return true;
}

TVeAttReport::TVeAttReport(const QString &launcherName, QObject *parent)
    : TVeAttivazione(LauncherKind::Report, launcherName, parent)
{
}

bool TVeAttReport::run() { return host().runReport(appCode); }

TVeAttShell::TVeAttShell(const QString &launcherName, QObject *parent)
    : TVeAttivazione(LauncherKind::Shell, launcherName, parent)
{
}

QString TVeAttShell::filePath() const
{
    return directory.isEmpty() ? fileName : QDir(directory).filePath(fileName);
}

bool TVeAttShell::run() { return host().openDocument(filePath(), waitForEnd); }

TVeAttComponent::TVeAttComponent(const QString &launcherName, QObject *parent)
    : TVeAttivazione(LauncherKind::Component, launcherName, parent)
{
}

// ---- module ----------------------------------------------------------------------------------

TdmVeAttivazioni::TdmVeAttivazioni(QObject *parent) : QObject(parent) {}

TVeApgPage &TdmVeAttivazioni::addPage(const TVeApgPage &p)
{
    m_pages << p;
    return m_pages.last();
}

TVeApgPage *TdmVeAttivazioni::page(const QString &pageName)
{
    for (TVeApgPage &p : m_pages)
        if (p.name.compare(pageName, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

QList<TVeApgPage> TdmVeAttivazioni::pages() const
{
    QList<TVeApgPage> out = m_pages;
    std::stable_sort(out.begin(), out.end(), [](const TVeApgPage &a, const TVeApgPage &b) { return a.order < b.order; });
    return out;
}

TVeAttivazione *TdmVeAttivazioni::launcher(const QString &launcherName) const
{
    for (TVeAttivazione *l : m_launchers)
        if (l->name.compare(launcherName, Qt::CaseInsensitive) == 0)
            return l;
    return nullptr;
}

QList<TVeAttivazione *> TdmVeAttivazioni::launchersOf(const QString &pageName) const
{
    QList<TVeAttivazione *> out;
    for (TVeAttivazione *l : m_launchers)
        if (!l->page.isEmpty() && l->page.compare(pageName, Qt::CaseInsensitive) == 0)
            out << l;
    bool sorted = true;
    for (const TVeApgPage &p : m_pages)
        if (p.name.compare(pageName, Qt::CaseInsensitive) == 0)
            sorted = p.sorted;
    if (sorted)
        std::stable_sort(out.begin(), out.end(), [](const TVeAttivazione *a, const TVeAttivazione *b) {
            return a->order != b->order ? a->order < b->order : a->caption.localeAwareCompare(b->caption) < 0;
        });
    return out;
}

void TdmVeAttivazioni::adopt(TVeAttivazione *l, const QString &pageName, int order, int imageIndex)
{
    if (!m_launchers.contains(l))
        m_launchers << l;
    l->page = pageName;
    l->order = order;
    l->imageIndex = imageIndex;
}

} // namespace ccp::fw
