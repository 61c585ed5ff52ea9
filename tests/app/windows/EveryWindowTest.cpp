// Every window of the program, opened as the user opens it, under the
// desktop's dark theme (the test runs with GTK_THEME=Adwaita:dark): each is
// dark and every text on it readable, Escape and Ctrl+W close each dialog,
// and the look follows the desktop's dark preference (the settings
// portal's too) as it changes while skins stay as they were made. Screenshots go to the build
// folder as dark-<window>.png.

#include "app/startup/Startup.h"
#include "app/windows/MainWindow.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "catalogue/windows/PropertiesDialog.h"
#include "platform/browser/HelpWindow.h"
#include "tests/support/TextContrast.h"
#include "tests/support/WindowTestSupport.h"
#include "update/windows/UpdateCheckDialog.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/InputBox.h"
#include "widgets/SkinEngine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <optional>

#ifndef TELVANTA_BUILD_PROGRAM_DIR
#error "TELVANTA_BUILD_PROGRAM_DIR names the build's program folder"
#endif

namespace telvanta {
namespace {

using namespace std::chrono_literals;
using test::ChangedShare;
using test::Find;
using test::Pump;
using test::WaitUntil;

const std::filesystem::path BuildFolder = TELVANTA_BUILD_PROGRAM_DIR;
// What the test runs under, and gives back after changing it.
constexpr const char* DarkTheme = "Adwaita:dark";

// Below this median luminance a window reads as dark (see MedianLuminance).
constexpr double DarkLimit = 0.18;

// The window as drawn now.
Glib::RefPtr<Gdk::Pixbuf> Picture(Gtk::Window& window) {
  auto gdkWindow = window.get_window();
  return Gdk::Pixbuf::create(gdkWindow, 0, 0, gdkWindow->get_width(), gdkWindow->get_height());
}

// Whether the help window shows its page: something drawn on the view below
// the tool bar, which is all of one colour until then.
bool PageDrawn(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  constexpr int ToolBar = 60;
  const int channels = picture->get_n_channels();
  const guint8* first = picture->get_pixels() + ToolBar * picture->get_rowstride();
  for (int y = ToolBar; y < picture->get_height(); ++y) {
    const guint8* p = picture->get_pixels() + y * picture->get_rowstride();
    for (int x = 0; x < picture->get_width(); ++x, p += channels) {
      if (p[0] != first[0] || p[1] != first[1] || p[2] != first[2]) return true;
    }
  }
  return false;
}

// The desktop's choice: GTK_THEME (null: unset) and the dark preference.
// The preference is set twice so that GTK reads its theme again even when
// only the variable changed.
void UseDesktop(const char* gtkTheme, bool preferDark) {
  if (gtkTheme != nullptr) {
    setenv("GTK_THEME", gtkTheme, 1);
  } else {
    unsetenv("GTK_THEME");
  }
  auto settings = Gtk::Settings::get_default();
  settings->property_gtk_application_prefer_dark_theme() = !preferDark;
  settings->property_gtk_application_prefer_dark_theme() = preferDark;
  Pump();
}

// The desktop's settings portal, as far as the colour scheme goes, on the
// test's own session bus.
class FakePortal {
 public:
  explicit FakePortal(guint32 scheme) : scheme_(scheme) {
    bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    node_ = g_dbus_node_info_new_for_xml(Introspection, nullptr);
    static const GDBusInterfaceVTable vtable = {&FakePortal::Call, nullptr, nullptr, {}};
    object_ = g_dbus_connection_register_object(bus_, Path, node_->interfaces[0], &vtable, this,
                                                nullptr, nullptr);
    owner_ = g_bus_own_name_on_connection(bus_, "org.freedesktop.portal.Desktop",
                                          G_BUS_NAME_OWNER_FLAGS_NONE, nullptr, nullptr, nullptr,
                                          nullptr);
  }
  ~FakePortal() {
    g_bus_unown_name(owner_);
    g_dbus_connection_unregister_object(bus_, object_);
    g_dbus_node_info_unref(node_);
    g_object_unref(bus_);
  }
  FakePortal(const FakePortal&) = delete;
  FakePortal& operator=(const FakePortal&) = delete;

  void Change(guint32 scheme) {
    scheme_ = scheme;
    g_dbus_connection_emit_signal(bus_, nullptr, Path, "org.freedesktop.portal.Settings",
                                  "SettingChanged",
                                  g_variant_new("(ssv)", "org.freedesktop.appearance",
                                                "color-scheme", g_variant_new_uint32(scheme)),
                                  nullptr);
  }

 private:
  static constexpr const char* Path = "/org/freedesktop/portal/desktop";
  static constexpr const char* Introspection = R"(
<node>
  <interface name="org.freedesktop.portal.Settings">
    <method name="Read">
      <arg type="s" name="namespace" direction="in"/>
      <arg type="s" name="key" direction="in"/>
      <arg type="v" name="value" direction="out"/>
    </method>
    <signal name="SettingChanged">
      <arg type="s" name="namespace"/>
      <arg type="s" name="key"/>
      <arg type="v" name="value"/>
    </signal>
  </interface>
</node>)";

  // Read answers as the real portal does: the value boxed twice.
  static void Call(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                   GVariant*, GDBusMethodInvocation* invocation, gpointer self) {
    const guint32 scheme = static_cast<FakePortal*>(self)->scheme_;
    g_dbus_method_invocation_return_value(
        invocation, g_variant_new("(v)", g_variant_new_variant(g_variant_new_uint32(scheme))));
  }

  guint32 scheme_;
  GDBusConnection* bus_ = nullptr;
  GDBusNodeInfo* node_ = nullptr;
  guint object_ = 0;
  guint owner_ = 0;
};

class EveryWindowTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {
 protected:
  // A window, and how the user opens it. Dialogs close with Escape.
  struct Opening {
    std::string name;
    std::function<void()> open;
    bool dialog = true;
  };

  void SetUp() override {
    RealWindowsTest::SetUp();
    std::filesystem::copy(BuildFolder / "Skins", program_.Path() / "Skins",
                          std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(BuildFolder / "Help.chm", program_.Path() / "Help.chm");
    Start();
    List().set_modal(false);
    Main().SetListWindow(nullptr);
    Main().SetAnnouncement("New stations this week", "http://127.0.0.1/news");
  }
  void TearDown() override {
    if (auto* help = platform::HelpWindow::Current()) {
      help->close();
      WaitUntil([] { return platform::HelpWindow::Current() == nullptr; }, 5s);
    }
    properties_.reset();
    update_.reset();
    UseDesktop(DarkTheme, false);
    SkinEngine::Default().SelectTheme(0);
    RealWindowsTest::TearDown();
  }

  Gtk::MenuItem& Item(Gtk::Window& window, const char* component) {
    return Find<Gtk::MenuItem>(window, component);
  }

  // Every window, alone on the screen while it is open.
  std::vector<Opening> Windows() {
    return {
        {"frmmain", [this] { Main().show(); }, false},
        {"FrmList", [this] { List().show(); }, false},
        {"FrmAbout", [this] { Item(Main(), "CustomItem76").activate(); }},
        {"FrmSetting", [this] { Item(Main(), "CustomItem65").activate(); }},
        {"FrmOpenURL", [this] { Item(Main(), "CustomItem62").activate(); }},
        {"FrmAddUrl", [this] { Item(List(), "CustomItem6").activate(); }},
        {"FrmProperties",
         [this] {
           properties_ = std::make_unique<PropertiesDialog>(List(), "Canada - Channel One(300k)",
                                                            "mms://127.0.0.1/one");
           properties_->show();
         }},
        // Made here, so that it never goes online.
        {"FrmUpdate",
         [this] {
           update_ = std::make_unique<UpdateCheckDialog>(Main(), std::nullopt, 1h);
           update_->show();
         }},
        {"HelpWindow", [this] { Item(Main(), "CustomItem70").activate(); }},
        {"MessageBox",
         [] { ShowInformationBox("OK", "The channel has been added successfully!"); }},
        {"InputBox", [this] { InputBox(List(), "Rename", "Display name:", "Channel One"); }},
    };
  }

  // Opens the window and hands it to `use` once it is drawn in full; `use`
  // closes it, or asks it to close. Returns once `use` has run, and for a
  // modal window once its opening has returned.
  static void WhileOpen(const Opening& window, const std::function<void(Gtk::Window&)>& use) {
    bool used = false;
    sigc::connection poll = Glib::signal_timeout().connect(
        [&] {
          Gtk::Window* shown = test::FindToplevel(window.name);
          if (shown == nullptr || !shown->get_mapped() || shown->get_opacity() < 1.0) return true;
          if (window.name == "HelpWindow" && shown->get_title() == "Telvanta Help") return true;
          Pump(300ms);  // pages and pictures in place
          if (window.name == "HelpWindow") {
            // The page is drawn a while after its title is known.
            EXPECT_TRUE(WaitUntil([&] { return PageDrawn(Picture(*shown)); }, 10s));
          }
          use(*shown);
          used = true;
          return false;
        },
        50);
    window.open();
    EXPECT_TRUE(WaitUntil([&] { return used; }, 20s)) << window.name << " did not open";
    poll.disconnect();
  }

  std::unique_ptr<PropertiesDialog> properties_;
  std::unique_ptr<UpdateCheckDialog> update_;
};

// Every label drawn on the window: its text against what is behind it. A
// submenu's labels are drawn on a window of their own.
void ExpectReadable(Gtk::Window& window, const std::string& name) {
  for (Gtk::Widget* widget : test::AllWidgets(window)) {
    auto* label = dynamic_cast<Gtk::Label*>(widget);
    if (label == nullptr || !label->get_is_drawable() || !label->is_sensitive() ||
        label->get_text().empty() || label->get_toplevel() != &window) {
      continue;
    }
    EXPECT_GE(test::WorstTextContrast(window, *label), 4.5)
        << name << ": \"" << label->get_text() << "\" (" << label->get_name() << ")";
  }
}

// Under the dark desktop theme with no skin chosen, every window is dark and
// its text readable: the built-in look's light panels and the links' design
// blue once stayed, unreadable beside a dark desktop.
TEST_F(EveryWindowTest, EveryWindowIsDarkAndItsTextReadable) {
  EXPECT_EQ(SkinEngine::Default().LookName(), DarkTheme);
  for (const Opening& window : Windows()) {
    WhileOpen(window, [&](Gtk::Window& shown) {
      const auto picture = Picture(shown);
      picture->save((BuildFolder / ("dark-" + window.name + ".png")).string(), "png");
      EXPECT_LT(test::MedianLuminance(picture), DarkLimit) << window.name;
      ExpectReadable(shown, window.name);
      if (window.dialog) {
        shown.close();
      } else {
        shown.hide();
      }
    });
  }
  // The Tools menu, its Skins submenu open.
  Main().show();
  WaitUntil([&] { return Main().get_mapped(); });
  auto& tools = Find<Gtk::Menu>(Main(), "TePopupMenu2");
  tools.popup_at_widget(&Find<Gtk::Button>(Main(), "TeButton1"), Gdk::GRAVITY_SOUTH_WEST,
                        Gdk::GRAVITY_NORTH_WEST, nullptr);
  auto& skins = Item(Main(), "CustomItem87");
  WaitUntil([&] { return tools.get_mapped(); });
  tools.select_item(skins);
  WaitUntil([&] { return skins.get_submenu()->get_mapped(); }, 2s);
  Pump(300ms);
  Gdk::Pixbuf::create(Gdk::Window::get_default_root_window(), 0, 0, 1280, 1024)
      ->save((BuildFolder / "dark-menus.png").string(), "png");
  for (Gtk::Menu* menu : {&tools, skins.get_submenu()}) {
    auto* popup = dynamic_cast<Gtk::Window*>(menu->get_toplevel());
    ASSERT_NE(popup, nullptr);
    EXPECT_LT(test::MedianLuminance(Picture(*popup)), DarkLimit) << menu->get_name();
    ExpectReadable(*popup, menu->get_name());
  }
  tools.popdown();
  Main().hide();
}

// Escape and Ctrl+W close every dialog and the help window, as the title
// bar's close button does (About, Preferences and Help once ignored them).
TEST_F(EveryWindowTest, EscapeAndCtrlWCloseEveryDialog) {
  struct Key {
    guint keyval;
    guint modifiers;
  };
  for (const Key key : {Key{GDK_KEY_Escape, 0}, Key{GDK_KEY_w, GDK_CONTROL_MASK}}) {
    for (const Opening& window : Windows()) {
      if (!window.dialog) continue;
      // A modal window the key left open would hold the test: closed after a while.
      sigc::connection fallback = Glib::signal_timeout().connect_seconds(
          [name = window.name] {
            if (Gtk::Window* open = test::FindToplevel(name)) open->close();
            return true;
          },
          10);
      WhileOpen(window, [&](Gtk::Window& shown) {
        shown.present();
        test::SendKey(shown, key.keyval, key.modifiers);
      });
      EXPECT_TRUE(WaitUntil([&] { return test::FindToplevel(window.name) == nullptr; }, 5s))
          << window.name << " stayed open on " << gdk_keyval_name(key.keyval);
      fallback.disconnect();
      if (Gtk::Window* open = test::FindToplevel(window.name)) open->close();
    }
  }
}

// The built-in look follows the desktop's dark preference as it changes,
// GTK_THEME first; a skin is drawn the same over any desktop theme, as it
// was made (the list window shows most of the theme's widgets), and Reset
// to Default goes back to following the desktop.
TEST_F(EveryWindowTest, TheLookFollowsTheDesktopAndSkinsStayAsMade) {
  struct Step {
    const char* gtkTheme;
    bool preferDark;
    const char* skin;  // "" for Reset to Default, null for no command
    std::string look;
    bool dark;
  };
  const Step steps[] = {
      {DarkTheme, false, nullptr, DarkTheme, true}, {nullptr, false, nullptr, "QNX", false},
      {nullptr, true, nullptr, DarkTheme, true},    {nullptr, true, "aqua.mskn", "aqua", false},
      {nullptr, false, nullptr, "aqua", false},     {DarkTheme, false, nullptr, "aqua", false},
      {DarkTheme, false, "", DarkTheme, true},
  };
  Glib::RefPtr<Gdk::Pixbuf> aqua;
  List().show();
  WaitUntil([&] { return List().get_mapped(); });
  for (const Step& step : steps) {
    UseDesktop(step.gtkTheme, step.preferDark);
    if (step.skin != nullptr && *step.skin != '\0') Main().ChangeSkin(step.skin);
    if (step.skin != nullptr && *step.skin == '\0') Item(Main(), "CustomItem89").activate();
    Pump(300ms);
    const std::string context = std::string(step.gtkTheme ? step.gtkTheme : "unset") +
                                (step.preferDark ? ", prefer dark" : "");
    EXPECT_EQ(SkinEngine::Default().LookName(), step.look) << context;
    const auto picture = Picture(List());
    EXPECT_EQ(test::MedianLuminance(picture) < DarkLimit, step.dark) << context;
    if (step.look != "aqua") continue;
    if (!aqua) aqua = picture;
    // But for a few pixels of the theme's symbolic arrows.
    EXPECT_LT(ChangedShare(picture, aqua), 0.01) << "aqua drawn otherwise under " << context;
  }
  List().hide();
}

// A desktop's dark style reaches the program through the settings portal,
// which GTK 3 does not read: read when the portal appears, and followed as
// it changes.
TEST_F(EveryWindowTest, TheDesktopsDarkStyleComesFromTheSettingsPortal) {
  UseDesktop(nullptr, false);
  ASSERT_EQ(SkinEngine::Default().LookName(), "QNX");
  FakePortal portal(1);
  EXPECT_TRUE(WaitUntil([] { return SkinEngine::Default().LookName() == DarkTheme; }, 5s));
  for (const guint32 scheme : {0U, 1U, 2U}) {
    portal.Change(scheme);
    const std::string look = scheme == 1 ? DarkTheme : "QNX";
    EXPECT_TRUE(WaitUntil([&] { return SkinEngine::Default().LookName() == look; }, 5s))
        << "colour scheme " << scheme;
  }
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  setenv("GTK_THEME", telvanta::DarkTheme, 1);  // before GTK starts
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.EveryWindowTest");
}
