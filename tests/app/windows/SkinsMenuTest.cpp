// The Skins menu of the real main window under Xvfb, over a temporary
// program folder holding the shipped skins: every skin changes the main and
// list windows (screenshots land in the build folder as skin-<name>-main.png
// and skin-<name>-list.png), ThemeFile follows the choice, and a skin that
// fails leaves the look alone. The menu names the skins and ticks the one drawn.

#include "app/startup/Startup.h"
#include "app/windows/AboutDialog.h"
#include "app/windows/MainWindow.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "settings/Settings.h"
#include "tests/support/TextContrast.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/SkinEngine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef TELVANTA_BUILD_PROGRAM_DIR
#error "TELVANTA_BUILD_PROGRAM_DIR names the build's program folder"
#endif

namespace telvanta {
namespace {

using test::ChangedShare;
using test::Find;
using test::Pump;
using test::WaitUntil;

const std::filesystem::path BuildFolder = TELVANTA_BUILD_PROGRAM_DIR;

// The fifteen skin items in menu order: component, file, caption.
struct MenuSkin {
  const char* component;
  std::string file;
  std::string caption;
};
const std::vector<MenuSkin> MenuSkins = {
    {"CustomItem93", "aqua.mskn", "Aqua"},
    {"CustomItem94", "beos.mskn", "BeOS"},
    {"CustomItem95", "devoir.mskn", "Devoir"},
    {"CustomItem96", "ecliptic.mskn", "Ecliptic"},
    {"CustomItem97", "elegant99.mskn", "Elegant 99"},
    {"CustomItem98", "futurism.mskn", "Futurism"},
    {"CustomItem99", "jezz.mskn", "Jezz"},
    {"CustomItem100", "kde.mskn", "KDE"},
    {"CustomItem101", "kromo_zone.mskn", "Kromo Zone"},
    {"CustomItem102", "macos.mskn", "Mac OS"},
    {"CustomItem103", "profskin.mskn", "Profskin"},
    {"CustomItem104", "qnx.mskn", "QNX"},
    {"CustomItem105", "swing.mskn", "Swing"},
    {"CustomItem29", "vista.theme", "Windows Vista"},
    {"CustomItem106", "watercolor.mskn", "Watercolor"},
};

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
  // The captions of the skin items ticked now.
  std::vector<std::string> Ticked() {
    std::vector<std::string> ticked;
    for (const MenuSkin& skin : MenuSkins) {
      if (Find<Gtk::RadioMenuItem>(Main(), skin.component).get_active()) {
        ticked.push_back(skin.caption);
      }
    }
    return ticked;
  }

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
  // Runs `act` on the skin dialog once it is open.
  static void OnSkinDialog(const std::function<void(Gtk::FileChooserDialog&)>& act) {
    Glib::signal_timeout().connect_once(
        [act] {
          if (auto* dialog =
                  dynamic_cast<Gtk::FileChooserDialog*>(test::FindToplevel("OpenSkin1"))) {
            act(*dialog);
          }
        },
        300);
  }
  // Typed as a user types it, over whatever the location entry held, then
  // Return; a first "/" opens the dialog's location entry. Its completions
  // are turned off: a pop-up of them, shown or not by the time Return
  // comes, would take that Return for itself.
  static void TypePath(Gtk::FileChooserDialog& dialog, const std::string& path) {
    dialog.present();
    WaitUntil([&] { return dialog.is_active(); });
    if (auto* entry = dynamic_cast<Gtk::Entry*>(dialog.get_focus())) entry->select_region(0, -1);
    test::TypeText(dialog, path.substr(0, 1));
    auto* entry = dynamic_cast<Gtk::Entry*>(dialog.get_focus());
    ASSERT_NE(entry, nullptr) << "no location entry";
    if (auto completion = entry->get_completion()) {
      completion->set_popup_completion(false);
      completion->set_inline_completion(false);
    }
    test::TypeText(dialog, path.substr(1));
    test::SendKey(dialog, GDK_KEY_Return);
  }
  void StartWithoutTheModalList() {
    Start();
    List().set_modal(false);
    Main().SetListWindow(nullptr);
  }
};

TEST_F(SkinsMenuTest, SkinsMenuHoldsTheCommandsAndTheFifteenSkinsByName) {
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
  for (const MenuSkin& skin : MenuSkins) expected.push_back(skin.caption);
  EXPECT_EQ(captions, expected);
  EXPECT_EQ(Ticked(), std::vector<std::string>{}) << "the built-in look is no skin of the menu";
  EXPECT_EQ(Item("CustomItem29").get_name(), "CustomItem29");
}

TEST_F(SkinsMenuTest, EverySkinChangesBothWindowsAndIsRemembered) {
  StartWithoutTheModalList();
  const auto builtInMain = ShotWithMenus();
  const auto builtInList = Shot(List());
  builtInMain->save((BuildFolder / "skin-builtin-main.png").string(), "png");
  builtInList->save((BuildFolder / "skin-builtin-list.png").string(), "png");
  for (const MenuSkin& skin : MenuSkins) {
    const std::string& caption = skin.file;
    Item(skin.component).activate();
    EXPECT_EQ(ReadSetting("ThemeFile"), Skin(caption));
    EXPECT_EQ(SkinEngine::Default().SkinFile(), Skin(caption));
    EXPECT_EQ(Ticked(), std::vector<std::string>{skin.caption});
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

// Link text stays readable in every look (the About box's links were once
// blue on a dark skin): a contrast of at least 4.5 with every pixel behind
// its text, for the links of the About box, the welcome panel, the status
// bar's announcement and the list window. The About boxes are saved as
// skin-<name>-about.png in the build folder.
TEST_F(SkinsMenuTest, EveryLookKeepsLinkTextReadable) {
  StartWithoutTheModalList();
  Main().SetAnnouncement("New stations this week", "http://127.0.0.1/news");
  std::vector<std::string> looks = {""};
  for (const MenuSkin& skin : MenuSkins) looks.push_back(skin.file);
  for (const std::string& look : looks) {
    if (!look.empty()) Main().ChangeSkin(look);
    const std::string name = look.empty() ? "builtin" : std::filesystem::path(look).stem().string();
    auto check = [&](Gtk::Window& window) {
      for (Gtk::Widget* widget : test::AllWidgets(window)) {
        auto* link = dynamic_cast<ClickLabel*>(widget);
        if (link == nullptr || !link->get_is_drawable()) continue;
        EXPECT_GE(test::WorstTextContrast(window, link->label()), 4.5)
            << name << ": " << link->get_name() << " in " << window.get_name();
      }
    };
    Show(Main());
    check(Main());
    Main().hide();
    Show(List());
    check(List());
    List().hide();
    AboutDialog about(Main());
    Show(about);
    WaitUntil([&] { return about.get_opacity() == 1.0; });
    check(about);
    Shot(about)->save((BuildFolder / ("skin-" + name + "-about.png")).string(), "png");
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
  EXPECT_EQ(Ticked(), std::vector<std::string>{});
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
    EXPECT_EQ(Ticked(), std::vector<std::string>{"Aqua"}) << "the skin still drawn";
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
          // The user picks another group; the next opening starts on the first again.
          dialog->set_filter(dialog->list_filters().back());
          // The chooser learns of the folder it was given a while after it shows.
          WaitUntil([&] { return !dialog->get_current_folder().empty(); }, std::chrono::seconds(5));
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
  EXPECT_EQ(selected, groups.front());
  EXPECT_EQ(ReadSetting("ThemeFile"), outside.string());
  EXPECT_EQ(SkinEngine::Default().LookName(), "mine");
}

// A packed skin's pictures are served through GIO under a scheme of their
// own, which once claimed every name typed into a file dialog: a typed path
// then neither opened nor navigated. A file's path and Return opens it; a
// folder's and Return goes there.
TEST_F(SkinsMenuTest, TypedPathsWorkInTheSkinDialogUnderAPackedSkin) {
  StartWithoutTheModalList();
  Main().ChangeSkin("aqua.mskn");
  const auto folder = data_.Path() / "typed";
  const auto file = folder / "mine.uskn";
  test::WriteFile(file, "window { background-color: #336699; }");
  test::WriteFile(folder / "other.uskn", "window { background-color: #663399; }");
  struct Case {
    std::string typed;
    bool opens;
  };
  // A refused path has the dialog show an error box of its own: noted and closed.
  std::vector<std::string> errors;
  sigc::connection closer = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          auto* box = dynamic_cast<Gtk::MessageDialog*>(window);
          if (box == nullptr || !box->get_visible()) continue;
          errors.push_back(box->property_text().get_value());
          box->response(Gtk::RESPONSE_OK);
        }
        return true;
      },
      50);
  for (const Case& c : {Case{file.string(), true}, Case{folder.string() + "/", false}}) {
    int response = 0;
    std::string shown;
    OnSkinDialog([&](Gtk::FileChooserDialog& dialog) {
      auto watch = dialog.signal_response().connect([&](int id) { response = id; });
      TypePath(dialog, c.typed);
      WaitUntil([&] { return response != 0 || dialog.get_current_folder() == folder.string(); });
      shown = dialog.get_current_folder();
      watch.disconnect();
      // A refused path, or a folder, leaves the dialog open.
      if (response == 0) dialog.response(Gtk::RESPONSE_CANCEL);
    });
    Item("CustomItem90").activate();
    if (c.opens) {
      EXPECT_EQ(response, Gtk::RESPONSE_ACCEPT) << c.typed;
      EXPECT_EQ(ReadSetting("ThemeFile"), file.string());
    } else {
      EXPECT_EQ(response, 0) << c.typed;
      EXPECT_EQ(shown, folder.string());
    }
  }
  closer.disconnect();
  EXPECT_EQ(errors, std::vector<std::string>{});
}

// A skin that makes a window larger than the screen would leave the program
// unusable, at once and at every start: it is taken back, with a message
// naming the window, and not stored. A start with such a skin stored keeps
// the built-in look and says the same.
TEST_F(SkinsMenuTest, ASkinMakingAWindowLargerThanTheScreenIsTakenBack) {
  const auto huge = data_.Path() / "huge.uskn";
  test::WriteFile(huge, "* { padding: 20000px; }");
  StartWithoutTheModalList();
  Main().ChangeSkin("aqua.mskn");
  const auto aqua = Shot(Main());
  OnSkinDialog([&](Gtk::FileChooserDialog& dialog) {
    dialog.set_filename(huge.string());
    Pump(std::chrono::milliseconds(200));
    dialog.response(Gtk::RESPONSE_ACCEPT);
  });
  const auto chosen = test::AnswerDialogs([&] { Item("CustomItem90").activate(); });
  ASSERT_EQ(chosen.size(), 1U);
  EXPECT_EQ(chosen[0].icon, MessageIcon::Error);
  EXPECT_THAT(chosen[0].text, testing::StartsWith("The skin \"" + huge.string() +
                                                  "\" would make the window \"Telvanta\" "));
  EXPECT_THAT(chosen[0].text, testing::HasSubstr("larger than the screen (1280 x 1024)"));
  EXPECT_EQ(ReadSetting("ThemeFile"), Skin("aqua.mskn"));
  EXPECT_EQ(SkinEngine::Default().SkinFile(), Skin("aqua.mskn"));
  EXPECT_EQ(ChangedShare(Shot(Main()), aqua), 0.0);

  windows_ = {};
  SkinEngine::Default().SelectTheme(0);
  WriteSetting("ThemeFile", huge.string());
  const auto started = test::AnswerDialogs([&] { StartWithoutTheModalList(); });
  ASSERT_EQ(started.size(), 1U);
  EXPECT_THAT(started[0].text, testing::HasSubstr("larger than the screen"));
  EXPECT_EQ(SkinEngine::Default().LookName(), "QNX");
  EXPECT_EQ(ReadSetting("ThemeFile"), huge.string()) << "kept for a larger screen";
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.SkinsMenuTest");
}
