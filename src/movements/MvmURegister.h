#pragma once

namespace ccp::movements {

// Registers the window classes of the movements subsystem with the framework's window
// registry, so that the launchers open them by class name. Called once at program start.
void registerWindows();

} // namespace ccp::movements
