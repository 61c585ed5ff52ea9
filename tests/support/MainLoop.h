#pragma once
// The default main loop, run from a test until a condition holds.

#include <chrono>
#include <functional>

namespace telvanta::test {

// Runs the loop until `done` is true (then true) or `limit` passes (false).
// A timer every `tick` keeps the loop from sleeping past the limit.
bool RunMainLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                      std::chrono::milliseconds tick);

}  // namespace telvanta::test
