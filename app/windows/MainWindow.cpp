#include "app/windows/MainWindow.h"

#include "app/AppRules.h"
#include "app/windows/AboutDialog.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "common/Captions.h"
#include "common/Error.h"
#include "common/Files.h"
#include "common/I18n.h"
#include "common/Links.h"
#include "common/ProgramPaths.h"
#include "common/StreamClass.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/glib/PostToUi.h"
#include "platform/webview/WebModule.h"
#include "playback/OpenMediaRules.h"
#include "playback/windows/OpenUrlDialog.h"
#include "settings/PlayerVolume.h"
#include "settings/Settings.h"
#include "update/DailyTrigger.h"
#include "update/windows/UpdateCheckDialog.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/SkinEngine.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace telvanta {

namespace {

constexpr int ClientWidth = 545;
constexpr int ClientHeight = 514;
constexpr unsigned PageCleanupIntervalMs = 100;

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "frmmain";
constexpr std::string_view toolbar = "TePanel1";
constexpr std::string_view watchTvButton = "TeButton6";
constexpr std::string_view listenRadioButton = "TeButton3";
constexpr std::string_view webcamsButton = "TeButton8";
constexpr std::string_view favouritesButton = "TeButton5";
constexpr std::string_view toolsButton = "TeButton1";
constexpr std::string_view helpButton = "TeButton2";
constexpr std::string_view aboutButton = "TeButton7";
constexpr std::string_view playerArea = "PanelMain";
constexpr std::string_view browserPanel = "Panel1";
constexpr std::string_view browser = "WebBrowser1";
constexpr std::string_view welcomePanel = "PanelWeb";
constexpr std::string_view welcomePicture = "Image1";
constexpr std::string_view playersNoteLabel = "Label7";
constexpr std::string_view realPlayerLink = "URLLabel2";
constexpr std::string_view mediaPlayerLink = "URLLabel1";
constexpr std::string_view statusBar = "TeStatusBar1";
constexpr std::string_view makerLabel = "StatusPanel0";
constexpr std::string_view announcementLabel = "Label1";
constexpr std::string_view toolsMenu = "TePopupMenu2";
constexpr std::string_view openItem = "CustomItem61";
constexpr std::string_view openUrlItem = "CustomItem62";
constexpr std::string_view softwareItem = "CustomItem64";
constexpr std::string_view downloadRealPlayerItem = "CustomItem67";
constexpr std::string_view downloadMediaPlayerItem = "CustomItem68";
constexpr std::string_view checkForUpdateItem = "CustomItem69";
constexpr std::string_view checkStationsItem = "CheckStationsItem";
constexpr std::string_view preferencesItem = "CustomItem65";
constexpr std::string_view skinsItem = "CustomItem87";
constexpr std::string_view helpMenu = "TePopupMenu3";
constexpr std::string_view helpContentsItem = "CustomItem70";
constexpr std::string_view faqItem = "CustomItem71";
// The F.A.Q submenu: the three answers, then "&More...".
constexpr std::string_view faqAnswerItems[] = {"CustomItem77", "CustomItem78", "CustomItem79"};
constexpr std::string_view faqMoreItem = "CustomItem82";
constexpr std::string_view homepageItem = "CustomItem73";
constexpr std::string_view emailItem = "CustomItem74";
constexpr std::string_view aboutItem = "CustomItem76";
constexpr std::string_view mediaFileDialog = "OpenDialog1";
}  // namespace component

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
         platform::WidgetOrAncestorNamed(target, platform::kRealPlayerWidgetName);
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
    : playersNoteLabel_(
          _("If you have problems watching stations, please be sure you have installed the "
            "latest version of RealPlayer and Windows Media Player.")),
      realPlayerLink_(_("Click here to download the lastest version of Real Player")),
      mediaPlayerLink_(_("Click here to download the lastest version of Windows Media Player")),
      makerLabel_(std::string(MakerLine)),
      playerPage_(DataFolder(), UserRuntimeFolder()) {
  NameComponent(*this, component::window, ApplicationTitle);
  set_title(std::string(ApplicationTitle));
  set_default_size(ClientWidth, ClientHeight);
  set_position(Gtk::WIN_POS_CENTER);
  InstallStyle(WindowCss);
  add(clientBox_);
  BuildToolbar();
  playerArea_.add(browserPanel_);
  NameComponent(playerArea_, component::playerArea);
  NameComponent(browserPanel_, component::browserPanel);
  BuildWelcomePanel();
  clientBox_.pack_start(playerArea_, true, true);
  BuildStatusBar();
  BuildMenus();
  show_all_children();

  // FormCreate: its errors are shown and the window is made all the same.
  InstallMouseHook();
  RunCommand([] { skins::ApplyStoredSkin(SkinEngine::Default()); });
  RunCommand([this] {
    set_keep_above(IsTopMost(ReadSetting("TopMost")));
    InitControl();
    InitWeb();
    SetAnnouncement(ReadSetting("LastText"), ReadSetting("LastURL"));
  });
  desktopPlayer_ = std::make_unique<DesktopPlayer>(*this, [this](const std::string& url) {
    RunCommand([&] {
      InitControl();
      PlayTV(url);
    });
  });
}

MainWindow::~MainWindow() {
  browserMaker_.disconnect();
  pageCleanupTimer_.disconnect();
  mouseHook_.reset();
}

void MainWindow::BuildToolbar() {
  struct ToolButton {
    Gtk::Button& button;
    std::string_view component;
    const char* caption;
    const char* icon;
    int width;
    void (MainWindow::*handler)();
  };
  const ToolButton buttons[] = {
      {watchTvButton_, component::watchTvButton, _("Watch &TV"), "tv", 90,
       &MainWindow::onWatchTvClicked},
      {listenRadioButton_, component::listenRadioButton, _("Listen &Radio"), "radio", 90,
       &MainWindow::onListenRadioClicked},
      {webcamsButton_, component::webcamsButton, _("&Webcams"), "webcam", 90,
       &MainWindow::onWebcamsClicked},
      {favouritesButton_, component::favouritesButton, _("My &Favorites"), "favorites", 90,
       &MainWindow::onFavouritesClicked},
      {toolsButton_, component::toolsButton, _("T&ools"), "tools", 90, &MainWindow::onToolsClicked},
      {helpButton_, component::helpButton, _("&Help"), "help", 90, &MainWindow::onHelpClicked},
      {aboutButton_, component::aboutButton, _("&About"), "about", 96, &MainWindow::ShowAbout},
  };
  NameComponent(toolbar_, component::toolbar);
  toolbar_.set_size_request(-1, 62);
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
    b.button.signal_clicked().connect(sigc::mem_fun(*this, b.handler));
    toolbar_.pack_start(b.button, false, false);
  }
  clientBox_.pack_start(toolbar_, false, false);
}

void MainWindow::BuildWelcomePanel() {
  NameComponent(welcomePanel_, component::welcomePanel);
  welcomePanel_.add(welcomeLayout_);
  welcomePicture_.set(Picture("about", 32));
  NameComponent(welcomePicture_, component::welcomePicture);
  welcomeLayout_.put(welcomePicture_, 24, 176);
  playersNoteLabel_.set_line_wrap(true);
  playersNoteLabel_.set_max_width_chars(1);
  playersNoteLabel_.set_xalign(0.0F);
  playersNoteLabel_.set_size_request(417, -1);
  NameComponent(playersNoteLabel_, component::playersNoteLabel, playersNoteLabel_.get_text().raw());
  welcomeLayout_.put(playersNoteLabel_, 64, 176);
  realPlayerLink_.SetHint(std::string(RealPlayerPage));
  mediaPlayerLink_.SetHint(std::string(MediaPlayerPage));
  NameComponent(realPlayerLink_, component::realPlayerLink, realPlayerLink_.Caption().raw());
  NameComponent(mediaPlayerLink_, component::mediaPlayerLink, mediaPlayerLink_.Caption().raw());
  for (auto* link : {&realPlayerLink_, &mediaPlayerLink_}) {
    link->get_style_context()->add_class("welcome-link");
  }
  welcomeLayout_.put(realPlayerLink_, 64, 216);
  welcomeLayout_.put(mediaPlayerLink_, 64, 240);
  playerArea_.add_overlay(welcomePanel_);
}

void MainWindow::BuildStatusBar() {
  NameComponent(statusBar_, component::statusBar);
  statusBar_.set_size_request(-1, 22);
  makerPanel_.set_size_request(200, -1);
  announcementPanel_.set_size_request(400, -1);
  makerLabel_.set_xalign(0.0F);
  makerLabel_.set_margin_start(4);
  makerPanel_.add(makerLabel_);
  NameComponent(makerLabel_, component::makerLabel, MakerLine);
  announcementLabel_.label().get_style_context()->add_class("announcement");
  announcementLabel_.label().set_ellipsize(Pango::ELLIPSIZE_END);
  announcementLabel_.set_margin_start(4);
  NameComponent(announcementLabel_, component::announcementLabel);
  announcementLabel_.signal_clicked().connect(
      sigc::mem_fun(*this, &MainWindow::onAnnouncementClicked));
  announcementPanel_.add(announcementLabel_);
  statusBar_.pack_start(makerPanel_, false, false);
  statusBar_.pack_start(announcementPanel_, false, false);
  clientBox_.pack_end(statusBar_, false, false);
}

void MainWindow::BuildMenus() {
  NameComponent(toolsMenu_, component::toolsMenu);
  AddMenuItem(toolsMenu_, component::openItem, _("&Open..."))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::onOpenActivated));
  AddMenuItem(toolsMenu_, component::openUrlItem, _("Open &URL..."))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::onOpenUrlActivated));
  AddSeparator(toolsMenu_);
  auto& software = AddMenuItem(toolsMenu_, component::softwareItem, _("&Free software required"));
  auto* softwareMenu = Gtk::make_managed<Gtk::Menu>();
  AddMenuItem(*softwareMenu, component::downloadRealPlayerItem, _("Download &RealPlayer"))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::onDownloadRealPlayerActivated));
  AddMenuItem(*softwareMenu, component::downloadMediaPlayerItem,
              _("Download &Windows Media Player"))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::onDownloadMediaPlayerActivated));
  software.set_submenu(*softwareMenu);
  AddSeparator(toolsMenu_);
  AddMenuItem(toolsMenu_, component::checkForUpdateItem, _("&Check for update..."),
              Picture("update", 16))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::OpenUpdateCheck));
  AddMenuItem(toolsMenu_, component::checkStationsItem, _("Check &stations"))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::onCheckStationsActivated));
  AddMenuItem(toolsMenu_, component::preferencesItem, _("&Preferences..."))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::onPreferencesActivated));
  AddSeparator(toolsMenu_);
  skinsMenu_ = std::make_unique<SkinsMenu>(
      *this, AddMenuItem(toolsMenu_, component::skinsItem, _("Skins"), Picture("skins", 16)),
      SkinEngine::Default());

  NameComponent(helpMenu_, component::helpMenu);
  AddMenuItem(helpMenu_, component::helpContentsItem, _("&Help Contents..."))
      .signal_activate()
      .connect([] { OpenHelp(""); });
  auto& faq = AddMenuItem(helpMenu_, component::faqItem, _("&F.A.Q"));
  auto* faqMenu = Gtk::make_managed<Gtk::Menu>();
  for (std::size_t i = 0; i < std::size(FaqAnswers); ++i) {
    AddMenuItem(*faqMenu, component::faqAnswerItems[i], Translate(FaqAnswers[i].caption))
        .signal_activate()
        .connect([i] { ShowPlainMessage(Translate(FaqAnswers[i].text)); });
  }
  AddMenuItem(*faqMenu, component::faqMoreItem, _("&More...")).signal_activate().connect([] {
    OpenHelp("faq.htm");
  });
  faq.set_submenu(*faqMenu);
  AddSeparator(helpMenu_);
  AddMenuItem(helpMenu_, component::homepageItem, _("&Homepage")).signal_activate().connect([] {
    platform::ShellOpen(std::string(MakerSite), platform::ShowMode::Maximized);
  });
  AddMenuItem(helpMenu_, component::emailItem, _("&Email")).signal_activate().connect([] {
    platform::ShellOpen(SupportMailAddress(), platform::ShowMode::Maximized);
  });
  AddSeparator(helpMenu_);
  AddMenuItem(helpMenu_, component::aboutItem, _("&About..."))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &MainWindow::ShowAbout));

  toolsMenu_.attach_to_widget(*this);
  helpMenu_.attach_to_widget(*this);
}

void MainWindow::InstallMouseHook() {
  try {
    mouseHook_ = std::make_unique<platform::MouseHook>(SwallowRealPlayerRightButton);
  } catch (const std::exception&) {
    mouseHook_.reset();  // runs without the hook, unreported
  }
}

void MainWindow::InitWeb() { welcomePanel_.show(); }

void MainWindow::InitControl() { welcomePanel_.hide(); }

void MainWindow::SetAnnouncement(const std::string& text, const std::string& link) {
  announcementLabel_.label().set_text(text);
  announcementLink_ = link;
  announcementLabel_.set_tooltip_text(link);
  if (auto accessible = announcementLabel_.get_accessible()) {
    accessible->set_name(text);
  }
}

void MainWindow::onAnnouncementClicked() {
  if (const std::string address = AnnouncementAddress(announcementLink_); !address.empty()) {
    platform::ShellOpen(address, platform::ShowMode::Maximized);
  }
}

void MainWindow::on_show() {
  onShown();
  Gtk::Window::on_show();
}

void MainWindow::onShown() {
  if (listWindow_ != nullptr && !browser_) {
    // Not before: the loader's lock would hold up the list window's own
    // lazily loaded modules (pictures, input methods, accessibility).
    auto mapped = std::make_shared<sigc::connection>();
    *mapped = listWindow_->signal_map_event().connect(
        [this, mapped](GdkEventAny*) {
          mapped->disconnect();
          platform::PreloadWebModule();
          MakeBrowserWhenLoaded();
          return false;
        },
        false);
  }
  showing_ = true;
  if (!startAddress_.empty()) {
    InitControl();
    // Shown, not thrown: the window must still come up.
    RunCommand([this] { PlayTV(std::exchange(startAddress_, {})); });
  } else if (listWindow_ != nullptr) {
    listWindow_->ShowModal();
  }
}

void MainWindow::PlayAddress(const std::string& address) {
  if (!showing_) {
    startAddress_ = address;
    platform::PreloadWebModule();  // no list window to wait for
    return;
  }
  if (listWindow_ != nullptr && listWindow_->get_visible()) {
    listWindow_->hide();
  }
  InitControl();
  PlayTV(address);
  Raise();
}

void MainWindow::Raise() {
  if (!showing_) {
    show();
  } else if (listWindow_ != nullptr && listWindow_->get_visible()) {
    listWindow_->present();
  } else if (get_visible()) {
    // While its first show waits on the list window it is not visible yet,
    // and comes up as that closes.
    present();
  }
}

void MainWindow::MakeBrowserWhenLoaded() {
  // Low priority: after the list window's first paint.
  browserMaker_ = Glib::signal_timeout().connect(
      [this] {
        if (!platform::WebModuleSettled()) {
          return true;
        }
        try {
          Browser();
        } catch (const Error&) {
          // Told on the first play, which needs the browser.
        }
        return false;
      },
      10, Glib::PRIORITY_LOW);
}

platform::BrowserView& MainWindow::Browser() {
  if (!browser_) {
    browserMaker_.disconnect();
    browser_ = platform::LoadWebModule().createBrowser(playerPage_.PageFolder());
    Gtk::Widget& widget = browser_->Widget();
    NameComponent(widget, component::browser);
    browserPanel_.pack_start(widget, true, true);
    widget.show_all();
    browser_->signal_download_complete().connect(sigc::mem_fun(*this, &MainWindow::onPageLoaded));
    browser_->signal_players_changed().connect(sigc::mem_fun(*this, &MainWindow::onPlayersChanged));
    browser_->signal_volume_changed().connect([](int volume) { WriteVolume(volume); });
    browser_->SetVolume(ReadVolume());
    desktopPlayer_->Attach(*browser_);
  }
  return *browser_;
}

bool MainWindow::on_delete_event(GdkEventAny* /*event*/) {
  onClosing();
  return false;  // closing is never refused
}

void MainWindow::onClosing() {
  pageCleanupTimer_.disconnect();
  playerPage_.DeleteCurrentPage();
  if (browser_) {
    browser_->Stop();
  }
  WriteSetting("Day", DateText());
  WriteSetting("FirstRun", "1");
}

void MainWindow::ShowListOn(ListPage page) {
  if (listWindow_ == nullptr) {
    return;
  }
  listWindow_->SelectPage(page);
  listWindow_->ShowModal();
}

void MainWindow::onWatchTvClicked() { ShowListOn(ListPage::TV); }
void MainWindow::onListenRadioClicked() { ShowListOn(ListPage::Radio); }
void MainWindow::onWebcamsClicked() { ShowListOn(ListPage::Webcam); }
void MainWindow::onFavouritesClicked() { ShowListOn(ListPage::Favorites); }
void MainWindow::onToolsClicked() { PopUpAtPointer(toolsMenu_, toolsButton_); }
void MainWindow::onHelpClicked() { PopUpAtPointer(helpMenu_, helpButton_); }

void MainWindow::PlayTV(const std::string& url) { Play(url, {}, nullptr); }

void MainWindow::PlayStation(const std::string& entry, const std::string& url,
                             StationSequence& list) {
  Play(url, entry, &list);
}

void MainWindow::Play(const std::string& url, const std::string& station, StationSequence* list) {
  std::filesystem::path page;
  try {
    page = playerPage_.WritePlayerPage(url, ReadSetting("Stretch"));
  } catch (const UnknownStreamClassError& error) {
    ShowPlainMessage(error.what());
    return;
  }
  playWatch_.Began(url);
  try {
    platform::BrowserView& browser = Browser();
    browser.SetStationName(station);
    browser.SetVolume(ReadVolume());
    if (playerPage_.CurrentPageHasPlayer()) {
      browser.StartPlayer(url);  // the stream opens while the page loads
    }
    browser.Navigate(page.string());
  } catch (const Error& error) {
    ShowPlainMessage(error.what());
    return;
  }
  desktopPlayer_->Played(url, station, list);
  RunDailyUpdate();
}

// Once a station plays, its keys are the window's: Space must not press
// whichever toolbar button happens to have the focus (the toolbar answers
// Enter and its Alt+letter keys). Only the player's own control bar keeps
// the keys its focused control uses.
bool MainWindow::on_key_press_event(GdkEventKey* event) {
  if (browser_ && browser_->HandlePlayerKey(*event)) {
    return true;
  }
  return Gtk::Window::on_key_press_event(event);
}

void MainWindow::SetListWindow(ChannelListWindow* list) {
  listWindow_ = list;
  checks_ = list;
}

void MainWindow::onPlayersChanged() {
  std::vector<health::PlayerState> players;
  for (const auto& player : browser_->Players()) {
    players.push_back({player.phase, player.errorText});
  }
  if (const auto outcome = playWatch_.Update(players); outcome && checks_ != nullptr) {
    checks_->RecordCheck(outcome->first, outcome->second);
  }
}

// The check runs in the list window, which shows its progress.
void MainWindow::onCheckStationsActivated() {
  if (listWindow_ == nullptr) {
    return;
  }
  listWindow_->CheckStations(listWindow_->ActivePage());
  ShowListOn(listWindow_->ActivePage());
}

void MainWindow::RunDailyUpdate() {
  if (!TakeDailyUpdateTurn(DateText())) {
    return;
  }
  if (updateWorker_ && updateWorker_->Running()) {
    return;
  }
  std::optional<UpdateContext> context = DefaultUpdateContext();
  if (!context) {
    return;
  }
  // The worker reports from its own thread; results hop to the UI thread and
  // are dropped once this window is gone.
  const std::weak_ptr<int> alive = alive_;
  UpdateCallbacks callbacks;
  callbacks.announce = [this, alive](const Announcement& announcement) {
    platform::PostToUi([this, alive, announcement] {
      if (alive.lock()) {
        SetAnnouncement(announcement.text, announcement.url);
      }
    });
  };
  callbacks.catalogueStaged = [this, alive](const std::filesystem::path& /*staged*/) {
    platform::PostToUi([this, alive] {
      if (alive.lock() && listWindow_ != nullptr) {
        RunCommand([this] { listWindow_->ReloadCatalogue(); });
      }
    });
  };
  updateWorker_ = std::make_unique<CheckNetVersion>(std::move(*context), std::move(callbacks));
  updateWorker_->Start();
}

void MainWindow::OpenUpdateCheck() {
  UpdateCheckDialog dialog(*this, DefaultUpdateContext());
  telvanta::ShowModal(dialog);
}

void MainWindow::onPageLoaded() {
  if (playerPage_.CurrentStreamClass() == StreamClass::Webcam) {
    return;
  }
  if (pageCleanupTimer_.connected()) {
    return;
  }
  pageCleanupTimer_ = Glib::signal_timeout().connect(
      sigc::mem_fun(*this, &MainWindow::onPageCleanupTimer), PageCleanupIntervalMs);
}

bool MainWindow::onPageCleanupTimer() {
  if (browser_ && browser_->GetReadyState() != platform::ReadyState::Complete) {
    return true;
  }
  playerPage_.DeleteCurrentPage();
  return false;
}

Gtk::FileChooserDialog& MainWindow::MediaFileDialog() {
  if (mediaFileDialog_) {
    return *mediaFileDialog_;
  }
  mediaFileDialog_ =
      std::make_unique<Gtk::FileChooserDialog>(*this, _("Open"), Gtk::FILE_CHOOSER_ACTION_OPEN);
  mediaFileDialog_->set_name(std::string(component::mediaFileDialog));
  mediaFileDialog_->add_button(_("_Cancel"), Gtk::RESPONSE_CANCEL);
  mediaFileDialog_->add_button(_("_Open"), Gtk::RESPONSE_ACCEPT);
  mediaFileDialog_->set_default_response(Gtk::RESPONSE_ACCEPT);
  for (const auto& group : ParseDialogFilter(Translate(MediaFileFilter))) {
    auto filter = Gtk::FileFilter::create();
    filter->set_name(group.label);
    for (const auto& pattern : group.patterns) {
      filter->add_pattern(CaseInsensitivePattern(pattern));
    }
    mediaFileDialog_->add_filter(filter);
  }
  mediaFileDialog_->set_filter(mediaFileDialog_->list_filters().front());
  return *mediaFileDialog_;
}

void MainWindow::onOpenActivated() {
  auto& dialog = MediaFileDialog();
  // Each time on the first group, whichever the user chose last time.
  dialog.set_filter(dialog.list_filters().front());
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

void MainWindow::onOpenUrlActivated() {
  OpenUrlDialog& dialog = openUrlDialogs_.Open(*this, *this);
  // The export tools need the lists; a double-click on the picture opens them.
  dialog.SetOpenTools([this](OpenUrlDialog& owner) {
    if (listWindow_ != nullptr) {
      exportWindows_.Open(owner, *listWindow_).show();
    }
  });
  dialog.show();
}

void MainWindow::onPreferencesActivated() {
  preferencesDialogs_
      .Open(
          *this, [this](bool topMost) { set_keep_above(topMost); }, [this] { OpenUpdateCheck(); })
      .show();
}

std::vector<OpenUrlDialog*> MainWindow::OpenUrlDialogs() const { return openUrlDialogs_.Visible(); }

void MainWindow::OpenHelp(const std::string& topic) {
  const std::string helpFile = ProgramFolder() + "Help.chm";
  platform::ShellOpen(topic.empty() ? helpFile : "mk:@MSITStore:" + helpFile + "::/" + topic,
                      platform::ShowMode::Maximized);
}

void MainWindow::ShowAbout() {
  AboutDialog about(*this);
  telvanta::ShowModal(about);
}

void MainWindow::onDownloadRealPlayerActivated() {
  platform::ShellOpen(UrlLabelAddress(TLabelType::hmHTTP, RealPlayerPage),
                      platform::ShowMode::Maximized);
}

void MainWindow::onDownloadMediaPlayerActivated() {
  platform::ShellOpen(UrlLabelAddress(TLabelType::hmHTTP, MediaPlayerPage),
                      platform::ShowMode::Maximized);
}

}  // namespace telvanta
