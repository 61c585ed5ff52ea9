#include "app/startup/Startup.h"

#include "app/windows/SplashWindow.h"
#include "common/Captions.h"
#include "settings/Settings.h"
#include "skins/SkinChoice.h"
#include "update/CatalogueRefresh.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/SkinEngine.h"

#include <algorithm>
#include <span>

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

void ResetSkinWhenAsked(int argc, const char* const* argv) {
  const std::span args(argv, static_cast<std::size_t>(std::max(argc, 0)));
  const bool asked = std::any_of(args.begin(), args.end(), [](const char* arg) {
    return arg != nullptr && std::string_view(arg) == "--reset-skin";
  });
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
