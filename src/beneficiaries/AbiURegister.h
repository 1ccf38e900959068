#pragma once
#include <QSqlDatabase>

namespace ccp::ben {

class TdmBeneficiari;

// The registry's data module, made on the first opening and kept (null before).
TdmBeneficiari *registryModule();

// Registers the registry's windows by class name; they work on `db`, with logs under the main
// directory.
void registerWindows(QSqlDatabase db, const QString &mainDirectory);

} // namespace ccp::ben
