#pragma once
// Precompiled header of non-GUI targets.
#include <QtCore>
#include <QtSql>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
