#pragma once
// The web module's table, for the module's entry point and for programs
// that link the browser in.

#include "platform/webview/WebModule.h"

namespace telvanta::platform {

const WebModule& BrowserWebModule();
// Hands the linked-in browser to UseLinkedWebModule (tests, benchmarks).
void LinkWebModule();

}  // namespace telvanta::platform
