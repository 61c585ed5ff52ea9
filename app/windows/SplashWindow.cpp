#include "app/windows/SplashWindow.h"

#include "widgets/WidgetSupport.h"

#include <chrono>
#include <string_view>

namespace telvanta {

namespace {

constexpr int SplashWidth = 420;
constexpr int SplashHeight = 220;

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "Splash";
}  // namespace component

}  // namespace

SplashWindow::SplashWindow() {
  NameComponent(*this, component::window, "Telvanta");
  set_decorated(false);
  set_resizable(false);
  set_skip_taskbar_hint(true);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_SPLASHSCREEN);
  set_position(Gtk::WIN_POS_CENTER);
  set_default_size(SplashWidth, SplashHeight);
  picture_.set(SplashPicture());
  picture_.set_size_request(SplashWidth, SplashHeight);
  add(picture_);
  signal_draw().connect(
      [this](const Cairo::RefPtr<Cairo::Context>&) {
        painted_ = true;
        return false;
      },
      true);
}

void SplashWindow::ShowAndPaint() {
  show_all();
  // A display that never draws must not hold up the start.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  auto context = Glib::MainContext::get_default();
  sigc::connection tick = Glib::signal_timeout().connect([] { return true; }, 20);
  while (!painted_ && std::chrono::steady_clock::now() < deadline) {
    context->iteration(true);
  }
  for (int i = 0; i < 100 && context->pending(); ++i) {
    context->iteration(false);
  }
  tick.disconnect();
  get_display()->flush();
}

}  // namespace telvanta
