#pragma once
#include "AbcUBudget.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <gtest/gtest.h>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace ccp::budgettest {

// A small budget in 2026 for institute 10 (20 is another institute):
//   income in total: 11 "01", 12 "02" shared, 13 "07" of 10, 14 "09" of 20; income outside: 15 "99";
//   expense in total: 21 "A", 22 "P" shared.
//   items: 101 A01 shared (both accounts), 102 A05 of 10 (competence), 103 A98 of 10 closed in
//   2020, 104 A07 of 20, 105 "01" under 13 of 10 (residues), 106 "01" under 11 shared;
//   sub-items of 101: 201 "001", 202 "002", 203 "007" of 20.
//   models: 301 (2026, open) names 102 and through its amounts 105, 201 and 13;
//   302 (2027, frozen) names 106 and through its amounts 11; 303 (2025, frozen) names 101 and 202.
class BudgetFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &sql);
    QVariant scalar(const QString &sql) { return test::scalar(t.db(), sql); }
    budget::BudgetStore store(int flow = 2, int totalType = 1) const
    {
        return budget::BudgetStore(t.db(), budget::BudgetYear::calendar(2026, 10), {flow, totalType});
    }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
};

void ensureApplication();

} // namespace ccp::budgettest
