#pragma once
// Plays one element's address on an engine its host lends it: follows its
// playlists, tries its transports, watches the connection and tells the view
// what to show. No widgets here.

#include <sigc++/sigc++.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/browser/MpvEngine.h"
#include "platform/player/PlayQueue.h"
#include "platform/player/PlaybackFailure.h"
#include "platform/player/PlayerStatus.h"

namespace telvanta::platform {

struct PlayerSettings {
  std::string audioOutput;  // empty: the system's default; "null" in tests
  std::chrono::seconds connectTimeout{20};
  // Playing but without data for this long counts as a lost connection.
  std::chrono::seconds stallTimeout{30};
  int volume = kMaxVolume;  // a new player starts at it
};

// What the engine of a player with these settings is made with.
EngineSettings EngineSettingsFor(const PlayerSettings& settings);

class PlayerController {
 public:
  // `engine` (null when none could be started, which the player then says)
  // outlives the player; it may still play the last player's stream, which
  // this one replaces or stops.
  PlayerController(std::string address, const PlayerSettings& settings, MpvEngine* engine,
                   bool autoStart);
  ~PlayerController();
  PlayerController(const PlayerController&) = delete;
  PlayerController& operator=(const PlayerController&) = delete;

  void Play();  // starts afresh, or resumes when paused
  void Pause();
  void Stop();
  void SetMute(bool muted);
  void SetVolume(int volume);

  PlayerStatus Status() const;
  PlayerPhase Phase() const { return phase_; }
  const std::string& Address() const { return address_; }
  const std::string& CurrentAddress() const { return attempt_.address; }
  bool AudioOnly() const;
  bool Muted() const;
  // The volume asked for; the engine's own follows a moment later.
  int Volume() const;
  std::string NowPlaying() const;
  // A name the stream or its playlist gives itself.
  std::string StreamName() const;
  const MpvEngine* Engine() const { return engine_; }
  void SetRenderSize(VideoSize size);

  sigc::signal<void()>& signal_changed() { return changed_; }
  sigc::signal<void()>& signal_frame() { return frame_; }

  struct ResolverJob;

 private:
  void StartNext();
  void StartResolver(const PlayAttempt& attempt);
  void OnResolved(ResolverJob& job);
  void OnStartFile(std::int64_t id);
  void OnFileLoaded();
  void OnEndFile(EndFile end);
  void CountFailedEntry();
  void OnProperties();
  bool AttemptIsOver() const;
  void OnAttemptOver();
  bool OnTick();
  void AbandonAttempt();
  void Fail(Failure failure);
  void SetPhase(PlayerPhase phase);
  void UpdatePlayingPhase();
  void CancelResolver();

  std::string address_;
  PlayerSettings settings_;
  MpvEngine* engine_;
  PlayQueue queue_;
  PlayAttempt attempt_;
  Failure lastFailure_;
  std::string failureText_;
  std::string playlistTitle_;
  PlayerPhase phase_ = PlayerPhase::Ready;
  std::chrono::steady_clock::time_point phaseStart_;
  std::chrono::steady_clock::time_point stallStart_;
  int shownSeconds_ = 0;

  // The engine's side of the current attempt.
  std::int64_t currentEntry_ = -1;
  bool awaitingStart_ = false;
  bool engineBusy_ = false;
  bool loaded_ = false;
  bool sawEnd_ = false;
  int endError_ = 0;
  bool endedWithPicture_ = false;
  // Files the engine started for it; more than one when it reads a list itself.
  int filesStarted_ = 0;
  bool listStopped_ = false;  // too many of the engine's list entries failed

  std::shared_ptr<ResolverJob> resolver_;
  sigc::connection tick_;
  std::vector<sigc::connection> engineConnections_;
  sigc::signal<void()> changed_;
  sigc::signal<void()> frame_;
};

}  // namespace telvanta::platform
