#include "widgets/WidgetSupport.h"

#include "common/Captions.h"
#include "platform/desktop/ScreenStyle.h"

#include <atk/atk.h>
#include <gio/gio.h>

#include <map>
#include <mutex>

extern "C" void telvanta_register_resource(void);
extern "C" void telvanta_pictures_register_resource(void);

namespace telvanta {

void RegisterResourcesOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    telvanta_register_resource();
    telvanta_pictures_register_resource();
  });
}

namespace {

// The PNG rendered at build time when there is one, else the SVG itself.
Glib::RefPtr<Gdk::Pixbuf> RenderedOrSvg(const std::string& png, const std::string& svg, int size) {
  RegisterResourcesOnce();
  if (g_resources_get_info(png.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr, nullptr, nullptr)) {
    return Gdk::Pixbuf::create_from_resource(png);
  }
  return size == 0 ? Gdk::Pixbuf::create_from_resource(svg)
                   : Gdk::Pixbuf::create_from_resource(svg, size, size, true);
}

}  // namespace

void NameComponent(Gtk::Widget& widget, std::string_view component, std::string_view caption) {
  const std::string id(component);
  widget.set_name(id);
  auto accessible = widget.get_accessible();
  if (!accessible) {
    return;
  }
  atk_object_set_accessible_id(accessible->gobj(), id.c_str());
  // An internal id read aloud means nothing to the listener.
  if (caption.empty()) {
    return;
  }
  const std::string spoken = StripMnemonic(caption);
  // A window is heard by its title, and GTK keeps the two in step; a name
  // set here would stay behind when the title changes.
  if (auto* window = dynamic_cast<Gtk::Window*>(&widget)) {
    if (window->get_title().empty()) {
      window->set_title(spoken);
    }
    return;
  }
  // Likewise for a widget that already reads its caption off its own text.
  const char* derived = atk_object_get_name(accessible->gobj());
  if (derived == nullptr || spoken != derived) {
    accessible->set_name(spoken);
  }
}

Glib::RefPtr<Gdk::Pixbuf> Picture(std::string_view name, int size) {
  // The lists and menus ask for the same few icons again and again; they are
  // never changed once made.
  static std::map<std::pair<std::string, int>, Glib::RefPtr<Gdk::Pixbuf>> made;
  const std::string base(name);
  auto& picture = made[{base, size}];
  if (!picture) {
    picture = RenderedOrSvg("/org/telvanta/pictures/" + base + "-" + std::to_string(size) + ".png",
                            "/org/telvanta/icons/" + base + ".svg", size);
  }
  return picture;
}

Glib::RefPtr<Gdk::Pixbuf> SplashPicture() {
  return RenderedOrSvg("/org/telvanta/pictures/splash.png", "/org/telvanta/splash.svg", 0);
}

Glib::RefPtr<Gdk::Pixbuf> AboutPicture(int width, int height) {
  RegisterResourcesOnce();
  return Gdk::Pixbuf::create_from_resource("/org/telvanta/about-panel.svg", width, height, false);
}

namespace {

constexpr char RasterCheckMarksCss[] = R"(
check:checked { -gtk-icon-source: -gtk-recolor(url("resource:///org/gtk/libgtk/theme/Adwaita/assets/check-symbolic.symbolic.png")); }
check:indeterminate, radio:indeterminate { -gtk-icon-source: -gtk-recolor(url("resource:///org/gtk/libgtk/theme/Adwaita/assets/dash-symbolic.symbolic.png")); }
radio:checked { -gtk-icon-source: -gtk-recolor(url("resource:///org/gtk/libgtk/theme/Adwaita/assets/bullet-symbolic.symbolic.png")); }
)";

bool IsBuiltInAdwaita(const Glib::ustring& theme) {
  return theme == "Adwaita" || theme == "Adwaita-dark";
}

}  // namespace

void UseRasterCheckMarks() {
  auto settings = Gtk::Settings::get_default();
  auto screen = Gdk::Screen::get_default();
  if (!settings || !screen) {
    return;
  }
  static Glib::RefPtr<Gtk::CssProvider> provider;
  if (provider) {
    return;
  }
  provider = Gtk::CssProvider::create();
  provider->load_from_data(RasterCheckMarksCss);
  // Just above the theme, which GTK adds at the settings priority: the
  // windows' own rules and skins still win.
  auto follow = [settings, screen] {
    Gtk::StyleContext::remove_provider_for_screen(screen, provider);
    if (IsBuiltInAdwaita(settings->property_gtk_theme_name().get_value())) {
      Gtk::StyleContext::add_provider_for_screen(screen, provider,
                                                 GTK_STYLE_PROVIDER_PRIORITY_SETTINGS + 1);
    }
  };
  follow();
  settings->property_gtk_theme_name().signal_changed().connect(follow);
}

void InstallStyle(const std::string& css) {
  platform::InstallScreenStyle(css, GTK_STYLE_PROVIDER_PRIORITY_SETTINGS + 1);
}

void ShowModal(Gtk::Window& window) {
  auto loop = Glib::MainLoop::create();
  sigc::connection hidden = window.signal_hide().connect([loop] { loop->quit(); });
  window.set_modal(true);
  window.show();
  if (window.get_visible()) {
    loop->run();
  }
  hidden.disconnect();
  window.set_modal(false);
}

void UseHandCursor(Gtk::Widget& widget) {
  if (auto window = widget.get_window()) {
    window->set_cursor(Gdk::Cursor::create(widget.get_display(), "pointer"));
  }
}

Gtk::MenuItem& AddMenuItem(Gtk::MenuShell& menu, std::string_view component,
                           std::string_view caption, const Glib::RefPtr<Gdk::Pixbuf>& icon) {
  auto* item = Gtk::make_managed<Gtk::MenuItem>();
  auto* box = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 6);
  auto* image = Gtk::make_managed<Gtk::Image>();
  if (icon) {
    image->set(icon);
  }
  image->set_size_request(16, 16);
  auto* label = Gtk::make_managed<Gtk::Label>(GtkMnemonic(caption), true);
  label->set_xalign(0.0F);
  label->set_mnemonic_widget(*item);
  box->pack_start(*image, false, false);
  box->pack_start(*label, true, true);
  item->add(*box);
  NameComponent(*item, component, caption);
  item->show_all();
  menu.append(*item);
  return *item;
}

void AddSeparator(Gtk::MenuShell& menu, std::string_view component) {
  auto* separator = Gtk::make_managed<Gtk::SeparatorMenuItem>();
  if (!component.empty()) {
    NameComponent(*separator, component);
  }
  separator->show();
  menu.append(*separator);
}

}  // namespace telvanta
