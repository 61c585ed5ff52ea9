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

void ChannelListWindow::onAddToFavourites(const StationListBox& list,
                                          const std::vector<std::string>& urls) {
  const int index = list.ItemIndex();
  const std::string& url = TwinLine(urls, index);
  favourites_.Add(list.Entry(index), url);
  LoadFav();
}

void ChannelListWindow::onAddOwnChannel() {
  AddChannelDialog dialog(*this, favourites_, *this);
  telvanta::ShowModal(dialog);
}

void ChannelListWindow::onRenameFavourite() {
  const int index = favouriteList_.ItemIndex();
  const std::string name = InputBox(*this, "Rename", "Enter a new display name:");
  if (name.empty()) {
    return;
  }
  const std::string url = TwinLine(favouriteUrls_, index);
  favourites_.Rename(SelectedFavourite(), name, url);
  LoadFav();
}

void ChannelListWindow::onDeleteFavourite() {
  favourites_.Delete(SelectedFavourite());
  LoadFav();
}

void ChannelListWindow::onProperties() {
  const int index = tvList_.ItemIndex();
  const std::string url = TwinLine(tvUrls_, index);
  propertiesDialogs_.Open(*this, tvList_.Entry(index), url).show();
}

void ChannelListWindow::onReportBadLink(const StationListBox& list) {
  const int index = list.ItemIndex();
  CheckListIndex(index, static_cast<std::size_t>(list.Count()));
  const std::string entry = list.Entry(index);
  if (AskYesNoCancel("Confirm", BadLinkQuestion(entry)) == MessageAnswer::Yes) {
    platform::ShellOpen(BadLinkAddress(entry), platform::ShowMode::Maximized);
  }
}

std::vector<std::string> ChannelListWindow::VisibleEntries(ListPage page) const {
  const StationListBox& list = ListOn(page);
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
