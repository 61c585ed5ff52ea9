#include "widgets/SkinEngine.h"

#include "common/Error.h"
#include "common/I18n.h"
#include "platform/desktop/ColorScheme.h"
#include "skins/DesktopTheme.h"
#include "skins/SkinFile.h"
#include "widgets/WidgetSupport.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace telvanta {

namespace {

// Above the GTK theme and the windows' own rules, below the user's gtk.css.
constexpr guint SkinPriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 50;

struct BuiltInTheme {
  const char* name;
  const char* resource;
};
constexpr BuiltInTheme BuiltInThemes[] = {{"QNX", "/org/telvanta/themes/qnx.css"}};
// Theme 0 over a dark desktop theme.
constexpr char DesktopDarkSheet[] = "/org/telvanta/themes/desktop-dark.css";

std::string ResourceText(const char* path) {
  RegisterResourcesOnce();
  const auto bytes = Gio::Resource::lookup_data_global(path);
  gsize size = 0;
  const auto* data = static_cast<const char*>(bytes->get_data(size));
  return std::string(data, size);
}

skins::DesktopTheme CurrentDesktopTheme() {
  auto settings = Gtk::Settings::get_default();
  if (!settings) {
    return skins::ResolveDesktopTheme(g_getenv("GTK_THEME"), "", false);
  }
  return skins::ResolveDesktopTheme(g_getenv("GTK_THEME"),
                                    settings->property_gtk_theme_name().get_value().raw(),
                                    settings->property_gtk_application_prefer_dark_theme());
}

// WCAG's relative luminance, 0 (black) to 1 (white).
double Luminance(const Gdk::RGBA& colour) {
  auto linear = [](double v) {
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.get_red()) + 0.7152 * linear(colour.get_green()) +
         0.0722 * linear(colour.get_blue());
}

// Whether the theme drawn now has a dark background: darker than the grey
// on which black and white text read alike.
bool ThemeIsDark(const skins::DesktopTheme& theme) {
  auto context = Gtk::StyleContext::create();
  context->set_screen(Gdk::Screen::get_default());
  Gdk::RGBA background;
  if (context->lookup_color("theme_bg_color", background)) {
    return Luminance(background) < 0.18;
  }
  return theme.variant == "dark";
}

// A resize asked of every widget, internal children included, drops the
// sizes each has kept; asking the window alone keeps its children's.
void ForgetSizes(GtkWidget* widget) {
  gtk_widget_queue_resize(widget);
  if (GTK_IS_CONTAINER(widget)) {
    gtk_container_forall(
        GTK_CONTAINER(widget), [](GtkWidget* child, gpointer) { ForgetSizes(child); }, nullptr);
  }
}

// The smallest size a window can take, beside the work area of its screen.
struct WindowFit {
  Gtk::Window* window;
  Gtk::Requisition size;
  Gdk::Rectangle screen;
  bool Fits() const {
    return size.width <= screen.get_width() && size.height <= screen.get_height();
  }
};

Gdk::Rectangle ScreenArea(Gtk::Window& window) {
  auto display = window.get_display();
  Glib::RefPtr<Gdk::Monitor> monitor;
  if (auto gdkWindow = window.get_window()) {
    monitor = display->get_monitor_at_window(gdkWindow);
  }
  if (!monitor) {
    monitor = display->get_primary_monitor();
  }
  if (!monitor) {
    monitor = display->get_monitor(0);
  }
  Gdk::Rectangle area;
  if (monitor) {
    monitor->get_workarea(area);
  }
  return area;
}

// Menus and tool tips are left out: a menu longer than the screen scrolls.
std::vector<WindowFit> MeasureWindows() {
  std::vector<WindowFit> fits;
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    if (window->get_window_type() != Gtk::WINDOW_TOPLEVEL) {
      continue;
    }
    Gtk::Requisition minimum;
    Gtk::Requisition natural;
    window->get_preferred_size(minimum, natural);
    fits.push_back({window, minimum, ScreenArea(*window)});
  }
  return fits;
}

// Why the skin can't stay: a window that fitted the screen no longer does.
std::string Overflow(const std::vector<WindowFit>& before, const std::string& skin) {
  for (const WindowFit& now : MeasureWindows()) {
    const auto old = std::find_if(before.begin(), before.end(),
                                  [&](const WindowFit& b) { return b.window == now.window; });
    if (old == before.end() || !old->Fits() || now.Fits()) {
      continue;
    }
    const std::string title = now.window->get_title().empty() ? now.window->get_name().raw()
                                                              : now.window->get_title().raw();
    return Substitute(
        _("The skin \"%1\" would make the window \"%2\" %3 x %4 pixels, larger "
          "than the screen (%5 x %6), so it is not used."),
        {skin, title, std::to_string(now.size.width), std::to_string(now.size.height),
         std::to_string(now.screen.get_width()), std::to_string(now.screen.get_height())});
  }
  return {};
}

}  // namespace

SkinEngine& SkinEngine::Default() {
  static SkinEngine engine;
  return engine;
}

SkinEngine::SkinEngine() {
  platform::FollowDesktopColorScheme();
  SelectTheme(0);
  if (auto settings = Gtk::Settings::get_default()) {
    settings->property_gtk_theme_name().signal_changed().connect([this] { FollowDesktop(); });
    settings->property_gtk_application_prefer_dark_theme().signal_changed().connect(
        [this] { FollowDesktop(); });
  }
}

bool SkinEngine::ApplySkinFile(const std::string& path) {
  auto read = skins::ReadSkinFile(path);
  if (!read.skin) {
    skinFile_ = path;
    g_warning("%s; the look stays as it was", read.error.c_str());
    return false;
  }
  skins::ServePictures(read.skin->pictures);
  const auto before = MeasureWindows();
  const auto previous = provider_;
  if (!Install(read.skin->styleSheet, path)) {
    skinFile_ = path;
    skins::WithdrawPictures(read.skin->pictures);
    return false;
  }
  // A window larger than the screen can't be used, nor can the Skins menu
  // on it that would take the skin back.
  if (const std::string overflow = Overflow(before, path); !overflow.empty()) {
    Use(previous);
    skins::WithdrawPictures(read.skin->pictures);
    throw Error(overflow);
  }
  skinFile_ = path;
  drawnFile_ = path;
  skins::WithdrawPictures(pictures_);
  pictures_ = std::move(read.skin->pictures);
  lookName_ = read.skin->name;
  return true;
}

void SkinEngine::SelectTheme(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(BuiltInThemes))) {
    g_warning("There is no built-in theme %d; the look stays as it was", index);
    return;
  }
  const auto desktop = CurrentDesktopTheme();
  const auto& theme = BuiltInThemes[index];
  std::string css;
  std::string name = theme.name;
  if (desktop.Plain()) {
    css = ResourceText(theme.resource);
  } else {
    css = ThemeIsDark(desktop) ? ResourceText(DesktopDarkSheet) : "";
    name = desktop.Label();
  }
  if (Install(css, name)) {
    skins::WithdrawPictures(pictures_);
    pictures_.clear();
    skinFile_.clear();
    drawnFile_.clear();
    lookName_ = name;
  }
}

void SkinEngine::FollowDesktop() {
  // A skin says how every window looks, whatever the desktop's theme.
  if (!drawnFile_.empty()) {
    return;
  }
  // A skin that failed to load stays the one last given.
  const std::string given = skinFile_;
  SelectTheme(0);
  skinFile_ = given;
}

bool SkinEngine::Install(const std::string& css, const std::string& origin) {
  auto fresh = Gtk::CssProvider::create();
  try {
    fresh->load_from_data(css);
  } catch (const Glib::Error& error) {
    g_warning("Cannot load skin \"%s\": %s; the look stays as it was", origin.c_str(),
              error.what().c_str());
    return false;
  }
  if (!Gdk::Screen::get_default()) {
    return false;
  }
  Use(fresh);
  return true;
}

void SkinEngine::Use(const Glib::RefPtr<Gtk::CssProvider>& provider) {
  auto screen = Gdk::Screen::get_default();
  if (provider_) {
    Gtk::StyleContext::remove_provider_for_screen(screen, provider_);
  }
  if (provider) {
    Gtk::StyleContext::add_provider_for_screen(screen, provider, SkinPriority);
  }
  provider_ = provider;
  // Hidden windows, menus among them, keep the sizes measured under the old
  // look until they are shown, and would be placed by those sizes.
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    window->reset_style();
    ForgetSizes(GTK_WIDGET(window->gobj()));
  }
}

}  // namespace telvanta
