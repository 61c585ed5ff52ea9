#pragma once
// The default main loop, run from a test until a condition holds.

#include <chrono>
#include <functional>

namespace telvanta::test {

// Runs the loop until `done` is true (then true) or `limit` passes (false).
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(10));
// Runs the loop for a while.
void Pump(std::chrono::milliseconds span = std::chrono::milliseconds(50));

}  // namespace telvanta::test
