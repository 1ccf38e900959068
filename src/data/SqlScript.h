#pragma once
#include "Result.h"

#include <QSqlDatabase>
#include <QStringList>
#include <functional>

namespace ccp::SqlScript {

// Splits an isql-style script into statements: honours SET TERM, comments and quoted text.
// SET TERM lines themselves are not returned.
QStringList split(const QString &script);

// Runs every statement of `script` on `db` in the caller's transaction. On failure the
// message names the statement's first line.
Status run(QSqlDatabase db, const QString &script,
           const std::function<void(int done, int total)> &progress = {});

} // namespace ccp::SqlScript
