#include "catalogue/windows/ListExportWindow.h"

#include <string>
#include <string_view>

#include "common/Files.h"
#include "common/I18n.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

constexpr int ClientWidth = 483;
constexpr int ClientHeight = 174;

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "FrmMytools";
constexpr std::string_view tvButton = "Button1";
constexpr std::string_view radioButton = "Button2";
constexpr std::string_view webcamButton = "Button3";
constexpr std::string_view oldListButton = "Button4";
}  // namespace component

}  // namespace

ListExportWindow::ListExportWindow(Gtk::Window& owner, ListExportSource& source)
    : FixedDialog(owner, component::window, "FrmMytools", ClientWidth, ClientHeight, Frame::Plain),
      source_(source),
      tvButton_(_("Get TV List")),
      radioButton_(_("Get Radio List")),
      webcamButton_(_("Get Webcam List")),
      oldListButton_("Button4") {
  const struct {
    Gtk::Button& button;
    std::string_view component;
    int x;
  } buttons[] = {{tvButton_, component::tvButton, 24},
                 {radioButton_, component::radioButton, 136},
                 {webcamButton_, component::webcamButton, 248},
                 {oldListButton_, component::oldListButton, 360}};
  for (const auto& b : buttons) {
    b.button.set_size_request(100, 25);
    NameComponent(b.button, b.component, b.button.get_label().raw());
    Layout().put(b.button, b.x, 72);
  }
  tvButton_.signal_clicked().connect([this] { exportPage(ListPage::TV, "tvlist.txt"); });
  radioButton_.signal_clicked().connect([this] { exportPage(ListPage::Radio, "radiolist.txt"); });
  webcamButton_.signal_clicked().connect([this] { exportPage(ListPage::Webcam, "weblist.txt"); });
  oldListButton_.signal_clicked().connect(
      sigc::mem_fun(*this, &ListExportWindow::onOldListClicked));
  show_all_children();
}

void ListExportWindow::exportPage(ListPage page, std::string_view fileName) {
  RunCommand(
      [&] { ReplaceFile(ExportPath(fileName), JoinLinesCrLf(source_.VisibleEntries(page))); });
}

void ListExportWindow::onOldListClicked() {
  RunCommand([this] {
    const std::filesystem::path written = source_.savelist2();
    ShowPlainMessage(Substitute(_("%1 ok!"), {written.string()}));
  });
}

}  // namespace telvanta
