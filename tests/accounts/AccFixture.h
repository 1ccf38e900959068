#pragma once
#include "Money.h"
#include "TestDatabase.h"
#include "VeMessageDlg.h"

#include <QDate>
#include <QMap>
#include <gtest/gtest.h>

namespace ccp::acctest {

// The demo school with a test account (postal, opened 2008) and financial years 2008-2012, and
// one component per top-level type (1-4) plus one of sub-type 100 (under type 1).
class AccFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &sql);
    QVariant scalar(const QString &sql) { return test::scalar(t.db(), sql); }
    // A new account of the working institute at a branch (postal branch by default).
    int addAccount(int sprId = 0, const QDate &start = QDate(2008, 1, 1));
    // An account-year with its own dates (null: calendar) and opening amounts of types 1-4.
    int addYear(int sprIstId, int year, const QDate &first = {}, const QDate &last = {},
                const QList<Money> &opening = {});
    // A movement with its split rows: component type -> amount (income 0, expense 1).
    int addMovement(int sprIstId, const QDate &day, int tipo, const QMap<int, Money> &split);

    test::TestDatabase t{true};
    fw::RecordingMessageSink messages;
    int account = 0;
    QMap<int, int> componentOfType;  // iTccId -> iCcaId
    int postalBranch = 0;
};

inline QDate d(int y, int m, int day) { return QDate(y, m, day); }
inline Money eur(const char *text) { return Money::fromSqlText(QString::fromLatin1(text)); }

} // namespace ccp::acctest
