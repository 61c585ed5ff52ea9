#include "platform/browser/MpvEngine.h"

#include <glib.h>
#include <glibmm/main.h>
#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdlib>
#include <future>
#include <mutex>
#include <optional>

#include "common/Error.h"
#include "platform/glib/PostToUi.h"
#include "platform/player/PlaybackFailure.h"
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
  kIcyTitle,
  kIcyName,
};

constexpr std::size_t kMaxLogLines = 200;
constexpr int kMaxRenderSide = 4096;
constexpr std::chrono::milliseconds kRetireGrace{1500};

MpvEngine* TargetOf(MpvEngine::CallbackToken& token) {
  std::lock_guard lock(token.mutex);
  return token.target;
}

void SetOption(mpv_handle* handle, const char* name, const std::string& value) {
  mpv_set_option_string(handle, name, value.c_str());
}

// ffmpeg logs through the first mpv core made while no other core took its
// messages, until that core goes; a core made while it lives never gets them.
// Cores are made and destroyed under this lock so that who takes the messages
// is known.
struct LibraryLog {
  std::mutex mutex;
  mpv_handle* owner = nullptr;
};

LibraryLog& TheLibraryLog() {
  static LibraryLog log;
  return log;
}

// Initialises a core and notes whether it takes the messages.
mpv_handle* StartCore(mpv_handle* handle) {
  auto& log = TheLibraryLog();
  std::lock_guard lock(log.mutex);
  if (mpv_initialize(handle) < 0) {
    return nullptr;
  }
  if (log.owner == nullptr) {
    log.owner = handle;
  }
  return handle;
}

void DestroyCore(mpv_handle* handle) {
  auto& log = TheLibraryLog();
  std::lock_guard lock(log.mutex);
  mpv_terminate_destroy(handle);
  if (log.owner == handle) {
    log.owner = nullptr;
  }
}

// Engines alive on the UI thread, for the log lines they share.
std::vector<MpvEngine*>& LiveEngines() {
  static std::vector<MpvEngine*> engines;
  return engines;
}

struct Retired {
  std::uint64_t serial = 0;
  std::unique_ptr<MpvEngine> engine;
};

std::vector<Retired>& Graveyard() {
  static std::vector<Retired> graveyard;
  return graveyard;
}

void Bury(std::uint64_t serial) {
  auto& graveyard = Graveyard();
  const auto found = std::find_if(graveyard.begin(), graveyard.end(),
                                  [serial](const Retired& held) { return held.serial == serial; });
  if (found != graveyard.end()) {
    const std::unique_ptr<MpvEngine> doomed = std::move(found->engine);
    graveyard.erase(found);
  }
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

void PreparedEngine::HandleDestroy::operator()(mpv_handle* handle) const { DestroyCore(handle); }

void PreparedEngine::RenderFree::operator()(mpv_render_context* render) const {
  mpv_render_context_free(render);
}

PreparedEngine::PreparedEngine(const EngineSettings& settings)
    : settings_(settings), handle_(mpv_create()) {
  if (!handle_) {
    throw Error("The media player could not be started.");
  }
  mpv_handle* handle = handle_.get();
  SetOption(handle, "vo", "libmpv");
  SetOption(handle, "hwdec", "no");
  // Otherwise the render call sleeps until the frame is due, on the UI thread.
  SetOption(handle, "video-timing-offset", "0");
  SetOption(handle, "ytdl", "no");
  SetOption(handle, "load-scripts", "no");
  SetOption(handle, "osc", "no");
  SetOption(handle, "input-default-bindings", "no");
  SetOption(handle, "input-vo-keyboard", "no");
  SetOption(handle, "terminal", "no");
  SetOption(handle, "idle", "yes");
  SetOption(handle, "audio-client-name", "Telvanta");
  SetOption(handle, "network-timeout", std::to_string(settings.networkTimeout.count()));
  // Live streams are never sought back; a small back buffer saves ~50 MB each.
  SetOption(handle, "demuxer-max-bytes", "32MiB");
  SetOption(handle, "demuxer-max-back-bytes", "1MiB");
  SetOption(handle, "cache-pause-wait", "2");
  if (!settings.audioOutput.empty()) {
    SetOption(handle, "ao", settings.audioOutput);
  }
  if (StartCore(handle) == nullptr) {
    throw Error("The media player could not be started.");
  }
  mpv_request_log_messages(handle, "warn");
  // Every address the engine opens passes us first, also the entries of
  // lists it reads itself.
  mpv_hook_add(handle, 0, "on_load", 0);
  const std::pair<PropertyId, std::pair<const char*, mpv_format>> observed[] = {
      {kTimePos, {"time-pos", MPV_FORMAT_DOUBLE}},
      {kDisplayWidth, {"dwidth", MPV_FORMAT_INT64}},
      {kDisplayHeight, {"dheight", MPV_FORMAT_INT64}},
      {kIdleActive, {"idle-active", MPV_FORMAT_FLAG}},
      {kCoreIdle, {"core-idle", MPV_FORMAT_FLAG}},
      {kPausedForCache, {"paused-for-cache", MPV_FORMAT_FLAG}},
      {kBufferingState, {"cache-buffering-state", MPV_FORMAT_INT64}},
      {kPause, {"pause", MPV_FORMAT_FLAG}},
      {kMute, {"mute", MPV_FORMAT_FLAG}},
      {kVideoTrack, {"vid", MPV_FORMAT_STRING}},
      {kMediaTitle, {"media-title", MPV_FORMAT_STRING}},
      {kIcyTitle, {"metadata/by-key/icy-title", MPV_FORMAT_STRING}},
      {kIcyName, {"metadata/by-key/icy-name", MPV_FORMAT_STRING}},
  };
  for (const auto& [id, property] : observed) {
    mpv_observe_property(handle, id, property.first, property.second);
  }
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  mpv_render_context* render = nullptr;
  if (mpv_render_context_create(&render, handle, params) < 0) {
    throw Error("The media player could not be started.");
  }
  render_.reset(render);
}

MpvEngine::MpvEngine(PreparedEngine prepared) : token_(std::make_shared<CallbackToken>()) {
  render_ = prepared.render_.release();
  handle_ = prepared.handle_.release();
  token_->target = this;
  LiveEngines().push_back(this);
  mpv_set_wakeup_callback(handle_, EngineCallbacks::OnWakeup, token_.get());
  mpv_render_context_set_update_callback(render_, EngineCallbacks::OnRenderUpdate, token_.get());
}

MpvEngine::~MpvEngine() {
  auto& live = LiveEngines();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  {
    std::lock_guard lock(token_->mutex);
    token_->target = nullptr;
  }
  *alive_ = false;
  if (render_ != nullptr) {
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    mpv_render_context_free(render_);
  }
  if (handle_ != nullptr) {
    mpv_set_wakeup_callback(handle_, nullptr, nullptr);
    DestroyCore(handle_);
  }
}

void MpvEngine::Load(const std::string& address) {
  loadLog_.clear();
  refusedProtocol_ = false;
  address_ = address;
  opened_ = address;
  const char* command[] = {"loadfile", address.c_str(), "replace", nullptr};
  mpv_command_async(handle_, 0, command);
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
  if (render_ == nullptr) {
    return;
  }
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
  if (mpv_render_context_render(render_, params) < 0) {
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
      case MPV_EVENT_START_FILE:
        startFile_.emit(static_cast<mpv_event_start_file*>(event->data)->playlist_entry_id);
        break;
      case MPV_EVENT_FILE_LOADED:
        fileLoaded_.emit();
        break;
      case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<mpv_event_end_file*>(event->data);
        endFile_.emit({end->playlist_entry_id, static_cast<int>(end->reason), end->error});
        break;
      }
      case MPV_EVENT_PROPERTY_CHANGE:
        HandlePropertyChange(event);
        changed = true;
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

void MpvEngine::HandlePropertyChange(const void* data) {
  const auto* event = static_cast<const mpv_event*>(data);
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
    case kIcyTitle:
      p.icyTitle = text();
      break;
    case kIcyName:
      p.icyName = text();
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
    refusedProtocol_ = refusedProtocol_ || !playable;
    opened_ = address;
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
  if (!line.starts_with("ffmpeg")) {
    AppendLog(line);
    return;
  }
  // ffmpeg logs through whichever engine started first; hand each line to
  // the engines it concerns.
  for (MpvEngine* engine : LiveEngines()) {
    if (LogLineConcerns(line, engine->address_) || LogLineConcerns(line, engine->opened_)) {
      engine->AppendLog(line);
    }
  }
}

void MpvEngine::AppendLog(const std::string& line) {
  if (loadLog_.size() >= kMaxLogLines) {
    loadLog_.erase(loadLog_.begin());
  }
  loadLog_.push_back(line);
}

void MpvEngine::Retire(std::unique_ptr<MpvEngine> engine) {
  if (!engine) {
    return;
  }
  if (engine->properties_.idleActive) {
    return;  // nothing loaded: destroying is cheap now
  }
  static std::uint64_t lastSerial = 0;
  const std::uint64_t serial = ++lastSerial;
  engine->BeginRetire();
  MpvEngine* raw = engine.get();
  Graveyard().push_back({serial, std::move(engine)});
  // After the unload, destruction takes under a millisecond; while playing it
  // blocked the UI for up to 200 ms.
  raw->propertiesChanged_.connect([raw, serial] {
    if (raw->properties_.idleActive) {
      Glib::signal_idle().connect_once([serial] { Bury(serial); });
    }
  });
  Glib::signal_timeout().connect_once([serial] { Bury(serial); },
                                      static_cast<unsigned>(kRetireGrace.count()));
}

void MpvEngine::FlushRetired() { Graveyard().clear(); }

namespace {

// ffmpeg's messages reach the engines through one idle engine made first,
// which stays while the browser does: then every other engine can be made
// at any time, also ahead of a play, and still hear why its stream failed.
// Beside it, the engine made ahead of the next play, and the worker making
// either.
struct Spare {
  std::unique_ptr<MpvEngine> anchor;
  std::unique_ptr<MpvEngine> engine;
  EngineSettings settings;
  struct Made {
    std::optional<PreparedEngine> anchor;
    std::optional<PreparedEngine> engine;
  };
  std::future<Made> making;
  sigc::connection poll;
};

Spare& TheSpare() {
  static Spare spare;
  return spare;
}

bool AnchorTakesLibraryLog() {
  Spare& spare = TheSpare();
  auto& log = TheLibraryLog();
  std::lock_guard lock(log.mutex);
  return spare.anchor && log.owner == spare.anchor->Handle();
}

// On the UI thread: what the worker made becomes live engines, which pass on
// the ffmpeg messages they take.
void AdoptMade() {
  Spare& spare = TheSpare();
  spare.poll.disconnect();
  if (!spare.making.valid()) {
    return;
  }
  Spare::Made made = spare.making.get();
  if (made.anchor) {
    spare.anchor = std::make_unique<MpvEngine>(std::move(*made.anchor));
  }
  if (made.engine) {
    spare.settings = made.engine->Settings();
    spare.engine = std::make_unique<MpvEngine>(std::move(*made.engine));
  }
}

std::optional<PreparedEngine> TryPrepare(const EngineSettings& settings) {
  try {
    return PreparedEngine(settings);
  } catch (const Error&) {
    return std::nullopt;  // a play makes its own, and says why it can't
  }
}

}  // namespace

bool MpvEngine::PrepareSpare(const EngineSettings& settings) {
  Spare& spare = TheSpare();
  if (spare.making.valid() || (spare.engine && spare.settings == settings)) {
    return true;
  }
  spare.engine.reset();
  bool needAnchor = false;
  if (!AnchorTakesLibraryLog()) {
    spare.anchor.reset();
    // The anchor must be the first core made while none takes the
    // messages; while a dying one still has them, later.
    auto& log = TheLibraryLog();
    std::lock_guard lock(log.mutex);
    if (log.owner != nullptr) {
      return false;
    }
    needAnchor = true;
  }
  spare.making = std::async(std::launch::async, [settings, needAnchor] {
    Spare::Made made;
    if (needAnchor) {
      made.anchor = TryPrepare(settings);
    }
    made.engine = TryPrepare(settings);
    return made;
  });
  spare.poll = Glib::signal_timeout().connect(
      [] {
        if (TheSpare().making.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
          return true;
        }
        AdoptMade();
        return false;
      },
      10);
  return true;
}

std::unique_ptr<MpvEngine> MpvEngine::Create(const EngineSettings& settings) {
  Spare& spare = TheSpare();
  AdoptMade();  // waits for one on its way: sooner than a new one
  if (spare.engine && spare.settings == settings) {
    return std::move(spare.engine);
  }
  spare.engine.reset();
  if (!AnchorTakesLibraryLog()) {
    // Without the anchor ffmpeg logs through the first live core; an
    // engine still dying would take the new one's network errors.
    FlushRetired();
  }
  // mpv refuses to start under a locale that writes decimal commas.
  std::setlocale(LC_NUMERIC, "C");
  return std::make_unique<MpvEngine>(PreparedEngine(settings));
}

void MpvEngine::DropSpare() {
  AdoptMade();
  TheSpare().engine.reset();
  TheSpare().anchor.reset();
}

std::size_t MpvEngine::LiveCount() { return LiveEngines().size(); }

void MpvEngine::BeginRetire() {
  startFile_.clear();
  fileLoaded_.clear();
  endFile_.clear();
  propertiesChanged_.clear();
  frame_.clear();
  Stop();
}

}  // namespace telvanta::platform
