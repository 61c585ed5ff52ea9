// From a double-click on a station of the channel list to the first frame
// in the main window: the real windows over a program folder of their own,
// whose one TV station is an ffmpeg-made HLS stream on 127.0.0.1. Printed
// beside a bare libmpv handle opening the same stream, and their ratio.

#include <gtkmm.h>
#include <stdlib.h>

#include <clocale>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/startup/Startup.h"
#include "bench/playback/FirstFrameSupport.h"
#include "common/ProgramPaths.h"
#include "platform/browser/WebBrowser.h"
#include "platform/browser/WebModuleImpl.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestMedia.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"

namespace telvanta {
namespace {

using bench::Clock;
using bench::Millis;
using namespace std::chrono_literals;

platform::WebBrowser& Browser(MainWindow& main) {
  main.Browser();
  return test::Find<platform::WebBrowser>(main, "WebBrowser1");
}

bool HasFrame(MainWindow& main) {
  const auto players = Browser(main).Players();
  return !players.empty() && players.front().framesRendered > 0;
}

// Shows the list window as the user gets it (with the main window at the
// first run, by its Watch TV button after), double-clicks the first TV
// station once the list is on screen (at the first run two seconds later, as
// a user would), and times from there to the frame. Then stops, or lets the
// station play on, as when the user switches stations.
std::optional<double> ListToFirstFrame(TelvantaWindows& windows, bool first, bool stop = true) {
  std::optional<Clock::time_point> start;
  std::optional<Clock::time_point> mapped;
  const auto giveUp = Clock::now() + 10s;
  sigc::connection click = Glib::signal_timeout().connect(
      [&] {
        ChannelListWindow& list = *windows.channelList;
        if (Clock::now() > giveUp) {
          list.hide();
          return false;
        }
        if (!list.get_mapped()) {
          return true;
        }
        if (!mapped) {
          mapped = Clock::now();
        }
        if (first && Clock::now() < *mapped + 2s) {
          return true;
        }
        auto& tv = test::Find<StationListBox>(list, "ListBox1");
        tv.SetItemIndex(0);
        start = Clock::now();
        // The tree view's own activation: what a double-click on the row emits.
        Gtk::TreeView& view = tv.View();
        view.row_activated(Gtk::TreeModel::Path("0"), *view.get_column(0));
        return false;
      },
      10);
  if (first) {
    windows.mainWindow->show();
  } else {
    test::Find<Gtk::Button>(*windows.mainWindow, "TeButton6").clicked();
  }
  click.disconnect();
  if (!start) {
    return std::nullopt;
  }
  const bool shown = test::WaitUntil([&] { return HasFrame(*windows.mainWindow); }, 10s);
  const double elapsed = Millis(Clock::now() - *start).count();
  if (stop) {
    Browser(*windows.mainWindow).Stop();
    test::Pump(300ms);
  } else {
    test::Pump(1500ms);
  }
  return shown ? std::optional<double>(elapsed) : std::nullopt;
}

int Run() {
  test::TempFolder config("telvanta-bench-config");
  test::TempFolder program("telvanta-bench-program");
  test::TempFolder data("telvanta-bench-data");
  setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  WriteSetting("Day", DateText());  // no update check while measuring
  SetProgramFolderForTesting(program.Path());
  test::LoopbackHttpServer server(test::Media().folder);
  const std::string address = server.Url(std::string("/") + test::TestMedia::kHls);
  test::MakeProgramFolder(program.Path(),
                          {test::Station("Canada", "Loopback TV", "300k", address, "News")});
  // Not a first run: no players note before the play.
  WriteSetting("FirstRun", "1");

  std::optional<double> firstPlay;
  std::vector<double> plain;
  std::vector<double> warm;
  std::vector<double> list;
  std::vector<double> switched;
  {
    TelvantaWindows windows = CreateWindows();
    if (!windows.mainWindow || !windows.channelList) {
      std::puts("bench_list_to_first_frame: the windows did not come up");
      return 1;
    }
    Browser(*windows.mainWindow).SetPlayerSettings({.audioOutput = "null"});
    for (int run = 0; run < bench::kWarmUps + bench::kRuns; ++run) {
      const auto viaList = ListToFirstFrame(windows, run == 0);
      const auto viaMpv = bench::PlainMpvFirstFrame(address);
      const auto viaWarmMpv = bench::PlainMpvFirstFrame(address, true);
      if (!viaList || !viaMpv || !viaWarmMpv) {
        std::puts("bench_list_to_first_frame: no frame within 10 s");
        return 1;
      }
      if (run == 0) {
        firstPlay = viaList;
      }
      if (run >= bench::kWarmUps) {
        list.push_back(*viaList);
        plain.push_back(*viaMpv);
        warm.push_back(*viaWarmMpv);
      }
    }
    for (int run = 0; run < bench::kWarmUps + bench::kRuns; ++run) {
      const auto viaList = ListToFirstFrame(windows, false, false);
      if (!viaList) {
        std::puts("bench_list_to_first_frame: no frame within 10 s");
        return 1;
      }
      if (run >= bench::kWarmUps) {
        switched.push_back(*viaList);
      }
    }
    windows = {};
    test::Pump();
  }
  SetProgramFolderForTesting({});

  const auto a = bench::Summarise(plain);
  const auto b = bench::Summarise(list);
  std::printf(
      "Double-click on a station to its first frame, local HLS stream\n"
      "(320x240 H.264/AAC on 127.0.0.1), median of %d runs after %d warm-up,\n"
      "p10-p90 in brackets:\n",
      bench::kRuns, bench::kWarmUps);
  const auto w = bench::Summarise(warm);
  const auto z = bench::Summarise(switched);
  bench::PrintRow("plain libmpv (new handle, software render)", a);
  bench::PrintRow("plain libmpv (handle made beforehand)", w);
  bench::PrintRow("list window double-click -> main window frame", b);
  bench::PrintRow("the same while another station plays", z);
  std::printf("  %-46s %7.1f ms\n", "the first play, 2 s after the list shows", *firstPlay);
  std::printf("  %-46s %7.2f\n", "ratio program / plain", b.median / a.median);
  std::printf("  %-46s %7.2f\n", "ratio program / plain, handle made beforehand",
              b.median / w.median);
  std::printf("  %-46s %7.2f\n", "ratio while another plays / plain", z.median / a.median);
  return 0;
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  if (!gtk_init_check(&argc, &argv)) {
    std::puts(
        "bench_list_to_first_frame needs a display: run it as\n"
        "  xvfb-run -a build/bench/bench_list_to_first_frame");
    return 0;
  }
  auto app =
      Gtk::Application::create("org.telvanta.BenchListToFirstFrame", Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  std::setlocale(LC_NUMERIC, "C");
  telvanta::InstallErrorDisplay();
  telvanta::platform::LinkWebModule();
  return telvanta::Run();
}
