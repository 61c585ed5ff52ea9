#pragma once
// The program's own viewer for its compiled HTML help: one window with a web
// view that reads pages straight out of the .chm file. Links between help
// pages stay in it; web and mail links go to the desktop's default handler.
// UI thread only.

#include <gtkmm.h>

#include <memory>
#include <string>

#include "platform/chm/HelpAddress.h"

namespace telvanta::platform {

class HelpWindow : public Gtk::Window {
 public:
  // Shows the topic in the help window, made on first use and presented
  // again on later calls. False, with nothing shown, when the help file
  // can't be read.
  static bool Show(const HelpAddress& address, bool maximized = false);
  // The help window while it is open, else null. Closing it destroys it.
  static HelpWindow* Current();

  struct Key {
   private:
    Key() = default;
    friend class HelpWindow;
  };
  explicit HelpWindow(Key);
  ~HelpWindow() override;
  HelpWindow(const HelpWindow&) = delete;
  HelpWindow& operator=(const HelpWindow&) = delete;

  // The address the view shows, e.g. "telvanta-help://help/faq.htm" (HelpScheme).
  std::string Uri() const;
  // The help file the window reads.
  const std::string& File() const;

 private:
  void AddButtons();
  bool Navigate(const HelpAddress& address);
  bool on_delete_event(GdkEventAny* event) override;

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace telvanta::platform
