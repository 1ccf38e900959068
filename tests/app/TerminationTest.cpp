#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <csignal>

namespace {

// The program, started on a copy of the demo database, told to end by a signal once ready.
struct SignalCase
{
    const char *name;
    int signal;
};

class TerminationTest : public ::testing::TestWithParam<SignalCase>
{
};

TEST_P(TerminationTest, EndsAtOnceWithStatusZeroAndTheDatabaseOpensAgain)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/ccp");
    if (!QFile::exists(program))
        GTEST_SKIP() << "program not built";
    QTemporaryDir dir;
    {
        ccp::test::TestDatabase demo(true);
        ASSERT_TRUE(demo.ok()) << qPrintable(demo.error());
        ASSERT_TRUE(QFile::copy(demo.file(), dir.filePath(QStringLiteral("ccp.fdb"))));
    }
    QProcess ccp;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("CCP_REPORT_READY"), QStringLiteral("1"));
    ccp.setProcessEnvironment(env);
    ccp.setReadChannel(QProcess::StandardError);
    ccp.start(program, {QStringLiteral("--data-dir"), dir.path()});
    ASSERT_TRUE(ccp.waitForStarted(10000));
    QByteArray err;
    QElapsedTimer wait;
    wait.start();
    while (!err.contains("pronto") && wait.elapsed() < 60000 && ccp.state() == QProcess::Running) {
        ccp.waitForReadyRead(500);
        err += ccp.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("pronto")) << "after " << wait.elapsed() << " ms: " << err.constData();

    QElapsedTimer stop;
    stop.start();
    ::kill(pid_t(ccp.processId()), GetParam().signal);
    ASSERT_TRUE(ccp.waitForFinished(5000)) << "still running after the signal";
    EXPECT_LT(stop.elapsed(), 2000) << ccp.readAllStandardError().constData();
    EXPECT_EQ(ccp.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ccp.exitCode(), 0);

    // The file was left whole and free: another process opens it at once.
    auto again = ccp::Db::open(ccp::ConnectionSettings::embedded(dir.filePath(QStringLiteral("ccp.fdb"))),
                               QStringLiteral("after-signal"));
    ASSERT_TRUE(again.ok()) << qPrintable(again.error());
    EXPECT_GT(ccp::test::scalar(again.value(), QStringLiteral("SELECT COUNT(*) FROM TMvm_MovimentiCcp")).toInt(), 0);
    ccp::Db::close(QStringLiteral("after-signal"));
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationTest,
                         ::testing::Values(SignalCase{"Term", SIGTERM}, SignalCase{"Interrupt", SIGINT}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
#endif
