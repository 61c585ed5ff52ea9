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
#include <string>
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

// Asked on the command line (--reset-skin), or Shift held as the program
// starts: the stored skin is forgotten, as "Reset to Default" does, so that a
// skin that made the program unusable can be left without editing the
// settings. Needs GTK to be up; call before the windows are made.
void ResetSkinWhenAsked(bool asked);

// One instance per user, through GApplication on the session bus: a later
// launch hands its address to the running one, which plays it and comes to
// the front. Without a session bus each launch runs on its own.
class SingleInstance {
 public:
  // Registers the application. `address` is this launch's, possibly empty.
  SingleInstance(Gtk::Application& app, std::string address);
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another instance runs: it has been handed this launch's
  // address (or asked to come to the front), and this launch is done.
  bool HandedToRunningInstance();
  // This launch's address, and any handed over since, now play in `main`,
  // and an activation brings it to the front.
  void Serve(MainWindow& main);

 private:
  void Play(const std::string& address);

  Gtk::Application& app_;
  std::string waiting_;
  MainWindow* main_ = nullptr;
};

// Needs GTK to be up. Errors of the windows' creation are shown, not thrown.
TelvantaWindows CreateWindows(const StartupTrace& trace = {});
// The same, taking what PreloadStartLists read when it fits.
TelvantaWindows CreateWindowsWith(std::future<std::optional<StartLists>> startLists,
                                  const StartupTrace& trace = {});

}  // namespace telvanta
