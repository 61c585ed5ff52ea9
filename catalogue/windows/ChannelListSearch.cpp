// The list window's search: each page keeps its whole list and query; the
// visible list and its twin show the rows the query keeps.

#include <string>
#include <utility>

#include "catalogue/windows/ChannelListWindow.h"

namespace telvanta {

void ChannelListWindow::ShowLoaded(ListPage page, StationList loaded) {
  SearchOn(page).Load(std::move(loaded));
  ShowRows(page);
}

void ChannelListWindow::ShowRows(ListPage page) {
  const SearchableList& search = SearchOn(page);
  ListOn(page).Fill(search.Shared(), search.Shown());
  TwinOn(page) = search.ShownUrls();
}

void ChannelListWindow::ApplyQuery(ListPage page, std::string_view query) {
  SearchableList& search = SearchOn(page);
  StationListBox& list = ListOn(page);
  const ListView now{search.RowAt(list.ItemIndex()), list.ScrollOffset()};
  const ListView next = search.SetQuery(query, now);
  ShowRows(page);
  list.ShowView(next.selected ? search.ShownIndexOf(*next.selected) : -1, next.scroll);
}

void ChannelListWindow::ShowQueryOf(ListPage page) {
  const std::string& query = SearchOn(page).Query();
  if (searchEntry_.get_text().raw() == query) {
    return;
  }
  // The page's list already shows its query.
  showingQuery_ = true;
  searchEntry_.set_text(query);
  showingQuery_ = false;
}

void ChannelListWindow::onSearchChanged() {
  if (!showingQuery_) {
    ApplyQuery(ActivePage(), searchEntry_.get_text().raw());
  }
}

// Enter takes the keyboard to the list, on its first match when nothing is
// selected, so Enter again plays it.
void ChannelListWindow::onSearchActivated() {
  StationListBox& list = ListOn(ActivePage());
  if (list.ItemIndex() < 0 && list.Count() > 0) {
    list.SetItemIndex(0);
  }
  list.View().grab_focus();
}

}  // namespace telvanta
