// The real windows in the language of LANGUAGE (CTest runs this test under
// en, de and fr, each with the C.UTF-8 locale). Every text the main window,
// the list window, their menus and the dialogs show is looked up among the
// messages of the build's telvanta.pot: in English each must be one (a text
// missing there was never given to gettext), in German and French none may
// be left in English. Screenshots go to the build folder as
// lang-<language>-<window>.png, to be looked at for cut-off captions.

#include "app/startup/Startup.h"
#include "app/windows/AboutDialog.h"
#include "app/windows/MainWindow.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "common/Captions.h"
#include "common/I18n.h"
#include "playback/windows/OpenUrlDialog.h"
#include "settings/windows/PreferencesDialog.h"
#include "tests/support/WindowTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

#ifndef TELVANTA_POT
#error "TELVANTA_POT names the build's telvanta.pot"
#endif

namespace telvanta {
namespace {

using test::Find;
using test::Pump;
using test::WaitUntil;

const std::filesystem::path Pot = TELVANTA_POT;
const std::filesystem::path BuildFolder = TELVANTA_BUILD_PROGRAM_DIR;

// "Watch &TV" and "_Cancel" as a label shows them: "Watch TV", "Cancel".
std::string Shown(const std::string& message) {
  if (message.find('&') != std::string::npos) return StripMnemonic(message);
  std::string text = message;
  std::erase(text, '_');
  return text;
}

// The message ids of a .pot file, plural forms included.
std::vector<std::string> MessageIds(const std::filesystem::path& pot) {
  std::ifstream in(pot);
  std::vector<std::string> ids;
  std::string line;
  std::string* open = nullptr;
  std::string id;
  std::string plural;
  auto unquote = [](std::string_view quoted) {
    std::string out;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
      if (quoted[i] == '\\' && i + 2 < quoted.size()) {
        const char c = quoted[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
      } else {
        out += quoted[i];
      }
    }
    return out;
  };
  auto flush = [&] {
    for (auto* text : {&id, &plural}) {
      if (!text->empty()) ids.push_back(*text);
      text->clear();
    }
  };
  while (std::getline(in, line)) {
    if (line.starts_with("msgid \"")) {
      flush();
      id = unquote(line.substr(6));
      open = &id;
    } else if (line.starts_with("msgid_plural \"")) {
      plural = unquote(line.substr(13));
      open = &plural;
    } else if (line.starts_with('"') && open != nullptr) {
      *open += unquote(line);
    } else {
      open = nullptr;
    }
  }
  flush();
  return ids;
}

// What the windows show that is data, not interface: the catalogue's
// countries, skin names and files, the maker's line, its site and address.
bool IsData(const std::string& text) {
  static const std::regex data(
      "-+|Australia|Austria|Canada|Finland|France|Germany|Italy|Norway|Netherlands|Spain|Sweden|"
      "U\\.K|U\\.S\\.A|.*\\.(mskn|theme)|Aqua|BeOS|Devoir|Ecliptic|Elegant 99|Futurism|Jezz|KDE|"
      "Kromo Zone|Mac OS|Profskin|QNX|Swing|Windows Vista|Watercolor|Quillmoor "
      "2003-2026|support@.*|.*example\\.org.*|www\\..*");
  return std::regex_match(text, data);
}

class LanguageTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {
 protected:
  static void SetUpTestSuite() { BindCataloguesForTesting(BuildFolder / "locale"); }

  void SetUp() override {
    RealWindowsTest::SetUp();
    // Not the first run: the players' note would stop the list window's show.
    WriteSetting("FirstRun", "1");
    const char* language = std::getenv("LANGUAGE");
    language_ = language != nullptr && *language != '\0' ? language : "C";
    for (const std::string& id : MessageIds(Pot)) {
      messages_.insert(Shown(id));
      if (Shown(Translate(id)) != Shown(id)) english_.insert(Shown(id));
    }
    ASSERT_GT(messages_.size(), 200U) << "no messages read from " << Pot;
  }

  void StartWithoutTheModalList() {
    Start();
    List().set_modal(false);
    Main().SetListWindow(nullptr);
  }

  bool English() const { return language_ == "C" || language_.starts_with("en"); }

  // Every text the widget and what it holds show, menus included.
  static std::vector<std::string> Texts(Gtk::Widget& root) {
    std::vector<std::string> texts;
    auto add = [&](const Glib::ustring& text) {
      if (!text.empty()) texts.push_back(text.raw());
    };
    for (Gtk::Widget* widget : test::AllWidgets(root)) {
      add(widget->get_tooltip_text());
      if (auto* window = dynamic_cast<Gtk::Window*>(widget)) add(window->get_title());
      if (auto* label = dynamic_cast<Gtk::Label*>(widget)) add(label->get_text());
      if (auto* frame = dynamic_cast<Gtk::Frame*>(widget)) add(frame->get_label());
      if (auto* entry = dynamic_cast<Gtk::Entry*>(widget)) add(entry->get_placeholder_text());
      if (auto* notebook = dynamic_cast<Gtk::Notebook*>(widget)) {
        for (int i = 0; i < notebook->get_n_pages(); ++i) {
          if (auto* tab = notebook->get_tab_label(*notebook->get_nth_page(i))) {
            for (auto* inner : test::AllWidgets(*tab)) {
              if (auto* label = dynamic_cast<Gtk::Label*>(inner)) add(label->get_text());
            }
          }
        }
      }
      if (auto* box = dynamic_cast<Gtk::ComboBoxText*>(widget)) {
        for (const auto& row : box->get_model()->children()) {
          Glib::ustring item;
          row.get_value(0, item);
          add(item);
        }
      }
    }
    return texts;
  }

  // English: texts that are no message. Other languages: texts left in English.
  std::vector<std::string> Faults(Gtk::Widget& root) const {
    std::vector<std::string> faults;
    for (const std::string& text : Texts(root)) {
      const bool fault = English() ? !messages_.contains(text) && !IsData(text) && !Fragment(text)
                                   : english_.contains(text);
      if (fault) faults.push_back(text);
    }
    return faults;
  }

  // "Version: 7.2.0.0": a message with a value after it.
  bool Fragment(const std::string& text) const {
    return std::any_of(messages_.begin(), messages_.end(), [&](const std::string& message) {
      return message.size() > 2 && (message.ends_with(": ") || message.ends_with(" ")) &&
             text.starts_with(message);
    });
  }

  void Save(const Glib::RefPtr<Gdk::Pixbuf>& shot, const std::string& name) const {
    shot->save((BuildFolder / ("lang-" + language_ + "-" + name + ".png")).string(), "png");
  }

  void Shoot(Gtk::Window& window, const std::string& name) {
    window.move(0, 0);
    window.show();
    WaitUntil([&] { return window.get_mapped(); });
    Pump(std::chrono::milliseconds(300));
    auto gdk = window.get_window();
    Save(Gdk::Pixbuf::create(gdk, 0, 0, gdk->get_width(), gdk->get_height()), name);
    window.hide();
    Pump();
  }

  // The menu open under the widget with the item's submenu open too, as the
  // screen shows them.
  void ShootMenu(Gtk::Window& window, Gtk::Menu& menu, Gtk::Widget& under, Gtk::MenuItem* item,
                 const std::string& name) {
    window.move(0, 0);
    window.show();
    WaitUntil([&] { return window.get_mapped(); });
    menu.popup_at_widget(&under, Gdk::GRAVITY_SOUTH_WEST, Gdk::GRAVITY_NORTH_WEST, nullptr);
    WaitUntil([&] { return menu.get_mapped(); });
    if (item != nullptr) {
      menu.select_item(*item);
      WaitUntil([&] { return item->get_submenu()->get_mapped(); }, std::chrono::seconds(2));
    }
    Pump(std::chrono::milliseconds(300));
    Save(Gdk::Pixbuf::create(Gdk::Window::get_default_root_window(), 0, 0, 1000, 700), name);
    menu.popdown();
    window.hide();
    Pump();
  }

  std::string language_;
  std::set<std::string> messages_;
  std::set<std::string> english_;
};

TEST_F(LanguageTest, MainAndListWindowsAndTheirMenusSpeakTheLanguage) {
  StartWithoutTheModalList();
  EXPECT_THAT(Faults(Main()), testing::IsEmpty()) << "main window, " << language_;
  EXPECT_THAT(Faults(List()), testing::IsEmpty()) << "list window, " << language_;

  Shoot(Main(), "main");
  Shoot(List(), "list");
  auto& toolsButton = Find<Gtk::Button>(Main(), "TeButton1");
  auto& tools = Find<Gtk::Menu>(Main(), "TePopupMenu2");
  ShootMenu(Main(), tools, toolsButton, &Find<Gtk::MenuItem>(Main(), "CustomItem64"), "tools");
  ShootMenu(Main(), tools, toolsButton, &Find<Gtk::MenuItem>(Main(), "CustomItem87"), "skins");
  ShootMenu(Main(), Find<Gtk::Menu>(Main(), "TePopupMenu3"), Find<Gtk::Button>(Main(), "TeButton2"),
            &Find<Gtk::MenuItem>(Main(), "CustomItem71"), "help");
  ShootMenu(List(), Find<Gtk::Menu>(List(), "TePopupMenu1"), Find<Gtk::Widget>(List(), "ListBox1"),
            nullptr, "list-menu");
  ShootMenu(List(), Find<Gtk::Menu>(List(), "TePopupMenu2"), Find<Gtk::Widget>(List(), "ListBox3"),
            nullptr, "favourites-menu");
}

// The filter boxes show their items translated, but the catalogue and the
// settings know them in English: "News" picked in any language finds the
// news stations, and is stored as "News".
TEST_F(LanguageTest, TranslatedFilterItemsFindAndStoreTheCataloguesValues) {
  StartWithoutTheModalList();
  Find<Gtk::ComboBoxText>(List(), "TeComboBox1").set_active(3);
  Find<Gtk::Button>(List(), "TeButton1").clicked();
  Pump();
  EXPECT_THAT(List().VisibleEntries(ListPage::TV),
              testing::UnorderedElementsAre("Canada - Channel One(300k)", "France - Gopher()"));
  EXPECT_EQ(ReadSetting("FilterType"), "News");
}

TEST_F(LanguageTest, DialogsSpeakTheLanguage) {
  StartWithoutTheModalList();
  PreferencesDialog preferences(
      Main(), [](bool) {}, [] {});
  AboutDialog about(Main());
  OpenUrlDialog openUrl(Main(), Main());
  const std::pair<Gtk::Window*, const char*> dialogs[] = {
      {&preferences, "preferences"}, {&about, "about"}, {&openUrl, "openurl"}};
  for (const auto& [dialog, name] : dialogs) {
    EXPECT_THAT(Faults(*dialog), testing::IsEmpty()) << name << ", " << language_;
    Shoot(*dialog, name);
  }
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.LanguageTest");
}
