#include "tests/support/GuiHarness.h"

#include <clocale>

#include "platform/browser/WebModuleImpl.h"
#include "tests/support/MainLoop.h"

namespace telvanta::test {

void InitGtk(int& argc, char**& argv) {
  gtk_init(&argc, &argv);
  Gtk::Main::init_gtkmm_internals();
  std::setlocale(LC_NUMERIC, "C");
  platform::LinkWebModule();
}

platform::PlayerSettings TestPlayerSettings() {
  platform::PlayerSettings settings;
  settings.audioOutput = "null";
  settings.connectTimeout = std::chrono::seconds(4);
  settings.stallTimeout = std::chrono::seconds(10);
  return settings;
}

BrowserWindow::BrowserWindow(const std::filesystem::path& pageFolder, int width, int height)
    : browser_(pageFolder) {
  window_.set_default_size(width, height);
  window_.move(0, 0);
  window_.add(browser_);
  browser_.SetPlayerSettings(TestPlayerSettings());
  window_.show_all();
  WaitUntil([this] { return window_.get_mapped(); }, std::chrono::seconds(5));
}

BrowserWindow::~BrowserWindow() {
  browser_.Stop();
  window_.hide();
}

bool BrowserWindow::Load(const std::filesystem::path& page) {
  bool finished = false;
  sigc::connection done = browser_.signal_download_complete().connect([&] { finished = true; });
  browser_.Navigate(page.string());
  const bool ok = WaitUntil([&] { return finished; }, std::chrono::seconds(15));
  done.disconnect();
  return ok;
}

bool BrowserWindow::WaitForPlayers(std::size_t count, std::chrono::milliseconds limit) {
  return WaitUntil([&] { return browser_.Players().size() == count; }, limit);
}

platform::PlayerInfo BrowserWindow::Player(std::size_t index) const {
  const auto players = browser_.Players();
  return index < players.size() ? players[index] : platform::PlayerInfo{};
}

std::optional<std::string> BrowserWindow::Evaluate(const std::string& script) {
  bool finished = false;
  std::optional<std::string> result;
  browser_.RunJavaScript(script, [&](std::optional<std::string> value) {
    result = std::move(value);
    finished = true;
  });
  WaitUntil([&] { return finished; }, std::chrono::seconds(5));
  return result;
}

std::string WindowsMediaPage(const std::string& address, bool sized, const std::string& extraCss) {
  return "<html><head><title>Test Station</title><style>html,body{margin:0;height:100%;}" +
         extraCss +
         "</style></head><body><object id=\"player\" type=\"application/x-ms-wmp\" data=\"" +
         address + "\"" + (sized ? " width=\"100%\" height=\"100%\"" : " ") +
         "></object></body></html>";
}

std::string RealPlayerPage(const std::string& address, bool center, const std::string& size) {
  return "<html><head><title>Test Station</title><style>html,body{margin:0;height:100%;}</style>"
         "</head><body><object id=\"player\" type=\"audio/x-pn-realaudio-plugin\" data=\"" +
         address + "\" " + size + "><param name=\"center\" value=\"" + (center ? "1" : "0") +
         "\"></object></body></html>";
}

std::string WebcamPage(const std::string& address) {
  return "<html><head><title>Webcam</title></head><body style=\"margin:0\"><img id=\"cam\" src=\"" +
         address + "\"></body></html>";
}

}  // namespace telvanta::test
