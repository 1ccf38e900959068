#pragma once
#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace ccp::test {

// The QApplication of a widget test executable lives inside the test run: made before the
// first test and destroyed, with every window still open, before main returns. Destroyed any
// later (a static holder, an exit handler) it would outlive Qt's own statics and crash.
class QtApplicationEnvironment : public ::testing::Environment
{
public:
    explicit QtApplicationEnvironment(const char *name) { qstrncpy(m_name, name, sizeof m_name); }
    void SetUp() override
    {
        if (QApplication::instance())
            return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override
    {
        if (!m_app)
            return;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows)
            delete w;
        m_app.reset();
    }

private:
    char m_name[64] = {};
    int m_argc = 1;
    char *m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

// Registers the environment; call once per executable from a static initializer:
//   static const bool registered = ccp::test::registerQtApplication("test_x");
inline bool registerQtApplication(const char *name)
{
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment(name));
    return true;
}

// For fixtures: the application made by the environment (registered by the executable).
inline void ensureQtApplication(const char *)
{
    EXPECT_NE(QApplication::instance(), nullptr) << "the executable did not register its QApplication";
}

} // namespace ccp::test
