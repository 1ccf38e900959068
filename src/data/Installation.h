#pragma once
#include "MainDirectory.h"
#include "Result.h"

#include <QSqlDatabase>
#include <QStringList>
#include <functional>

namespace ccp::Installation {

using Progress = std::function<void(const QString &step)>;

struct InitOptions
{
    bool demo = false;
    bool force = false;
};

// Creates the main directory and the database (schema, reference data, and demo data when
// asked). Refuses an existing database unless `force`; a failed creation leaves no file behind.
Status init(const MainDirectory &dir, const ConnectionSettings &settings, const InitOptions &options,
            const Progress &progress = {});
// Brings an older database up to the program's version.
Status upgrade(const ConnectionSettings &settings, const Progress &progress = {});
// Loads the demo school into a migrated database, in one transaction.
Status loadDemo(QSqlDatabase db, const Progress &progress = {});
// Changes whenever the demo generator changes what it writes (test templates key on it).
const char *demoDataSignature();

// What `ccp-admin info` prints: version, location, row counts.
Result<QStringList> info(const ConnectionSettings &settings);

} // namespace ccp::Installation
