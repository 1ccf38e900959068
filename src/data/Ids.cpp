#include "Ids.h"
#include "SqlQuery.h"

namespace ccp::Ids {

namespace {
Result<int> call(QSqlDatabase db, const QString &table, int mode)
{
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral("SELECT l_iCntId FROM PYSetGetId(:t, :m)")); !s)
        return s;
    q.bind(QStringLiteral("t"), table.toUpper()).bind(QStringLiteral("m"), mode);
    if (auto s = q.exec(); !s)
        return s;
    if (!q.next())
        return Result<int>::failure(QStringLiteral("Nessun identificativo per la tabella %1.").arg(table));
    return q.value(0).toInt();
}
} // namespace

Result<int> next(QSqlDatabase db, const QString &table) { return call(db, table, 0); }
Result<int> last(QSqlDatabase db, const QString &table) { return call(db, table, 1); }

} // namespace ccp::Ids
