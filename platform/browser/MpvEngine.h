#pragma once
// One libmpv instance with a software render context. Lives on the UI
// thread; mpv's callbacks only schedule work there (a shared token keeps a
// late callback from reaching a destroyed engine).

#include <cairomm/surface.h>
#include <sigc++/sigc++.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/player/PlayerGeometry.h"

struct mpv_handle;
struct mpv_render_context;

namespace telvanta::platform {

struct EngineSettings {
  std::string audioOutput;  // empty: the engine's default outputs
  std::chrono::seconds networkTimeout{15};
  bool operator==(const EngineSettings&) const = default;
};

// A started libmpv with its render context and nothing loaded. Making one
// takes some 15 ms, and any thread may: a play then starts on one made
// beforehand instead of waiting for it.
class PreparedEngine {
 public:
  // Throws telvanta::Error when libmpv cannot be started.
  explicit PreparedEngine(const EngineSettings& settings);
  const EngineSettings& Settings() const { return settings_; }

 private:
  friend class MpvEngine;
  struct HandleDestroy {
    void operator()(mpv_handle* handle) const;
  };
  struct RenderFree {
    void operator()(mpv_render_context* render) const;
  };
  EngineSettings settings_;
  std::unique_ptr<mpv_handle, HandleDestroy> handle_;
  std::unique_ptr<mpv_render_context, RenderFree> render_;  // freed before the handle
};

// What the engine reports about the current file; updated from its events.
struct EngineProperties {
  double timePos = 0;
  VideoSize video;  // display size, 0 when there is no picture
  bool idleActive = true;
  bool coreIdle = true;
  bool pausedForCache = false;
  int bufferPercent = -1;
  bool paused = false;
  bool muted = false;
  bool hasVideoTrack = false;
  std::string mediaTitle;
  std::string icyTitle;
  std::string icyName;
};

struct EndFile {
  std::int64_t entryId = 0;
  int reason = 0;  // MPV_END_FILE_REASON_*
  int error = 0;   // mpv error code when reason is ERROR
};

class MpvEngine {
 public:
  // Takes over a prepared engine; Create makes one.
  explicit MpvEngine(PreparedEngine prepared);
  ~MpvEngine();
  MpvEngine(const MpvEngine&) = delete;
  MpvEngine& operator=(const MpvEngine&) = delete;

  // Asynchronous: the network may take seconds, the UI must not.
  void Load(const std::string& address);
  void Stop();
  void SetPause(bool paused);
  void SetMute(bool muted);

  // Size at which frames are rendered; an empty size renders at the video's.
  void SetRenderSize(VideoSize size);
  // The newest frame (null before the first); valid until the next render.
  Cairo::RefPtr<Cairo::ImageSurface> Frame() const { return surface_; }
  std::uint64_t FramesRendered() const { return framesRendered_; }
  const EngineProperties& Properties() const { return properties_; }
  // Asks the engine directly; the observed property can miss a quick
  // busy-idle round trip.
  bool IdleNow() const;
  // Warnings and errors logged since the last Load.
  const std::vector<std::string>& LoadLog() const { return loadLog_; }
  // Whether the engine was kept from opening an address of a protocol we do
  // not play (an entry of a list it read itself) since the last Load.
  bool RefusedProtocol() const { return refusedProtocol_; }
  // The address the engine opened last: the loaded one, or the current
  // entry of a list it reads itself.
  const std::string& OpenedAddress() const { return opened_; }
  mpv_handle* Handle() const { return handle_; }

  sigc::signal<void(std::int64_t)>& signal_start_file() { return startFile_; }
  sigc::signal<void()>& signal_file_loaded() { return fileLoaded_; }
  sigc::signal<void(EndFile)>& signal_end_file() { return endFile_; }
  sigc::signal<void()>& signal_properties_changed() { return propertiesChanged_; }
  sigc::signal<void()>& signal_frame() { return frame_; }

  // Stops the engine and destroys it once it has unloaded (cheap then), or
  // after a short grace time.
  static void Retire(std::unique_ptr<MpvEngine> engine);
  // Destroys every retired engine now.
  static void FlushRetired();
  // Starts making an engine on a worker for the next Create of these
  // settings, and first, once, the idle engine through which ffmpeg's
  // messages reach every other. That one must be made while no engine takes
  // the messages: false when it has to wait for a dying one.
  static bool PrepareSpare(const EngineSettings& settings);
  // The spare when it has these settings, else a new engine. Throws
  // telvanta::Error when libmpv cannot be started.
  static std::unique_ptr<MpvEngine> Create(const EngineSettings& settings);
  // Destroys the spare and the messages' engine, with the browser.
  static void DropSpare();
  // Engines alive in the process, retired ones included.
  static std::size_t LiveCount();

  struct CallbackToken;

 private:
  friend struct EngineCallbacks;
  void DrainEvents();
  void RenderFrame(bool force = false);
  void HandlePropertyChange(const void* event);
  void HandleLogMessage(const void* event);
  void AppendLog(const std::string& line);
  void HandleOpenHook(const void* event);
  void BeginRetire();

  mpv_handle* handle_ = nullptr;
  mpv_render_context* render_ = nullptr;
  std::shared_ptr<CallbackToken> token_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  VideoSize renderSize_;
  struct FreeDeleter {
    void operator()(unsigned char* memory) const;
  };
  std::unique_ptr<unsigned char, FreeDeleter> pixels_;
  VideoSize pixelsSize_;
  std::size_t stride_ = 0;
  Cairo::RefPtr<Cairo::ImageSurface> surface_;
  std::uint64_t framesRendered_ = 0;

  EngineProperties properties_;
  std::vector<std::string> loadLog_;
  std::string address_;  // of the last Load
  std::string opened_;
  bool refusedProtocol_ = false;

  sigc::signal<void(std::int64_t)> startFile_;
  sigc::signal<void()> fileLoaded_;
  sigc::signal<void(EndFile)> endFile_;
  sigc::signal<void()> propertiesChanged_;
  sigc::signal<void()> frame_;
};

}  // namespace telvanta::platform
