#pragma once
#include "Result.h"

#include <QSqlDatabase>

namespace ccp::test {

// Fills account-year (sprIstId, anfValore) up to `movements` numbered income movements of
// causale `cauId` for situation `sitId` (two split rows each, spread over the year), in one
// transaction: the large years the benchmarks need. Returns how many the year then holds.
Result<int> fillAccountYear(QSqlDatabase db, int sprIstId, int anfValore, int cauId, int sitId,
                            int movements);

} // namespace ccp::test
