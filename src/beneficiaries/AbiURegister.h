#pragma once
#include <QSqlDatabase>

namespace ccp::ben {

class TdmBeneficiari;

// The registry's data module, made on the first opening and kept (null before).
TdmBeneficiari *registryModule();

// Opens the foreign-towns module (made when missing). False only when it cannot be made; a
// failed connection drops it (the next call makes it again) and still answers true.
bool openTownsModule(QSqlDatabase db);

// Registers the registry's windows by class name; they work on `db`, with logs under the main
// directory.
void registerWindows(QSqlDatabase db, const QString &mainDirectory);

} // namespace ccp::ben
