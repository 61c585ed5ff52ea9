#pragma once
// The start of a run, up to the message loop: the splash window, the
// application title, the main window, the channel list window (which loads
// the catalogue), then the splash goes.

#include "app/windows/MainWindow.h"
#include "catalogue/windows/ChannelListWindow.h"

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string_view>

namespace telvanta {

struct TelvantaWindows {
  std::unique_ptr<MainWindow> mainWindow;
  std::unique_ptr<ChannelListWindow> channelList;  // declared last, so it goes first
};

// Told each step as it is done: "splash painted", "title", "main window",
// "list window", "splash gone".
using StartupTrace = std::function<void(std::string_view step)>;

// Starts reading the start page's list and the countries on a worker, from
// the stored settings. Needs no toolkit: called first, it overlaps GTK's own
// start.
std::future<std::optional<StartLists>> PreloadStartLists();

// "--reset-skin" among the arguments, or Shift held as the program starts:
// the stored skin is forgotten, as "Reset to Default" does, so that a skin
// that made the program unusable can be left without editing the settings.
// Needs GTK to be up; call before the windows are made.
void ResetSkinWhenAsked(int argc, const char* const* argv);

// Needs GTK to be up. Errors of the windows' creation are shown, not thrown.
TelvantaWindows CreateWindows(const StartupTrace& trace = {});
// The same, taking what PreloadStartLists read when it fits.
TelvantaWindows CreateWindowsWith(std::future<std::optional<StartLists>> startLists,
                                  const StartupTrace& trace = {});

}  // namespace telvanta
