// Search-as-you-type over the shipped catalogue's radio list (about 25,000
// rows): one keystroke's refilter of the folded keys beside a plain
// std::string::find scan of the raw entry texts for the same query, in the
// same run. A keystroke must refilter in under 16 ms (one frame); folding the
// keys is paid once per load.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/ListLoading.h"
#include "catalogue/StationSearch.h"

namespace telvanta {
namespace {

const std::filesystem::path ShippedCatalogue = TELVANTA_SHIPPED_CATALOGUE;

// What a user types, from a single letter that keeps most rows to a query
// that keeps none.
const char* const Queries[] = {"r", "bbc", "radio", "rock fm", "télé", "zzzz"};

const StationList& Radio() {
  static const StationList radio = [] {
    StationDatabase db;
    db.db_connect(ShippedCatalogue);
    StationList list;
    LoadRadio(db, list);
    return list;
  }();
  return radio;
}

const SearchKeys& Keys() {
  static const SearchKeys keys(Radio().entries);
  return keys;
}

void Describe(benchmark::State& state, const std::string& query, std::size_t shown) {
  state.SetLabel(query);
  state.counters["rows"] = static_cast<double>(Radio().entries.size());
  state.counters["shown"] = static_cast<double>(shown);
}

void BM_Refilter(benchmark::State& state) {
  const std::string query = Queries[state.range(0)];
  std::size_t shown = 0;
  for (auto _ : state) {
    const std::vector<std::size_t> rows = Keys().Matching(SearchWords(query));
    shown = rows.size();
    benchmark::DoNotOptimize(rows.data());
  }
  Describe(state, query, shown);
}

// The reference: the query as one substring of the raw text, case and
// accents as typed.
void BM_PlainFind(benchmark::State& state) {
  const std::string query = Queries[state.range(0)];
  const std::vector<std::string>& entries = Radio().entries;
  std::size_t shown = 0;
  for (auto _ : state) {
    std::vector<std::size_t> rows;
    rows.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].find(query) != std::string::npos) {
        rows.push_back(i);
      }
    }
    shown = rows.size();
    benchmark::DoNotOptimize(rows.data());
  }
  Describe(state, query, shown);
}

// The core's whole share of a keystroke: the query applied; the twin of URLs
// is a view of the shown rows, made and sized here.
void BM_QueryAndTwin(benchmark::State& state) {
  const std::string query = Queries[state.range(0)];
  SearchableList list;
  list.Load(Radio());
  std::size_t shown = 0;
  for (auto _ : state) {
    list.SetQuery(query, {});
    const TwinUrls twin = list.ShownUrls();
    shown = twin.size();
    benchmark::DoNotOptimize(shown);
  }
  Describe(state, query, shown);
}

// A paste of 100 KB of the same few words: each word counts once, so it
// costs about what typing them once does (BM_QueryAndTwin above, same run).
void BM_PastedRepeats(benchmark::State& state) {
  std::string query;
  while (query.size() < 100 * 1024) {
    query += "radio fm Radio FM ";
  }
  SearchableList list;
  list.Load(Radio());
  std::size_t shown = 0;
  for (auto _ : state) {
    list.SetQuery(query, {});
    shown = list.Shown().size();
    benchmark::DoNotOptimize(shown);
  }
  Describe(state, "100 KB of \"radio fm Radio FM\"", shown);
}

// Paid once per load.
void BM_FoldKeys(benchmark::State& state) {
  for (auto _ : state) {
    const SearchKeys keys(Radio().entries);
    benchmark::DoNotOptimize(keys.Size());
  }
  Describe(state, "", Radio().entries.size());
}

constexpr int QueryCount = static_cast<int>(std::size(Queries));

BENCHMARK(BM_Refilter)->DenseRange(0, QueryCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFind)->DenseRange(0, QueryCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryAndTwin)->DenseRange(0, QueryCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PastedRepeats)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FoldKeys)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace telvanta

BENCHMARK_MAIN();
