#include "platform/desktop/ShellOpen.h"

#include <gio/gio.h>
#include <gtk/gtk.h>
#include <sys/wait.h>

#include <memory>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/I18n.h"
#include "platform/chm/HelpAddress.h"
#include "platform/glib/GObjectPtr.h"
#include "platform/webview/WebModule.h"

namespace telvanta::platform {

namespace {

ShellOpenFailure& FailureHandler() {
  static ShellOpenFailure handler;
  return handler;
}

// The names SetForOwnProcesses set, kept in the environment itself: the
// web module has a copy of this code and opens links too.
constexpr const char* kOwnVariables = "TELVANTA_OWN_VARIABLES";

// What the programs we open must not get: those variables and their list.
std::vector<std::string> OwnVariables() {
  const char* list = g_getenv(kOwnVariables);
  if (list == nullptr) {
    return {};
  }
  std::vector<std::string> names{kOwnVariables};
  const GStrvPtr parts(g_strsplit(list, ":", -1));
  for (char** part = parts.get(); *part != nullptr; ++part) {
    if (**part != '\0') {
      names.emplace_back(*part);
    }
  }
  return names;
}

void TellFailure(const std::string& address) {
  const std::string message = Substitute(
      _("Cannot open \"%1\": there is no default program for it, and xdg-open failed."), {address});
  if (FailureHandler()) {
    FailureHandler()(message);
  } else {
    g_warning("%s", message.c_str());
  }
}

// What a launch on its way needs: what to open, and what to name on failure.
struct Opening {
  std::string uri;
  std::string address;
};

// The fallback of a desktop without default handlers, or whose handler
// failed to start: xdg-open finds a browser or mail program its own way.
void OpenWithXdgOpen(std::unique_ptr<Opening> opening) {
  const char* argv[] = {"xdg-open", opening->uri.c_str(), nullptr};
  char** environment = g_get_environ();
  for (const std::string& name : OwnVariables()) {
    environment = g_environ_unsetenv(environment, name.c_str());
  }
  const GStrvPtr ownedEnvironment(environment);
  GPid pid = 0;
  GError* error = nullptr;
  const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD);
  if (!g_spawn_async(nullptr, const_cast<char**>(argv), environment, flags, nullptr, nullptr, &pid,
                     &error)) {
    GErrorPtr failed(error);
    TellFailure(opening->address);
    return;
  }
  g_child_watch_add_full(
      G_PRIORITY_DEFAULT, pid,
      [](GPid child, gint status, gpointer data) {
        g_spawn_close_pid(child);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
          TellFailure(static_cast<Opening*>(data)->address);
        }
      },
      opening.release(),
      [](gpointer data) { std::unique_ptr<Opening> done(static_cast<Opening*>(data)); });
}

}  // namespace

void SetShellOpenFailureHandler(ShellOpenFailure handler) {
  // The web module's pages open links with a copy of this code of their own.
  SetWebModuleOpenFailureHandler(handler);
  FailureHandler() = std::move(handler);
}

void SetForOwnProcesses(const char* name, const char* value) {
  if (g_getenv(name) == nullptr) {
    g_setenv(name, value, TRUE);
    const char* list = g_getenv(kOwnVariables);
    g_setenv(kOwnVariables, list != nullptr ? (std::string(list) + ":" + name).c_str() : name,
             TRUE);
  }
}

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
  } else {
    context.reset(g_app_launch_context_new());
  }
  for (const std::string& name : OwnVariables()) {
    g_app_launch_context_unsetenv(context.get(), name.c_str());
  }
  // Asynchronous, so a slow handler never stalls the UI.
  auto opening = std::make_unique<Opening>(Opening{uri, address});
  g_app_info_launch_default_for_uri_async(
      uri.c_str(), context.get(), nullptr,
      [](GObject*, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Opening> launched(static_cast<Opening*>(data));
        GError* error = nullptr;
        if (!g_app_info_launch_default_for_uri_finish(result, &error)) {
          GErrorPtr failed(error);
          OpenWithXdgOpen(std::move(launched));
        }
      },
      opening.release());
}

}  // namespace telvanta::platform
