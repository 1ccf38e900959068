#pragma once
#include "Connection.h"

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace ccp::test {

// A fresh embedded database for one test, copied from a template built once from the
// program's own migrations. The folder is kept when the test fails, for a look inside.
class TestDatabase
{
public:
    // `withDemo` copies a template that also holds the demo school (built once per run).
    explicit TestDatabase(bool withDemo = false);
    ~TestDatabase();

    bool ok() const { return m_ok; }
    const QString &error() const { return m_error; }
    QSqlDatabase db() const;
    // A second connection to the same file (for concurrency tests; use it from one thread).
    QSqlDatabase openAnother(const QString &name) const;
    const QString &file() const { return m_file; }
    const QString &connectionName() const { return m_name; }
    ConnectionSettings settings() const { return ConnectionSettings::embedded(m_file); }

    // Folder shared by the test executables of one build (CCP_TEST_TMP), else the temp folder.
    static QString workFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
    QString m_name;
    QString m_error;
    bool m_ok = false;
};

// Runs one statement and returns the first column of the first row (asserting success).
QVariant scalar(QSqlDatabase db, const QString &sql);

} // namespace ccp::test
