#include "platform/browser/SealedWeb.h"

#include <gtkmm.h>
// After gtkmm, which brings the GTK declarations WebKit's headers still name.
#include <webkit2/webkit2.h>

#include <cstring>
#include <utility>

#include "platform/chm/HelpAddress.h"
#include "platform/desktop/ShellOpen.h"

namespace telvanta::platform {

namespace fs = std::filesystem;

std::optional<std::string> SandboxProblem(const std::string& bubblewrap,
                                          const std::string& dbusProxy) {
  for (const auto& [tool, package] :
       {std::pair{bubblewrap, "bubblewrap"}, std::pair{dbusProxy, "xdg-dbus-proxy"}}) {
    if (!g_file_test(tool.c_str(), G_FILE_TEST_IS_EXECUTABLE)) {
      return tool + " is missing (package " + package + ")";
    }
  }
  // The namespaces WebKit gives its web process, as WebKit tries them itself
  // inside some containers.
  const char* argv[] = {
      bubblewrap.c_str(), "--ro-bind",         "/",    "/",    "--proc", "/proc", "--dev", "/dev",
      "--unshare-all",    "--die-with-parent", "true", nullptr};
  gchar* errors = nullptr;
  gint status = 0;
  GError* error = nullptr;
  const bool ran =
      g_spawn_sync(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_STDOUT_TO_DEV_NULL, nullptr,
                   nullptr, nullptr, &errors, &status, &error);
  GCharPtr said(errors);
  GErrorPtr failed(error);
  if (!ran) {
    return bubblewrap + " can't be run: " + failed->message;
  }
  if (!g_spawn_check_wait_status(status, nullptr)) {
    std::string reason = said ? g_strstrip(said.get()) : "";
    return "bubblewrap can't make its namespaces here (are user namespaces off?)" +
           (reason.empty() ? std::string() : ": " + reason.substr(0, reason.find('\n')));
  }
  return std::nullopt;
}

const std::optional<std::string>& SandboxProblemOnce() {
  static const std::optional<std::string> problem = []() -> std::optional<std::string> {
    // WebKit's own switch, read the way WebKit reads it.
    const char* off = g_getenv("WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS");
    std::optional<std::string> found =
        off != nullptr && std::strcmp(off, "0") != 0
            ? std::optional<std::string>("WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS is set")
            : SandboxProblem(kBubblewrap, kDBusProxy);
    if (found) {
      g_warning("WebKit's sandbox is off for the player and help pages: %s.", found->c_str());
    }
    return found;
  }();
  return problem;
}

GObjectPtr<WebKitWebContext> NewSealedContext(const std::vector<fs::path>& readable) {
  GObjectPtr<WebKitWebContext> context(webkit_web_context_new_ephemeral());
  // One small page at a time: no need for a big memory cache.
  webkit_web_context_set_cache_model(context.get(), WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
  if (SandboxProblemOnce()) {
    return context;
  }
  webkit_web_context_set_sandbox_enabled(context.get(), TRUE);
  for (const fs::path& folder : readable) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error).lexically_normal();
    if (!error && fs::is_directory(absolute, error)) {
      webkit_web_context_add_path_to_sandbox(context.get(), absolute.c_str(), TRUE);
    }
  }
  return context;
}

void SealSettings(WebKitSettings* settings, bool pageScripts) {
  webkit_settings_set_enable_javascript_markup(settings, pageScripts);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_javascript_can_access_clipboard(settings, FALSE);
  webkit_settings_set_allow_modal_dialogs(settings, FALSE);
  webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
  webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
  webkit_settings_set_allow_top_navigation_to_data_urls(settings, FALSE);
  // Our players are our own widgets: WebKit plays and captures nothing.
  webkit_settings_set_enable_media(settings, FALSE);
  webkit_settings_set_enable_mediasource(settings, FALSE);
  webkit_settings_set_enable_media_capabilities(settings, FALSE);
  webkit_settings_set_enable_encrypted_media(settings, FALSE);
  webkit_settings_set_enable_media_stream(settings, FALSE);
  webkit_settings_set_enable_webrtc(settings, FALSE);
  webkit_settings_set_enable_webaudio(settings, FALSE);
  webkit_settings_set_enable_webgl(settings, FALSE);
  // A few lines of page drawn without the GPU: the web process keeps no GL
  // context and its threads.
  webkit_settings_set_hardware_acceleration_policy(settings,
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_enable_html5_local_storage(settings, FALSE);
  webkit_settings_set_enable_html5_database(settings, FALSE);
  webkit_settings_set_enable_page_cache(settings, FALSE);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  webkit_settings_set_enable_fullscreen(settings, FALSE);
  webkit_settings_set_enable_back_forward_navigation_gestures(settings, FALSE);
  webkit_settings_set_enable_site_specific_quirks(settings, FALSE);
}

bool OpenIfUsersClick(WebKitNavigationAction* action, const std::string& uri) {
  if (!webkit_navigation_action_is_user_gesture(action) ||
      ClassifyHelpLink(uri) != HelpLink::Outside) {
    return false;
  }
  ShellOpen(uri, ShowMode::Normal);
  return true;
}

void RemoveWebKitLeftovers(const fs::path& dataFolder, const fs::path& cacheFolder) {
  const std::pair<const fs::path&, const char*> leftovers[] = {{cacheFolder, "WebKitCache"},
                                                               {cacheFolder, "CacheStorage"},
                                                               {dataFolder, "hsts-storage.sqlite"},
                                                               {dataFolder, "mediakeys"},
                                                               {dataFolder, "storage"}};
  for (const auto& [folder, name] : leftovers) {
    // Never relative to wherever the program runs.
    if (folder.is_absolute()) {
      std::error_code ignored;
      fs::remove_all(folder / name, ignored);
    }
  }
}

void PrepareSealedWeb() {
  SandboxProblemOnce();
  // Where WebKit's default context kept its data: GLib's folders and the
  // program's name.
  RemoveWebKitLeftovers(fs::path(g_get_user_data_dir()) / "telvanta",
                        fs::path(g_get_user_cache_dir()) / "telvanta");
}

}  // namespace telvanta::platform
