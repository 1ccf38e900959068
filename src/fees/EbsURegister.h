#pragma once

namespace ccp::fees {

// Registers every window class of the fees subsystem with the framework's window registry,
// so that the launchers open them by class name. Called once at program start.
void registerWindows();

} // namespace ccp::fees
