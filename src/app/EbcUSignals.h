#pragma once
#include <functional>

class QObject;

namespace ccp::app {

// Turns the termination signals (logout, shutdown, Ctrl+C in a terminal) into a call on the
// user-interface thread, as long as `context` lives.
void catchTerminationSignals(QObject *context, std::function<void()> onSignal);
// Puts the handlers back: the database engine installs its own when it is loaded.
void rearmTerminationSignals();

} // namespace ccp::app
