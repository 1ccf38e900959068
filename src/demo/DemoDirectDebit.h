#pragma once
#include "Result.h"

#include <QSqlDatabase>

namespace ccp::DemoDirectDebit {

// Direct debit of the demo school year 2026/27: coordinates for 120 pupils in all (their
// parents as holders, valid IBANs, payment method "RID") and a causale paid in three
// instalments linked to each of them, with the first instalment paid by some.
Status load(QSqlDatabase db);

} // namespace ccp::DemoDirectDebit
