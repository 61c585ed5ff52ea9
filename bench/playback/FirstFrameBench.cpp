// First frame of a local HLS stream: through the browser and a player page,
// and through a bare libmpv handle, each measured from a cold start of the
// player (new engine) to its first rendered frame. Prints medians side by
// side and their ratio.

#include <gtk/gtk.h>

#include <clocale>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/playback/FirstFrameSupport.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestMedia.h"

namespace {

using telvanta::bench::Clock;
using telvanta::bench::kRuns;
using telvanta::bench::kWarmUps;
using telvanta::bench::Millis;
using telvanta::bench::PlainMpvFirstFrame;
using telvanta::bench::PrintRow;
using telvanta::bench::Summarise;
using namespace std::chrono_literals;

// Through the browser: navigate to a fresh player page, wait for the frame.
std::optional<double> BrowserFirstFrame(telvanta::test::BrowserWindow& window,
                                        const std::filesystem::path& page) {
  const auto start = Clock::now();
  window.Browser().Navigate(page.string());
  const bool shown = telvanta::test::WaitUntil(
      [&] {
        const auto players = window.Browser().Players();
        return !players.empty() && players.front().framesRendered > 0;
      },
      10s);
  const double elapsed = Millis(Clock::now() - start).count();
  window.Browser().Stop();
  telvanta::test::Pump(300ms);
  return shown ? std::optional<double>(elapsed) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  if (!gtk_init_check(&argc, &argv)) {
    std::puts(
        "bench_first_frame needs a display: run it as xvfb-run -a build/bench/bench_first_frame");
    return 0;
  }
  Gtk::Main::init_gtkmm_internals();
  std::setlocale(LC_NUMERIC, "C");

  const auto& media = telvanta::test::Media();
  telvanta::test::LoopbackHttpServer server(media.folder);
  const std::string address = server.Url("/hls/index.m3u8");
  const auto pages = telvanta::test::MakeTempFolder("telvanta-bench");

  std::vector<double> plain;
  std::vector<double> browser;
  {
    telvanta::test::BrowserWindow window(pages);
    for (int run = 0; run < kWarmUps + kRuns; ++run) {
      const auto page = pages / ("~tmp" + std::to_string(run + 1) + ".htm");
      telvanta::test::WriteTextFile(page, telvanta::test::WindowsMediaPage(address, true));
      const auto viaBrowser = BrowserFirstFrame(window, page);
      const auto viaMpv = PlainMpvFirstFrame(address);
      if (!viaBrowser || !viaMpv) {
        std::puts("bench_first_frame: no frame within 10 s");
        return 1;
      }
      if (run >= kWarmUps) {
        browser.push_back(*viaBrowser);
        plain.push_back(*viaMpv);
      }
    }
  }
  const auto a = Summarise(plain);
  const auto b = Summarise(browser);
  std::printf(
      "First frame of a local HLS stream (320x240 H.264/AAC on 127.0.0.1),\n"
      "median of %d runs after %d warm-up, p10-p90 in brackets:\n",
      kRuns, kWarmUps);
  PrintRow("plain libmpv (new handle, software render)", a);
  PrintRow("WebBrowser + player page (navigate -> frame)", b);
  std::printf("  %-46s %7.2f\n", "ratio browser / plain", b.median / a.median);
  return 0;
}
