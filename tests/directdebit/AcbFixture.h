#pragma once
#include "EbcFAluGen.h"
#include "EbcMAluGen.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace ccp::acbtest {

// The demo school, its working context read from the stored parameters, and two causali of
// the working year added: 9100 "Quota" (components 60,00 due 31/10/2026 and 40,00 due
// 31/01/2027) and 9101 "Gita" (one component of 75,50 without due date).
class AcbFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &sql);
    QVariant scalar(const QString &sql) { return test::scalar(t.db(), sql); }
    int count(const QString &sql) { return scalar(sql).toInt(); }
    // A pupil of the working year without coordinates, and one of its parents.
    int freePupil(int skip = 0);
    int parentOf(int pupil, int skip = 0);
    // The component rows of a link as "component:amount:due:paid", in component order.
    QStringList componentRows(int acbCauId);
    int newCoordinates(int pupil, int parent);

    test::TestDatabase t{true};
    fw::RecordingMessageSink messages;
};

} // namespace ccp::acbtest
