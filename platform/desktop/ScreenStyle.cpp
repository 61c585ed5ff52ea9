#include "platform/desktop/ScreenStyle.h"

#include <gtkmm.h>

#include <set>

namespace telvanta::platform {

void InstallScreenStyle(const std::string& css, guint priority) {
  static std::set<std::string> installed;
  const auto screen = Gdk::Screen::get_default();
  if (!screen || !installed.insert(css).second) {
    return;
  }
  auto provider = Gtk::CssProvider::create();
  provider->load_from_data(css);
  Gtk::StyleContext::add_provider_for_screen(screen, provider, priority);
}

}  // namespace telvanta::platform
