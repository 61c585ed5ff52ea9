#pragma once
// Search-as-you-type over a station list. Each row's text is folded once when
// the list loads, so a keystroke only scans the folded keys. A row shows when
// every word of the query occurs in it, letter case and accents ignored, and
// an optional extra test on the row accepts it.

#include "catalogue/ListLoading.h"

#include <algorithm>
#include <compare>
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvanta {

// Text as it is compared: Unicode case folding, then canonical decomposition
// with the combining marks dropped ("Télé" -> "tele", "Straße" -> "strasse").
// Invalid UTF-8 is made valid first.
std::string FoldForSearch(std::string_view text);

// A query's words, split at white space and folded, each once, the longest
// first; none for a blank query.
std::vector<std::string> SearchWords(std::string_view query);

// A further test on a row, by its index in the whole list (a caller that
// hides stations by URL looks the URL up there).
using RowPredicate = std::function<bool(std::size_t row)>;

// The folded keys of a list's rows, kept in one buffer.
class SearchKeys {
 public:
  SearchKeys() = default;
  explicit SearchKeys(const std::vector<std::string>& texts);

  std::size_t Size() const { return ends_.size(); }
  std::string_view Key(std::size_t row) const;
  // The rows, in order, whose key holds every word and that `keep` (when
  // set) accepts. No words: every row `keep` accepts.
  std::vector<std::size_t> Matching(const std::vector<std::string>& words,
                                    const RowPredicate& keep = {}) const;

 private:
  std::string keys_;
  std::vector<std::size_t> ends_;
};

// A list's view: its selected row, as an index into the whole list, and its
// scroll offset; no offset means "bring the selection into view".
struct ListView {
  std::optional<std::size_t> selected;
  std::optional<double> scroll;
  bool operator==(const ListView&) const = default;
};

class SearchableList;

// The twin of a shown list: the plain URL of each shown row at its shown
// index, read through the list as it is now, so showing other rows copies no
// URL. A list whose load stopped half-way lacks URLs at its end; its twin
// then ends early too, and those rows stay out of bounds.
class TwinUrls {
 public:
  class Iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = std::string;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::string*;
    using reference = const std::string&;
    Iterator() = default;
    Iterator(const TwinUrls* twin, std::size_t index) : twin_(twin), index_(index) {}
    reference operator*() const { return (*twin_)[index_]; }
    pointer operator->() const { return &**this; }
    reference operator[](difference_type n) const { return *(*this + n); }
    Iterator& operator+=(difference_type n) {
      index_ = static_cast<std::size_t>(static_cast<difference_type>(index_) + n);
      return *this;
    }
    Iterator& operator-=(difference_type n) { return *this += -n; }
    Iterator& operator++() { return *this += 1; }
    Iterator& operator--() { return *this -= 1; }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    Iterator operator--(int) {
      Iterator before = *this;
      --*this;
      return before;
    }
    friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
    friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
    friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const Iterator& a, const Iterator& b) {
      return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
    }
    bool operator==(const Iterator& other) const { return index_ == other.index_; }
    auto operator<=>(const Iterator& other) const { return index_ <=> other.index_; }

   private:
    const TwinUrls* twin_ = nullptr;
    std::size_t index_ = 0;
  };
  using value_type = std::string;
  using iterator = Iterator;
  using const_iterator = Iterator;

  explicit TwinUrls(const SearchableList& list) : list_(&list) {}
  std::size_t size() const;
  bool empty() const { return size() == 0; }
  // index < size().
  const std::string& operator[](std::size_t index) const;
  const std::string& front() const { return (*this)[0]; }
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size()}; }

  friend bool operator==(const TwinUrls& twin, const std::vector<std::string>& urls) {
    return twin.size() == urls.size() && std::equal(urls.begin(), urls.end(), twin.begin());
  }

 private:
  const SearchableList* list_;
};

// One page's station list with its query: the whole list as loaded, and the
// rows shown. The view the list had before the query is given back when the
// query is cleared.
class SearchableList {
 public:
  // Replaces the whole list and applies the current query to it. A view kept
  // from before the query no longer fits and is dropped.
  void Load(StationList list);
  // Applies a query; `now` is the view as it is. Gives the view to show.
  ListView SetQuery(std::string_view query, const ListView& now);
  // Sets the further test on rows (none: every row) and applies it.
  void SetRowFilter(RowPredicate keep);

  const std::string& Query() const { return query_; }
  const StationList& All() const { return *all_; }
  // The whole list, shared with views that show its rows.
  const std::shared_ptr<const StationList>& Shared() const { return all_; }
  // Indices into All() of the rows shown, ascending.
  const std::vector<std::size_t>& Shown() const { return *shown_; }
  // The same, shared with views that show them; a query or a load makes new
  // ones and leaves these as they are.
  const std::shared_ptr<const std::vector<std::size_t>>& SharedShown() const { return shown_; }
  // The row of All() a shown index stands for; none when out of range.
  std::optional<std::size_t> RowAt(int shownIndex) const;
  // Where a row of All() is shown; -1 when it is not.
  int ShownIndexOf(std::size_t row) const;
  // The shown rows' URLs: the twin of the shown list.
  TwinUrls ShownUrls() const { return TwinUrls(*this); }
  // Where a station once found at `row` with this URL is now: that row while
  // it still holds the URL (a reload may have put another there), else the
  // first row that does; none when the list lost it.
  std::optional<std::size_t> RowOf(std::size_t row, std::string_view url) const;
  // The shown row with a URL after (step > 0) or before (step < 0) `row`,
  // whether or not `row` itself is shown; none past the ends.
  std::optional<std::size_t> ShownNeighbour(std::size_t row, int step) const;

 private:
  void Apply();

  std::shared_ptr<const StationList> all_ = std::make_shared<const StationList>();
  // Folded on the first query, not at each load: a list that is only looked
  // at never pays for them (5 ms of the start for the 25k-row TV list).
  std::optional<SearchKeys> keys_;
  std::string query_;
  std::vector<std::string> words_;
  RowPredicate keep_;
  std::shared_ptr<const std::vector<std::size_t>> shown_ =
      std::make_shared<const std::vector<std::size_t>>();
  std::optional<ListView> beforeQuery_;
};

}  // namespace telvanta
