#pragma once
// Windows a command creates anew each time it is used, owned by the window
// that opens them. A closed one is not used again: it goes once the handler
// that hid it has returned.

#include <gtkmm.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace telvanta {

template <typename Window>
class OwnedWindows : public sigc::trackable {
 public:
  // Creates the window; the caller shows it.
  template <typename... Args>
  Window& Open(Args&&... args) {
    auto window = std::make_unique<Window>(std::forward<Args>(args)...);
    Window* opened = window.get();
    opened->signal_hide().connect([this, opened] {
      Glib::signal_idle().connect_once(sigc::track_obj(
          [this, opened] {
            std::erase_if(windows_, [opened](const auto& w) { return w.get() == opened; });
          },
          *this));
    });
    windows_.push_back(std::move(window));
    return *opened;
  }

  // The windows on screen, oldest first.
  std::vector<Window*> Visible() const {
    std::vector<Window*> visible;
    for (const auto& window : windows_) {
      if (window->get_visible()) {
        visible.push_back(window.get());
      }
    }
    return visible;
  }

 private:
  std::vector<std::unique_ptr<Window>> windows_;
};

}  // namespace telvanta
