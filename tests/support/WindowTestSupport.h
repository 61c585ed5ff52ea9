#pragma once
// Helpers for tests that drive the real windows in this process: a
// temporary program folder with its own catalogue, the main loop, and
// answering the message dialogs the windows show.

#include <gtkmm.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

// The first widget below root with this widget name.
Gtk::Widget* FindByName(Gtk::Widget& root, const std::string& name);
// The accessible name a reader gives the widget.
std::string AccessibleName(Gtk::Widget& widget);

// A button press or release delivered to the widget at (x, y) of its area.
void SendButton(Gtk::Widget& widget, GdkEventType type, unsigned button, double x, double y);
// The same with the event meant for one of the widget's windows.
void SendButtonTo(Gtk::Widget& widget, const Glib::RefPtr<Gdk::Window>& window, GdkEventType type,
                  unsigned button, double x, double y);

}  // namespace telvanta::test
