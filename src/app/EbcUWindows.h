#pragma once
#include <QPointer>
#include <QWidget>

namespace ccp::app {

// Program-wide references to the open movements, accounts, causali and components windows,
// set by their launchers when the window is created; other windows reach them through these.
struct EbcWindows
{
    static inline QPointer<QWidget> movements;
    static inline QPointer<QWidget> accounts;
    static inline QPointer<QWidget> causali;
    static inline QPointer<QWidget> components;
};

} // namespace ccp::app
