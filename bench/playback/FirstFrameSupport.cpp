#include "bench/playback/FirstFrameSupport.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

namespace telvanta::bench {
namespace {

using namespace std::chrono_literals;

// The render context's update callback comes on a libmpv thread.
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

}  // namespace

Stats Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) {
    return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1) + 0.5)];
  };
  return {at(0.5), at(0.1), at(0.9)};
}

std::optional<double> PlainMpvFirstFrame(const std::string& address, bool warmHandle) {
  auto start = Clock::now();
  // Declared first: it outlives the render context that calls into it.
  FrameWait wait;
  std::unique_ptr<mpv_handle, decltype(&mpv_terminate_destroy)> handle(mpv_create(),
                                                                       &mpv_terminate_destroy);
  if (!handle) {
    return std::nullopt;
  }
  for (const auto& [name, value] : {std::pair{"vo", "libmpv"},
                                    {"ao", "null"},
                                    {"hwdec", "no"},
                                    {"video-timing-offset", "0"},
                                    {"ytdl", "no"}}) {
    mpv_set_option_string(handle.get(), name, value);
  }
  mpv_initialize(handle.get());
  mpv_render_context* created = nullptr;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
      {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_create(&created, handle.get(), params) < 0) {
    return std::nullopt;
  }
  // Freed before the handle goes.
  std::unique_ptr<mpv_render_context, decltype(&mpv_render_context_free)> render(
      created, &mpv_render_context_free);
  mpv_render_context_set_update_callback(render.get(), OnUpdate, &wait);
  if (warmHandle) {
    start = Clock::now();
  }
  const char* command[] = {"loadfile", address.c_str(), nullptr};
  mpv_command_async(handle.get(), 0, command);

  std::vector<unsigned char> pixels(320 * 240 * 4 + 64);
  std::optional<double> elapsed;
  const auto limit = start + 10s;
  while (!elapsed && Clock::now() < limit) {
    {
      std::unique_lock lock(wait.mutex);
      wait.changed.wait_until(lock, limit, [&] { return wait.update; });
      wait.update = false;
    }
    while (mpv_wait_event(handle.get(), 0)->event_id != MPV_EVENT_NONE) {
    }
    if ((mpv_render_context_update(render.get()) & MPV_RENDER_UPDATE_FRAME) == 0) {
      continue;
    }
    int size[2] = {320, 240};
    std::size_t stride = 320 * 4;
    mpv_render_param frame[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
                                {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                {MPV_RENDER_PARAM_SW_POINTER, pixels.data()},
                                {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_render(render.get(), frame) >= 0) {
      elapsed = Millis(Clock::now() - start).count();
    }
  }
  const char* stop[] = {"stop", nullptr};
  mpv_command(handle.get(), stop);
  mpv_render_context_set_update_callback(render.get(), nullptr, nullptr);
  return elapsed;
}

void PrintRow(const char* label, const Stats& stats) {
  std::printf("  %-46s %7.1f ms  [%.1f - %.1f]\n", label, stats.median, stats.p10, stats.p90);
}

}  // namespace telvanta::bench
