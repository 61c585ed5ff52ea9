// The list window's commands on one station and the menus that hold them:
// play, favourites, Properties, the bad-link report and the list exports.

#include <functional>
#include <string>
#include <utility>

#include "catalogue/windows/ChannelListWindow.h"
#include "common/Files.h"
#include "common/I18n.h"
#include "favourites/windows/AddChannelDialog.h"
#include "favourites/windows/PlaylistCommands.h"
#include "platform/desktop/ShellOpen.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/InputBox.h"

namespace telvanta {
namespace {

// Component names of the menus' items.
namespace component {
constexpr std::string_view tvPlayItem = "CustomItem27";
constexpr std::string_view tvSeparator1 = "CustomItem44";
constexpr std::string_view tvAddToFavouritesItem = "CustomItem28";
constexpr std::string_view tvAddOwnItem = "CustomItem6";
constexpr std::string_view tvSeparator2 = "CustomItem2";
constexpr std::string_view tvPropertiesItem = "CustomItem43";
constexpr std::string_view radioPlayItem = "TeItem1";
constexpr std::string_view radioSeparator = "CustomItem8";
constexpr std::string_view radioAddToFavouritesItem = "TeItem2";
constexpr std::string_view radioReportItem = "CustomItem10";
constexpr std::string_view radioAddOwnItem = "CustomItem7";
constexpr std::string_view webcamPlayItem = "TeItem3";
constexpr std::string_view webcamSeparator = "TeItem4";
constexpr std::string_view webcamAddToFavouritesItem = "TeItem5";
constexpr std::string_view webcamReportItem = "TeItem6";
constexpr std::string_view favouritePlayItem = "CustomItem29";
constexpr std::string_view favouriteRenameItem = "CustomItem3";
constexpr std::string_view favouriteDeleteItem = "CustomItem30";
constexpr std::string_view favouriteSeparator = "CustomItem5";
constexpr std::string_view favouriteAddOwnItem = "CustomItem4";
constexpr std::string_view favouritePlaylistSeparator = "PlaylistSeparator";
constexpr std::string_view favouriteExportItem = "ExportPlaylistItem";
constexpr std::string_view favouriteImportItem = "ImportPlaylistItem";
}  // namespace component

// Component names of a page's menu and of its "Check stations", by ListPage.
struct MenuNames {
  std::string_view menu;
  std::string_view checkSeparator;
  std::string_view checkItem;
};
constexpr MenuNames PageMenus[] = {
    {"TePopupMenu1", "TvCheckSeparator", "TvCheckStationsItem"},
    {"TePopupMenu3", "RadioCheckSeparator", "RadioCheckStationsItem"},
    {"TePopupMenu4", "WebcamCheckSeparator", "WebcamCheckStationsItem"},
    {"TePopupMenu2", "FavouriteCheckSeparator", "FavouriteCheckStationsItem"},
};

}  // namespace

void ChannelListWindow::BuildMenus() {
  const auto play = Picture("play", 16);
  // Items that act on the chosen station are greyed while there is none.
  auto station = [this](ListPage page, Gtk::MenuItem& item, std::function<void()> command) {
    PageOf(page).stationItems.push_back(&item);
    item.signal_activate().connect(std::move(command));
  };
  auto addOwn = [this] { onAddOwnChannel(); };
  auto report = [this](ListPage page, Gtk::MenuItem& item) {
    PageOf(page).entryItems.push_back(&item);
    item.signal_activate().connect([this, page] { onReportBadLink(page); });
  };
  auto addTo = [this](ListPage page) { return [this, page] { onAddToFavourites(page); }; };
  auto playFrom = [this](ListPage page) { return [this, page] { PlayFrom(page); }; };

  Gtk::Menu& tv = PageOf(ListPage::TV).menu;
  station(ListPage::TV, AddMenuItem(tv, component::tvPlayItem, _("Play"), play),
          playFrom(ListPage::TV));
  AddSeparator(tv, component::tvSeparator1);
  station(ListPage::TV,
          AddMenuItem(tv, component::tvAddToFavouritesItem, _("Add this channel to My Favorites")),
          addTo(ListPage::TV));
  AddMenuItem(tv, component::tvAddOwnItem, _("Add your own channel to My Favorites"))
      .signal_activate()
      .connect(addOwn);
  AddSeparator(tv, component::tvSeparator2);
  station(ListPage::TV, AddMenuItem(tv, component::tvPropertiesItem, _("Properties...")),
          [this] { onProperties(); });

  Gtk::Menu& radio = PageOf(ListPage::Radio).menu;
  station(ListPage::Radio, AddMenuItem(radio, component::radioPlayItem, _("Play"), play),
          playFrom(ListPage::Radio));
  AddSeparator(radio, component::radioSeparator);
  station(ListPage::Radio,
          AddMenuItem(radio, component::radioAddToFavouritesItem,
                      _("Add this channel to My Favorites")),
          addTo(ListPage::Radio));
  report(ListPage::Radio, AddMenuItem(radio, component::radioReportItem, _("Report a bad link")));
  AddMenuItem(radio, component::radioAddOwnItem, _("Add your own channel to My Favorites"))
      .signal_activate()
      .connect(addOwn);

  Gtk::Menu& webcam = PageOf(ListPage::Webcam).menu;
  station(ListPage::Webcam, AddMenuItem(webcam, component::webcamPlayItem, _("Play"), play),
          playFrom(ListPage::Webcam));
  AddSeparator(webcam, component::webcamSeparator);
  station(ListPage::Webcam,
          AddMenuItem(webcam, component::webcamAddToFavouritesItem,
                      _("Add this webcam to My Favorites")),
          addTo(ListPage::Webcam));
  report(ListPage::Webcam,
         AddMenuItem(webcam, component::webcamReportItem, _("Report a bad link")));

  Gtk::Menu& favourite = PageOf(ListPage::Favorites).menu;
  station(ListPage::Favorites,
          AddMenuItem(favourite, component::favouritePlayItem, _("Play"), play),
          playFrom(ListPage::Favorites));
  station(ListPage::Favorites,
          AddMenuItem(favourite, component::favouriteRenameItem, _("Rename"), Picture("tools", 16)),
          [this] { onRenameFavourite(); });
  station(ListPage::Favorites, AddMenuItem(favourite, component::favouriteDeleteItem, _("Delete")),
          [this] { onDeleteFavourite(); });
  AddSeparator(favourite, component::favouriteSeparator);
  AddMenuItem(favourite, component::favouriteAddOwnItem, _("Add your own channel to My Favorites"),
              Picture("favorites", 16))
      .signal_activate()
      .connect(addOwn);
  AddSeparator(favourite, component::favouritePlaylistSeparator);
  AddMenuItem(favourite, component::favouriteExportItem, _("Export Favorites to Playlist..."))
      .signal_activate()
      .connect([this] { ExportFavouritesToPlaylist(*this, favourites_); });
  AddMenuItem(favourite, component::favouriteImportItem, _("Import Playlist to Favorites..."))
      .signal_activate()
      .connect([this] { ImportPlaylistToFavourites(*this, favourites_, *this); });

  // Every page checks the stations it shows.
  for (const ListPage page : AllPages) {
    const MenuNames& names = PageMenus[static_cast<std::size_t>(page)];
    Page& p = PageOf(page);
    NameComponent(p.menu, names.menu);
    AddSeparator(p.menu, names.checkSeparator);
    p.checkItem = &AddMenuItem(p.menu, names.checkItem, _("Check stations"));
    p.checkItem->signal_activate().connect([this, page] { CheckStations(page); });
    p.menu.attach_to_widget(*this);
    UpdateCommands(page);
  }
}

void ChannelListWindow::UpdateCommands(ListPage page) {
  Page& p = PageOf(page);
  const int index = p.list.ItemIndex();
  const std::size_t urls = Urls(page).size();
  const bool station = index >= 0 && static_cast<std::size_t>(index) < urls;
  const bool entry = index >= 0 && index < p.list.Count();
  for (auto* item : p.stationItems) {
    item->set_sensitive(station);
  }
  for (auto* item : p.entryItems) {
    item->set_sensitive(entry);
  }
  if (p.checkItem != nullptr) {
    p.checkItem->set_sensitive(!checking_ && urls > 0);
  }
}

void ChannelListWindow::PopUp(ListPage page, GdkEventButton* event) {
  UpdateCommands(page);
  PageOf(page).menu.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
}

void ChannelListWindow::ShowFavourites() { SelectPage(ListPage::Favorites); }

void ChannelListWindow::ChosenStation::Check() const {
  if (!row) {
    CheckListIndex(index, 0);
  }
}

ChannelListWindow::ChosenStation ChannelListWindow::Chosen(ListPage page) const {
  const Page& p = PageOf(page);
  const TwinUrls urls = Urls(page);
  ChosenStation chosen;
  chosen.index = p.list.ItemIndex();
  // An entry without its twin line (a load that stopped there) names no station.
  if (chosen.index >= 0 && static_cast<std::size_t>(chosen.index) < urls.size()) {
    chosen.row = p.rows.RowAt(chosen.index);
    chosen.entry = p.list.Entry(chosen.index);
    chosen.url = urls[static_cast<std::size_t>(chosen.index)];
  }
  return chosen;
}

void ChannelListWindow::onAddToFavourites(ListPage page) {
  const ChosenStation chosen = Chosen(page);
  chosen.Check();
  favourites_.Add(StorableName(chosen.entry), chosen.url);
  LoadFav();
}

void ChannelListWindow::onAddOwnChannel() {
  AddChannelDialog dialog(*this, favourites_, *this);
  telvanta::ShowModal(dialog);
}

void ChannelListWindow::onRenameFavourite() {
  const ChosenStation chosen = Chosen(ListPage::Favorites);
  const std::string name = InputBox(*this, _("Rename"), _("Enter a new display name:"));
  if (name.empty()) {
    return;
  }
  chosen.Check();
  favourites_.Rename(static_cast<int>(*chosen.row), name, chosen.url);
  LoadFav();
}

void ChannelListWindow::onDeleteFavourite() {
  const ChosenStation chosen = Chosen(ListPage::Favorites);
  favourites_.Delete(chosen.row ? static_cast<int>(*chosen.row) : -1);
  LoadFav();
}

void ChannelListWindow::onProperties() {
  const ChosenStation chosen = Chosen(ListPage::TV);
  chosen.Check();
  propertiesDialogs_.Open(*this, chosen.entry, chosen.url).show();
}

void ChannelListWindow::onReportBadLink(ListPage page) {
  // The entry alone is reported, also one whose URL did not load.
  const StationListBox& list = PageOf(page).list;
  const int index = list.ItemIndex();
  CheckListIndex(index, static_cast<std::size_t>(list.Count()));
  const std::string entry = list.Entry(index);
  if (AskYesNoCancel(_("Confirm"), BadLinkQuestion(entry)) == MessageAnswer::Yes) {
    platform::ShellOpen(BadLinkAddress(entry), platform::ShowMode::Maximized);
  }
}

std::vector<std::string> ChannelListWindow::VisibleEntries(ListPage page) const {
  const StationListBox& list = PageOf(page).list;
  std::vector<std::string> entries;
  for (int i = 0; i < list.Count(); ++i) {
    entries.push_back(list.Entry(i));
  }
  return entries;
}

std::filesystem::path ChannelListWindow::savelist2() {
  const std::filesystem::path path = ExportPath("old.txt");
  ReplaceFile(path, JoinLinesCrLf(Savelist2Lines(database_)));
  return path;
}

}  // namespace telvanta
