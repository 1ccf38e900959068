#pragma once
// Precompiled header of widget targets.
#include <QtCore>
#include <QtSql>
#include <QtWidgets>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
