// The entry point of telvanta-web.so, the only symbol it exports.

#include "platform/browser/SealedWeb.h"
#include "platform/browser/WebModuleImpl.h"

extern "C" __attribute__((visibility("default"))) const telvanta::platform::WebModule*
telvanta_web_module() {
  // Called on the worker that loads the module: what may wait goes here.
  telvanta::platform::PrepareSealedWeb();
  return &telvanta::platform::BrowserWebModule();
}
