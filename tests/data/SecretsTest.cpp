#include "MainDirectory.h"
#include "Password.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ccp;

TEST(Secrets, SettingsWithThePasswordAreReadableByTheirOwnerOnly)
{
    QTemporaryDir root;
    MainDirectory dir(root.path());
    ASSERT_TRUE(dir.create().ok());
    const auto server = ConnectionSettings::parse(QStringLiteral("localhost:/srv/ccp.fdb"), QStringLiteral("SYSDBA"),
                                                  QStringLiteral("segreta"));
    ASSERT_TRUE(dir.writeConnection(server).ok());
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    EXPECT_EQ(QFile::permissions(dir.settingsFile()) & (owner | others), owner);
    // A rewrite keeps them, and the password reads back.
    ASSERT_TRUE(dir.writeConnection(server).ok());
    EXPECT_EQ(QFile::permissions(dir.settingsFile()) & others, QFileDevice::Permissions());
    EXPECT_EQ(dir.connection().password, QStringLiteral("segreta"));
}

TEST(Secrets, CommandLinePasswordOptionThenEnvironmentNeverAPrompt)
{
    // ctest gives no terminal: without option and variable the password is empty, not asked.
    qunsetenv(PasswordVariable);
    EXPECT_EQ(commandLinePassword(QString(), QStringLiteral("SYSDBA")), QString());
    qputenv(PasswordVariable, "dalla-variabile");
    EXPECT_EQ(commandLinePassword(QString(), QStringLiteral("SYSDBA")), QStringLiteral("dalla-variabile"));
    EXPECT_EQ(commandLinePassword(QStringLiteral("opzione"), QStringLiteral("SYSDBA")), QStringLiteral("opzione"));
    qunsetenv(PasswordVariable);
}
