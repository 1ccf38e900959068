#pragma once
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace ccp::apptest {

// Ids of the small school the tests build.
namespace Fx {
inline constexpr int SingleInstitute = 10;   // one data owner
inline constexpr int Group = 20;             // a group of data owners
inline constexpr int PostalAccount = 200;
inline constexpr int CashAccount = 201;
inline constexpr int BankAccount = 202;
inline constexpr int PlainBankAccount = 203; // bank 1, no category
inline constexpr int ClosedAccount = 204;
inline constexpr int OtherBankAccount = 205; // a bank with no category other than bank 1
inline constexpr int Ans34 = 34;             // school year 2022/2023
inline constexpr int IncomeCausale = 500;
inline constexpr int ExpenseCausale = 501;
inline constexpr int NextYearCausale = 502;
} // namespace Fx

// Fills a fresh database with the rows above; empty on success, else the failing statement.
QString loadFixture(QSqlDatabase db);
// Runs statements, stopping at the first failure (returned with the server's text).
QString exec(QSqlDatabase db, const QStringList &statements);

// A fresh database with the fixture, the global values cleared, messages recorded.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    QSqlDatabase db() const { return m_db.db(); }
    void setContext(const QString &key, const QVariant &value);
    QStringList messages() const;

    test::TestDatabase m_db;
    fw::RecordingMessageSink m_sink;
};

// One QApplication for the whole test executable.
void ensureApplication();

} // namespace ccp::apptest
