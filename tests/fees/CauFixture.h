#pragma once
#include "EbsMDataSets.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace ccp::feescau {

// A small school: years 2025/26 (id 40) and 2026/27 (id 41, the causali year), institutes 10
// (the working one) and 20, components of 2026/27 with and without institute, causali with
// one, two and no components, one causale named by a tax-register payment, and causali of
// 2025/26 to duplicate.
class CauFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &sql);
    QVariant scalar(const QString &sql) { return test::scalar(t.db(), sql); }
    QList<int> ids(const QString &sql);
    QStringList messages() const;

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    std::unique_ptr<fees::TdmEbsDataSets> ds;
};

// Qt for the whole test program (offscreen).
void ensureApplication();

} // namespace ccp::feescau
