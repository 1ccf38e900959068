#include "WorkingContext.h"

#include "TVeGlobalValues.h"
#include "TVeParamManager.h"

#include <gtest/gtest.h>

namespace ccp::test {

bool loadWorkingContext(QSqlDatabase db)
{
    auto &values = fw::TVeGlobalValuesManager::instance();
    values.clear();
    fw::TVeParamManager params(db, QStringLiteral("SYSDBA"));
    const auto loaded = params.load();
    EXPECT_TRUE(loaded.ok()) << qPrintable(loaded.error());
    values.SetValues(QStringLiteral("VEP_DecimalSeparator"), QStringLiteral(","));
    return loaded.ok();
}

} // namespace ccp::test
