#pragma once
// The catalogue reads a start waits for, done on a worker while the toolkit
// starts: the countries of the filter box and the start page's list. The
// window takes them only when they answer what it would read itself.

#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ListLoading.h"
#include "catalogue/ListWindowRules.h"

namespace telvanta {

// The filter settings as stored: FilterCountry, FilterType, SortBy, OrderBy.
struct StoredTvFilter {
  std::string country;
  std::string type;
  std::string sort;
  std::string order;
};

// What the four boxes show once the stored choices are restored over items
// (the country box's fixed items and the database's countries): the first
// item when nothing is stored, no item for a stored text that is not there.
TvFilter RestoredTvFilter(const std::vector<std::string>& countryItems,
                          const StoredTvFilter& stored);

struct StartLists {
  std::filesystem::path catalogue;
  std::vector<std::string> countries;  // the database's, after the fixed items
  ListPage page = ListPage::TV;
  TvFilter filter;      // what the TV list was read with
  bool loaded = false;  // false for the favourites page, read from Fav.dat
  StationList list;
};

// Reads on a worker through a connection of its own. Any failure gives none:
// the window then reads again itself and reports the error as it would.
std::future<std::optional<StartLists>> PreloadStartLists(std::filesystem::path catalogue,
                                                         ListPage page, StoredTvFilter stored);

}  // namespace telvanta
