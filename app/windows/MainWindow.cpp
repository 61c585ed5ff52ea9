#include "app/windows/MainWindow.h"

#include "app/AppRules.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "common/Captions.h"
#include "common/Links.h"
#include "common/ProgramPaths.h"
#include "common/StreamClass.h"
#include "platform/desktop/ShellOpen.h"
#include "playback/OpenMediaRules.h"
#include "playback/windows/OpenUrlDialog.h"
#include "settings/Settings.h"
#include "widgets/ErrorDisplay.h"

#include <filesystem>
#include <system_error>

namespace telvanta {

namespace {

constexpr int ClientWidth = 545;
constexpr int ClientHeight = 514;
constexpr unsigned PageCleanupIntervalMs = 100;

const char* const WindowCss =
    "#frmmain { font-family: Tahoma, \"DejaVu Sans\", sans-serif; font-size: 9pt; }\n"
    "#frmmain .toolbutton { padding: 2px; }\n"
    "#PanelWeb { background-color: @theme_bg_color; }\n"
    "#PanelWeb .welcome-link { font-size: 8pt; }\n"
    "#frmmain .announcement { color: #0000ff; text-decoration-line: underline; }\n";

// The right button never reaches the RealPlayer plug-in's windows.
bool SwallowRealPlayerRightButton(const GdkEventButton& event, GtkWidget* target) {
  const bool pressOrRelease = event.type == GDK_BUTTON_PRESS || event.type == GDK_BUTTON_RELEASE;
  return pressOrRelease && event.button == 3 &&
         platform::WidgetOrAncestorNamed(target, "PNGUIClass");
}

// At the pointer; below the button when no pointer event led here (an
// assistive technology pressing it, say).
void PopUpAtPointer(Gtk::Menu& menu, Gtk::Widget& button) {
  GdkEvent* current = gtk_get_current_event();
  if (current != nullptr) {
    menu.popup_at_pointer(current);
    gdk_event_free(current);
  } else {
    menu.popup_at_widget(&button, Gdk::GRAVITY_SOUTH_WEST, Gdk::GRAVITY_NORTH_WEST, nullptr);
  }
}

std::filesystem::path DataFolder() { return std::filesystem::path(ProgramFolder()) / "Data"; }

}  // namespace

MainWindow::MainWindow()
    : Label7(
          "If you have problems watching stations, please be sure you have installed the "
          "latest version of RealPlayer and Windows Media Player."),
      URLLabel2("Click here to download the lastest version of Real Player"),
      URLLabel1("Click here to download the lastest version of Windows Media Player"),
      MakerLabel(std::string(MakerLine)),
      playerPage_(DataFolder()) {
  NameComponent(*this, "frmmain", ApplicationTitle);
  set_title(std::string(ApplicationTitle));
  set_default_size(ClientWidth, ClientHeight);
  set_position(Gtk::WIN_POS_CENTER);
  InstallStyle(WindowCss);
  add(ClientBox);
  BuildToolbar();
  PanelMain.add(Panel1);
  Panel1.pack_start(WebBrowser1, true, true);
  NameComponent(PanelMain, "PanelMain");
  NameComponent(Panel1, "Panel1");
  NameComponent(WebBrowser1, "WebBrowser1");
  BuildWelcomePanel();
  ClientBox.pack_start(PanelMain, true, true);
  BuildStatusBar();
  BuildMenus();
  WebBrowser1.signal_download_complete().connect(
      sigc::mem_fun(*this, &MainWindow::WebBrowser1DownloadComplete));
  show_all_children();

  // FormCreate: its errors are shown and the window is made all the same.
  InstallMouseHook();
  RunCommand([this] {
    ApplyStoredTheme();
    set_keep_above(IsTopMost(ReadSetting("TopMost")));
    InitControl();
    InitWeb();
    SetAnnouncement(ReadSetting("LastText"), ReadSetting("LastURL"));
  });
}

MainWindow::~MainWindow() {
  TimerTuerFichier.disconnect();
  MouseHookHandle.reset();
}

void MainWindow::BuildToolbar() {
  struct ToolButton {
    Gtk::Button& button;
    const char* component;
    const char* caption;
    const char* icon;
    int width;
    void (MainWindow::*handler)();
  };
  const ToolButton buttons[] = {
      {TeButton6, "TeButton6", "Watch &TV", "tv", 90, &MainWindow::TeButton6Click},
      {TeButton3, "TeButton3", "Listen &Radio", "radio", 90, &MainWindow::TeButton3Click},
      {TeButton8, "TeButton8", "&Webcams", "webcam", 90, &MainWindow::TeButton8Click},
      {TeButton5, "TeButton5", "My &Favorites", "favorites", 90, &MainWindow::TeButton5Click},
      {TeButton1, "TeButton1", "T&ools", "tools", 90, &MainWindow::TeButton1Click},
      {TeButton2, "TeButton2", "&Help", "help", 90, &MainWindow::TeButton2Click},
      {TeButton7, "TeButton7", "&About", "about", 96, nullptr},
  };
  NameComponent(TePanel1, "TePanel1");
  TePanel1.set_size_request(-1, 62);
  for (const auto& b : buttons) {
    auto* image = Gtk::make_managed<Gtk::Image>(Picture(b.icon, 32));
    b.button.set_image(*image);
    b.button.set_image_position(Gtk::POS_TOP);
    b.button.set_always_show_image(true);
    b.button.set_label(GtkMnemonic(b.caption));
    b.button.set_use_underline(true);
    b.button.set_relief(Gtk::RELIEF_NONE);
    b.button.set_size_request(b.width, 60);
    b.button.get_style_context()->add_class("toolbutton");
    NameComponent(b.button, b.component, b.caption);
    if (b.handler != nullptr) {
      b.button.signal_clicked().connect(sigc::mem_fun(*this, b.handler));
    } else {
      b.button.set_sensitive(false);  // the About box comes with the help commands
    }
    TePanel1.pack_start(b.button, false, false);
  }
  ClientBox.pack_start(TePanel1, false, false);
}

void MainWindow::BuildWelcomePanel() {
  NameComponent(PanelWeb, "PanelWeb");
  PanelWeb.add(PanelWebLayout);
  Image1.set(Picture("about", 32));
  NameComponent(Image1, "Image1");
  PanelWebLayout.put(Image1, 24, 176);
  Label7.set_line_wrap(true);
  Label7.set_max_width_chars(1);
  Label7.set_xalign(0.0F);
  Label7.set_size_request(417, -1);
  NameComponent(Label7, "Label7", Label7.get_text().raw());
  PanelWebLayout.put(Label7, 64, 176);
  URLLabel2.SetHint(std::string(RealPlayerPage));
  URLLabel1.SetHint(std::string(MediaPlayerPage));
  NameComponent(URLLabel2, "URLLabel2", URLLabel2.Caption().raw());
  NameComponent(URLLabel1, "URLLabel1", URLLabel1.Caption().raw());
  for (auto* link : {&URLLabel2, &URLLabel1}) {
    link->get_style_context()->add_class("welcome-link");
  }
  PanelWebLayout.put(URLLabel2, 64, 216);
  PanelWebLayout.put(URLLabel1, 64, 240);
  PanelMain.add_overlay(PanelWeb);
}

void MainWindow::BuildStatusBar() {
  NameComponent(TeStatusBar1, "TeStatusBar1");
  TeStatusBar1.set_size_request(-1, 22);
  StatusPanel0.set_size_request(200, -1);
  StatusPanel1.set_size_request(400, -1);
  MakerLabel.set_xalign(0.0F);
  MakerLabel.set_margin_start(4);
  StatusPanel0.add(MakerLabel);
  NameComponent(MakerLabel, "StatusPanel0", MakerLine);
  Label1.label().get_style_context()->add_class("announcement");
  Label1.label().set_ellipsize(Pango::ELLIPSIZE_END);
  Label1.set_margin_start(4);
  NameComponent(Label1, "Label1");
  Label1.signal_clicked().connect(sigc::mem_fun(*this, &MainWindow::Label1Click));
  StatusPanel1.add(Label1);
  TeStatusBar1.pack_start(StatusPanel0, false, false);
  TeStatusBar1.pack_start(StatusPanel1, false, false);
  ClientBox.pack_end(TeStatusBar1, false, false);
}

void MainWindow::BuildMenus() {
  // Commands still to come are listed but disabled.
  auto later = [](Gtk::MenuItem& item) { item.set_sensitive(false); };

  NameComponent(TePopupMenu2, "TePopupMenu2");
  AddMenuItem(TePopupMenu2, "CustomItem61", "&Open...")
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::CustomItem61Click));
  AddMenuItem(TePopupMenu2, "CustomItem62", "Open &URL...")
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::CustomItem62Click));
  AddSeparator(TePopupMenu2);
  auto& software = AddMenuItem(TePopupMenu2, "CustomItem64", "&Free software required");
  auto* softwareMenu = Gtk::make_managed<Gtk::Menu>();
  AddMenuItem(*softwareMenu, "CustomItem67", "Download &RealPlayer")
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::CustomItem67Click));
  AddMenuItem(*softwareMenu, "CustomItem68", "Download &Windows Media Player")
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::CustomItem68Click));
  software.set_submenu(*softwareMenu);
  AddSeparator(TePopupMenu2);
  later(AddMenuItem(TePopupMenu2, "CustomItem69", "&Check for update...", Picture("update", 16)));
  later(AddMenuItem(TePopupMenu2, "CustomItem65", "&Preferences..."));
  AddSeparator(TePopupMenu2);
  later(AddMenuItem(TePopupMenu2, "CustomItem87", "Skins", Picture("skins", 16)));

  NameComponent(TePopupMenu3, "TePopupMenu3");
  later(AddMenuItem(TePopupMenu3, "CustomItem70", "&Help Contents..."));
  later(AddMenuItem(TePopupMenu3, "CustomItem71", "&F.A.Q"));
  AddSeparator(TePopupMenu3);
  later(AddMenuItem(TePopupMenu3, "CustomItem73", "&Homepage"));
  later(AddMenuItem(TePopupMenu3, "CustomItem74", "&Email"));
  AddSeparator(TePopupMenu3);
  later(AddMenuItem(TePopupMenu3, "CustomItem76", "&About..."));

  TePopupMenu2.attach_to_widget(*this);
  TePopupMenu3.attach_to_widget(*this);
}

void MainWindow::ApplyStoredTheme() {
  // The skin engine takes ThemeFile here once skins are supported; until
  // then the built-in look stays, as for a missing file.
}

void MainWindow::InstallMouseHook() {
  try {
    MouseHookHandle = std::make_unique<platform::MouseHook>(SwallowRealPlayerRightButton);
  } catch (const std::exception&) {
    MouseHookHandle.reset();  // runs without the hook, unreported
  }
}

void MainWindow::InitWeb() { PanelWeb.show(); }

void MainWindow::InitControl() { PanelWeb.hide(); }

void MainWindow::SetAnnouncement(const std::string& text, const std::string& link) {
  Label1.label().set_text(text);
  label1Hint_ = link;
  Label1.set_tooltip_text(link);
  if (auto accessible = Label1.get_accessible()) {
    accessible->set_name(text.empty() ? std::string("Label1") : text);
  }
}

void MainWindow::Label1Click() {
  if (label1Hint_.empty()) {
    return;
  }
  platform::ShellOpen(label1Hint_, platform::ShowMode::Maximized);
}

void MainWindow::on_show() {
  FormShow();
  Gtk::Window::on_show();
}

void MainWindow::FormShow() {
  if (FrmList != nullptr) {
    FrmList->ShowModal();
  }
}

bool MainWindow::on_delete_event(GdkEventAny* /*event*/) {
  FormClose();
  return false;  // closing is never refused
}

void MainWindow::FormClose() {
  TimerTuerFichier.disconnect();
  playerPage_.DeleteCurrentPage();
  WebBrowser1.Stop();
  WriteSetting("Day", DateText());
  WriteSetting("FirstRun", "1");
}

void MainWindow::ShowListOn(int page) {
  if (FrmList == nullptr) {
    return;
  }
  FrmList->SelectPage(static_cast<ListPage>(page));
  FrmList->ShowModal();
}

void MainWindow::TeButton6Click() { ShowListOn(static_cast<int>(ListPage::TV)); }
void MainWindow::TeButton3Click() { ShowListOn(static_cast<int>(ListPage::Radio)); }
void MainWindow::TeButton8Click() { ShowListOn(static_cast<int>(ListPage::Webcam)); }
void MainWindow::TeButton5Click() { ShowListOn(static_cast<int>(ListPage::Favorites)); }
void MainWindow::TeButton1Click() { PopUpAtPointer(TePopupMenu2, TeButton1); }
void MainWindow::TeButton2Click() { PopUpAtPointer(TePopupMenu3, TeButton2); }

void MainWindow::PlayTV(const std::string& url) {
  std::filesystem::path page;
  try {
    page = playerPage_.WritePlayerPage(url, ReadSetting("Stretch"));
  } catch (const UnknownStreamClassError& error) {
    ShowPlainMessage(error.what());
    return;
  }
  WebBrowser1.Navigate(page.string());
  RunDailyUpdateTrigger();
}

void MainWindow::WebBrowser1DownloadComplete() {
  if (playerPage_.CurrentStreamClass() == StreamClass::Webcam) {
    return;
  }
  if (TimerTuerFichier.connected()) {
    return;
  }
  TimerTuerFichier = Glib::signal_timeout().connect(
      sigc::mem_fun(*this, &MainWindow::TimerTuerFichierTimer), PageCleanupIntervalMs);
}

bool MainWindow::TimerTuerFichierTimer() {
  if (WebBrowser1.GetReadyState() != platform::ReadyState::Complete) {
    return true;
  }
  playerPage_.DeleteCurrentPage();
  return false;
}

Gtk::FileChooserDialog& MainWindow::MediaFileDialog() {
  if (OpenDialog1) {
    return *OpenDialog1;
  }
  OpenDialog1 =
      std::make_unique<Gtk::FileChooserDialog>(*this, "Open", Gtk::FILE_CHOOSER_ACTION_OPEN);
  OpenDialog1->set_name("OpenDialog1");
  OpenDialog1->add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  OpenDialog1->add_button("_Open", Gtk::RESPONSE_ACCEPT);
  OpenDialog1->set_default_response(Gtk::RESPONSE_ACCEPT);
  for (const auto& group : ParseDialogFilter(MediaFileFilter)) {
    auto filter = Gtk::FileFilter::create();
    filter->set_name(group.label);
    for (const auto& pattern : group.patterns) {
      filter->add_pattern(CaseInsensitivePattern(pattern));
    }
    OpenDialog1->add_filter(filter);
  }
  OpenDialog1->set_filter(OpenDialog1->list_filters().front());
  return *OpenDialog1;
}

void MainWindow::CustomItem61Click() {
  auto& dialog = MediaFileDialog();
  const int response = dialog.run();
  dialog.hide();
  if (response != Gtk::RESPONSE_ACCEPT) {
    return;
  }
  const std::string path = dialog.get_filename();
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
    return;
  }
  InitControl();
  PlayTV(path);
}

void MainWindow::CustomItem62Click() {
  auto dialog = std::make_unique<OpenUrlDialog>(*this, *this);
  OpenUrlDialog* shown = dialog.get();
  // A closed dialog is not used again; it goes once its handler has returned.
  shown->signal_hide().connect([this, shown] {
    Glib::signal_idle().connect_once(sigc::track_obj(
        [this, shown] {
          std::erase_if(openUrlDialogs_, [shown](const auto& d) { return d.get() == shown; });
        },
        *this));
  });
  openUrlDialogs_.push_back(std::move(dialog));
  shown->show();
}

std::vector<OpenUrlDialog*> MainWindow::OpenUrlDialogs() const {
  std::vector<OpenUrlDialog*> dialogs;
  for (const auto& dialog : openUrlDialogs_) {
    if (dialog->get_visible()) {
      dialogs.push_back(dialog.get());
    }
  }
  return dialogs;
}

void MainWindow::CustomItem67Click() {
  platform::ShellOpen(UrlLabelAddress(TLabelType::hmHTTP, RealPlayerPage),
                      platform::ShowMode::Maximized);
}

void MainWindow::CustomItem68Click() {
  platform::ShellOpen(UrlLabelAddress(TLabelType::hmHTTP, MediaPlayerPage),
                      platform::ShowMode::Maximized);
}

}  // namespace telvanta
