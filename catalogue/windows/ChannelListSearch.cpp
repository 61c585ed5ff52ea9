// The list window's search: each page keeps its whole list and query; its
// list shows the rows the query keeps, and its twin URLs are read from them.

#include <string>
#include <utility>

#include "catalogue/windows/ChannelListWindow.h"

namespace telvanta {

void ChannelListWindow::ShowLoaded(ListPage page, StationList loaded) {
  PageOf(page).rows.Load(std::move(loaded));
  ShowRows(page);
}

void ChannelListWindow::ShowRows(ListPage page) {
  Page& p = PageOf(page);
  p.list.Fill(p.rows.Shared(), p.rows.SharedShown());
  UpdateCommands(page);
}

void ChannelListWindow::ApplyQuery(ListPage page, std::string_view query) {
  Page& p = PageOf(page);
  const ListView now{p.rows.RowAt(p.list.ItemIndex()), p.list.ScrollOffset()};
  const ListView next = p.rows.SetQuery(query, now);
  ShowRows(page);
  p.list.ShowView(next.selected ? p.rows.ShownIndexOf(*next.selected) : -1, next.scroll);
}

void ChannelListWindow::ShowQueryOf(ListPage page) {
  const std::string& query = PageOf(page).rows.Query();
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
  StationListBox& list = PageOf(ActivePage()).list;
  if (list.ItemIndex() < 0 && list.Count() > 0) {
    list.SetItemIndex(0);
  }
  list.View().grab_focus();
}

}  // namespace telvanta
