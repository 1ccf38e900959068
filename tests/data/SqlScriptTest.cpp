#include "SqlScript.h"

#include <gtest/gtest.h>

using namespace ccp;

TEST(SqlScript, SplitsOnTerminatorOutsideQuotesAndComments)
{
    const QString script = QStringLiteral(
        "-- a comment; with a semicolon\n"
        "CREATE TABLE T (S VARCHAR(10));\n"
        "/* block; comment */ INSERT INTO T VALUES ('a;b''c');\n"
        "SET TERM ^ ;\n"
        "CREATE PROCEDURE P AS BEGIN INSERT INTO T VALUES ('x'); END^\n"
        "SET TERM ; ^\n"
        "INSERT INTO T VALUES ('z')");
    const QStringList parts = SqlScript::split(script);
    ASSERT_EQ(parts.size(), 4);
    EXPECT_EQ(parts[0], QStringLiteral("CREATE TABLE T (S VARCHAR(10))"));
    EXPECT_TRUE(parts[1].endsWith(QStringLiteral("VALUES ('a;b''c')"))) << qPrintable(parts[1]);
    EXPECT_TRUE(parts[2].startsWith(QStringLiteral("CREATE PROCEDURE P")));
    EXPECT_TRUE(parts[2].endsWith(QStringLiteral("END")));
    EXPECT_EQ(parts[3], QStringLiteral("INSERT INTO T VALUES ('z')"));
}
