// The entry point of telvanta-web.so, the only symbol it exports.

#include "platform/browser/WebModuleImpl.h"

extern "C" __attribute__((visibility("default"))) const telvanta::platform::WebModule*
telvanta_web_module() {
  return &telvanta::platform::BrowserWebModule();
}
