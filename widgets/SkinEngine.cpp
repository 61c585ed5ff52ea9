#include "widgets/SkinEngine.h"

#include "skins/SkinFile.h"
#include "widgets/WidgetSupport.h"

#include <glib.h>

namespace telvanta {

namespace {

// Above the GTK theme and the windows' own rules, below the user's gtk.css.
constexpr guint SkinPriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 50;

struct BuiltInTheme {
  const char* name;
  const char* resource;
};
constexpr BuiltInTheme BuiltInThemes[] = {{"QNX", "/org/telvanta/themes/qnx.css"}};

std::string ResourceText(const char* path) {
  RegisterResourcesOnce();
  const auto bytes = Gio::Resource::lookup_data_global(path);
  gsize size = 0;
  const auto* data = static_cast<const char*>(bytes->get_data(size));
  return std::string(data, size);
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

}  // namespace

SkinEngine& SkinEngine::Default() {
  static SkinEngine engine;
  return engine;
}

SkinEngine::SkinEngine() { SelectTheme(0); }

bool SkinEngine::ApplySkinFile(const std::string& path) {
  skinFile_ = path;
  auto read = skins::ReadSkinFile(path);
  if (!read.skin) {
    g_warning("%s; the look stays as it was", read.error.c_str());
    return false;
  }
  skins::ServePictures(read.skin->pictures);
  if (!Install(read.skin->styleSheet, path)) {
    skins::WithdrawPictures(read.skin->pictures);
    return false;
  }
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
  const auto& theme = BuiltInThemes[index];
  if (Install(ResourceText(theme.resource), theme.name)) {
    skins::WithdrawPictures(pictures_);
    pictures_.clear();
    skinFile_.clear();
    lookName_ = theme.name;
  }
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
  auto screen = Gdk::Screen::get_default();
  if (!screen) {
    return false;
  }
  if (provider_) {
    Gtk::StyleContext::remove_provider_for_screen(screen, provider_);
  }
  Gtk::StyleContext::add_provider_for_screen(screen, fresh, SkinPriority);
  provider_ = fresh;
  // Hidden windows, menus among them, keep the sizes measured under the old
  // look until they are shown, and would be placed by those sizes.
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    window->reset_style();
    ForgetSizes(GTK_WIDGET(window->gobj()));
  }
  return true;
}

}  // namespace telvanta
