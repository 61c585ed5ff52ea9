#pragma once
// MainWindow: the main window. It shows the player page of the station being
// played in its embedded browser, under a toolbar of seven buttons whose two
// pop-up menus carry every other command.

#include "app/windows/DesktopPlayer.h"
#include "app/windows/SkinsMenu.h"
#include "catalogue/ListWindowRules.h"
#include "catalogue/windows/ListExportWindow.h"
#include "health/CheckOutcome.h"
#include "health/PlayWatch.h"
#include "platform/desktop/MouseHook.h"
#include "platform/webview/BrowserView.h"
#include "playback/PlayTarget.h"
#include "playback/PlayerPage.h"
#include "playback/windows/OpenUrlDialog.h"
#include "settings/windows/PreferencesDialog.h"
#include "update/CheckNetVersion.h"
#include "widgets/LinkLabel.h"
#include "widgets/OwnedWindows.h"
#include "widgets/WidgetSupport.h"

#include <gtkmm.h>

#include <memory>
#include <string>
#include <vector>

namespace telvanta {

class ChannelListWindow;

class MainWindow : public Gtk::Window, public PlayTarget {
 public:
  MainWindow();            // FormCreate
  ~MainWindow() override;  // FormDestroy
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The channel list window, created right after this one.
  void SetListWindow(ChannelListWindow* list);

  void InitControl() override;
  void PlayTV(const std::string& url) override;
  void PlayStation(const std::string& entry, const std::string& url,
                   StationSequence& list) override;
  void SetCaption(const std::string& caption) override { set_title(caption); }
  std::string Caption() const override { return get_title(); }
  // Plays an address handed in from outside (the command line, a later
  // launch) as Open URL does, in place of a pick from the channel list
  // window, which steps aside if it is up; before the first show the
  // address waits and plays instead of the list coming up.
  void PlayAddress(const std::string& address);
  // Shows the window the first time; later brings it to the front, or the
  // channel list window while that is up.
  void Raise();
  // Applies a skin file of the Skins folder by name and remembers it.
  void ChangeSkin(std::string_view name) { skinsMenu_->ChangeSkin(name); }
  // The status bar's announcement: its text and the link a click opens.
  void SetAnnouncement(const std::string& text, const std::string& link);
  const std::string& AnnouncementLink() const { return announcementLink_; }

  // The embedded browser, made on first need: the web module is loaded
  // first, waiting for it if it is still on its way. Throws Error when the
  // module can't be loaded.
  platform::BrowserView& Browser();

  // Playback state (page counter, page name, stream class).
  const PlayerPageWriter& PlayerPage() const { return playerPage_; }
  // True while a loaded page waits to be deleted.
  bool PageCleanupTimerRunning() const { return pageCleanupTimer_.connected(); }
  // Open URL dialogs still open.
  std::vector<OpenUrlDialog*> OpenUrlDialogs() const;

 protected:
  void on_show() override;
  bool on_delete_event(GdkEventAny* event) override;
  // The player's keys come before the focused widget's (see the .cpp).
  bool on_key_press_event(GdkEventKey* event) override;

 private:
  void BuildToolbar();
  void BuildWelcomePanel();
  void BuildStatusBar();
  void BuildMenus();
  void InstallMouseHook();
  void InitWeb();
  void ShowListOn(ListPage page);
  // PlayTV, naming the station (empty for an address) and its list.
  void Play(const std::string& url, const std::string& station, StationSequence* list);
  Gtk::FileChooserDialog& MediaFileDialog();

  void onShown();
  // Once the list window is on screen, the browser is made as soon as its
  // module has loaded, so the first play finds it ready.
  void MakeBrowserWhenLoaded();
  void onClosing();
  void onAnnouncementClicked();
  void onWatchTvClicked();
  void onListenRadioClicked();
  void onWebcamsClicked();
  void onFavouritesClicked();
  void onPreferencesActivated();
  // Starts the update worker on the first play of a day.
  void RunDailyUpdate();
  void OpenUpdateCheck();
  void onToolsClicked();
  void onHelpClicked();
  void onOpenActivated();
  void onOpenUrlActivated();
  // The help file at its contents (no topic) or at a topic.
  static void OpenHelp(const std::string& topic);
  void ShowAbout();
  void onDownloadRealPlayerActivated();
  void onDownloadMediaPlayerActivated();
  void onPageLoaded();
  void onPlayersChanged();
  void onCheckStationsActivated();
  bool onPageCleanupTimer();

  ChannelListWindow* listWindow_ = nullptr;
  bool showing_ = false;  // the first show has begun
  std::string startAddress_;
  // Where a play's outcome goes as a check of its station.
  health::CheckSink* checks_ = nullptr;
  health::PlayWatch playWatch_;
  Gtk::Box clientBox_{Gtk::ORIENTATION_VERTICAL};
  Gtk::Box toolbar_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Button watchTvButton_;
  Gtk::Button listenRadioButton_;
  Gtk::Button webcamsButton_;
  Gtk::Button favouritesButton_;
  Gtk::Button toolsButton_;
  Gtk::Button helpButton_;
  Gtk::Button aboutButton_;
  Gtk::Overlay playerArea_;
  Gtk::Box browserPanel_{Gtk::ORIENTATION_VERTICAL};
  std::unique_ptr<platform::BrowserView> browser_;
  sigc::connection browserMaker_;
  Gtk::EventBox welcomePanel_;
  Gtk::Fixed welcomeLayout_;
  Gtk::Image welcomePicture_;
  Gtk::Label playersNoteLabel_;
  LinkLabel realPlayerLink_;
  LinkLabel mediaPlayerLink_;
  Gtk::Box statusBar_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Frame makerPanel_;
  Gtk::Label makerLabel_;
  Gtk::Frame announcementPanel_;
  ClickLabel announcementLabel_;
  Gtk::Menu toolsMenu_;
  Gtk::Menu helpMenu_;
  std::unique_ptr<Gtk::FileChooserDialog> mediaFileDialog_;
  std::unique_ptr<SkinsMenu> skinsMenu_;

  PlayerPageWriter playerPage_;
  std::unique_ptr<platform::MouseHook> mouseHook_;
  sigc::connection pageCleanupTimer_;
  std::string announcementLink_;
  OwnedWindows<OpenUrlDialog> openUrlDialogs_;
  OwnedWindows<ListExportWindow> exportWindows_;
  OwnedWindows<PreferencesDialog> preferencesDialogs_;
  // Goes before the worker, so a result still on its way finds it expired.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  std::unique_ptr<CheckNetVersion> updateWorker_;
  std::unique_ptr<DesktopPlayer> desktopPlayer_;
};

}  // namespace telvanta
