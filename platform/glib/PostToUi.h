#pragma once
// The one way from a worker thread to the UI thread.

#include <functional>

namespace telvanta::platform {

// Runs the task once on the default main context (the UI thread), at default
// priority, from any thread. GLib owns the task until it has run, or until
// the source is destroyed unrun, and frees it either way.
void PostToUi(std::function<void()> task);

}  // namespace telvanta::platform
