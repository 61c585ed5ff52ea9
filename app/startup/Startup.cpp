#include "app/startup/Startup.h"

#include "app/windows/SplashWindow.h"
#include "common/Captions.h"
#include "settings/Settings.h"
#include "skins/SkinChoice.h"
#include "update/CatalogueRefresh.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/SkinEngine.h"

#include <utility>

namespace telvanta {

std::future<std::optional<StartLists>> PreloadStartLists() {
  try {
    return telvanta::PreloadStartLists(CatalogueToOpen(),
                                       StartPageFor(ReadSetting("OnStartupDisplay")),
                                       {ReadSetting("FilterCountry"), ReadSetting("FilterType"),
                                        ReadSetting("SortBy"), ReadSetting("OrderBy")});
  } catch (...) {
    // The window reads them itself, and reports what goes wrong.
    return {};
  }
}

void ResetSkinWhenAsked(bool asked) {
  // Asked of the display server now: the keyboard's events may not have come yet.
  GdkModifierType modifiers{};
  if (GdkDisplay* display = gdk_display_get_default()) {
    gdk_window_get_device_position(gdk_get_default_root_window(),
                                   gdk_seat_get_pointer(gdk_display_get_default_seat(display)),
                                   nullptr, nullptr, &modifiers);
  }
  const bool shiftHeld = (modifiers & GDK_SHIFT_MASK) != 0;
  if (asked || shiftHeld) {
    skins::ResetToDefault(SkinEngine::Default());
  }
}

namespace {
// A byte string, not text: a file's path need not be UTF-8.
constexpr const char* PlayAction = "play-address";
}  // namespace

SingleInstance::SingleInstance(Gtk::Application& app, std::string address)
    : app_(app), waiting_(std::move(address)) {
  // Before registering: a later launch may hand over its address at once.
  app_.add_action_with_parameter(
      PlayAction, Glib::VariantType(G_VARIANT_TYPE_BYTESTRING),
      [this](const Glib::VariantBase& parameter) {
        Play(Glib::VariantBase::cast_dynamic<Glib::Variant<std::string>>(parameter).get());
      });
  app_.register_application();
}

bool SingleInstance::HandedToRunningInstance() {
  if (!app_.is_remote()) {
    return false;
  }
  if (!waiting_.empty()) {
    app_.activate_action(PlayAction, Glib::Variant<std::string>::create(waiting_));
  }
  // A run of a remote application only activates the running one (it comes
  // to the front), sends what is queued and leaves the bus in order.
  app_.run();
  return true;
}

void SingleInstance::Serve(MainWindow& main) {
  main_ = &main;
  // The run's own activation shows the window; a later launch's brings it to
  // the front.
  app_.signal_activate().connect([&main] { main.Raise(); });
  if (!waiting_.empty()) {
    Play(std::exchange(waiting_, {}));
  }
}

void SingleInstance::Play(const std::string& address) {
  if (main_ == nullptr) {
    waiting_ = address;  // the windows are still being made
    return;
  }
  RunCommand([this, &address] { main_->PlayAddress(address); });
}

TelvantaWindows CreateWindows(const StartupTrace& trace) { return CreateWindowsWith({}, trace); }

TelvantaWindows CreateWindowsWith(std::future<std::optional<StartLists>> startLists,
                                  const StartupTrace& trace) {
  auto step = [&trace](std::string_view name) {
    if (trace) {
      trace(name);
    }
  };
  UseRasterCheckMarks();
  auto splash = std::make_unique<SplashWindow>();
  splash->ShowAndPaint();
  step("splash painted");

  if (Glib::get_application_name().raw() != ApplicationTitle) {
    Glib::set_application_name(std::string(ApplicationTitle));
  }
  Gtk::Window::set_default_icon(Picture("telvanta", 128));
  step("title");

  TelvantaWindows windows;
  windows.mainWindow = std::make_unique<MainWindow>();
  step("main window");
  windows.channelList =
      std::make_unique<ChannelListWindow>(*windows.mainWindow, *windows.mainWindow);
  windows.mainWindow->SetListWindow(windows.channelList.get());
  windows.channelList->UseStartLists(std::move(startLists));
  RunCommand([&windows] { windows.channelList->FormCreate(); });
  step("list window");

  splash.reset();
  step("splash gone");
  return windows;
}

}  // namespace telvanta
