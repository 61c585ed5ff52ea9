#include "catalogue/StationSearch.h"

#include "common/AsciiText.h"
#include "platform/glib/GObjectPtr.h"

#include <glib.h>

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace telvanta {

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

platform::GCharPtr Owned(gchar* text) { return platform::GCharPtr(text); }

}  // namespace

std::string FoldForSearch(std::string_view text) {
  // Most rows are ASCII, where folding is lower case; the load stays fast.
  if (IsAscii(text)) {
    return AsciiLower(text);
  }
  const auto valid = Owned(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
  // Case folding first: it can itself produce marks ("İ" folds to "i" and a dot).
  const auto folded = Owned(g_utf8_casefold(valid.get(), -1));
  const auto decomposed = Owned(g_utf8_normalize(folded.get(), -1, G_NORMALIZE_NFD));
  std::string result;
  for (const gchar* p = decomposed.get(); *p != '\0'; p = g_utf8_next_char(p)) {
    if (g_unichar_type(g_utf8_get_char(p)) != G_UNICODE_NON_SPACING_MARK) {
      result.append(p, static_cast<std::size_t>(g_utf8_next_char(p) - p));
    }
  }
  return result;
}

std::vector<std::string> SearchWords(std::string_view query) {
  const auto valid = Owned(g_utf8_make_valid(query.data(), static_cast<gssize>(query.size())));
  std::vector<std::string> words;
  std::unordered_set<std::string> seen;
  const gchar* start = nullptr;
  for (const gchar* p = valid.get();; p = g_utf8_next_char(p)) {
    const bool end = *p == '\0';
    const bool space = !end && g_unichar_isspace(g_utf8_get_char(p));
    if ((end || space) && start != nullptr) {
      std::string word =
          FoldForSearch(std::string_view(start, static_cast<std::size_t>(p - start)));
      // A word typed again asks nothing more (a paste of the same words).
      if (!word.empty() && seen.insert(word).second) {
        words.push_back(std::move(word));
      }
      start = nullptr;
    } else if (!end && !space && start == nullptr) {
      start = p;
    }
    if (end) {
      break;
    }
  }
  // The longest word first: it is the likeliest to be missing, and a row is
  // dropped at its first missing word.
  std::stable_sort(words.begin(), words.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return words;
}

SearchKeys::SearchKeys(const std::vector<std::string>& texts) {
  ends_.reserve(texts.size());
  for (const auto& text : texts) {
    keys_ += FoldForSearch(text);
    ends_.push_back(keys_.size());
  }
}

std::string_view SearchKeys::Key(std::size_t row) const {
  const std::size_t begin = row == 0 ? 0 : ends_[row - 1];
  return std::string_view(keys_).substr(begin, ends_[row] - begin);
}

std::vector<std::size_t> SearchKeys::Matching(const std::vector<std::string>& words,
                                              const RowPredicate& keep) const {
  std::vector<std::size_t> rows;
  rows.reserve(Size());
  for (std::size_t row = 0; row < Size(); ++row) {
    const std::string_view key = Key(row);
    const bool all = std::all_of(words.begin(), words.end(), [key](const std::string& word) {
      return key.find(word) != std::string_view::npos;
    });
    if (all && (!keep || keep(row))) {
      rows.push_back(row);
    }
  }
  return rows;
}

void SearchableList::Load(StationList list) {
  all_ = std::make_shared<const StationList>(std::move(list));
  keys_.reset();
  if (beforeQuery_) {
    beforeQuery_ = ListView{};
  }
  Apply();
}

ListView SearchableList::SetQuery(std::string_view query, const ListView& now) {
  const bool was = !words_.empty();
  query_ = std::string(query);
  words_ = SearchWords(query);
  const bool is = !words_.empty();
  if (!was && is) {
    beforeQuery_ = now;
  }
  Apply();
  if (was && !is && beforeQuery_) {
    return std::exchange(beforeQuery_, std::nullopt).value_or(ListView{});
  }
  // The selected station stays selected while it still matches.
  if (now.selected && ShownIndexOf(*now.selected) >= 0) {
    return {now.selected, std::nullopt};
  }
  return {std::nullopt, 0.0};
}

void SearchableList::SetRowFilter(RowPredicate keep) {
  keep_ = std::move(keep);
  Apply();
}

void SearchableList::Apply() {
  std::vector<std::size_t> rows;
  if (!words_.empty()) {
    if (!keys_) {
      keys_.emplace(all_->entries);
    }
    rows = keys_->Matching(words_, keep_);
  } else {
    rows.reserve(all_->entries.size());
    for (std::size_t row = 0; row < all_->entries.size(); ++row) {
      if (!keep_ || keep_(row)) {
        rows.push_back(row);
      }
    }
  }
  shown_ = std::make_shared<const std::vector<std::size_t>>(std::move(rows));
}

std::optional<std::size_t> SearchableList::RowAt(int shownIndex) const {
  if (shownIndex < 0 || static_cast<std::size_t>(shownIndex) >= shown_->size()) {
    return std::nullopt;
  }
  return (*shown_)[static_cast<std::size_t>(shownIndex)];
}

int SearchableList::ShownIndexOf(std::size_t row) const {
  const auto found = std::lower_bound(shown_->begin(), shown_->end(), row);
  if (found == shown_->end() || *found != row) {
    return -1;
  }
  return static_cast<int>(found - shown_->begin());
}

std::optional<std::size_t> SearchableList::RowOf(std::size_t row, std::string_view url) const {
  const std::vector<std::string>& urls = all_->urls;
  if (row < urls.size() && urls[row] == url) {
    return row;
  }
  const auto found = std::find(urls.begin(), urls.end(), url);
  if (found == urls.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - urls.begin());
}

std::optional<std::size_t> SearchableList::ShownNeighbour(std::size_t row, int step) const {
  const std::vector<std::size_t>& shown = *shown_;
  std::optional<std::size_t> neighbour;
  if (step > 0) {
    const auto after = std::upper_bound(shown.begin(), shown.end(), row);
    if (after != shown.end()) {
      neighbour = *after;
    }
  } else if (step < 0) {
    const auto at = std::lower_bound(shown.begin(), shown.end(), row);
    if (at != shown.begin()) {
      neighbour = *(at - 1);
    }
  }
  // A load that stopped half-way leaves rows without URLs at the end.
  if (neighbour && *neighbour >= all_->urls.size()) {
    return std::nullopt;
  }
  return neighbour;
}

std::size_t TwinUrls::size() const {
  // Shown rows ascend, so those with a URL come first.
  const std::vector<std::size_t>& shown = list_->Shown();
  const std::size_t urls = list_->All().urls.size();
  if (shown.empty() || shown.back() < urls) {
    return shown.size();
  }
  return static_cast<std::size_t>(std::lower_bound(shown.begin(), shown.end(), urls) -
                                  shown.begin());
}

const std::string& TwinUrls::operator[](std::size_t index) const {
  return list_->All().urls[list_->Shown()[index]];
}

}  // namespace telvanta
