#include "TestDatabase.h"
#include "DemoData.h"
#include "Schema.h"
#include "SqlQuery.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QUuid>
#include <gtest/gtest.h>

namespace ccp::test {

namespace {

QString templateKey(bool withDemo)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (const auto &m : Schema::bundled()) {
        h.addData(QByteArray::number(m.number));   // recorded in the database, as the text is
        h.addData(m.sql.toUtf8());
    }
    h.addData(QByteArray(withDemo ? "demo" : "plain"));
    h.addData(QByteArray(DemoData::Signature));
    return QString::fromLatin1(h.result().toHex().left(16));
}

// Builds the template once per content; other processes wait on the lock.
QString templateFile(bool withDemo, QString *error)
{
    const QString folder = TestDatabase::workFolder();
    QDir().mkpath(folder);
    const QString file = QDir(folder).filePath(QStringLiteral("template-%1.fdb").arg(templateKey(withDemo)));
    QLockFile lock(file + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    lock.lock();
    if (QFile::exists(file))
        return file;
    const QString building = file + QStringLiteral(".building");
    QFile::remove(building);
    const auto settings = ConnectionSettings::embedded(building);
    if (auto s = Db::create(settings); !s) {
        *error = s.error();
        return {};
    }
    Db::setForcedWrites(settings, false);  // test copies never need to survive a crash
    {
        const QString name = QStringLiteral("template-") + QUuid::createUuid().toString(QUuid::Id128);
        auto db = Db::open(settings, name);
        if (!db) {
            *error = db.error();
            return {};
        }
        Status s = Schema::migrate(db.value());
        if (s && withDemo)
            s = DemoData::load(db.value());
        Db::close(name);
        if (!s) {
            *error = s.error();
            QFile::remove(building);
            return {};
        }
    }
    QFile::rename(building, file);
    return file;
}

} // namespace

QString TestDatabase::workFolder()
{
    const QString env = qEnvironmentVariable("CCP_TEST_TMP");
    return env.isEmpty() ? QDir(QDir::tempPath()).filePath(QStringLiteral("ccp-tests")) : env;
}

TestDatabase::TestDatabase(bool withDemo)
{
    const QString tpl = templateFile(withDemo, &m_error);
    if (tpl.isEmpty())
        return;
    m_dir = std::make_unique<QTemporaryDir>(QDir(workFolder()).filePath(QStringLiteral("db-XXXXXX")));
    m_file = m_dir->filePath(QStringLiteral("test.fdb"));
    if (!QFile::copy(tpl, m_file)) {
        m_error = QStringLiteral("cannot copy the template database");
        return;
    }
    QFile(m_file).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_name = QStringLiteral("test-") + QUuid::createUuid().toString(QUuid::Id128);
    auto db = Db::open(settings(), m_name);
    if (!db) {
        m_error = db.error();
        return;
    }
    m_ok = true;
}

TestDatabase::~TestDatabase()
{
    const QStringList names = QSqlDatabase::connectionNames();
    for (const QString &n : names)
        if (n.startsWith(m_name) && !m_name.isEmpty())
            Db::close(n);
    if (m_dir) {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        if (info && info->result() && info->result()->Failed()) {
            m_dir->setAutoRemove(false);
            fprintf(stderr, "test database kept in %s\n", qPrintable(m_dir->path()));
        }
    }
}

QSqlDatabase TestDatabase::db() const { return QSqlDatabase::database(m_name, false); }

QSqlDatabase TestDatabase::openAnother(const QString &name) const
{
    auto db = Db::open(settings(), m_name + u'-' + name);
    return db ? db.value() : QSqlDatabase();
}

QVariant scalar(QSqlDatabase db, const QString &sql)
{
    auto r = SqlQuery::scalar(db, sql);
    EXPECT_TRUE(r.ok()) << qPrintable(r.error()) << " in " << qPrintable(sql);
    return r.ok() ? r.value() : QVariant();
}

} // namespace ccp::test
