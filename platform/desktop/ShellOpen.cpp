#include "platform/desktop/ShellOpen.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include "common/Error.h"
#include "platform/chm/HelpAddress.h"
#include "platform/glib/GObjectPtr.h"
#include "platform/webview/WebModule.h"

namespace telvanta::platform {

void ShellOpen(const std::string& address, ShowMode mode) {
  if (address.empty()) {
    return;
  }
  // Few desktops can show compiled HTML help, so the program shows its own.
  if (const auto help = ParseHelpAddress(address)) {
    try {
      LoadWebModule().showHelp(*help, mode == ShowMode::Maximized);
    } catch (const Error& error) {
      g_warning("%s", error.what());
    }
    return;
  }
  std::string uri = address;
  if (address.front() == '/') {
    GCharPtr converted(g_filename_to_uri(address.c_str(), nullptr, nullptr));
    if (!converted) {
      return;
    }
    uri = converted.get();
  }
  // GIO has no notion of a maximised window; the handler picks its own size.
  GObjectPtr<GAppLaunchContext> context;
  if (GdkDisplay* display = gdk_display_get_default()) {
    context.reset(G_APP_LAUNCH_CONTEXT(gdk_display_get_app_launch_context(display)));
  }
  // Asynchronous, so a slow handler never stalls the UI; failures are not reported.
  g_app_info_launch_default_for_uri_async(
      uri.c_str(), context.get(), nullptr,
      [](GObject*, GAsyncResult* result, gpointer) {
        GError* error = nullptr;
        g_app_info_launch_default_for_uri_finish(result, &error);
        GErrorPtr ignored(error);
      },
      nullptr);
}

}  // namespace telvanta::platform
