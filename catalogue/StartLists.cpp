#include "catalogue/StartLists.h"

#include <utility>

#include "catalogue/StationDatabase.h"

namespace telvanta {
namespace {

// A box's state after restoring stored over items.
FilterBoxState Restore(const std::vector<std::string>& items, const std::string& stored) {
  if (stored.empty()) {
    return {0, items.front()};
  }
  const auto found = FindItemIgnoringCase(items, stored);
  return found ? FilterBoxState{static_cast<int>(*found), items[*found]} : FilterBoxState{};
}

std::optional<StartLists> ReadStartLists(std::filesystem::path catalogue, ListPage page,
                                         const StoredTvFilter& stored) {
  try {
    StationDatabase db;
    db.db_connect(catalogue);
    StartLists lists;
    lists.catalogue = std::move(catalogue);
    lists.page = page;
    Loadcountrylist(db, lists.countries);
    std::vector<std::string> countryItems(CountryFilterFixedItems.begin(),
                                          CountryFilterFixedItems.end());
    countryItems.insert(countryItems.end(), lists.countries.begin(), lists.countries.end());
    lists.filter = RestoredTvFilter(countryItems, stored);
    lists.loaded = page != ListPage::Favorites;
    if (page == ListPage::TV) {
      LoadChannel(db, lists.filter, lists.list);
    } else if (page == ListPage::Radio) {
      LoadRadio(db, lists.list);
    } else if (page == ListPage::Webcam) {
      Loadwebcam(db, lists.list);
    }
    return lists;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

TvFilter RestoredTvFilter(const std::vector<std::string>& countryItems,
                          const StoredTvFilter& stored) {
  auto [countryIndex, countryText] = Restore(countryItems, stored.country);
  auto [typeIndex, typeText] = Restore(TypeItems, stored.type);
  return {.typeIndex = typeIndex,
          .typeText = std::move(typeText),
          .countryIndex = countryIndex,
          .countryText = std::move(countryText),
          .sortText = Restore(SortItems, stored.sort).text,
          .directionText = Restore(OrderItems, stored.order).text};
}

std::future<std::optional<StartLists>> PreloadStartLists(std::filesystem::path catalogue,
                                                         ListPage page, StoredTvFilter stored) {
  return std::async(std::launch::async, ReadStartLists, std::move(catalogue), page,
                    std::move(stored));
}

}  // namespace telvanta
