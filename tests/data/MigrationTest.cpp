#include "Connection.h"
#include "Schema.h"
#include "SqlQuery.h"
#include "TestDatabase.h"

#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

using namespace ccp;

namespace {

Schema::Migration step(int n, const char *version, const char *sql)
{
    return Schema::Migration{n, QStringLiteral("step%1").arg(n), QString::fromLatin1(version),
                             QString::fromLatin1(sql)};
}

const QList<Schema::Migration> v1 = {
    step(1, "1.0.0", "CREATE TABLE TA (I INTEGER NOT NULL PRIMARY KEY)"),
};
const QList<Schema::Migration> v2 = v1 + QList<Schema::Migration>{
    step(2, "1.1.0", "INSERT INTO TA VALUES (1)"),
};
const QList<Schema::Migration> v3 = v2 + QList<Schema::Migration>{
    step(3, "2.0.0", "CREATE TABLE TB (J INTEGER)"),
};

// An empty database of its own (not the program's template): the steps above are the schema.
class EmptyDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        settings = ConnectionSettings::embedded(dir.filePath(QStringLiteral("m.fdb")));
        ASSERT_TRUE(Db::create(settings).ok());
        auto r = Db::open(settings, name);
        ASSERT_TRUE(r.ok()) << qPrintable(r.error());
        db = r.value();
    }
    void TearDown() override
    {
        db = QSqlDatabase();
        Db::close(name);
    }
    QTemporaryDir dir;
    ConnectionSettings settings;
    QString name = QUuid::createUuid().toString();
    QSqlDatabase db;
};

} // namespace

TEST_F(EmptyDb, EmptyDatabaseIsRefusedUntilCreated)
{
    const Status s = Schema::check(db, v1);
    ASSERT_FALSE(s.ok());
    EXPECT_TRUE(s.error().contains(QStringLiteral("ccp-admin init"))) << qPrintable(s.error());
    ASSERT_TRUE(Schema::migrate(db, v1).ok());
    EXPECT_TRUE(Schema::check(db, v1).ok());
}

TEST_F(EmptyDb, OneAndTwoStepUpgrades)
{
    ASSERT_TRUE(Schema::migrate(db, v1).ok());
    // Too old for a program that knows three steps: refused with the upgrade hint.
    const Status old = Schema::check(db, v3);
    ASSERT_FALSE(old.ok());
    EXPECT_TRUE(old.error().contains(QStringLiteral("1.0.0")));
    EXPECT_TRUE(old.error().contains(QStringLiteral("ccp-admin upgrade")));

    ASSERT_TRUE(Schema::migrate(db, v2).ok());  // one step
    EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT COUNT(*) FROM TA")).toInt(), 1);
    ASSERT_TRUE(Schema::migrate(db, v2).ok());  // applied once only
    EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT COUNT(*) FROM TA")).toInt(), 1);

    ASSERT_TRUE(Schema::migrate(db, v3).ok());
    auto v = Schema::read(db);
    EXPECT_EQ(v->version, QStringLiteral("2.0.0"));
    EXPECT_EQ(v->migration, 3);
    EXPECT_TRUE(Schema::check(db, v3).ok());
}

TEST_F(EmptyDb, TwoStepsAtOnce)
{
    ASSERT_TRUE(Schema::migrate(db, v1).ok());
    ASSERT_TRUE(Schema::migrate(db, v3).ok());
    EXPECT_EQ(Schema::read(db)->migration, 3);
    EXPECT_EQ(test::scalar(db, QStringLiteral("SELECT COUNT(*) FROM TB")).toInt(), 0);
}

TEST_F(EmptyDb, NewerDatabaseIsRefused)
{
    ASSERT_TRUE(Schema::migrate(db, v3).ok());
    const Status s = Schema::check(db, v2);
    ASSERT_FALSE(s.ok());
    EXPECT_TRUE(s.error().contains(QStringLiteral("più recente"))) << qPrintable(s.error());
    EXPECT_FALSE(Schema::migrate(db, v2).ok());
}

TEST_F(EmptyDb, FailingStepLeavesNothingOfItself)
{
    ASSERT_TRUE(Schema::migrate(db, v1).ok());
    const QList<Schema::Migration> broken = v1 + QList<Schema::Migration>{
        step(2, "1.1.0", "CREATE TABLE TC (K INTEGER);\nCREATE TABLE TA (I INTEGER)"),
    };
    const Status s = Schema::migrate(db, broken);
    ASSERT_FALSE(s.ok());
    EXPECT_TRUE(s.error().contains(QStringLiteral("step2"))) << qPrintable(s.error());
    EXPECT_EQ(Schema::read(db)->migration, 1);
    EXPECT_EQ(test::scalar(db, QStringLiteral(
                  "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TC'")).toInt(), 0);
}

TEST_F(EmptyDb, OtherApplicationIsRefused)
{
    ASSERT_TRUE(Schema::migrate(db, v1).ok());
    SqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE TYVer_Versione SET sYVerApp = 'XYZ'")).ok());
    const Status s = Schema::check(db, v1);
    ASSERT_FALSE(s.ok());
    EXPECT_TRUE(s.error().contains(QStringLiteral("XYZ")));
}

TEST(Schema, BundledMigrationsAreNumberedWithoutGaps)
{
    const auto &list = Schema::bundled();
    ASSERT_FALSE(list.isEmpty());
    for (int i = 0; i < list.size(); ++i)
        EXPECT_EQ(list[i].number, i + 1) << qPrintable(list[i].name);
    EXPECT_EQ(list.last().version, QString::fromLatin1(Schema::Version));
}

TEST(Database, MoneyRoundTripsExactly)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.ok()) << qPrintable(t.error());
    SqlQuery q(t.db());
    ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE TMONEY (F NUMERIC(18,4))")).ok());
    const QList<Money> values = {Money::fromText(QStringLiteral("12,3456")),
                                 Money::fromText(QStringLiteral("-0,0001")),
                                 Money::fromText(QStringLiteral("99999999999,9999")),
                                 Money::fromText(QStringLiteral("0,1"))};
    for (Money m : values) {
        ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO TMONEY VALUES (:f)")).ok());
        q.bind(QStringLiteral("f"), m);
        ASSERT_TRUE(q.exec().ok()) << qPrintable(q.lastError());
    }
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT F FROM TMONEY")).ok());
    QList<Money> back;
    while (q.next())
        back << q.money(0);
    EXPECT_EQ(back, values);
}
