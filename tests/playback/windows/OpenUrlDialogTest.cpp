// The Open URL dialog as the main window's Tools menu opens it, over a
// temporary program folder and settings hive, under Xvfb.

#include "app/startup/Startup.h"
#include "app/windows/MainWindow.h"
#include "playback/windows/OpenUrlDialog.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"

#include <gtest/gtest.h>

namespace telvanta {
namespace {

using test::AnswerDialogs;
using test::Find;
using test::ReadFile;
using test::WaitUntil;

class OpenUrlDialogTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {
 protected:
  // The Tools menu's Open URL... command.
  void OpenUrl() { Find<Gtk::MenuItem>(Main(), "CustomItem62").activate(); }
};

TEST_F(OpenUrlDialogTest, OpenUrlDialogsAreIndependentAndLeaveTheCaption) {
  Start();
  auto& main = Main();
  main.SetCaption("Telvanta - Canada - Beta(56k)");
  OpenUrl();
  OpenUrl();
  auto dialogs = main.OpenUrlDialogs();
  ASSERT_EQ(dialogs.size(), 2U);
  OpenUrlDialog& first = *dialogs[0];
  OpenUrlDialog& second = *dialogs[1];
  EXPECT_EQ(first.get_title(), "Open URL");
  EXPECT_FALSE(first.get_modal());
  auto& address = Find<Gtk::Entry>(first, "TeEdit1");
  EXPECT_EQ(address.get_text(), "");
  EXPECT_EQ(Find<Gtk::Label>(first, "Label2").get_text(), "Open:");
  EXPECT_EQ(Find<Gtk::Button>(first, "TeButton1").get_label(), "OK");
  EXPECT_EQ(Find<Gtk::Button>(first, "TeButton2").get_label(), "Cancel");
  EXPECT_EQ(Find<Gtk::Label>(first, "Label1").get_text(),
            "Enter the URL or path to a multimedia file on the Internet, your computer or your "
            "network that you want to play: ");
  Find<Gtk::Button>(second, "TeButton2").clicked();
  EXPECT_FALSE(second.get_visible());
  EXPECT_TRUE(first.get_visible());
  // Taken as typed, trailing space included.
  address.set_text("http://127.0.0.1/cam.jpg ");
  Find<Gtk::Button>(first, "TeButton1").clicked();
  EXPECT_FALSE(first.get_visible());
  EXPECT_EQ(StreamClassText(main.PlayerPage().CurrentStreamClass()), "MMS");
  EXPECT_NE(ReadFile(Pages() / "~tmp1.htm").find("cam.jpg "), std::string::npos);
  EXPECT_EQ(main.get_title(), "Telvanta - Canada - Beta(56k)");
  EXPECT_FALSE(Find<Gtk::EventBox>(main, "PanelWeb").get_visible());
  ASSERT_TRUE(WaitUntil([&] { return main.OpenUrlDialogs().empty(); }));
}

TEST_F(OpenUrlDialogTest, OpenUrlErrorLeavesTheDialogOpen) {
  Start();
  std::filesystem::remove(Data() / "WB.dll");
  OpenUrl();
  OpenUrlDialog& dialog = *Main().OpenUrlDialogs().front();
  Find<Gtk::Entry>(dialog, "TeEdit1").set_text("http://127.0.0.1/cam.jpg");
  const auto dialogs = AnswerDialogs([&] { Find<Gtk::Button>(dialog, "TeButton1").clicked(); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Error);
  EXPECT_TRUE(dialog.get_visible());
  Find<Gtk::Button>(dialog, "TeButton2").clicked();
}

TEST_F(OpenUrlDialogTest, DoubleClickOnThePictureOpensTheToolsOnlyOnce) {
  Start();
  OpenUrl();
  OpenUrlDialog& dialog = *Main().OpenUrlDialogs().front();
  std::vector<OpenUrlDialog*> opened;
  dialog.SetOpenTools([&](OpenUrlDialog& from) { opened.push_back(&from); });
  auto& picture = Find<Gtk::EventBox>(dialog, "Image1");
  ASSERT_TRUE(WaitUntil([&] { return picture.get_realized(); }));
  struct Case {
    GdkEventType type;
    unsigned button;
    std::size_t opened;
  };
  const Case cases[] = {
      {GDK_BUTTON_PRESS, 1, 0},   // a single click
      {GDK_2BUTTON_PRESS, 3, 0},  // the right button
      {GDK_2BUTTON_PRESS, 1, 1},
  };
  for (const Case& c : cases) {
    test::SendButton(picture, c.type, c.button, 4, 4);
    EXPECT_EQ(opened.size(), c.opened) << c.type << " " << c.button;
  }
  ASSERT_EQ(opened.size(), 1U);
  EXPECT_EQ(opened.front(), &dialog);
  Find<Gtk::Button>(dialog, "TeButton2").clicked();
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.OpenUrlDialogTest");
}
