#pragma once
// Helpers for tests that drive the real windows in this process: a
// temporary program folder with its own catalogue, the main loop, and
// answering the message dialogs the windows show.

#include <gtest/gtest.h>
#include <gtkmm.h>
#include <stdlib.h>

#include <chrono>
#include <clocale>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/ProgramPaths.h"
#include "platform/browser/WebModuleImpl.h"
#include "settings/Settings.h"
#include "tests/support/MainLoop.h"
#include "tests/support/TempFolder.h"
#include "tools/catalogue/CatalogueRules.h"
#include "widgets/ErrorDisplay.h"

namespace telvanta::test {

CatalogueRow Station(std::string country, std::string name, std::string speed, std::string url,
                     std::string type = "");

// A program folder: listv2.dll from the rows, and Data/ with the built
// player templates.
void MakeProgramFolder(const std::filesystem::path& folder, std::vector<CatalogueRow> tv,
                       std::vector<CatalogueRow> radio = {}, std::vector<CatalogueRow> webcam = {});

struct SeenDialog {
  std::string title;
  std::string text;
  MessageIcon icon = MessageIcon::None;
  std::vector<std::string> buttons;
};

// Runs the action; each message box shown meanwhile is recorded and
// answered with OK.
std::vector<SeenDialog> AnswerDialogs(const std::function<void()>& action);
// The same, answering message boxes with `answer` and input boxes with
// `typed` (OK) or, when it is empty, Cancel. Input boxes are recorded with
// their prompt as text.
std::vector<SeenDialog> AnswerDialogs(const std::function<void()>& action, Gtk::ResponseType answer,
                                      const std::string& typed = {});

// The first widget below root with this widget name (its component name),
// menus attached to a widget and their submenus included.
Gtk::Widget* FindByName(Gtk::Widget& root, const std::string& name);

// The same as a widget of type W; throws when there is none of that type, so
// a renamed component fails the test that looks for it.
template <typename W>
W& Find(Gtk::Widget& root, const std::string& name) {
  if (auto* widget = dynamic_cast<W*>(FindByName(root, name))) return *widget;
  throw std::runtime_error("no widget of the wanted type is named " + name);
}

// Every widget below root and root itself, attached menus included.
std::vector<Gtk::Widget*> AllWidgets(Gtk::Widget& root);

// The visible top-level window of this name, or nullptr.
Gtk::Window* FindToplevel(const std::string& name);
// The accessible name a reader gives the widget, and its stable id.
std::string AccessibleName(Gtk::Widget& widget);
std::string AccessibleId(Gtk::Widget& widget);

// A key pressed, as GTK hands it to the window with the focus, with the
// modifiers held (GDK_CONTROL_MASK).
void SendKey(Gtk::Window& window, guint keyval, guint modifiers = 0);
// Each character typed as a key, as a user types it.
void TypeText(Gtk::Window& window, const std::string& text);

// A button press or release delivered to the widget at (x, y) of its area.
void SendButton(Gtk::Widget& widget, GdkEventType type, unsigned button, double x, double y);
// The same with the event meant for one of the widget's windows.
void SendButtonTo(Gtk::Widget& widget, const Glib::RefPtr<Gdk::Window>& window, GdkEventType type,
                  unsigned button, double x, double y);
// The pointer moved over the widget to (x, y) of its area.
void SendMotion(Gtk::Widget& widget, double x, double y);

// A program folder with the stations the window tests use and a settings
// hive of their own; the folder is the program's for the test's span.
class StationsFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", data_.Path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
    // Today's update check counts as done: window tests never go online.
    WriteSetting("Day", DateText());
    SetProgramFolderForTesting(program_.Path());
    MakeProgramFolder(program_.Path(),
                      {
                          Station("Canada", "Channel One", "300k", "mms://127.0.0.1/one", "News"),
                          Station("Australia", "Sky", "", "rtsp://127.0.0.1/sky", "Sports"),
                          Station("Canada", "Beta", "56k", "http://127.0.0.1/beta.jpg", "Music"),
                          Station("France", "Gopher", "", "gopher://127.0.0.1/x.mp3", "News"),
                      },
                      {
                          Station("Germany", "Radio Eins", "", "http://127.0.0.1/eins.pls"),
                          Station("Austria", "Welle", "", "mms://127.0.0.1/welle"),
                      },
                      {
                          Station("Finland", "Road", "", "http://127.0.0.1/road.jpg"),
                          Station("Finland", "Bridge", "640x480", "http://127.0.0.1/bridge.jpg"),
                      });
  }
  void TearDown() override { SetProgramFolderForTesting({}); }
  std::filesystem::path Data() const { return program_.Path() / "Data"; }
  // Where the player pages go.
  std::filesystem::path Pages() const { return runtime_.Path() / "telvanta"; }

  TempFolder config_{"telvanta-config"};
  TempFolder data_{"telvanta-data"};
  TempFolder runtime_{"telvanta-runtime"};
  TempFolder program_{"telvanta-program"};
};

// The program's windows made by Create (the start-up's CreateWindows) over
// the stations folder; each step of the start is kept in steps_.
template <typename Windows, auto Create>
class RealWindowsTest : public StationsFolderTest {
 protected:
  void TearDown() override {
    windows_ = {};
    Pump();
    StationsFolderTest::TearDown();
  }
  // The lists a shown window would load right after showing are loaded too.
  void Start() {
    windows_ = Create([this](std::string_view step) { steps_.emplace_back(step); });
    windows_.channelList->LoadPendingLists();
  }
  auto& Main() { return *windows_.mainWindow; }
  auto& List() { return *windows_.channelList; }

  Windows windows_;
  std::vector<std::string> steps_;
};

// The main of a window test: an application, the C numeric locale the
// players want and the error display, as the program has them.
// Inline, so programs without the test framework can use the rest.
inline int RunWindowTests(int argc, char** argv, const char* applicationId) {
  ::testing::InitGoogleTest(&argc, argv);
  auto app = Gtk::Application::create(applicationId, Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  std::setlocale(LC_NUMERIC, "C");
  InstallErrorDisplay();
  platform::LinkWebModule();
  return RUN_ALL_TESTS();
}

}  // namespace telvanta::test
