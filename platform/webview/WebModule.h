#pragma once
// The web module: the embedded browser with its libmpv plug-ins, and the help
// window. WebKit and libmpv bring some 250 shared libraries; loading and
// relocating them is most of a start-up, so the program keeps them in a
// module of its own ("telvanta-web.so" in ModuleFolder()) and loads it on a
// worker while the channel list is on screen. Tests link the module's code in and
// hand it over with UseLinkedWebModule. UI thread only, except where told.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/chm/HelpAddress.h"
#include "platform/webview/BrowserView.h"

namespace telvanta::platform {

struct WebModule {
  // A browser that shows the pages the program writes in pageFolder.
  std::unique_ptr<BrowserView> (*createBrowser)(const std::filesystem::path& pageFolder);
  // Shows a help topic in the help window; false when the file can't be read.
  bool (*showHelp)(const HelpAddress& address, bool maximized);
  // The module's pages open links through its own copy of the shell's open
  // operation: this gives it the handler that tells the user what failed.
  void (*setOpenFailureHandler)(std::function<void(const std::string& message)> handler);
};

// The module's one entry point, looked up by this name.
inline constexpr const char* WebModuleEntry = "telvanta_web_module";
inline constexpr const char* WebModuleFile = "telvanta-web.so";
using WebModuleEntryFunction = const WebModule* (*)();

// Uses a module linked into the program instead of the file.
void UseLinkedWebModule(const WebModule& module);
// Starts loading the module file on a worker; later calls do nothing.
void PreloadWebModule();
// True once LoadWebModule would return (or throw) without waiting.
bool WebModuleSettled();
// The module, loading it (or waiting for the worker) first. Throws Error,
// naming the file and the reason, when it can't be loaded.
const WebModule& LoadWebModule();
// Handed to the module file as it loads (or at once, when it has); a module
// linked in shares the program's handler already.
void SetWebModuleOpenFailureHandler(std::function<void(const std::string& message)> handler);

}  // namespace telvanta::platform
