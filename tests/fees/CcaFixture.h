#pragma once
#include "EbsMDataSets.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace ccp::feescca {

// A small school year for the components: 2026/27 (id 41, the causali year), institutes 10
// (the working one) and 20, income and expense aggregates with items and sub-items, three
// components of which one belongs to two causali, and a causale named by a tax payment.
class CcaFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &sql);
    QVariant scalar(const QString &sql) { return test::scalar(t.db(), sql); }

    test::TestDatabase t;
    fw::RecordingMessageSink sink;
    std::unique_ptr<fees::TdmEbsDataSets> ds;
};

// Qt for the whole test program (offscreen).
void ensureQtApplication();

} // namespace ccp::feescca
