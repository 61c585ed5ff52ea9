#include "platform/browser/MpvEngine.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

#include "common/AsciiText.h"
#include "common/Error.h"
#include "common/I18n.h"
#include "platform/glib/PostToUi.h"
#include "platform/player/StreamAddress.h"

namespace telvanta::platform {

struct MpvEngine::CallbackToken : std::enable_shared_from_this<CallbackToken> {
  std::mutex mutex;
  MpvEngine* target = nullptr;
  std::atomic<bool> eventsQueued{false};
  std::atomic<bool> renderQueued{false};
};

namespace {

enum PropertyId : std::uint64_t {
  kTimePos = 1,
  kDisplayWidth,
  kDisplayHeight,
  kIdleActive,
  kCoreIdle,
  kPausedForCache,
  kBufferingState,
  kPause,
  kMute,
  kVideoTrack,
  kMediaTitle,
  kMetadata,
  kVolume,
};

struct Observed {
  PropertyId id;
  const char* name;
  mpv_format format;
};

constexpr Observed kObserved[] = {
    {kTimePos, "time-pos", MPV_FORMAT_DOUBLE},
    {kDisplayWidth, "dwidth", MPV_FORMAT_INT64},
    {kDisplayHeight, "dheight", MPV_FORMAT_INT64},
    {kIdleActive, "idle-active", MPV_FORMAT_FLAG},
    {kCoreIdle, "core-idle", MPV_FORMAT_FLAG},
    {kPausedForCache, "paused-for-cache", MPV_FORMAT_FLAG},
    {kBufferingState, "cache-buffering-state", MPV_FORMAT_INT64},
    {kPause, "pause", MPV_FORMAT_FLAG},
    {kMute, "mute", MPV_FORMAT_FLAG},
    {kVideoTrack, "vid", MPV_FORMAT_STRING},
    {kMediaTitle, "media-title", MPV_FORMAT_STRING},
    // The whole tag set: a radio's song title arrives as a change of it.
    {kMetadata, "metadata", MPV_FORMAT_NODE},
    {kVolume, "volume", MPV_FORMAT_DOUBLE},
};

// The engine's state rather than the file's: kept from one load to the next.
bool OutlivesTheFile(std::uint64_t id) {
  return id == kPause || id == kMute || id == kIdleActive || id == kVolume;
}

// A tag of a metadata map; mpv keeps the letter case the stream sent.
std::string Tag(const mpv_node& metadata, std::string_view key) {
  if (metadata.format != MPV_FORMAT_NODE_MAP) {
    return {};
  }
  const mpv_node_list& tags = *metadata.u.list;
  for (int n = 0; n < tags.num; ++n) {
    if (EqualsIgnoringAsciiCase(tags.keys[n], key) && tags.values[n].format == MPV_FORMAT_STRING) {
      return tags.values[n].u.string;
    }
  }
  return {};
}

constexpr std::size_t kMaxLogLines = 200;
constexpr int kMaxRenderSide = 4096;

MpvEngine* TargetOf(MpvEngine::CallbackToken& token) {
  std::lock_guard lock(token.mutex);
  return token.target;
}

void SetOption(mpv_handle* handle, const char* name, const std::string& value) {
  mpv_set_option_string(handle, name, value.c_str());
}

}  // namespace

struct EngineCallbacks {
  // From mpv's threads: may call no mpv function, only hand over. Events and
  // frames share one priority: at different ones the frames starved the events.
  static void OnWakeup(void* data) {
    auto* token = static_cast<MpvEngine::CallbackToken*>(data);
    if (!token->eventsQueued.exchange(true)) {
      platform::PostToUi([shared = token->shared_from_this()] {
        shared->eventsQueued = false;
        if (MpvEngine* engine = TargetOf(*shared)) {
          engine->DrainEvents();
        }
      });
    }
  }
  static void OnRenderUpdate(void* data) {
    auto* token = static_cast<MpvEngine::CallbackToken*>(data);
    if (!token->renderQueued.exchange(true)) {
      platform::PostToUi([shared = token->shared_from_this()] {
        shared->renderQueued = false;
        if (MpvEngine* engine = TargetOf(*shared)) {
          engine->RenderFrame();
        }
      });
    }
  }
};

// The pixel buffer comes from aligned_alloc, so it goes back through free.
void MpvEngine::FreeDeleter::operator()(unsigned char* memory) const {
  std::free(memory);  // NOLINT(cppcoreguidelines-owning-memory)
}

MpvEngine::MpvEngine() : handle_(mpv_create()), token_(std::make_shared<CallbackToken>()) {
  if (handle_ == nullptr) {
    throw Error(_(kEngineStartFailure));
  }
  // libmpv itself already leaves out the on-screen controller, key bindings
  // and the terminal, and idles between files.
  SetOption(handle_, "vo", "libmpv");
  SetOption(handle_, "hwdec", "no");
  // Otherwise the render call sleeps until the frame is due, on the UI thread.
  SetOption(handle_, "video-timing-offset", "0");
  // Each of these built-in scripts is a thread of its own, also while idle;
  // load-scripts=no leaves them in.
  SetOption(handle_, "ytdl", "no");
  SetOption(handle_, "load-stats-overlay", "no");
  SetOption(handle_, "load-osd-console", "no");
  SetOption(handle_, "load-auto-profiles", "no");
  SetOption(handle_, "load-scripts", "no");
  SetOption(handle_, "audio-client-name", "Telvanta");
  SetOption(handle_, "network-timeout", std::to_string(settings_.networkTimeout.count()));
  // Live streams are never sought back; a small back buffer saves ~50 MB.
  SetOption(handle_, "demuxer-max-bytes", "32MiB");
  SetOption(handle_, "demuxer-max-back-bytes", "1MiB");
  SetOption(handle_, "cache-pause-wait", "2");
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  if (mpv_initialize(handle_) < 0 || mpv_render_context_create(&render_, handle_, params) < 0) {
    mpv_terminate_destroy(handle_);
    throw Error(_(kEngineStartFailure));
  }
  mpv_request_log_messages(handle_, "warn");
  // Every address the engine opens passes us first, also the entries of
  // lists it reads itself.
  mpv_hook_add(handle_, 0, "on_load", 0);
  ObserveProperties();
  token_->target = this;
  mpv_set_wakeup_callback(handle_, EngineCallbacks::OnWakeup, token_.get());
  mpv_render_context_set_update_callback(render_, EngineCallbacks::OnRenderUpdate, token_.get());
}

MpvEngine::~MpvEngine() {
  {
    std::lock_guard lock(token_->mutex);
    token_->target = nullptr;
  }
  *alive_ = false;
  mpv_render_context_set_update_callback(render_, nullptr, nullptr);
  mpv_render_context_free(render_);
  mpv_set_wakeup_callback(handle_, nullptr, nullptr);
  mpv_terminate_destroy(handle_);
}

// Observed anew for each file: mpv tells only changes, and a file's value
// equal to the one before it would otherwise never arrive.
void MpvEngine::ObserveProperties() {
  for (const auto& property : kObserved) {
    mpv_unobserve_property(handle_, property.id);
    mpv_observe_property(handle_, property.id, property.name, property.format);
  }
}

void MpvEngine::ApplySettings(const EngineSettings& settings) {
  if (settings == settings_) {
    return;
  }
  settings_ = settings;
  mpv_set_property_string(handle_, "ao", settings.audioOutput.c_str());
  mpv_set_property_string(handle_, "network-timeout",
                          std::to_string(settings.networkTimeout.count()).c_str());
}

void MpvEngine::Load(const std::string& address, const EngineSettings& settings) {
  ApplySettings(settings);
  loadLog_.clear();
  refusedProtocol_ = false;
  opened_ = address;
  firstEntry_ = -1;
  fileStarted_ = false;
  ForgetFile();
  const char* command[] = {"loadfile", address.c_str(), "replace", nullptr};
  mpv_command_async(handle_, ++loadSerial_, command);
}

void MpvEngine::Stop() {
  const char* command[] = {"stop", nullptr};
  mpv_command_async(handle_, 0, command);
}

void MpvEngine::SetPause(bool paused) {
  int flag = paused ? 1 : 0;
  mpv_set_property_async(handle_, 0, "pause", MPV_FORMAT_FLAG, &flag);
}

void MpvEngine::SetMute(bool muted) {
  int flag = muted ? 1 : 0;
  mpv_set_property_async(handle_, 0, "mute", MPV_FORMAT_FLAG, &flag);
}

void MpvEngine::SetVolume(int volume) {
  double level = std::clamp(volume, 0, kMaxVolume);
  mpv_set_property_async(handle_, 0, "volume", MPV_FORMAT_DOUBLE, &level);
}

bool MpvEngine::IdleNow() const {
  int idle = 0;
  return mpv_get_property(handle_, "idle-active", MPV_FORMAT_FLAG, &idle) >= 0 && idle != 0;
}

void MpvEngine::SetRenderSize(VideoSize size) {
  size.width = std::clamp(size.width, 0, kMaxRenderSide);
  size.height = std::clamp(size.height, 0, kMaxRenderSide);
  if (size == renderSize_) {
    return;
  }
  renderSize_ = size;
  // Redraw the current picture at the new size, also while paused.
  if (framesRendered_ > 0) {
    RenderFrame(true);
  }
}

void MpvEngine::RenderFrame(bool force) {
  const std::uint64_t flags = mpv_render_context_update(render_);
  if ((flags & MPV_RENDER_UPDATE_FRAME) == 0 && !force) {
    return;
  }
  VideoSize size = renderSize_.Known() ? renderSize_ : properties_.video;
  if (!size.Known()) {
    size = {16, 16};
  }
  size.width = std::min(size.width, kMaxRenderSide);
  size.height = std::min(size.height, kMaxRenderSide);
  if (size != pixelsSize_) {
    stride_ = (static_cast<std::size_t>(size.width) * 4 + 63) / 64 * 64;
    surface_.clear();
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): owned by pixels_ from here on
    pixels_.reset(static_cast<unsigned char*>(std::aligned_alloc(64, stride_ * size.height)));
    if (!pixels_) {
      pixelsSize_ = {};
      return;
    }
    pixelsSize_ = size;
    surface_ = Cairo::ImageSurface::create(pixels_.get(), Cairo::FORMAT_RGB24, size.width,
                                           size.height, static_cast<int>(stride_));
  }
  int sides[2] = {size.width, size.height};
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_SW_SIZE, sides},
      {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
      {MPV_RENDER_PARAM_SW_STRIDE, &stride_},
      {MPV_RENDER_PARAM_SW_POINTER, pixels_.get()},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  // Until this file's video is set up, what comes is the last file's picture.
  if (mpv_render_context_render(render_, params) < 0 || !pictureStarted_) {
    return;
  }
  surface_->mark_dirty();
  if ((flags & MPV_RENDER_UPDATE_FRAME) != 0) {
    ++framesRendered_;
  }
  frame_.emit();
}

void MpvEngine::DrainEvents() {
  const std::shared_ptr<bool> alive = alive_;
  bool changed = false;
  while (*alive) {
    mpv_event* event = mpv_wait_event(handle_, 0);
    switch (event->event_id) {
      case MPV_EVENT_NONE:
        if (changed) {
          propertiesChanged_.emit();
        }
        return;
      case MPV_EVENT_COMMAND_REPLY:
        HandleCommandReply(event);
        break;
      case MPV_EVENT_START_FILE: {
        const auto entry = static_cast<mpv_event_start_file*>(event->data)->playlist_entry_id;
        if (StartsFileOfThisLoad(entry)) {
          startFile_.emit(entry);
        }
        break;
      }
      case MPV_EVENT_FILE_LOADED:
        if (fileStarted_) {
          fileLoaded_.emit();
        }
        break;
      case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<mpv_event_end_file*>(event->data);
        if (firstEntry_ >= 0 && end->playlist_entry_id >= firstEntry_) {
          endFile_.emit({end->playlist_entry_id, static_cast<int>(end->reason), end->error});
        }
        break;
      }
      case MPV_EVENT_PROPERTY_CHANGE:
        HandlePropertyChange(event);
        // The position moves at every frame and nothing waits for it.
        changed = changed || event->reply_userdata != kTimePos;
        break;
      case MPV_EVENT_VIDEO_RECONFIG:
        pictureStarted_ = fileStarted_;
        break;
      case MPV_EVENT_LOG_MESSAGE:
        HandleLogMessage(event);
        break;
      case MPV_EVENT_HOOK:
        HandleOpenHook(event);
        break;
      default:
        break;
    }
  }
}

// The reply to this load's loadfile names its playlist entry; files of
// earlier loads have lower ones.
void MpvEngine::HandleCommandReply(const void* data) {
  const auto* event = static_cast<const mpv_event*>(data);
  if (event->reply_userdata != loadSerial_ || event->error < 0) {
    return;
  }
  const mpv_node& result = static_cast<const mpv_event_command*>(event->data)->result;
  if (result.format != MPV_FORMAT_NODE_MAP) {
    return;
  }
  for (int n = 0; n < result.u.list->num; ++n) {
    if (std::strcmp(result.u.list->keys[n], "playlist_entry_id") == 0 &&
        result.u.list->values[n].format == MPV_FORMAT_INT64) {
      firstEntry_ = result.u.list->values[n].u.int64;
    }
  }
}

bool MpvEngine::StartsFileOfThisLoad(std::int64_t entry) {
  if (firstEntry_ < 0 || entry < firstEntry_) {
    return false;
  }
  fileStarted_ = true;
  ForgetFile();
  ObserveProperties();
  return true;
}

void MpvEngine::ForgetFile() {
  framesRendered_ = 0;
  pictureStarted_ = false;
  EngineProperties kept;
  kept.paused = properties_.paused;
  kept.muted = properties_.muted;
  kept.idleActive = properties_.idleActive;
  kept.volume = properties_.volume;
  properties_ = kept;
}

void MpvEngine::HandlePropertyChange(const void* data) {
  const auto* event = static_cast<const mpv_event*>(data);
  // Until this load's file starts, the file's properties are the last one's.
  if (!fileStarted_ && !OutlivesTheFile(event->reply_userdata)) {
    return;
  }
  const auto* property = static_cast<const mpv_event_property*>(event->data);
  const bool present = property->format != MPV_FORMAT_NONE && property->data != nullptr;
  const auto flag = [&] { return present && *static_cast<int*>(property->data) != 0; };
  const auto integer = [&] { return present ? *static_cast<std::int64_t*>(property->data) : 0; };
  const auto text = [&] {
    return present ? std::string(*static_cast<char**>(property->data)) : std::string();
  };
  auto& p = properties_;
  switch (event->reply_userdata) {
    case kTimePos:
      p.timePos = present ? *static_cast<double*>(property->data) : 0;
      break;
    case kDisplayWidth:
      p.video.width = static_cast<int>(integer());
      break;
    case kDisplayHeight:
      p.video.height = static_cast<int>(integer());
      break;
    case kIdleActive:
      p.idleActive = flag();
      break;
    case kCoreIdle:
      p.coreIdle = flag();
      break;
    case kPausedForCache:
      p.pausedForCache = flag();
      break;
    case kBufferingState:
      p.bufferPercent = present ? static_cast<int>(integer()) : -1;
      break;
    case kPause:
      p.paused = flag();
      break;
    case kMute:
      p.muted = flag();
      break;
    case kVideoTrack: {
      const std::string track = text();
      p.hasVideoTrack = !track.empty() && track != "no";
      break;
    }
    case kMediaTitle:
      p.mediaTitle = text();
      break;
    case kMetadata: {
      const mpv_node none{};
      const mpv_node& tags = present ? *static_cast<mpv_node*>(property->data) : none;
      p.icyTitle = Tag(tags, "icy-title");
      p.icyName = Tag(tags, "icy-name");
      break;
    }
    case kVolume:
      p.volume =
          present ? static_cast<int>(std::lround(*static_cast<double*>(property->data))) : p.volume;
      break;
    default:
      break;
  }
}

void MpvEngine::HandleOpenHook(const void* data) {
  const auto* event = static_cast<const mpv_event*>(data);
  const auto* hook = static_cast<const mpv_event_hook*>(event->data);
  if (char* opening = mpv_get_property_string(handle_, "stream-open-filename")) {
    const std::string address = NormalizeScheme(opening);
    mpv_free(opening);
    const bool playable = IsPlayableAddress(address);
    // An earlier load's file may still be opening; it is not this load's.
    if (fileStarted_) {
      refusedProtocol_ = refusedProtocol_ || !playable;
      opened_ = address;
    }
    // "null://" opens nothing and fails as an unknown format.
    mpv_set_property_string(handle_, "stream-open-filename",
                            playable ? address.c_str() : "null://");
  }
  mpv_hook_continue(handle_, hook->id);
}

void MpvEngine::HandleLogMessage(const void* data) {
  const auto* event = static_cast<const mpv_event*>(data);
  const auto* message = static_cast<const mpv_event_log_message*>(event->data);
  std::string line = std::string(message->prefix) + ": " + message->text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.pop_back();
  }
  if (loadLog_.size() >= kMaxLogLines) {
    loadLog_.erase(loadLog_.begin());
  }
  loadLog_.push_back(line);
}

}  // namespace telvanta::platform
