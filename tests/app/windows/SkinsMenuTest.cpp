// The Skins menu of the real main window under Xvfb, over a temporary
// program folder holding the shipped skins: every skin changes the main and
// list windows (screenshots land in the build folder as skin-<name>-main.png
// and skin-<name>-list.png), ThemeFile follows the choice, and a skin that
// fails leaves the look alone.

#include "app/startup/Startup.h"
#include "app/windows/MainWindow.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "settings/Settings.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/SkinEngine.h"

#include <gtest/gtest.h>

#ifndef TELVANTA_BUILD_PROGRAM_DIR
#error "TELVANTA_BUILD_PROGRAM_DIR names the build's program folder"
#endif

namespace telvanta {
namespace {

using test::Find;
using test::Pump;
using test::WaitUntil;

const std::filesystem::path BuildFolder = TELVANTA_BUILD_PROGRAM_DIR;

// The captions of the fifteen skin items, in menu order.
const std::vector<std::string> SkinCaptions = {
    "aqua.mskn",     "beos.mskn", "devoir.mskn", "ecliptic.mskn",   "elegant99.mskn",
    "futurism.mskn", "jezz.mskn", "kde.mskn",    "kromo_zone.mskn", "macos.mskn",
    "profskin.mskn", "qnx.mskn",  "swing.mskn",  "vista.theme",     "watercolor.mskn"};

class SkinsMenuTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {
 protected:
  void SetUp() override {
    RealWindowsTest::SetUp();
    std::filesystem::copy(BuildFolder / "Skins", program_.Path() / "Skins",
                          std::filesystem::copy_options::recursive);
  }
  void TearDown() override {
    SkinEngine::Default().SelectTheme(0);
    RealWindowsTest::TearDown();
  }
  std::string Skin(const std::string& name) const {
    return (program_.Path() / "Skins" / name).string();
  }
  Gtk::MenuItem& Item(const char* component) { return Find<Gtk::MenuItem>(Main(), component); }

  // The window as drawn now, shown alone at the top left of the screen.
  Glib::RefPtr<Gdk::Pixbuf> Shot(Gtk::Window& window) {
    Show(window);
    auto gdkWindow = window.get_window();
    auto shot =
        Gdk::Pixbuf::create(gdkWindow, 0, 0, gdkWindow->get_width(), gdkWindow->get_height());
    window.hide();
    Pump();
    return shot;
  }
  // The main window with the Tools menu and its Skins submenu open, as the
  // screen shows them.
  Glib::RefPtr<Gdk::Pixbuf> ShotWithMenus() {
    Show(Main());
    auto& tools = Find<Gtk::Menu>(Main(), "TePopupMenu2");
    tools.popup_at_widget(&Find<Gtk::Button>(Main(), "TeButton1"), Gdk::GRAVITY_SOUTH_WEST,
                          Gdk::GRAVITY_NORTH_WEST, nullptr);
    auto& skins = Item("CustomItem87");
    WaitUntil([&] { return tools.get_mapped(); });
    tools.select_item(skins);
    WaitUntil([&] { return skins.get_submenu()->get_mapped(); }, std::chrono::seconds(2));
    Pump(std::chrono::milliseconds(300));
    auto shot = Gdk::Pixbuf::create(Gdk::Window::get_default_root_window(), 0, 0, 1000,
                                    Main().get_window()->get_height());
    tools.popdown();
    Main().hide();
    Pump();
    return shot;
  }
  void Show(Gtk::Window& window) {
    window.move(0, 0);
    window.show();
    WaitUntil([&] { return window.get_mapped(); });
    Pump(std::chrono::milliseconds(300));
  }
  void StartWithoutTheModalList() {
    Start();
    List().set_modal(false);
    Main().SetListWindow(nullptr);
  }
};

// The share of pixels of the same place that differ between two shots.
double ChangedShare(const Glib::RefPtr<Gdk::Pixbuf>& a, const Glib::RefPtr<Gdk::Pixbuf>& b) {
  const int width = std::min(a->get_width(), b->get_width());
  const int height = std::min(a->get_height(), b->get_height());
  long changed = 0;
  for (int y = 0; y < height; ++y) {
    const guint8* pa = a->get_pixels() + y * a->get_rowstride();
    const guint8* pb = b->get_pixels() + y * b->get_rowstride();
    for (int x = 0; x < width; ++x) {
      const guint8* ca = pa + x * a->get_n_channels();
      const guint8* cb = pb + x * b->get_n_channels();
      changed += (ca[0] != cb[0] || ca[1] != cb[1] || ca[2] != cb[2]) ? 1 : 0;
    }
  }
  return static_cast<double>(changed) / (static_cast<double>(width) * height);
}

TEST_F(SkinsMenuTest, SkinsMenuHoldsTheCommandsAndTheFifteenFiles) {
  StartWithoutTheModalList();
  auto& skins = Item("CustomItem87");
  EXPECT_TRUE(skins.get_sensitive());
  ASSERT_NE(skins.get_submenu(), nullptr);
  std::vector<std::string> captions;
  for (Gtk::Widget* child : skins.get_submenu()->get_children()) {
    captions.push_back(dynamic_cast<Gtk::SeparatorMenuItem*>(child) ? "-"
                                                                    : test::AccessibleName(*child));
  }
  std::vector<std::string> expected = {"Reset to Default", "Select Skin...", "Get More Skins...",
                                       "-"};
  expected.insert(expected.end(), SkinCaptions.begin(), SkinCaptions.end());
  EXPECT_EQ(captions, expected);
  EXPECT_EQ(Item("CustomItem29").get_name(), "CustomItem29");
}

TEST_F(SkinsMenuTest, EverySkinChangesBothWindowsAndIsRemembered) {
  StartWithoutTheModalList();
  const auto builtInMain = ShotWithMenus();
  const auto builtInList = Shot(List());
  builtInMain->save((BuildFolder / "skin-builtin-main.png").string(), "png");
  builtInList->save((BuildFolder / "skin-builtin-list.png").string(), "png");
  const char* items[] = {"CustomItem93",  "CustomItem94",  "CustomItem95",  "CustomItem96",
                         "CustomItem97",  "CustomItem98",  "CustomItem99",  "CustomItem100",
                         "CustomItem101", "CustomItem102", "CustomItem103", "CustomItem104",
                         "CustomItem105", "CustomItem29",  "CustomItem106"};
  for (std::size_t i = 0; i < SkinCaptions.size(); ++i) {
    const std::string& caption = SkinCaptions[i];
    Item(items[i]).activate();
    EXPECT_EQ(ReadSetting("ThemeFile"), Skin(caption));
    EXPECT_EQ(SkinEngine::Default().SkinFile(), Skin(caption));
    EXPECT_NE(SkinEngine::Default().LookName(), "QNX") << caption << " did not load";
    const std::string stem = std::filesystem::path(caption).stem().string();
    const auto main = ShotWithMenus();
    const auto list = Shot(List());
    main->save((BuildFolder / ("skin-" + stem + "-main.png")).string(), "png");
    list->save((BuildFolder / ("skin-" + stem + "-list.png")).string(), "png");
    EXPECT_GT(ChangedShare(main, builtInMain), 0.2) << caption;
    EXPECT_GT(ChangedShare(list, builtInList), 0.2) << caption;
    // The other windows follow too; their pictures are for the eye.
    for (const auto& [item, window] :
         {std::pair{"CustomItem62", "FrmOpenURL"}, std::pair{"CustomItem65", "FrmSetting"}}) {
      Item(item).activate();
      Gtk::Window* dialog = nullptr;
      WaitUntil([&] { return (dialog = test::FindToplevel(window)) != nullptr; });
      ASSERT_NE(dialog, nullptr) << window;
      // Hidden by the shot, which is how these dialogs close.
      Shot(*dialog)->save((BuildFolder / ("skin-" + stem + "-" + window + ".png")).string(), "png");
    }
  }
}

TEST_F(SkinsMenuTest, ResetForgetsTheFileAndBringsBackTheBuiltInLook) {
  StartWithoutTheModalList();
  const auto builtIn = Shot(Main());
  Main().ChangeSkin("beos.mskn");
  EXPECT_GT(ChangedShare(Shot(Main()), builtIn), 0.2);
  Item("CustomItem89").activate();
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, SettingsKey, "ThemeFile"), "");
  EXPECT_EQ(test::ReadFile(config_.Path() / "telvanta" / "settings.reg").find("ThemeFile"),
            std::string::npos);
  EXPECT_EQ(SkinEngine::Default().SkinFile(), "");
  EXPECT_EQ(ChangedShare(Shot(Main()), builtIn), 0.0);
}

TEST_F(SkinsMenuTest, MissingOrBrokenSkinStoresItsPathAndKeepsTheLook) {
  StartWithoutTheModalList();
  Main().ChangeSkin("aqua.mskn");
  const auto aqua = Shot(Main());
  std::filesystem::remove(Skin("jezz.mskn"));
  test::WriteFile(Skin("kde.mskn"), "PK\x03\x04 cut short");
  for (const char* name : {"jezz.mskn", "kde.mskn"}) {
    Main().ChangeSkin(name);
    EXPECT_EQ(ReadSetting("ThemeFile"), Skin(name));
    EXPECT_EQ(ChangedShare(Shot(Main()), aqua), 0.0) << name;
  }
}

TEST_F(SkinsMenuTest, StoredSkinIsAppliedAtStartWhenItsFileExists) {
  WriteSetting("ThemeFile", Skin("vista.theme"));
  StartWithoutTheModalList();
  EXPECT_EQ(SkinEngine::Default().SkinFile(), Skin("vista.theme"));
  EXPECT_EQ(SkinEngine::Default().LookName(), "Windows Vista");
  windows_ = {};
  SkinEngine::Default().SelectTheme(0);
  WriteSetting("ThemeFile", Skin("gone.mskn"));
  StartWithoutTheModalList();
  EXPECT_EQ(SkinEngine::Default().SkinFile(), "");
  EXPECT_EQ(SkinEngine::Default().LookName(), "QNX");
}

TEST_F(SkinsMenuTest, SelectSkinStartsInTheSkinsFolderAndCancelChangesNothing) {
  StartWithoutTheModalList();
  Main().ChangeSkin("macos.mskn");
  std::vector<std::string> groups;
  std::string folder;
  std::string selected;
  auto answer = [&](Gtk::ResponseType response, const std::string& file) {
    Glib::signal_timeout().connect_once(
        [&, response, file] {
          auto* dialog = dynamic_cast<Gtk::FileChooserDialog*>(test::FindToplevel("OpenSkin1"));
          if (dialog == nullptr) return;
          groups.clear();
          for (const auto& filter : dialog->list_filters()) groups.push_back(filter->get_name());
          selected = dialog->get_filter()->get_name();
          folder = dialog->get_current_folder();
          if (!file.empty()) dialog->set_filename(file);
          Pump(std::chrono::milliseconds(200));
          dialog->response(response);
        },
        300);
  };
  answer(Gtk::RESPONSE_CANCEL, "");
  Item("CustomItem90").activate();
  EXPECT_EQ(folder, program_.Path() / "Skins");
  EXPECT_EQ(groups,
            (std::vector<std::string>{"All(*.msstyles;*.uskn;*.kskn;*.xskn;*.mskn;*.theme)",
                                      "Microsoft Visual Styles(*.msstyles)",
                                      "Telvanta Skins(*.uskn;*.kskn;*.xskn;*.mskn;*.theme)"}));
  EXPECT_EQ(selected, groups.front());
  EXPECT_EQ(ReadSetting("ThemeFile"), Skin("macos.mskn"));
  EXPECT_EQ(SkinEngine::Default().SkinFile(), Skin("macos.mskn"));

  // A skin from outside the Skins folder is stored with its full path.
  const auto outside = data_.Path() / "mine.uskn";
  test::WriteFile(outside, "window { background-color: #336699; }");
  answer(Gtk::RESPONSE_ACCEPT, outside.string());
  Item("CustomItem90").activate();
  EXPECT_EQ(ReadSetting("ThemeFile"), outside.string());
  EXPECT_EQ(SkinEngine::Default().LookName(), "mine");
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.SkinsMenuTest");
}
