#include "platform/browser/PlayerController.h"

#include <glib.h>
#include <glibmm/main.h>

#include <mutex>
#include <thread>

#include "common/I18n.h"
#include "platform/glib/PostToUi.h"
#include "platform/player/MetafileResolver.h"
#include "platform/player/StreamAddress.h"

namespace telvanta::platform {

namespace {
constexpr unsigned kTickMs = 250;
constexpr std::chrono::seconds kEngineTimeoutMargin{5};
constexpr int kEndFileReasonEof = 0;
constexpr int kEndFileReasonError = 4;
}  // namespace

struct PlayerController::ResolverJob {
  std::mutex mutex;
  PlayerController* target = nullptr;  // cleared when the player no longer waits
  std::atomic<bool> cancelled{false};
  PlayAttempt attempt;
  std::chrono::milliseconds timeout{0};
  MetafileResult result;
};

EngineSettings EngineSettingsFor(const PlayerSettings& settings) {
  // The engine's own time-out is a little longer than ours, so that ours,
  // which knows it was a time-out, speaks first.
  return {settings.audioOutput, settings.connectTimeout + kEngineTimeoutMargin};
}

PlayerController::PlayerController(std::string address, const PlayerSettings& settings,
                                   MpvEngine* engine, bool autoStart)
    : address_(std::move(address)), settings_(settings), engine_(engine), queue_(address_) {
  tick_ = Glib::signal_timeout().connect(sigc::mem_fun(*this, &PlayerController::OnTick), kTickMs);
  if (engine_ != nullptr) {
    engineConnections_ = {
        engine_->signal_start_file().connect(sigc::mem_fun(*this, &PlayerController::OnStartFile)),
        engine_->signal_file_loaded().connect(
            sigc::mem_fun(*this, &PlayerController::OnFileLoaded)),
        engine_->signal_end_file().connect(sigc::mem_fun(*this, &PlayerController::OnEndFile)),
        engine_->signal_properties_changed().connect(
            sigc::mem_fun(*this, &PlayerController::OnProperties)),
        engine_->signal_frame().connect([this] { frame_.emit(); }),
    };
    // A new player starts unmuted at the host's volume, whatever the last
    // one on this engine did.
    if (engine_->Properties().muted) {
      engine_->SetMute(false);
    }
    if (engine_->Properties().volume != settings_.volume) {
      engine_->SetVolume(settings_.volume);
    }
  }
  if (autoStart) {
    Play();
  }
  // Until this player loads its own stream, the last one's must not play on.
  if (engine_ != nullptr && !awaitingStart_) {
    engine_->Stop();
  }
}

PlayerController::~PlayerController() {
  tick_.disconnect();
  CancelResolver();
  for (auto& connection : engineConnections_) {
    connection.disconnect();
  }
}

void PlayerController::Play() {
  if (phase_ == PlayerPhase::Paused && engine_) {
    engine_->SetPause(false);
    // A pause undone before the engine reported it is never reported (only
    // changed values are), so the phase comes from what the engine last told.
    UpdatePlayingPhase();
    return;
  }
  if (IsUnderWay(phase_)) {
    return;
  }
  queue_ = PlayQueue(address_);
  lastFailure_ = {};
  playlistTitle_.clear();
  if (engine_ && engine_->Properties().paused) {
    engine_->SetPause(false);
  }
  StartNext();
}

void PlayerController::Pause() {
  if (engine_ && (phase_ == PlayerPhase::Playing || phase_ == PlayerPhase::Buffering)) {
    engine_->SetPause(true);
    SetPhase(PlayerPhase::Paused);
  }
}

void PlayerController::Stop() {
  CancelResolver();
  AbandonAttempt();
  SetPhase(PlayerPhase::Stopped);
}

void PlayerController::SetMute(bool muted) {
  if (engine_) {
    engine_->SetMute(muted);
  }
}

void PlayerController::SetVolume(int volume) {
  settings_.volume = volume;
  if (engine_) {
    engine_->SetVolume(volume);
  }
}

void PlayerController::SetRenderSize(VideoSize size) {
  if (engine_) {
    engine_->SetRenderSize(size);
  }
}

PlayerStatus PlayerController::Status() const {
  PlayerStatus status;
  status.phase = phase_;
  status.host = HostOf(attempt_.address.empty() ? address_ : attempt_.address);
  status.elapsedSeconds = shownSeconds_;
  status.bufferPercent = engine_ ? engine_->Properties().bufferPercent : -1;
  status.errorText = failureText_;
  return status;
}

bool PlayerController::AudioOnly() const {
  return engine_ && loaded_ && !engine_->Properties().hasVideoTrack;
}

bool PlayerController::Muted() const { return engine_ && engine_->Properties().muted; }

int PlayerController::Volume() const { return settings_.volume; }

std::string PlayerController::NowPlaying() const {
  return engine_ ? engine_->Properties().icyTitle : std::string();
}

std::string PlayerController::StreamName() const {
  if (!playlistTitle_.empty()) {
    return playlistTitle_;
  }
  return engine_ ? engine_->Properties().icyName : std::string();
}

void PlayerController::StartNext() {
  const auto next = queue_.Next();
  if (!next) {
    Fail(lastFailure_.kind != FailureKind::None
             ? lastFailure_
             : Failure{FailureKind::EmptyPlaylist, 0, HostOf(address_)});
    return;
  }
  attempt_ = *next;
  if (!IsPlayableAddress(attempt_.address)) {
    lastFailure_ = {
        attempt_.address.empty() ? FailureKind::Unknown : FailureKind::UnsupportedProtocol, 0, {}};
    StartNext();
    return;
  }
  if (attempt_.viaResolver) {
    SetPhase(PlayerPhase::Resolving);
    StartResolver(attempt_);
    return;
  }
  if (!engine_) {
    failureText_ = _(kEngineStartFailure);
    SetPhase(PlayerPhase::Failed);
    return;
  }
  SetPhase(PlayerPhase::Connecting);
  awaitingStart_ = true;
  engineBusy_ = false;
  loaded_ = false;
  sawEnd_ = false;
  endError_ = 0;
  filesStarted_ = 0;
  listStopped_ = false;
  engine_->Load(attempt_.address, EngineSettingsFor(settings_));
}

void PlayerController::StartResolver(const PlayAttempt& attempt) {
  CancelResolver();
  auto job = std::make_shared<ResolverJob>();
  job->target = this;
  job->attempt = attempt;
  job->timeout = settings_.connectTimeout;
  resolver_ = job;
  try {
    std::thread([job] {
      job->result = ResolveMetafile(job->attempt.address, job->timeout, job->cancelled);
      PostToUi([job] {
        PlayerController* target = nullptr;
        {
          std::lock_guard lock(job->mutex);
          target = job->target;
        }
        if (target != nullptr) {
          target->OnResolved(*job);
        }
      });
    }).detach();
  } catch (const std::system_error&) {
    resolver_.reset();
    Fail({FailureKind::Unknown, 0, {}});
  }
}

void PlayerController::CancelResolver() {
  if (!resolver_) {
    return;
  }
  {
    std::lock_guard lock(resolver_->mutex);
    resolver_->target = nullptr;
  }
  resolver_->cancelled = true;
  resolver_.reset();
}

void PlayerController::OnResolved(ResolverJob& job) {
  resolver_.reset();
  if (phase_ != PlayerPhase::Resolving) {
    return;
  }
  if (job.result.failure.kind != FailureKind::None) {
    lastFailure_ = job.result.failure;
    if (lastFailure_.host.empty()) {
      lastFailure_.host = HostOf(job.attempt.address);
    }
    StartNext();
    return;
  }
  if (playlistTitle_.empty()) {
    playlistTitle_ = job.result.title;
  }
  std::vector<std::string> entries;
  for (const auto& entry : job.result.entries) {
    entries.push_back(entry.address);
  }
  queue_.InsertEntries(entries, job.attempt.depth + 1);
  StartNext();
}

void PlayerController::OnStartFile(std::int64_t id) {
  if (listStopped_) {
    return;  // an entry started before our stop arrived
  }
  // The newest start is ours: a list the engine reads itself starts its
  // entries one after another, and each gets the full time to connect.
  if (++filesStarted_ > 1 && phase_ == PlayerPhase::Connecting) {
    phaseStart_ = std::chrono::steady_clock::now();
    shownSeconds_ = 0;
  }
  currentEntry_ = id;
  awaitingStart_ = false;
  engineBusy_ = true;
  loaded_ = false;
  sawEnd_ = false;
  endError_ = 0;
}

void PlayerController::OnFileLoaded() {
  if (!engineBusy_) {
    return;
  }
  loaded_ = true;
  UpdatePlayingPhase();
}

void PlayerController::OnEndFile(EndFile end) {
  if (end.entryId != currentEntry_ || !engineBusy_) {
    return;  // the stop of an earlier file comes first
  }
  if (end.reason == kEndFileReasonError || end.reason == kEndFileReasonEof) {
    sawEnd_ = true;
    endError_ = end.reason == kEndFileReasonError ? end.error : 0;
    endedWithPicture_ = engine_->Properties().hasVideoTrack;
  }
  if (end.reason == kEndFileReasonError && filesStarted_ > 1) {
    CountFailedEntry();
  }
}

void PlayerController::CountFailedEntry() {
  // A list of ten thousand dead links must not become ten thousand requests.
  if (!queue_.CountFailedEntry()) {
    listStopped_ = true;
    engine_->Stop();
  }
}

bool PlayerController::AttemptIsOver() const {
  // The observed idle flag can be stale (a quick busy-idle round trip shows
  // no change), and the engine may go on to its own list's next entry: ask.
  return engineBusy_ && sawEnd_ && engine_->IdleNow();
}

void PlayerController::OnProperties() {
  if (AttemptIsOver()) {
    OnAttemptOver();
    return;
  }
  UpdatePlayingPhase();
  changed_.emit();
}

void PlayerController::OnAttemptOver() {
  engineBusy_ = false;
  currentEntry_ = -1;
  // The engine hands log lines over after its events; by now they are in.
  const std::vector<std::string> endLog = engine_->LoadLog();
  if (loaded_ && PlayedToTheEnd(endError_, endedWithPicture_)) {
    SetPhase(PlayerPhase::Ended);
    return;
  }
  Failure failure = DiagnoseFailure(endError_, endLog, engine_->OpenedAddress());
  const bool vague = failure.kind == FailureKind::UnsupportedFormat ||
                     failure.kind == FailureKind::NothingToPlay ||
                     failure.kind == FailureKind::Unknown;
  if (engine_->RefusedProtocol() && vague) {
    failure.kind = FailureKind::UnsupportedProtocol;
  }
  if (loaded_) {
    // It played and then broke: say so rather than try something else.
    if (failure.kind == FailureKind::Unknown) {
      failure.kind = FailureKind::ConnectionLost;
    }
    Fail(failure);
    return;
  }
  lastFailure_ = failure;
  // A web address the engine could not read as media may be a list, and
  // where the engine could not tell why it failed (ffmpeg says why through
  // the process's first engine only), the server answers a plain request.
  if (failure.kind == FailureKind::UnsupportedFormat || failure.kind == FailureKind::Unknown) {
    queue_.RetryAsMetafile(attempt_);
  }
  StartNext();
}

bool PlayerController::OnTick() {
  using namespace std::chrono;
  const auto now = steady_clock::now();
  if (IsOpening(phase_)) {
    const auto elapsed = now - phaseStart_;
    if (elapsed >= settings_.connectTimeout) {
      lastFailure_ = {FailureKind::TimedOut, 0, HostOf(attempt_.address)};
      CancelResolver();
      AbandonAttempt();
      StartNext();
      return true;
    }
    const int seconds = static_cast<int>(duration_cast<std::chrono::seconds>(elapsed).count());
    if (seconds != shownSeconds_) {
      shownSeconds_ = seconds;
      changed_.emit();
    }
  }
  if (AttemptIsOver()) {
    OnAttemptOver();
    return true;
  }
  if (phase_ == PlayerPhase::Buffering && loaded_ && now - stallStart_ >= settings_.stallTimeout) {
    AbandonAttempt();
    Fail({FailureKind::ConnectionLost, 0, HostOf(attempt_.address)});
  }
  return true;
}

void PlayerController::AbandonAttempt() {
  if (engine_ && (engineBusy_ || awaitingStart_)) {
    engine_->Stop();
  }
  engineBusy_ = false;
  awaitingStart_ = false;
  currentEntry_ = -1;
}

void PlayerController::Fail(Failure failure) {
  if (failure.host.empty()) {
    failure.host = HostOf(attempt_.address);
  }
  failureText_ = FailureMessage(failure);
  SetPhase(PlayerPhase::Failed);
}

void PlayerController::SetPhase(PlayerPhase phase) {
  if (phase != phase_) {
    phase_ = phase;
    phaseStart_ = std::chrono::steady_clock::now();
    shownSeconds_ = 0;
    if (phase == PlayerPhase::Buffering) {
      stallStart_ = phaseStart_;
    }
    if (phase != PlayerPhase::Failed) {
      failureText_.clear();
    }
  }
  changed_.emit();
}

void PlayerController::UpdatePlayingPhase() {
  if (!engine_ || !engineBusy_ || !loaded_) {
    return;
  }
  const EngineProperties& p = engine_->Properties();
  if (p.paused) {
    SetPhase(PlayerPhase::Paused);
  } else if (p.pausedForCache || p.coreIdle) {
    SetPhase(PlayerPhase::Buffering);
  } else {
    SetPhase(PlayerPhase::Playing);
  }
}

}  // namespace telvanta::platform
