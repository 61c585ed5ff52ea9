#include "tests/support/MainLoop.h"

#include <glibmm.h>

namespace telvanta::test {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  auto context = Glib::MainContext::get_default();
  // A timer keeps the loop from sleeping past the limit.
  sigc::connection timer = Glib::signal_timeout().connect([] { return true; }, 10);
  bool reached = done();
  while (!reached && std::chrono::steady_clock::now() < end) {
    context->iteration(true);
    reached = done();
  }
  timer.disconnect();
  return reached;
}

void Pump(std::chrono::milliseconds span) {
  WaitUntil([] { return false; }, span);
}

}  // namespace telvanta::test
