#include "Schema.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

using namespace ccp;

TEST(Schema, TemplateIsAtProgramVersion)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    EXPECT_TRUE(Schema::check(t.db()).ok());
}
