// One search keystroke as the user feels it, over the shipped catalogue's
// radio list (about 25,000 rows) in a station list on screen: the refilter
// and the list given the shown rows, as the list window does it (its twin of
// URLs is a view of those rows, made when asked for); then the same until the
// list has painted its next frame.
// The refilter alone is measured beside it in the same run. Needs a display:
//   xvfb-run -a build/bench/search_keystroke_bench

#include <benchmark/benchmark.h>
#include <gtkmm.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/ListLoading.h"
#include "catalogue/StationSearch.h"
#include "catalogue/windows/StationListBox.h"

namespace telvanta {
namespace {

const std::filesystem::path ShippedCatalogue = TELVANTA_SHIPPED_CATALOGUE;

// A keystroke from one query to the next: the first letter (the whole list
// goes), a letter more, and Escape (the whole list comes back).
const std::pair<const char*, const char*> Keystrokes[] = {
    {"", "r"}, {"", "b"}, {"bb", "bbc"}, {"radi", "radio"}, {"bbc", ""}};

struct Screen {
  Gtk::Window window;
  StationListBox list;
  SearchableList search;
  bool painted = false;

  Screen() {
    window.set_default_size(409, 369);
    window.add(list);
    list.View().signal_draw().connect(
        [this](const Cairo::RefPtr<Cairo::Context>&) {
          painted = true;
          return false;
        },
        false);
    StationDatabase db;
    db.db_connect(ShippedCatalogue);
    StationList radio;
    LoadRadio(db, radio);
    search.Load(std::move(radio));
    window.show_all();
  }

  // What ChannelListWindow::ApplyQuery does.
  void Type(const char* query) {
    const ListView now{search.RowAt(list.ItemIndex()), list.ScrollOffset()};
    const ListView next = search.SetQuery(query, now);
    list.Fill(search.Shared(), search.SharedShown());
    list.ShowView(next.selected ? search.ShownIndexOf(*next.selected) : -1, next.scroll);
  }

  void UntilPainted() {
    painted = false;
    while (!painted) {
      g_main_context_iteration(nullptr, TRUE);
    }
  }
};

Screen* screen = nullptr;

void Describe(benchmark::State& state, const char* from, const char* to) {
  state.SetLabel(std::string("\"") + from + "\" -> \"" + to + "\"");
  state.counters["shown"] = static_cast<double>(screen->search.Shown().size());
}

void BM_Refilter(benchmark::State& state) {
  const auto [from, to] = Keystrokes[state.range(0)];
  const SearchKeys keys(screen->search.All().entries);
  for (auto _ : state) {
    const std::vector<std::size_t> rows = keys.Matching(SearchWords(to));
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetLabel(std::string("\"") + to + "\"");
}

// The keystroke handler: until the list has its rows and the window could paint.
void BM_KeystrokeHandler(benchmark::State& state) {
  const auto [from, to] = Keystrokes[state.range(0)];
  for (auto _ : state) {
    state.PauseTiming();
    screen->Type(from);
    screen->UntilPainted();
    state.ResumeTiming();
    screen->Type(to);
  }
  Describe(state, from, to);
}

// Until the next frame is painted; the frame clock's wait for its next frame
// counts too, as the user sees it.
void BM_KeystrokeToPaint(benchmark::State& state) {
  const auto [from, to] = Keystrokes[state.range(0)];
  for (auto _ : state) {
    state.PauseTiming();
    screen->Type(from);
    screen->UntilPainted();
    state.ResumeTiming();
    screen->Type(to);
    screen->UntilPainted();
  }
  Describe(state, from, to);
}

constexpr int KeystrokeCount = static_cast<int>(std::size(Keystrokes));

BENCHMARK(BM_Refilter)->DenseRange(0, KeystrokeCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeHandler)
    ->DenseRange(0, KeystrokeCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_KeystrokeToPaint)
    ->DenseRange(0, KeystrokeCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  auto app =
      Gtk::Application::create("org.telvanta.SearchKeystrokeBench", Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  telvanta::Screen screen;
  telvanta::screen = &screen;
  screen.UntilPainted();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
