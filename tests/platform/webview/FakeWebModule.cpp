// A stand-in for the web module file: it shows nothing, and answers the
// failure handler it is handed by calling it, so a test sees what it got.

#include <string>
#include <utility>

#include "platform/webview/WebModule.h"

namespace {

void TakeOpenFailureHandler(std::function<void(const std::string& message)> handler) {
  if (handler) {
    handler("handed to the module");
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const telvanta::platform::WebModule*
telvanta_web_module() {
  static const telvanta::platform::WebModule module{nullptr, nullptr, &TakeOpenFailureHandler};
  return &module;
}
