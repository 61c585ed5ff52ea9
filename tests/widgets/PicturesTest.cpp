// Pictures as a start shows them, under Xvfb: the PNGs rendered at build time
// hold their SVGs' own pixels, and check marks drawn from GTK's PNGs look as
// its SVGs do.

#include "widgets/WidgetSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/MainLoop.h"

namespace telvanta {
namespace {

// The number of pixels that differ; -1 for another size or layout.
int DifferingPixels(const Glib::RefPtr<Gdk::Pixbuf>& a, const Glib::RefPtr<Gdk::Pixbuf>& b) {
  if (!a || !b || a->get_width() != b->get_width() || a->get_height() != b->get_height() ||
      a->get_n_channels() != b->get_n_channels()) {
    return -1;
  }
  const int channels = a->get_n_channels();
  int differing = 0;
  for (int y = 0; y < a->get_height(); ++y) {
    const guint8* rowA = a->get_pixels() + y * a->get_rowstride();
    const guint8* rowB = b->get_pixels() + y * b->get_rowstride();
    for (int x = 0; x < a->get_width(); ++x) {
      differing += std::memcmp(rowA + x * channels, rowB + x * channels, channels) != 0;
    }
  }
  return differing;
}

TEST(PicturesTest, RenderedPicturesHoldTheirSvgsPixels) {
  RegisterResourcesOnce();
  const std::string icons = "/org/telvanta/icons/";
  char** names =
      g_resources_enumerate_children(icons.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
  ASSERT_NE(names, nullptr);
  int compared = 0;
  for (char** name = names; *name != nullptr; ++name) {
    const std::string svg = icons + *name;
    const std::string base = std::string(*name).substr(0, std::strlen(*name) - 4);
    for (int size : {16, 32}) {
      EXPECT_EQ(DifferingPixels(Picture(base, size),
                                Gdk::Pixbuf::create_from_resource(svg, size, size, true)),
                0)
          << base << " at " << size;
      ++compared;
    }
  }
  g_strfreev(names);
  EXPECT_GE(compared, 32);
  EXPECT_EQ(DifferingPixels(SplashPicture(),
                            Gdk::Pixbuf::create_from_resource("/org/telvanta/splash.svg")),
            0);
  // A size with no PNG still comes, from the SVG.
  EXPECT_EQ(Picture("tv", 24)->get_width(), 24);
}

TEST(PicturesTest, CheckedMarksFromPngsLookAsTheThemesSvgs) {
  Gtk::OffscreenWindow window;
  Gtk::Box box(Gtk::ORIENTATION_VERTICAL);
  Gtk::RadioButton radio("Original Size");
  Gtk::CheckButton check("Hide");
  Gtk::CheckButton mixed("Mixed");
  radio.set_active(true);
  check.set_active(true);
  mixed.set_inconsistent(true);
  box.pack_start(radio, false, false);
  box.pack_start(check, false, false);
  box.pack_start(mixed, false, false);
  window.add(box);
  window.show_all();
  const auto drawn = [&] {
    window.queue_draw();
    test::Pump(std::chrono::milliseconds(150));
    return window.get_pixbuf()->copy();
  };
  const auto fromSvgs = drawn();
  UseRasterCheckMarks();
  const auto fromPngs = drawn();
  radio.set_active(false);
  check.set_active(false);
  mixed.set_inconsistent(false);
  const auto unchecked = drawn();
  EXPECT_EQ(DifferingPixels(fromPngs, fromSvgs), 0);
  // The marks are there at all: unchecked buttons draw otherwise.
  EXPECT_GT(DifferingPixels(fromPngs, unchecked), 20);
}

}  // namespace
}  // namespace telvanta
