#pragma once
#include "Installation.h"

namespace ccp::DemoData {

// Bumped whenever the generator writes something different.
inline constexpr char Signature[] = "demo-5";

// Progress messages while loading.
using Progress = Installation::Progress;

// The fictional school of the demo database, the same every time.
Status load(QSqlDatabase db, const Installation::Progress &progress = {});

} // namespace ccp::DemoData
