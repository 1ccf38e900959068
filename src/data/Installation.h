#pragma once
#include "MainDirectory.h"
#include "Result.h"

#include <QSqlDatabase>
#include <QStringList>
#include <functional>

namespace ccp::Installation {

using Progress = std::function<void(const QString &step)>;

using Loader = std::function<Status(QSqlDatabase db, const Progress &progress)>;

struct InitOptions
{
    Loader demo;  // loads the demo school when set
    bool force = false;
};

// Creates the main directory and the database (schema, reference data, and demo data when
// asked). Refuses an existing database unless `force`; a failed creation leaves no file behind.
Status init(const MainDirectory &dir, const ConnectionSettings &settings, const InitOptions &options,
            const Progress &progress = {});
// Brings an older database up to the program's version.
Status upgrade(const ConnectionSettings &settings, const Progress &progress = {});
// What `ccp-admin info` prints: version, location, row counts.
Result<QStringList> info(const ConnectionSettings &settings);

} // namespace ccp::Installation
