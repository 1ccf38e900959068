#include "Schema.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

using namespace ccp;

TEST(Schema, TemplateIsAtProgramVersion)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    auto v = Schema::read(t.db());
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(v->app, QStringLiteral("EBC"));
    EXPECT_EQ(v->version, QStringLiteral("6.37.0"));
    EXPECT_TRUE(Schema::check(t.db()).ok());
}
