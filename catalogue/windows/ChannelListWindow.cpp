#include "catalogue/windows/ChannelListWindow.h"

#include "common/Captions.h"
#include "common/Error.h"
#include "common/Files.h"
#include "common/I18n.h"
#include "settings/Settings.h"
#include "update/CatalogueRefresh.h"
#include "widgets/ErrorDisplay.h"

#include <functional>
#include <utility>

namespace telvanta {

namespace {

constexpr int ClientWidth = 586;
// The search row sits below everything else; the rest of it is kept free for
// further list options.
constexpr int SearchRowY = 454;
constexpr int SearchWidth = 200;
// Far longer than any station's entry; a paste of a whole page must not hold
// the window.
constexpr int SearchMaxLength = 256;
constexpr int ClientHeight = 482;

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "FrmList";
constexpr std::string_view quickStartLabel = "Label1";
constexpr std::string_view rightClickLabel = "Label4";
constexpr std::string_view tabs = "TePageControl1";
constexpr std::string_view filterGroup = "TeGroupBox1";
constexpr std::string_view countryLabel = "Label8";
constexpr std::string_view countryBox = "TeComboBox4";
constexpr std::string_view typeLabel = "Label6";
constexpr std::string_view typeBox = "TeComboBox1";
constexpr std::string_view sortLabel = "Label7";
constexpr std::string_view sortBox = "TeComboBox2";
constexpr std::string_view orderBox = "TeComboBox3";
constexpr std::string_view goButton = "TeButton1";
constexpr std::string_view videoSizeLabel = "Label5";
constexpr std::string_view originalSizeButton = "RadioButton1";
constexpr std::string_view fitToWindowButton = "RadioButton2";
constexpr std::string_view pictureQualityLink = "Label2";
constexpr std::string_view connectionLink = "Label3";
constexpr std::string_view searchEdit = "SearchEdit";
}  // namespace component

// What tells the pages apart, by ListPage: the tab's caption and icon, and
// the component names of the list and its view.
struct PageLook {
  const char* caption;
  const char* icon;
  std::string_view list;
  std::string_view view;
};
constexpr PageLook PageLooks[] = {
    {N_("&TV Stations"), "tv", "ListBox1", "ListBox1View"},
    {N_("&Radio Stations"), "radio", "ListBox5", "ListBox5View"},
    {N_("&Webcams"), "webcam", "Listbox7", "Listbox7View"},
    {N_("My &Favorites"), "favorites", "ListBox3", "ListBox3View"},
};

const char* const WindowCss =
    "#FrmList { font-family: \"MS Sans Serif\", \"DejaVu Sans\", sans-serif; font-size: 8pt; }\n"
    "#FrmList button, #FrmList combobox button { min-height: 16px; padding: 2px 6px; }\n"
    "#FrmList notebook tab { padding: 2px 4px; min-height: 0; }\n"
    "#FrmList .bold { font-weight: bold; }\n"
    "#FrmList .link { text-decoration-line: underline; }\n"
    "#FrmList #SearchEdit { min-height: 18px; padding-top: 0; padding-bottom: 0; }\n"
    "#FrmList treeview { -GtkTreeView-vertical-separator: 0; -GtkTreeView-horizontal-separator: 0;"
    " -GtkTreeView-expander-size: 10; }\n";

// Replaces a box's items, shown in the user's language.
void SetItems(Gtk::ComboBoxText& box, const std::vector<std::string>& items) {
  box.remove_all();
  for (const auto& item : items) {
    box.append(Translate(item));
  }
}

// The selected item as the catalogue and the settings know it: the English
// item, whatever language the box shows.
std::string ItemText(const Gtk::ComboBoxText& box, const std::vector<std::string>& items) {
  const int index = box.get_active_row_number();
  if (index >= 0 && static_cast<std::size_t>(index) < items.size()) {
    return items[static_cast<std::size_t>(index)];
  }
  return box.get_active_text();
}

// Hands a loaded StationList to its page, also when the load stopped
// half-way.
class ListFill {
 public:
  explicit ListFill(std::function<void(StationList)> show) : show_(std::move(show)) {}
  ~ListFill() { show_(std::move(loaded)); }
  ListFill(const ListFill&) = delete;
  ListFill& operator=(const ListFill&) = delete;
  StationList loaded;

 private:
  std::function<void(StationList)> show_;
};

// The hourglass and a disabled button while Go! loads; restored however the
// load ends.
class BusyGo {
 public:
  BusyGo(Gtk::Window& window, Gtk::Button& button) : window_(window), button_(button) {
    button_.set_sensitive(false);
    if (auto gdk = window_.get_window()) {
      gdk->set_cursor(Gdk::Cursor::create(window_.get_display(), "wait"));
      window_.get_display()->flush();
    }
  }
  ~BusyGo() {
    button_.set_sensitive(true);
    if (auto gdk = window_.get_window()) {
      gdk->set_cursor();
    }
  }
  BusyGo(const BusyGo&) = delete;
  BusyGo& operator=(const BusyGo&) = delete;

 private:
  Gtk::Window& window_;
  Gtk::Button& button_;
};

FilterBoxState BoxState(const Gtk::ComboBoxText& box, const std::vector<std::string>& items) {
  return {box.get_active_row_number(), ItemText(box, items)};
}

}  // namespace

ChannelListWindow::ChannelListWindow(Gtk::Window& owner, PlayTarget& main)
    : owner_(owner),
      main_(main),
      quickStartLabel_(_("Quick Start: Double-Click a channel to play")),
      rightClickLabel_(_("For more options, right click on the channel's name")),
      countryLabel_(_("Country:")),
      typeLabel_(_("Type:")),
      sortLabel_(_("Sort By:")),
      goButton_(_("Go!")),
      videoSizeLabel_(_("Video Size:")),
      originalSizeButton_(_("Original Size")),
      fitToWindowButton_(_("Fit to window")),
      pictureQualityLink_(_(">About picture quality ")),
      connectionLink_(_(">About connection")) {
  NameComponent(*this, component::window, "Telvanta");
  set_title(std::string(ApplicationTitle));
  set_position(Gtk::WIN_POS_CENTER);
  set_default_size(ClientWidth, ClientHeight);
  // A normal window, not a dialog: window managers offer dialogs no maximise.
  InstallStyle(WindowCss);
  BuildLayout();
  BuildMenus();
  show_all_children();
}

ChannelListWindow::~ChannelListWindow() {
  pageSwitch_.disconnect();
  pendingLoader_.disconnect();
}

// At its smallest, the opening size, everything stands where the form puts
// it; a larger window gives its extra room to the lists, the filter column
// keeping to the right edge and the rows below the lists to the bottom.
void ChannelListWindow::BuildLayout() {
  using Follow = AnchoredLayout::Follow;
  layout_.set_size_request(ClientWidth, ClientHeight);
  add(layout_);
  for (auto* label : {&quickStartLabel_, &rightClickLabel_, &videoSizeLabel_}) {
    label->get_style_context()->add_class("bold");
  }
  NameComponent(quickStartLabel_, component::quickStartLabel, quickStartLabel_.get_text().raw());
  NameComponent(rightClickLabel_, component::rightClickLabel, rightClickLabel_.get_text().raw());
  layout_.Put(quickStartLabel_, 24, 16);
  layout_.Put(rightClickLabel_, 24, 32);

  BuildPages();
  layout_.Put(tabs_, 16, 56, Follow::Wider | Follow::Taller);

  BuildFilterGroup();
  layout_.Put(filterGroup_, 432, 72, Follow::Right);

  NameComponent(videoSizeLabel_, component::videoSizeLabel, _("Video Size:"));
  layout_.Put(videoSizeLabel_, 440, 356, Follow::Right);
  fitToWindowButton_.join_group(originalSizeButton_);
  originalSizeButton_.set_active(true);
  NameComponent(originalSizeButton_, component::originalSizeButton, _("Original Size"));
  NameComponent(fitToWindowButton_, component::fitToWindowButton, _("Fit to window"));
  layout_.Put(originalSizeButton_, 440, 376, Follow::Right);
  layout_.Put(fitToWindowButton_, 440, 400, Follow::Right);
  ConnectMouseUp(originalSizeButton_, StretchOriginal);
  ConnectMouseUp(fitToWindowButton_, StretchFit);

  for (auto* link : {&pictureQualityLink_, &connectionLink_}) {
    link->label().get_style_context()->add_class("link");
  }
  NameComponent(pictureQualityLink_, component::pictureQualityLink, _(">About picture quality "));
  NameComponent(connectionLink_, component::connectionLink, _(">About connection"));
  pictureQualityLink_.signal_clicked().connect([] { ShowPlainMessage(PictureQualityNote()); });
  connectionLink_.signal_clicked().connect([] { ShowPlainMessage(ConnectionNote()); });
  layout_.Put(pictureQualityLink_, 16, 432, Follow::Down);
  layout_.Put(connectionLink_, 144, 432, Follow::Down);
  BuildSearch();
  // The health check box goes beside the search entry.
  BuildHealth(layout_, 16 + SearchWidth + 12, SearchRowY + 2);
}

void ChannelListWindow::BuildPages() {
  NameComponent(tabs_, component::tabs);
  tabs_.set_size_request(409, 369);
  pages_[static_cast<std::size_t>(ListPage::TV)].load = &ChannelListWindow::LoadChannel;
  pages_[static_cast<std::size_t>(ListPage::Radio)].load = &ChannelListWindow::LoadRadio;
  pages_[static_cast<std::size_t>(ListPage::Webcam)].load = &ChannelListWindow::Loadwebcam;
  for (const ListPage page : AllPages) {
    const PageLook& look = PageLooks[static_cast<std::size_t>(page)];
    StationListBox& list = PageOf(page).list;
    NameComponent(list, look.list, _(look.caption));
    NameComponent(list.View(), look.view, _(look.caption));
    auto* tab = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 3);
    auto* image = Gtk::make_managed<Gtk::Image>(Picture(look.icon, 16));
    // No mnemonic widget: the mnemonic goes up to the tab, and the notebook
    // switches to its page.
    auto* label = Gtk::make_managed<Gtk::Label>(GtkMnemonic(_(look.caption)), true);
    tab->pack_start(*image, false, false);
    tab->pack_start(*label, false, false);
    tab->show_all();
    tabs_.append_page(list, *tab);
    list.signal_dbl_click().connect([this, page] { PlayFrom(page); });
    list.signal_context_menu().connect([this, page](GdkEventButton* e) { PopUp(page, e); });
    list.View().get_selection()->signal_changed().connect([this, page] { UpdateCommands(page); });
  }
  // A page about to show has its list, whether the loader got to it or not.
  pageSwitch_ = tabs_.signal_switch_page().connect([this](Gtk::Widget*, guint page) {
    RunCommand([this, page] { LoadPending(static_cast<ListPage>(page)); });
    ShowQueryOf(static_cast<ListPage>(page));
  });
  // Once the window is really on screen, and after its first paint: idle
  // turns before the map would hold the window back.
  signal_map_event().connect(
      [this](GdkEventAny*) {
        if (!pendingLoader_.connected()) {
          pendingLoader_ = Glib::signal_idle().connect(
              sigc::mem_fun(*this, &ChannelListWindow::onLoadPendingTurn), Glib::PRIORITY_LOW);
        }
        return false;
      },
      false);
}

void ChannelListWindow::BuildFilterGroup() {
  NameComponent(filterGroup_, component::filterGroup, _("Filter TV Stations"));
  filterGroup_.set_label(_("Filter TV Stations"));
  filterGroup_.set_size_request(145, 265);
  filterBox_.set_spacing(4);
  filterBox_.set_border_width(8);
  filterGroup_.add(filterBox_);

  NameComponent(countryLabel_, component::countryLabel, _("Country:"));
  NameComponent(countryBox_, component::countryBox, _("Country:"));
  NameComponent(typeLabel_, component::typeLabel, _("Type:"));
  NameComponent(typeBox_, component::typeBox, _("Type:"));
  NameComponent(sortLabel_, component::sortLabel, _("Sort By:"));
  NameComponent(sortBox_, component::sortBox, _("Sort By:"));
  NameComponent(orderBox_, component::orderBox, _("Order:"));
  NameComponent(goButton_, component::goButton, _("Go!"));

  countryItems_.assign(CountryFilterFixedItems.begin(), CountryFilterFixedItems.end());
  SetItems(countryBox_, countryItems_);
  SetItems(typeBox_, TypeItems);
  SetItems(sortBox_, SortItems);
  SetItems(orderBox_, OrderItems);
  for (auto* box : {&countryBox_, &typeBox_, &sortBox_, &orderBox_}) {
    box->set_active(0);
    box->set_size_request(129, -1);
    // Long country names must not widen the group.
    if (auto* cell = dynamic_cast<Gtk::CellRendererText*>(box->get_first_cell())) {
      cell->property_ellipsize() = Pango::ELLIPSIZE_END;
      cell->property_width_chars() = 1;
      cell->property_max_width_chars() = 14;
    }
    // The width is fixed, so measuring each of some 200 countries to size
    // the box is wasted work at every layout.
    if (auto* view = GTK_IS_CELL_VIEW(gtk_bin_get_child(GTK_BIN(box->gobj())))
                         ? GTK_CELL_VIEW(gtk_bin_get_child(GTK_BIN(box->gobj())))
                         : nullptr) {
      gtk_cell_view_set_fit_model(view, FALSE);
    }
  }
  for (auto* label : {&countryLabel_, &typeLabel_, &sortLabel_}) {
    label->set_xalign(0.0F);
  }

  filterBox_.pack_start(countryLabel_, false, false);
  filterBox_.pack_start(countryBox_, false, false);
  filterBox_.pack_start(typeLabel_, false, false);
  filterBox_.pack_start(typeBox_, false, false);
  filterBox_.pack_start(sortLabel_, false, false);
  filterBox_.pack_start(sortBox_, false, false);
  filterBox_.pack_start(orderBox_, false, false);
  filterBox_.pack_end(goButton_, false, false);
  goButton_.signal_clicked().connect(sigc::mem_fun(*this, &ChannelListWindow::onGoClicked));
}

void ChannelListWindow::BuildSearch() {
  NameComponent(searchEntry_, component::searchEdit, _("Search"));
  searchEntry_.set_placeholder_text(_("Search"));
  searchEntry_.set_size_request(SearchWidth, -1);
  searchEntry_.set_max_length(SearchMaxLength);
  layout_.Put(searchEntry_, 16, SearchRowY, AnchoredLayout::Down);
  // Every keystroke filters at once: the list is quick enough for no delay.
  searchEntry_.signal_changed().connect(sigc::mem_fun(*this, &ChannelListWindow::onSearchChanged));
  searchEntry_.signal_activate().connect(
      sigc::mem_fun(*this, &ChannelListWindow::onSearchActivated));
  // Escape.
  searchEntry_.signal_stop_search().connect([this] { searchEntry_.set_text(""); });
}

void ChannelListWindow::UseStartLists(std::future<std::optional<StartLists>> lists) {
  startLists_ = std::move(lists);
}

void ChannelListWindow::FormCreate() {
  OpenHealth();
  RestoreHideFailed();
  // The start page is known whatever the catalogue does.
  const ListPage start = StartPageFor(ReadSetting("OnStartupDisplay"));
  // Each part's error is shown and the rest goes on: the favourites load
  // whatever happened to the catalogue's lists.
  RunCommand([this, start] { LoadCatalogueLists(start); });
  RunCommand([this] { LoadFav(); });
  SelectPage(start);
  if (StretchIsFit(ReadSetting("Stretch"))) {
    fitToWindowButton_.set_active(true);
  } else {
    originalSizeButton_.set_active(true);
  }
  RestorePlacement();
}

void ChannelListWindow::LoadCatalogueLists(ListPage start) {
  db_connect();
  std::optional<StartLists> read;
  if (startLists_.valid()) {
    read = startLists_.get();
  }
  if (read && read->catalogue == database_.Path()) {
    // The box's menu makes an item for each of some 200 countries (6 ms of
    // the start): they come in the first turn after the window shows, unless
    // the stored choice is one of them (see RestoreFilter).
    countryItems_.insert(countryItems_.end(), read->countries.begin(), read->countries.end());
  } else {
    read.reset();
    Loadcountrylist();
  }
  RestoreFilter(countryBox_, countryItems_, "FilterCountry");
  RestoreFilter(typeBox_, TypeItems, "FilterType");
  RestoreFilter(sortBox_, SortItems, "SortBy");
  RestoreFilter(orderBox_, OrderItems, "OrderBy");
  // The start page's list is there when the window shows; the others, large
  // and not yet seen, are loaded right after it is on screen.
  for (Page& page : pages_) {
    page.pending = page.load != nullptr;
  }
  if (!read || !ShowStartList(*read, start)) {
    LoadPending(start);
  }
}

void ChannelListWindow::RestoreFilter(Gtk::ComboBoxText& box, const std::vector<std::string>& items,
                                      const char* setting) {
  const std::string stored = ReadSetting(setting);
  if (stored.empty()) {
    return;
  }
  const auto found = FindItemIgnoringCase(items, stored);
  // Only the country box holds items it does not show yet.
  if (found && *found >= box.get_model()->children().size()) {
    ShowAppendedCountries();
  }
  box.set_active(found ? static_cast<int>(*found) : -1);
}

void ChannelListWindow::db_connect() { database_.db_connect(CatalogueToOpen()); }

void ChannelListWindow::LoadPending(ListPage page) {
  const Page& p = PageOf(page);
  if (p.pending) {
    (this->*p.load)();  // clears pending first
  }
}

void ChannelListWindow::LoadPendingLists() {
  for (const ListPage page : AllPages) {
    LoadPending(page);
  }
}

// One list per turn of the main loop, so the window keeps painting and
// answering between them.
bool ChannelListWindow::onLoadPendingTurn() {
  if (CountriesWaiting()) {
    ShowAppendedCountries();
    return true;
  }
  for (const ListPage page : AllPages) {
    if (PageOf(page).pending) {
      RunCommand([this, page] { LoadPending(page); });
      return true;
    }
  }
  return false;
}

void ChannelListWindow::ReloadCatalogue() {
  database_.Close();
  InstallStagedCatalogue(UserDataFolder());
  db_connect();
  LoadChannel();
  LoadRadio();
  Loadwebcam();
}

// The worker's list when it was read as the window would read it now.
bool ChannelListWindow::ShowStartList(StartLists& read, ListPage start) {
  if (!read.loaded || read.page != start ||
      (start == ListPage::TV && read.filter != CurrentTvFilter())) {
    return false;
  }
  PageOf(start).pending = false;
  ShowLoaded(start, std::move(read.list));
  return true;
}

bool ChannelListWindow::CountriesWaiting() const {
  return countryBox_.get_model()->children().size() < countryItems_.size();
}

void ChannelListWindow::ShowAppendedCountries() {
  if (!CountriesWaiting()) {
    return;
  }
  // Filled while the box holds no model: rows added to a box that shows its
  // model are laid out one by one (8 ms for the two hundred countries).
  const Glib::RefPtr<Gtk::TreeModel> model = countryBox_.get_model();
  const auto shown = model->children().size();
  const int active = countryBox_.get_active_row_number();
  countryBox_.unset_model();
  auto* store = GTK_LIST_STORE(model->gobj());
  for (std::size_t i = shown; i < countryItems_.size(); ++i) {
    gtk_list_store_insert_with_values(store, nullptr, -1, 0, countryItems_[i].c_str(), -1);
  }
  countryBox_.set_model(model);
  countryBox_.set_active(active);
}

void ChannelListWindow::Loadcountrylist() {
  // The box shows what was appended, also when the load stops half-way.
  try {
    telvanta::Loadcountrylist(database_, countryItems_);
  } catch (...) {
    ShowAppendedCountries();
    throw;
  }
  ShowAppendedCountries();
}

TvFilter ChannelListWindow::CurrentTvFilter() const {
  TvFilter filter;
  filter.typeIndex = typeBox_.get_active_row_number();
  filter.typeText = ItemText(typeBox_, TypeItems);
  filter.countryIndex = countryBox_.get_active_row_number();
  filter.countryText = ItemText(countryBox_, countryItems_);
  filter.sortText = ItemText(sortBox_, SortItems);
  filter.directionText = ItemText(orderBox_, OrderItems);
  return filter;
}

void ChannelListWindow::LoadChannel() {
  PageOf(ListPage::TV).pending = false;
  ListFill fill([this](StationList loaded) { ShowLoaded(ListPage::TV, std::move(loaded)); });
  telvanta::LoadChannel(database_, CurrentTvFilter(), fill.loaded);
}

void ChannelListWindow::LoadRadio() {
  PageOf(ListPage::Radio).pending = false;
  ListFill fill([this](StationList loaded) { ShowLoaded(ListPage::Radio, std::move(loaded)); });
  telvanta::LoadRadio(database_, fill.loaded);
}

void ChannelListWindow::Loadwebcam() {
  PageOf(ListPage::Webcam).pending = false;
  ListFill fill([this](StationList loaded) { ShowLoaded(ListPage::Webcam, std::move(loaded)); });
  telvanta::Loadwebcam(database_, fill.loaded);
}

void ChannelListWindow::LoadFav() {
  // Read first: a file that can't be read leaves the list as it was.
  const FavouritesText read = favourites_.Read();
  StationList loaded;
  LoadFavourites(read.lines, loaded);
  ShowLoaded(ListPage::Favorites, std::move(loaded));
  // After every rebuild the first favourite is selected.
  StationListBox& list = PageOf(ListPage::Favorites).list;
  if (list.Count() > 0) {
    list.SetItemIndex(0);
  }
  // A line that does not decipher is told once, not at every change.
  const std::string damaged =
      read.damagedLine > 0
          ? read.unread.substr(0, read.unread.find_first_of(std::string_view("\r\n\0", 3)))
          : "";
  if (read.damagedLine > 0 && damaged != toldDamage_) {
    toldDamage_ = damaged;
    throw Error(DamagedFavouritesText(favourites_.Path(), read.damagedLine));
  }
}

ListPage ChannelListWindow::ActivePage() const {
  return static_cast<ListPage>(tabs_.get_current_page());
}

void ChannelListWindow::SelectPage(ListPage page) {
  tabs_.set_current_page(static_cast<int>(page));
}

void ChannelListWindow::ShowModal() {
  // The user comes to pick a station: the shown list has the keyboard.
  PageOf(ActivePage()).list.View().grab_focus();
  // At start-up the owner is not on screen yet; a window manager would not
  // show a dialog of an unmapped window properly.
  if (owner_.get_mapped()) {
    set_transient_for(owner_);
  } else {
    unset_transient_for();
  }
  telvanta::ShowModal(*this);
}

void ChannelListWindow::onGoClicked() {
  {
    BusyGo busy(*this, goButton_);
    LoadChannel();
  }
  const auto changes =
      FilterSettingsAfterGo(BoxState(countryBox_, countryItems_), BoxState(typeBox_, TypeItems),
                            BoxState(sortBox_, SortItems), BoxState(orderBox_, OrderItems));
  for (const auto& change : changes) {
    if (change.value) {
      WriteSetting(change.name, *change.value);
    } else {
      DeleteSetting(change.name);
    }
  }
}

void ChannelListWindow::PlayFrom(ListPage page) {
  const ChosenStation chosen = Chosen(page);
  // Favourites play without the players note.
  if (page != ListPage::Favorites && NeedsPlayersNote(ReadSetting("FirstRun"))) {
    ShowInformationBox(Translate(PlayersNoteCaption), Translate(PlayersNoteText));
  }
  chosen.Check();
  hide();
  played_ = Played{page, *chosen.row, chosen.url};
  main_.InitControl();
  main_.SetCaption(PlayCaption(chosen.entry));
  main_.PlayStation(chosen.entry, chosen.url, *this);
}

std::optional<std::size_t> ChannelListWindow::PlayedRow() const {
  if (!played_) {
    return std::nullopt;
  }
  return PageOf(played_->page).rows.RowOf(played_->row, played_->url);
}

bool ChannelListWindow::HasStation(int step) const {
  const std::optional<std::size_t> row = PlayedRow();
  return row && PageOf(played_->page).rows.ShownNeighbour(*row, step);
}

void ChannelListWindow::PlayStation(int step) {
  const std::optional<std::size_t> row = PlayedRow();
  if (!row) {
    return;
  }
  Page& page = PageOf(played_->page);
  const std::optional<std::size_t> next = page.rows.ShownNeighbour(*row, step);
  if (!next) {
    return;
  }
  const int shown = page.rows.ShownIndexOf(*next);
  const std::string entry = page.list.Entry(shown);
  const std::string url = page.rows.All().urls[*next];
  // The list opens on the station that plays.
  page.list.SetItemIndex(shown);
  played_->row = *next;
  played_->url = url;
  main_.InitControl();
  main_.SetCaption(PlayCaption(entry));
  main_.PlayStation(entry, url, *this);
}

void ChannelListWindow::ConnectMouseUp(Gtk::RadioButton& button, std::string_view stretch) {
  button.add_events(Gdk::BUTTON_RELEASE_MASK);
  button.signal_button_release_event().connect(
      [&button, stretch](GdkEventButton* event) {
        const auto area = button.get_allocation();
        const bool over = event->x >= 0 && event->y >= 0 && event->x < area.get_width() &&
                          event->y < area.get_height();
        if (over) {
          WriteSetting("Stretch", stretch);
        }
        return false;
      },
      false);
}

void ChannelListWindow::RestorePlacement() {
  storedPlacement_ = ReadSetting(PlacementSetting);
  const std::optional<WindowPlacement> stored = ParsePlacement(storedPlacement_);
  if (!stored) {
    return;
  }
  placement_ = *stored;
  set_default_size(stored->width, stored->height);
  std::vector<ScreenArea> areas;
  const auto display = get_display();
  for (int i = 0; i < display->get_n_monitors(); ++i) {
    Gdk::Rectangle area;
    display->get_monitor(i)->get_workarea(area);
    areas.push_back({area.get_x(), area.get_y(), area.get_width(), area.get_height()});
  }
  // Else centred, as at the first start.
  if (PlacementReachable(*stored, areas)) {
    set_position(Gtk::WIN_POS_NONE);
    move(stored->x, stored->y);
  }
  if (stored->maximized) {
    maximize();
  }
}

void ChannelListWindow::SavePlacement() {
  if (placement_.width <= 0) {
    return;  // never on screen
  }
  const std::string text = PlacementText(placement_);
  if (text != storedPlacement_) {
    WriteSetting(PlacementSetting, text);
    storedPlacement_ = text;
  }
}

// The size and place it comes back to from maximised are those seen last
// while it was not.
bool ChannelListWindow::on_configure_event(GdkEventConfigure* event) {
  const bool handled = Gtk::Window::on_configure_event(event);
  if (!placement_.maximized && !is_maximized()) {
    get_position(placement_.x, placement_.y);
    get_size(placement_.width, placement_.height);
  }
  return handled;
}

bool ChannelListWindow::on_window_state_event(GdkEventWindowState* event) {
  placement_.maximized = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  return Gtk::Window::on_window_state_event(event);
}

void ChannelListWindow::on_hide() {
  RunCommand([this] { SavePlacement(); });
  Gtk::Window::on_hide();
}

bool ChannelListWindow::on_key_press_event(GdkEventKey* event) {
  const auto modifiers = event->state & gtk_accelerator_get_default_mod_mask();
  if (modifiers == GDK_CONTROL_MASK && gdk_keyval_to_lower(event->keyval) == GDK_KEY_f) {
    searchEntry_.grab_focus();
    return true;
  }
  return Gtk::Window::on_key_press_event(event);
}

bool ChannelListWindow::on_delete_event(GdkEventAny* /*event*/) {
  hide();
  return true;
}

}  // namespace telvanta
