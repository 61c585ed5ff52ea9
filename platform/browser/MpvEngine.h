#pragma once
// One libmpv instance with a software render context. Its player host makes
// it once and keeps it: each play replaces the stream on it. Lives on the UI
// thread; mpv's callbacks only schedule work there (a shared token keeps a
// late callback from reaching a destroyed engine).

#include <cairomm/surface.h>
#include <sigc++/sigc++.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/I18n.h"
#include "platform/player/PlayerGeometry.h"

struct mpv_handle;
struct mpv_render_context;

namespace telvanta::platform {

inline constexpr const char* kEngineStartFailure = N_("The media player could not be started.");
inline constexpr int kMaxVolume = 100;

struct EngineSettings {
  std::string audioOutput;  // empty: the engine's default outputs
  std::chrono::seconds networkTimeout{15};
  bool operator==(const EngineSettings&) const = default;
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
  int volume = kMaxVolume;  // 0 to kMaxVolume
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
  // Throws telvanta::Error (kEngineStartFailure) when libmpv cannot be
  // started. LC_NUMERIC must be "C".
  MpvEngine();
  ~MpvEngine();
  MpvEngine(const MpvEngine&) = delete;
  MpvEngine& operator=(const MpvEngine&) = delete;

  // Replaces what the engine plays. Asynchronous: the network may take
  // seconds, the UI must not. From here on the signals, properties, frames
  // and log are this load's only.
  void Load(const std::string& address, const EngineSettings& settings);
  void Stop();
  void SetPause(bool paused);
  void SetMute(bool muted);
  void SetVolume(int volume);  // clamped to 0..kMaxVolume

  // Size at which frames are rendered; an empty size renders at the video's.
  void SetRenderSize(VideoSize size);
  // The newest frame (null before the first); valid until the next render.
  Cairo::RefPtr<Cairo::ImageSurface> Frame() const { return surface_; }
  std::uint64_t FramesRendered() const { return framesRendered_; }
  const EngineProperties& Properties() const { return properties_; }
  // Asks the engine directly; the observed property can miss a quick
  // busy-idle round trip.
  bool IdleNow() const;
  // The engine's own warnings and errors since the last Load. ffmpeg's lines
  // (why a connection failed) come through the first engine of the process
  // only: the one a browser makes first and keeps.
  const std::vector<std::string>& LoadLog() const { return loadLog_; }
  // Whether the engine was kept from opening an address of a protocol we do
  // not play (an entry of a list it read itself) since the last Load.
  bool RefusedProtocol() const { return refusedProtocol_; }
  // The address the engine opened last: the loaded one, or the current
  // entry of a list it reads itself.
  const std::string& OpenedAddress() const { return opened_; }

  sigc::signal<void(std::int64_t)>& signal_start_file() { return startFile_; }
  sigc::signal<void()>& signal_file_loaded() { return fileLoaded_; }
  sigc::signal<void(EndFile)>& signal_end_file() { return endFile_; }
  sigc::signal<void()>& signal_properties_changed() { return propertiesChanged_; }
  sigc::signal<void()>& signal_frame() { return frame_; }

  struct CallbackToken;

 private:
  friend struct EngineCallbacks;
  void ObserveProperties();
  void DrainEvents();
  void RenderFrame(bool force = false);
  void HandleCommandReply(const void* event);
  bool StartsFileOfThisLoad(std::int64_t entry);
  void ForgetFile();
  void HandlePropertyChange(const void* event);
  void HandleLogMessage(const void* event);
  void HandleOpenHook(const void* event);
  void ApplySettings(const EngineSettings& settings);

  mpv_handle* handle_ = nullptr;
  mpv_render_context* render_ = nullptr;
  std::shared_ptr<CallbackToken> token_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  EngineSettings settings_;

  // Which events are this load's: the loadfile's reply names its first
  // playlist entry; a list the engine reads itself adds later ones.
  std::uint64_t loadSerial_ = 0;
  std::int64_t firstEntry_ = -1;  // -1 until the reply
  bool fileStarted_ = false;      // a file of this load has started
  bool pictureStarted_ = false;   // and its video output is set up

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
  std::string opened_;
  bool refusedProtocol_ = false;

  sigc::signal<void(std::int64_t)> startFile_;
  sigc::signal<void()> fileLoaded_;
  sigc::signal<void(EndFile)> endFile_;
  sigc::signal<void()> propertiesChanged_;
  sigc::signal<void()> frame_;
};

}  // namespace telvanta::platform
