#pragma once
// Why a stream could not be played, told from the engine's error code and
// the log lines it wrote while opening, and the message the user sees.

#include <string>
#include <string_view>
#include <vector>

#include "platform/net/NetFailure.h"

namespace telvanta::platform {

enum class FailureKind {
  None,
  HostNotFound,
  NetworkUnreachable,
  ConnectionRefused,
  TimedOut,
  NotFound,      // HTTP/RTSP 404 or 410
  AccessDenied,  // 401, 403
  ServerError,   // any other error status
  ConnectionLost,
  UnsupportedFormat,
  NothingToPlay,
  EmptyPlaylist,
  UnsupportedProtocol,
  NoAudioOutput,  // no sound device could be opened
  Unknown,
};

struct Failure {
  FailureKind kind = FailureKind::None;
  int status = 0;    // HTTP/RTSP status, when one was given
  std::string host;  // for the message
  bool operator==(const Failure&) const = default;
};

// The kind for an HTTP or RTSP error status (400-599).
FailureKind FailureKindForStatus(int status);

// The kind for a failed fetch of ours (a playlist or metafile).
FailureKind FailureKindFor(NetError error);

// What one log line says, if it says anything we know (kind None otherwise).
Failure ClassifyLogLine(std::string_view line);

// ffmpeg logs for every engine of the process through one of them, so its
// lines are shared. A line naming a connection ("tcp://host:port") concerns
// only the address with that host and port; other lines concern everyone.
bool LogLineConcerns(std::string_view line, std::string_view address);

// mpv's error codes (client.h) that matter here, kept as plain numbers so
// this code needs no engine headers.
inline constexpr int kMpvErrorLoadingFailed = -13;
inline constexpr int kMpvErrorAudioOutputFailed = -14;
inline constexpr int kMpvErrorNothingToPlay = -16;
inline constexpr int kMpvErrorUnknownFormat = -17;

// The failure of one open attempt. Network causes found in the log win over
// the engine's error code, which says "unknown format" for a refused RTSP
// connection too.
Failure DiagnoseFailure(int engineError, const std::vector<std::string>& log,
                        std::string_view address);

// Whether a file that had loaded came to its end rather than failing. mpv
// keeps the audio output that failed at the start as the file's error, also
// when its picture went on to the end.
bool PlayedToTheEnd(int engineError, bool hadPicture);

// The text shown in the player.
std::string FailureMessage(const Failure& failure);

}  // namespace telvanta::platform
