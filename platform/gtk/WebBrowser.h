#pragma once
// The main window's embedded browser: a WebKitGTK view that hosts our libmpv
// media plug-ins over the page's <object>/<embed> player elements.

#include <gtkmm.h>

#include <memory>
#include <string>

namespace telvanta::platform {

enum class ReadyState { Uninitialized = 0, Loading = 1, Loaded = 2, Interactive = 3, Complete = 4 };

class WebBrowser : public Gtk::Overlay {
public:
  WebBrowser();
  ~WebBrowser() override;
  WebBrowser(const WebBrowser&) = delete;
  WebBrowser& operator=(const WebBrowser&) = delete;

  // Shows a local page file (absolute path). Returns at once.
  void Navigate(const std::string& filePath);
  // Stops loading and every hosted player.
  void Stop();
  ReadyState GetReadyState() const;

  // The page and what it loads have arrived (the browser's download-complete).
  sigc::signal<void()>& signal_download_complete();

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace telvanta::platform
