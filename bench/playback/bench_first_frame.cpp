// First frame of a local HLS stream: through the browser and a player page,
// and through a bare libmpv handle, each measured from a cold start of the
// player (new engine) to its first rendered frame. Prints medians side by
// side and their ratio.

#include <gtk/gtk.h>
#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "tests/plugin_host/support/GuiHarness.h"
#include "tests/plugin_host/support/LoopbackHttpServer.h"
#include "tests/plugin_host/support/TestMedia.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;
using namespace std::chrono_literals;

constexpr int kRuns = 9;
constexpr int kWarmUps = 1;

struct Stats {
  double median = 0;
  double p10 = 0;
  double p90 = 0;
};

Stats Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) {
    return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1) + 0.5)];
  };
  return {at(0.5), at(0.1), at(0.9)};
}

// Plain libmpv: new handle, software render context, loadfile, first frame.
struct FrameWait {
  std::mutex mutex;
  std::condition_variable changed;
  bool update = false;
};

void OnUpdate(void* data) {
  auto* wait = static_cast<FrameWait*>(data);
  {
    std::lock_guard lock(wait->mutex);
    wait->update = true;
  }
  wait->changed.notify_one();
}

std::optional<double> PlainMpvFirstFrame(const std::string& address) {
  const auto start = Clock::now();
  mpv_handle* handle = mpv_create();
  if (handle == nullptr) {
    return std::nullopt;
  }
  for (const auto& [name, value] : {std::pair{"vo", "libmpv"},
                                    {"ao", "null"},
                                    {"hwdec", "no"},
                                    {"video-timing-offset", "0"},
                                    {"ytdl", "no"}}) {
    mpv_set_option_string(handle, name, value);
  }
  mpv_initialize(handle);
  mpv_render_context* render = nullptr;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
      {MPV_RENDER_PARAM_INVALID, nullptr}};
  mpv_render_context_create(&render, handle, params);
  FrameWait wait;
  mpv_render_context_set_update_callback(render, OnUpdate, &wait);
  const char* command[] = {"loadfile", address.c_str(), nullptr};
  mpv_command_async(handle, 0, command);

  std::vector<unsigned char> pixels(320 * 240 * 4 + 64);
  std::optional<double> elapsed;
  const auto limit = start + 10s;
  while (!elapsed && Clock::now() < limit) {
    {
      std::unique_lock lock(wait.mutex);
      wait.changed.wait_until(lock, limit, [&] { return wait.update; });
      wait.update = false;
    }
    while (mpv_wait_event(handle, 0)->event_id != MPV_EVENT_NONE) {
    }
    if ((mpv_render_context_update(render) & MPV_RENDER_UPDATE_FRAME) == 0) {
      continue;
    }
    int size[2] = {320, 240};
    std::size_t stride = 320 * 4;
    mpv_render_param frame[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
                                {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                {MPV_RENDER_PARAM_SW_POINTER, pixels.data()},
                                {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_render(render, frame) >= 0) {
      elapsed = Millis(Clock::now() - start).count();
    }
  }
  const char* stop[] = {"stop", nullptr};
  mpv_command(handle, stop);
  mpv_render_context_set_update_callback(render, nullptr, nullptr);
  mpv_render_context_free(render);
  mpv_terminate_destroy(handle);
  return elapsed;
}

// Through the browser: navigate to a fresh player page, wait for the frame.
std::optional<double> BrowserFirstFrame(telvanta::test::BrowserWindow& window,
                                        const std::filesystem::path& page) {
  const auto start = Clock::now();
  window.Browser().Navigate(page.string());
  const bool shown = telvanta::test::RunUntil(
      [&] {
        const auto players = window.Browser().Players();
        return !players.empty() && players.front().framesRendered > 0;
      },
      10s);
  const double elapsed = Millis(Clock::now() - start).count();
  window.Browser().Stop();
  telvanta::test::RunFor(300ms);
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
    telvanta::test::BrowserWindow window;
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
  const Stats a = Summarise(plain);
  const Stats b = Summarise(browser);
  std::printf(
      "First frame of a local HLS stream (320x240 H.264/AAC on 127.0.0.1),\n"
      "median of %d runs after %d warm-up, p10-p90 in brackets:\n",
      kRuns, kWarmUps);
  std::printf("  %-44s %7.1f ms  [%.1f - %.1f]\n", "plain libmpv (new handle, software render)",
              a.median, a.p10, a.p90);
  std::printf("  %-44s %7.1f ms  [%.1f - %.1f]\n", "WebBrowser + player page (navigate -> frame)",
              b.median, b.p10, b.p90);
  std::printf("  %-44s %7.2f\n", "ratio browser / plain", b.median / a.median);
  return 0;
}
