#pragma once
#include <QApplication>
#include <cstdlib>

namespace ccp::test {

// One QApplication for a widget test executable, created on first use and destroyed by an
// exit handler registered after it: that runs before the destructors of the statics Qt made
// while starting, so the application never outlives them (a static holder would).
inline void ensureQtApplication(const char *name)
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char buffer[64];
    qstrncpy(buffer, name, sizeof buffer);
    static char *argv[] = {buffer, nullptr};
    new QApplication(argc, argv);
    std::atexit([] { delete QApplication::instance(); });
}

} // namespace ccp::test
