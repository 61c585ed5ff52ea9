#pragma once
// ChannelListWindow: the channel list window. Created once at start-up, it loads the
// catalogue and is then only shown modally and hidden again, so its page,
// filters and lists persist through the run.

#include "catalogue/ListLoading.h"
#include "catalogue/ListWindowRules.h"
#include "catalogue/StartLists.h"
#include "catalogue/StationCommands.h"
#include "catalogue/StationDatabase.h"
#include "catalogue/StationSearch.h"
#include "catalogue/windows/AnchoredLayout.h"
#include "catalogue/windows/PropertiesDialog.h"
#include "catalogue/windows/StationListBox.h"
#include "favourites/Favourites.h"
#include "favourites/FavouritesHost.h"
#include "health/CheckOutcome.h"
#include "health/HealthBook.h"
#include "health/StationChecker.h"
#include "playback/PlayTarget.h"
#include "widgets/OwnedWindows.h"
#include "widgets/WidgetSupport.h"

#include <gtkmm.h>

#include <array>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvanta {

class ChannelListWindow : public Gtk::Window,
                          public FavouritesHost,
                          public ListExportSource,
                          public health::CheckSink,
                          public StationSequence {
 public:
  // main is where plays go (InitControl, caption, PlayTV).
  ChannelListWindow(Gtk::Window& owner, PlayTarget& main);
  ~ChannelListWindow() override;

  // Connects the database, restores the filters, loads the start page's list
  // and the favourites, picks the start page and the video size, and puts the
  // window where it was last. An error of the catalogue or of the favourites
  // is shown and the rest goes on. The other lists follow once the window is
  // on screen, or as soon as their page is about to show.
  void FormCreate();
  // Lists read on a worker during the start, taken by FormCreate when they
  // match what it would read.
  void UseStartLists(std::future<std::optional<StartLists>> lists);
  // Loads the lists still waiting from FormCreate now.
  void LoadPendingLists();

  // Points the database at listv2.dll (a refreshed one in the user's data
  // folder, else the shipped one); an open connection is closed first.
  void db_connect();
  // Installs a refreshed catalogue waiting in the user's data folder and
  // reloads the TV, radio and webcam lists from it, as one step.
  void ReloadCatalogue();
  void Loadcountrylist();
  void LoadChannel();
  void LoadRadio();
  void Loadwebcam();
  // Rebuilds the favourites list from Fav.dat; its first entry is selected.
  // A line that does not decipher is thrown once (DamagedFavouritesText).
  void LoadFav() override;
  void ShowFavourites() override;

  std::vector<std::string> VisibleEntries(ListPage page) const override;
  std::filesystem::path savelist2() override;

  ListPage ActivePage() const;
  void SelectPage(ListPage page);
  // Shows the window modally on its selected page; returns once it is hidden.
  void ShowModal();

  // The four filter boxes as they stand.
  TvFilter CurrentTvFilter() const;
  // Items of the country box, as shown.
  const std::vector<std::string>& CountryItems() const { return countryItems_; }
  // The plain URL of each entry of a page's list as shown (its search
  // applied), at the entry's index: read through the page's rows.
  TwinUrls Urls(ListPage page) const { return PageOf(page).rows.ShownUrls(); }

  // Checks the stations a page shows, in the background, with a progress
  // bar and Cancel below the lists; nothing while a check runs.
  void CheckStations(ListPage page);
  bool CheckingStations() const { return checking_; }
  // A check's outcome from elsewhere (a play): kept, and the rows show it.
  void RecordCheck(const std::string& url, const health::CheckOutcome& outcome) override;
  // Why station health is not kept, or "" (also before FormCreate).
  std::string HealthProblem() const;

  // The stations around the one played last, in its page's list as shown.
  bool HasStation(int step) const override;
  void PlayStation(int step) override;

 protected:
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;
  bool on_configure_event(GdkEventConfigure* event) override;
  bool on_window_state_event(GdkEventWindowState* event) override;
  void on_hide() override;

 private:
  // Everything one page has. Its rows are kept once, in `rows`: the list on
  // screen shows them and the twin URLs are read from them.
  struct Page {
    StationListBox list;
    // The whole list as loaded, the page's query and the rows it shows.
    SearchableList rows;
    Gtk::Menu menu;
    // What loads a catalogue list (none for the favourites), and whether it
    // is still to be loaded.
    void (ChannelListWindow::*load)() = nullptr;
    bool pending = false;
    // Menu items greyed while no station is selected: those that need its
    // URL, and those that need its entry only (the bad-link report).
    std::vector<Gtk::MenuItem*> stationItems;
    std::vector<Gtk::MenuItem*> entryItems;
    // Greyed while the list is empty or a check runs.
    Gtk::MenuItem* checkItem = nullptr;
  };
  Page& PageOf(ListPage page) { return pages_[static_cast<std::size_t>(page)]; }
  const Page& PageOf(ListPage page) const { return pages_[static_cast<std::size_t>(page)]; }

  // A station as chosen in a list, taken once before any box: whatever
  // refills the list while a box is open (a check's results, a play's
  // outcome, a reload) can't put another station in its place.
  struct ChosenStation {
    int index = -1;  // as shown
    // In the page's whole list (for the favourites, the line of Fav.dat);
    // none when the index names no station.
    std::optional<std::size_t> row;
    std::string entry;
    std::string url;
    // Throws the list's error "List index out of bounds (<index>)" when
    // nothing was chosen.
    void Check() const;
  };
  ChosenStation Chosen(ListPage page) const;

  void BuildLayout();
  void BuildPages();
  void BuildFilterGroup();
  void BuildSearch();
  void BuildMenus();
  void RestoreFilter(Gtk::ComboBoxText& box, const std::vector<std::string>& items,
                     const char* setting);
  void LoadCatalogueLists(ListPage start);
  bool ShowStartList(StartLists& read, ListPage start);
  bool CountriesWaiting() const;
  void ShowAppendedCountries();
  void LoadPending(ListPage page);
  bool onLoadPendingTurn();
  // Gives a page's list the rows it loaded; its query applies to them.
  void ShowLoaded(ListPage page, StationList loaded);
  // Shows the rows of a page that its query keeps.
  void ShowRows(ListPage page);
  void ApplyQuery(ListPage page, std::string_view query);
  // The entry shows the query of the page shown.
  void ShowQueryOf(ListPage page);
  // Greys the menu items of a page that have nothing to act on.
  void UpdateCommands(ListPage page);
  void PopUp(ListPage page, GdkEventButton* event);
  void RestorePlacement();
  void SavePlacement();

  void BuildHealth(AnchoredLayout& layout, int hideBoxX, int hideBoxY);
  // The check box as stored, its filter applied to every page.
  void RestoreHideFailed();
  // Each page shows or hides the stations that failed their last two checks.
  void ApplyHideFailed();
  void OpenHealth();
  // An entry's checks; null when it has none or no check has been read.
  const health::StationHealth* ChecksOf(ListPage page, int index) const;
  void onCheckResult(const std::string& url, const health::CheckOutcome& outcome);
  void onCheckProgress(std::size_t done, std::size_t total);
  void onCheckFinished();

  void onGoClicked();
  void onSearchChanged();
  void onSearchActivated();
  // Play: a double-click, Enter or the menu's "Play".
  void PlayFrom(ListPage page);
  // The row of the page's whole list the station played last is on now.
  std::optional<std::size_t> PlayedRow() const;
  void onAddToFavourites(ListPage page);
  void onAddOwnChannel();
  void onRenameFavourite();
  void onDeleteFavourite();
  void onProperties();
  void onReportBadLink(ListPage page);
  // The video size button stores its value on a mouse-up over it.
  void ConnectMouseUp(Gtk::RadioButton& button, std::string_view stretch);

  Gtk::Window& owner_;
  PlayTarget& main_;
  // The station played last from a list: its page, row and URL.
  struct Played {
    ListPage page = ListPage::TV;
    std::size_t row = 0;
    std::string url;
  };
  std::optional<Played> played_;

  AnchoredLayout layout_;
  Gtk::Label quickStartLabel_;
  Gtk::Label rightClickLabel_;
  Gtk::Notebook tabs_;
  // By ListPage, in tab order.
  std::array<Page, 4> pages_;
  Gtk::SearchEntry searchEntry_;
  bool showingQuery_ = false;
  sigc::connection pendingLoader_;
  // Pages removed while the window goes emit a switch too.
  sigc::connection pageSwitch_;
  Gtk::Frame filterGroup_;
  Gtk::Box filterBox_{Gtk::ORIENTATION_VERTICAL};
  Gtk::Label countryLabel_;
  Gtk::ComboBoxText countryBox_;
  Gtk::Label typeLabel_;
  Gtk::ComboBoxText typeBox_;
  Gtk::Label sortLabel_;
  Gtk::ComboBoxText sortBox_;
  Gtk::ComboBoxText orderBox_;
  Gtk::Button goButton_;
  Gtk::Label videoSizeLabel_;
  Gtk::RadioButton originalSizeButton_;
  Gtk::RadioButton fitToWindowButton_;
  ClickLabel pictureQualityLink_;
  ClickLabel connectionLink_;
  StationDatabase database_;
  FavouritesFile favourites_;
  // The damaged line of Fav.dat last told, so it is told once.
  std::string toldDamage_;
  OwnedWindows<PropertiesDialog> propertiesDialogs_;
  std::vector<std::string> countryItems_;
  std::future<std::optional<StartLists>> startLists_;
  // Where the window is, unmaximised, and whether it is maximised; stored
  // when it hides and differs from what was stored.
  WindowPlacement placement_;
  std::string storedPlacement_;

  // Station health: the book opens with the catalogue, in FormCreate.
  std::unique_ptr<health::HealthBook> health_;
  Gtk::CheckButton hideFailedBox_;
  Gtk::ProgressBar checkProgress_;
  Gtk::Button checkCancelButton_;
  bool checking_ = false;
  // Goes before the checker, so results still on their way find it expired.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  health::StationChecker checker_;
};

}  // namespace telvanta
