#include "tests/support/TextContrast.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/MainLoop.h"

namespace telvanta::test {

double Luminance(const Gdk::RGBA& colour) {
  auto linear = [](double v) {
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.get_red()) + 0.7152 * linear(colour.get_green()) +
         0.0722 * linear(colour.get_blue());
}

double Contrast(const Gdk::RGBA& a, const Gdk::RGBA& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Glib::RefPtr<Gdk::Pixbuf> DrawnUnder(Gtk::Window& window, Gtk::Widget& widget,
                                     const std::function<void()>& change) {
  bool drawn = false;
  auto watch = window.signal_draw().connect_notify(
      [&](const Cairo::RefPtr<Cairo::Context>&) { drawn = true; }, true);
  change();
  widget.queue_draw();
  WaitUntil([&] { return drawn; });
  watch.disconnect();
  Pump();
  int x = 0;
  int y = 0;
  widget.translate_coordinates(window, 0, 0, x, y);
  return Gdk::Pixbuf::create(window.get_window(), x, y, widget.get_allocated_width(),
                             widget.get_allocated_height());
}

double WorstTextContrast(Gtk::Window& window, Gtk::Label& text) {
  const Gdk::RGBA colour = text.get_style_context()->get_color(text.get_state_flags());
  const auto shown = DrawnUnder(window, text, [] {});
  const double opacity = text.get_opacity();
  const auto behind = DrawnUnder(window, text, [&] { text.set_opacity(0.0); });
  text.set_opacity(opacity);
  double worst = 21.0;
  const int channels = behind->get_n_channels();
  for (int row = 0; row < behind->get_height(); ++row) {
    const guint8* b = behind->get_pixels() + row * behind->get_rowstride();
    const guint8* s = shown->get_pixels() + row * shown->get_rowstride();
    for (int col = 0; col < behind->get_width(); ++col, b += channels, s += channels) {
      if (b[0] == s[0] && b[1] == s[1] && b[2] == s[2]) continue;
      Gdk::RGBA background;
      background.set_rgba_u(b[0] * 257, b[1] * 257, b[2] * 257);
      // A text colour that is not opaque shows the background through it.
      const double a = colour.get_alpha();
      Gdk::RGBA seen;
      seen.set_rgba(a * colour.get_red() + (1 - a) * background.get_red(),
                    a * colour.get_green() + (1 - a) * background.get_green(),
                    a * colour.get_blue() + (1 - a) * background.get_blue());
      worst = std::min(worst, Contrast(seen, background));
    }
  }
  return worst;
}

double MedianLuminance(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  std::vector<double> luminances;
  luminances.reserve(static_cast<std::size_t>(picture->get_width()) * picture->get_height());
  const int channels = picture->get_n_channels();
  for (int row = 0; row < picture->get_height(); ++row) {
    const guint8* p = picture->get_pixels() + row * picture->get_rowstride();
    for (int col = 0; col < picture->get_width(); ++col, p += channels) {
      Gdk::RGBA colour;
      colour.set_rgba_u(p[0] * 257, p[1] * 257, p[2] * 257);
      luminances.push_back(Luminance(colour));
    }
  }
  if (luminances.empty()) return 0.0;
  auto middle = luminances.begin() + static_cast<std::ptrdiff_t>(luminances.size() / 2);
  std::nth_element(luminances.begin(), middle, luminances.end());
  return *middle;
}

double ChangedShare(const Glib::RefPtr<Gdk::Pixbuf>& a, const Glib::RefPtr<Gdk::Pixbuf>& b) {
  const int width = std::min(a->get_width(), b->get_width());
  const int height = std::min(a->get_height(), b->get_height());
  long changed = 0;
  for (int y = 0; y < height; ++y) {
    const guint8* pa = a->get_pixels() + y * a->get_rowstride();
    const guint8* pb = b->get_pixels() + y * b->get_rowstride();
    for (int x = 0; x < width; ++x, pa += a->get_n_channels(), pb += b->get_n_channels()) {
      changed += (pa[0] != pb[0] || pa[1] != pb[1] || pa[2] != pb[2]) ? 1 : 0;
    }
  }
  return static_cast<double>(changed) / (static_cast<double>(width) * height);
}

}  // namespace telvanta::test
