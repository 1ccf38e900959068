#pragma once
#include "Result.h"

#include <QSqlDatabase>

namespace ccp::DemoBeneficiaries {

// Adds to the demo registry what makes it worth browsing: foreign towns and beneficiaries with
// foreign bank details, legal data, web sites, a representative and a substitution. Runs in
// the demo's transaction, after the beneficiaries were written.
Status load(QSqlDatabase db);

} // namespace ccp::DemoBeneficiaries
