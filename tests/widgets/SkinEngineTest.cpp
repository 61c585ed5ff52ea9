// The skin engine under Xvfb: a skin changes what widgets draw, a skin that
// fails keeps the look it had, and theme 0 brings the built-in look back.
// Widgets are drawn off screen and their pixels read back.

#include "widgets/SkinEngine.h"

#include <gtest/gtest.h>

#include "tests/support/MainLoop.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipMaker.h"

namespace telvanta {
namespace {

using test::TempFolder;
using test::WriteFile;

std::string SolidSvg(const char* colour) {
  return std::string("<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>") +
         "<rect width='8' height='8' fill='" + colour + "'/></svg>";
}

// A sheet painting the probe's background; `picture` an url() or a colour.
std::string ProbeSheet(const std::string& fill) {
  return "#SkinProbe { background: " + fill + "; min-width: 40px; min-height: 40px; }";
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

class SkinEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    probe_.set_name("SkinProbe");
    window_.add(probe_);
    window_.show_all();
    SkinEngine::Default().SelectTheme(0);
  }
  void TearDown() override { SkinEngine::Default().SelectTheme(0); }

  // The colour in the middle of the probe as drawn now.
  Rgb Centre() {
    probe_.queue_draw();
    test::Pump(std::chrono::milliseconds(100));
    auto pixbuf = window_.get_pixbuf();
    if (!pixbuf) return {-1, -1, -1};
    const int x = pixbuf->get_width() / 2;
    const int y = pixbuf->get_height() / 2;
    const guint8* p =
        pixbuf->get_pixels() + y * pixbuf->get_rowstride() + x * pixbuf->get_n_channels();
    return {p[0], p[1], p[2]};
  }

  TempFolder folder_{"telvanta-skins"};
  Gtk::OffscreenWindow window_;
  Gtk::EventBox probe_;
};

TEST_F(SkinEngineTest, EachFormatPaintsWithItsPictureOrColour) {
  const auto dir = folder_.Path();
  WriteFile(dir / "plain.uskn", ProbeSheet("url('red.svg')"));
  WriteFile(dir / "red.svg", SolidSvg("#ff0000"));
  test::MakeZip(dir / "packed.mskn", {test::ZipFile("skin.css", ProbeSheet("url(\"p/g.svg\")")),
                                      test::ZipFile("p/g.svg", SolidSvg("#00ff00"))});
  WriteFile(dir / "blue.theme", "[Skin]\nName=Blue\nStyleSheet=blue/skin.css\n");
  WriteFile(dir / "blue" / "skin.css", ProbeSheet("#0000ff"));
  struct Case {
    const char* file;
    Rgb colour;
    const char* look;
  };
  for (const Case& c :
       {Case{"plain.uskn", {255, 0, 0}, "plain"}, Case{"packed.mskn", {0, 255, 0}, "packed"},
        Case{"blue.theme", {0, 0, 255}, "Blue"}}) {
    const std::string path = (dir / c.file).string();
    EXPECT_TRUE(SkinEngine::Default().ApplySkinFile(path)) << c.file;
    EXPECT_EQ(SkinEngine::Default().SkinFile(), path);
    EXPECT_EQ(SkinEngine::Default().LookName(), c.look);
    EXPECT_EQ(Centre(), c.colour) << c.file;
  }
}

TEST_F(SkinEngineTest, FailingSkinKeepsThePreviousLookAndReportsItsPath) {
  const auto dir = folder_.Path();
  WriteFile(dir / "good.uskn", ProbeSheet("#204080"));
  WriteFile(dir / "syntax.uskn", ProbeSheet("#ff0000") + " label { color: ; } }");
  WriteFile(dir / "unknown.uskn", ProbeSheet("#ff0000") + " label { colour: red; }");
  WriteFile(dir / "aero.msstyles", "MZ");
  ASSERT_TRUE(SkinEngine::Default().ApplySkinFile((dir / "good.uskn").string()));
  const Rgb good = Centre();
  EXPECT_EQ(good, (Rgb{0x20, 0x40, 0x80}));
  for (const char* bad : {"syntax.uskn", "unknown.uskn", "aero.msstyles", "gone.mskn"}) {
    const std::string path = (dir / bad).string();
    EXPECT_FALSE(SkinEngine::Default().ApplySkinFile(path)) << bad;
    EXPECT_EQ(SkinEngine::Default().SkinFile(), path);
    EXPECT_EQ(Centre(), good) << bad;
  }
}

TEST_F(SkinEngineTest, ThemeZeroIsTheBuiltInLookAndLeavesNoSkinFile) {
  const Rgb builtIn = Centre();
  EXPECT_EQ(SkinEngine::Default().LookName(), "QNX");
  WriteFile(folder_ / "red.uskn", ProbeSheet("#ff0000"));
  ASSERT_TRUE(SkinEngine::Default().ApplySkinFile((folder_ / "red.uskn").string()));
  EXPECT_NE(Centre(), builtIn);
  SkinEngine::Default().SelectTheme(0);
  EXPECT_EQ(SkinEngine::Default().SkinFile(), "");
  EXPECT_EQ(Centre(), builtIn);
  // There is one built-in theme; asking for another changes nothing.
  ASSERT_TRUE(SkinEngine::Default().ApplySkinFile((folder_ / "red.uskn").string()));
  SkinEngine::Default().SelectTheme(1);
  EXPECT_EQ(Centre(), (Rgb{255, 0, 0}));
}

}  // namespace
}  // namespace telvanta
