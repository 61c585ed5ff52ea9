#include "platform/browser/WebModuleImpl.h"

#include "platform/browser/HelpWindow.h"
#include "platform/browser/WebBrowser.h"
#include "platform/desktop/ShellOpen.h"

namespace telvanta::platform {
namespace {

std::unique_ptr<BrowserView> CreateBrowser(const std::filesystem::path& pageFolder) {
  return std::make_unique<WebBrowser>(pageFolder);
}

bool ShowHelp(const HelpAddress& address, bool maximized) {
  return HelpWindow::Show(address, maximized);
}

}  // namespace

const WebModule& BrowserWebModule() {
  static const WebModule module{&CreateBrowser, &ShowHelp, &SetShellOpenFailureHandler};
  return module;
}

void LinkWebModule() { UseLinkedWebModule(BrowserWebModule()); }

}  // namespace telvanta::platform
