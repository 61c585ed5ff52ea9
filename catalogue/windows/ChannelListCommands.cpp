// The list window's commands on one station: favourites, Properties, the
// bad-link report and the list exports.

#include <string>

#include "catalogue/windows/ChannelListWindow.h"
#include "common/Files.h"
#include "favourites/windows/AddChannelDialog.h"
#include "platform/desktop/ShellOpen.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/InputBox.h"

namespace telvanta {

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
  const std::string name = InputBox(*this, "Rename", "Enter a new display name:");
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
  if (AskYesNoCancel("Confirm", BadLinkQuestion(entry)) == MessageAnswer::Yes) {
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
