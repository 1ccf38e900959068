#include "DemoData.h"

namespace ccp::DemoData {

Status load(QSqlDatabase, const Installation::Progress &)
{
    return {};
}

} // namespace ccp::DemoData
