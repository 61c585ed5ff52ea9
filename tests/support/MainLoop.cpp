#include "tests/support/MainLoop.h"

#include <glibmm.h>

namespace telvanta::test {

bool RunMainLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                      std::chrono::milliseconds tick) {
  const auto end = std::chrono::steady_clock::now() + limit;
  auto context = Glib::MainContext::get_default();
  sigc::connection timer =
      Glib::signal_timeout().connect([] { return true; }, static_cast<unsigned>(tick.count()));
  bool reached = done();
  while (!reached && std::chrono::steady_clock::now() < end) {
    context->iteration(true);
    reached = done();
  }
  timer.disconnect();
  return reached;
}

}  // namespace telvanta::test
