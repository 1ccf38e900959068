#pragma once
#include "Connection.h"
#include "Result.h"

#include <QList>
#include <QSqlDatabase>
#include <functional>

namespace ccp::Schema {

inline constexpr char AppCode[] = "EBC";
inline constexpr char Version[] = "6.37.0";

// One numbered migration script; `version` is the database version it brings the schema to.
struct Migration
{
    int number = 0;
    QString name;
    QString version;
    QString sql;
};

struct DbVersion
{
    QString app;
    QString version;
    int migration = 0; // 0: an empty database, never migrated
};

// The migrations compiled into the program, ordered by number.
const QList<Migration> &bundled();
// Parses a migration from its file name ("0003_procedures.sql") and text ("-- version: x").
Migration fromFile(const QString &fileName, const QString &text);

Result<DbVersion> read(QSqlDatabase db);
// Refuses (with the Italian message) a database that is not exactly at the expected version.
Status check(QSqlDatabase db, const QList<Migration> &migrations = bundled());
// Applies the migrations the database lacks, each in its own transaction, in order.
using Progress = std::function<void(const QString &step)>;
Status migrate(QSqlDatabase db, const QList<Migration> &migrations = bundled(),
               const Progress &progress = {});

} // namespace ccp::Schema
