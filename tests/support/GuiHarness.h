#pragma once
// A browser in a real window under Xvfb.

#include <gtkmm.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/browser/WebBrowser.h"
#include "tests/support/MainLoop.h"

namespace telvanta::test {

// gtk_init, gtkmm's wrappers, the C numeric locale mpv needs.
void InitGtk(int& argc, char**& argv);

// Player settings for tests: no sound device, short time-outs.
platform::PlayerSettings TestPlayerSettings();

class BrowserWindow {
 public:
  // A browser that shows the pages of pageFolder.
  explicit BrowserWindow(const std::filesystem::path& pageFolder, int width = 800,
                         int height = 600);
  ~BrowserWindow();
  platform::WebBrowser& Browser() { return browser_; }
  Gtk::Window& Window() { return window_; }

  // Navigates and waits for the load to finish; false on time-out.
  bool Load(const std::filesystem::path& page);
  // Waits until the page hosts `count` players.
  bool WaitForPlayers(std::size_t count,
                      std::chrono::milliseconds limit = std::chrono::seconds(10));
  // The first player's info (the page must host one).
  platform::PlayerInfo Player(std::size_t index = 0) const;
  // Evaluates a script in the page and waits for its result.
  std::optional<std::string> Evaluate(const std::string& script);

 private:
  Gtk::Window window_;
  platform::WebBrowser browser_;
};

// Player pages in the forms the templates use.
std::string WindowsMediaPage(const std::string& address, bool sized,
                             const std::string& extraCss = "");
std::string RealPlayerPage(const std::string& address, bool center, const std::string& size = "");
std::string WebcamPage(const std::string& address);

}  // namespace telvanta::test
