#include "AbcFApertura.h"
#include "AbcURegister.h"
#include "BudgetFixture.h"
#include "TVeAccess.h"
#include "TVeLaunchers.h"

#include <QApplication>
#include <memory>

using namespace ccp;
using namespace ccp::budget;

namespace {

class BudgetOpening : public budgettest::BudgetFixture
{
protected:
    void SetUp() override
    {
        BudgetFixture::SetUp();
        registerWindows(t.connectionName());
        fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile::administrator(QStringLiteral("SYSDBA")));
    }
    void TearDown() override
    {
        fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile::administrator(QStringLiteral("SYSDBA")));
        BudgetFixture::TearDown();
    }
};

TEST_F(BudgetOpening, ItemsNeedTheWriteRight)
{
    fw::TVeAccessProfile::setCurrent(fw::TVeAccessProfile());
    EXPECT_FALSE(canOpen(2));
    ASSERT_EQ(sink.entries().size(), 1);
    EXPECT_EQ(sink.entries()[0].text, AbcMessages::NoWriteRights);
}

} // namespace
