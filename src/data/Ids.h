#pragma once
#include "Result.h"

#include <QSqlDatabase>

namespace ccp::Ids {

// The next id of `table` from the database's id generator (never reused, safe across
// workstations). Runs in the caller's transaction when one is open.
Result<int> next(QSqlDatabase db, const QString &table);
// The last id this connection took for `table`.
Result<int> last(QSqlDatabase db, const QString &table);

} // namespace ccp::Ids
