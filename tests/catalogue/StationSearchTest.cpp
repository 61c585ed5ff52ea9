// The list window's search: which rows a query keeps, and the view the list
// returns to when the query is cleared.

#include "catalogue/StationSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace telvanta {
namespace {

const std::vector<std::string> Rows = {
    "Germany - Radio Eins",       // 0
    "France - Télé Matin(300k)",  // 1
    "Germany - Straße FM",        // 2
    "UK - BBC Radio 2",           // 3
    "Turkey - İSTANBUL FM",       // 4
    "Sweden - Ö Radio",           // 5
};

TEST(StationSearchTest, EveryWordMatchesIgnoringCaseAndAccents) {
  const SearchKeys keys(Rows);
  struct Case {
    const char* query;
    std::vector<std::size_t> rows;
  };
  const Case cases[] = {
      {"", {0, 1, 2, 3, 4, 5}},
      {" \t\u00a0 ", {0, 1, 2, 3, 4, 5}},  // blank, a no-break space included
      {"radio", {0, 3, 5}},
      {"RADIO germany", {0}},  // every word, in any order
      {"  bbc   2 ", {3}},
      {"radio france", {}},  // one word missing is enough to hide a row
      {"tele", {1}},         // accents dropped from the row
      {"TÉLÉ mátin", {1}},   // and from the query
      {"strasse", {2}},      // "ß" folds to "ss"
      {"STRASSE", {2}},
      {"istanbul", {4}},  // "İ" folds to "i" and a dropped dot
      {"Ö", {0, 3, 5}},   // a query's marks go too
      {"(300k", {1}},     // punctuation is text like any other
      {"radioeins", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(keys.Matching(SearchWords(c.query)), c.rows) << c.query;
  }
  // A paste of the same words over and over held the window for seconds:
  // each word counts once, the longest first.
  std::string pasted;
  for (int i = 0; i < 5000; ++i) pasted += "Radio RADIO radio eins ";
  EXPECT_EQ(SearchWords(pasted), (std::vector<std::string>{"radio", "eins"}));
  // A further test on the row index combines with the words.
  EXPECT_EQ(keys.Matching(SearchWords("radio"), [](std::size_t row) { return row != 3; }),
            (std::vector<std::size_t>{0, 5}));
}

// Invalid UTF-8 from a file must neither crash the fold nor hide the row.
TEST(StationSearchTest, InvalidUtf8RowsStaySearchable) {
  const SearchKeys keys(std::vector<std::string>{"Caf\xe9 Radio", "Plain"});
  EXPECT_EQ(keys.Matching(SearchWords("radio")), (std::vector<std::size_t>{0}));
}

StationList Loaded() {
  StationList list;
  list.entries = Rows;
  for (std::size_t i = 0; i < Rows.size(); ++i) {
    list.urls.push_back("http://127.0.0.1/" + std::to_string(i));
  }
  list.streamClasses.assign(Rows.size(), StreamClass::None);
  return list;
}

TEST(StationSearchTest, ClearingTheQueryGivesBackTheViewBeforeIt) {
  SearchableList list;
  list.Load(Loaded());
  const ListView before{5, 48.0};
  struct Step {
    const char* query;
    ListView now;
    ListView expected;
    std::vector<std::string> urls;
  };
  const Step steps[] = {
      // Typing keeps the selected station while it matches...
      {"r",
       before,
       {5, std::nullopt},
       {"http://127.0.0.1/0", "http://127.0.0.1/1", "http://127.0.0.1/2", "http://127.0.0.1/3",
        "http://127.0.0.1/4", "http://127.0.0.1/5"}},
      {"rad",
       {5, 0.0},
       {5, std::nullopt},
       {"http://127.0.0.1/0", "http://127.0.0.1/3", "http://127.0.0.1/5"}},
      // ...and drops it when it does not.
      {"bbc", {5, 0.0}, {std::nullopt, 0.0}, {"http://127.0.0.1/3"}},
      {"bbc ", {3, 0.0}, {3, std::nullopt}, {"http://127.0.0.1/3"}},
      // Blank again: the view from before the first letter, whatever was picked since.
      {" ", {3, 0.0}, before, {}},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(list.SetQuery(s.query, s.now), s.expected) << s.query;
    if (!s.urls.empty()) {
      EXPECT_EQ(list.ShownUrls(), s.urls) << s.query;
    }
  }
  EXPECT_EQ(list.Shown().size(), Rows.size());
  EXPECT_EQ(list.Query(), " ");
}

TEST(StationSearchTest, ReloadKeepsTheQueryAndDropsTheOldView) {
  SearchableList list;
  list.Load(Loaded());
  list.SetQuery("radio", {1, 16.0});
  EXPECT_EQ(list.RowAt(1), std::optional<std::size_t>(3));
  EXPECT_EQ(list.RowAt(3), std::nullopt);
  StationList fresh = Loaded();
  fresh.entries.erase(fresh.entries.begin());
  fresh.urls.erase(fresh.urls.begin());
  list.Load(std::move(fresh));
  EXPECT_EQ(list.Shown(), (std::vector<std::size_t>{2, 4}));
  EXPECT_EQ(list.ShownIndexOf(4), 1);
  EXPECT_EQ(list.ShownIndexOf(0), -1);
  // Row 1 of the old list is gone; clearing shows the reloaded list from its top.
  EXPECT_EQ(list.SetQuery("", {2, 0.0}), ListView{});
}

// A load that stopped half-way has fewer URLs than entries; the twin ends
// early so the rows without one stay out of bounds instead of playing "".
TEST(StationSearchTest, TwinOfAPartialLoadEndsWhereItsUrlsEnd) {
  StationList partial = Loaded();
  partial.urls.resize(4);
  SearchableList list;
  list.Load(std::move(partial));
  list.SetQuery("radio", {});
  EXPECT_EQ(list.Shown().size(), 3U);
  EXPECT_EQ(list.ShownUrls(),
            (std::vector<std::string>{"http://127.0.0.1/0", "http://127.0.0.1/3"}));
}

// The desktop's Next and Previous walk the rows the search shows, also from
// a station the query has since hidden, and never onto a row without a URL.
TEST(StationSearchTest, NeighboursAreTheShownRowsAroundAStation) {
  StationList partial = Loaded();
  partial.urls.resize(5);
  SearchableList list;
  list.Load(std::move(partial));
  list.SetQuery("radio", {});  // shows rows 0, 3 and 5 (5 without a URL)
  const struct {
    std::size_t row;
    int step;
    std::optional<std::size_t> neighbour;
  } cases[] = {
      {0, 1, 3}, {3, -1, 0}, {0, -1, std::nullopt}, {3, 1, std::nullopt},
      {2, 1, 3}, {2, -1, 0}, {4, 1, std::nullopt},  {4, -1, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(list.ShownNeighbour(c.row, c.step), c.neighbour) << c.row << " step " << c.step;
  }
  // A reload moves a station to another row, or drops it.
  StationList fresh = Loaded();
  fresh.entries.erase(fresh.entries.begin());
  fresh.urls.erase(fresh.urls.begin());
  list.Load(std::move(fresh));
  EXPECT_EQ(list.RowOf(3, "http://127.0.0.1/3"), std::optional<std::size_t>(2));
  EXPECT_EQ(list.RowOf(2, "http://127.0.0.1/3"), std::optional<std::size_t>(2));
  EXPECT_EQ(list.RowOf(0, "http://127.0.0.1/0"), std::nullopt);
}

}  // namespace
}  // namespace telvanta
