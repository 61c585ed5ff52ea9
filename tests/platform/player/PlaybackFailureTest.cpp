// The user must learn why a stream does not play, not watch a spinner.
// Log lines below are the ones mpv and ffmpeg wrote on this machine.

#include <gtest/gtest.h>

#include "platform/player/PlaybackFailure.h"

namespace telvanta::platform {
namespace {

TEST(DiagnoseFailure, NamesTheCauseFromTheEnginesLog) {
  struct Case {
    int error;
    std::vector<std::string> log;
    FailureKind kind;
    int status;
  };
  const Case cases[] = {
      {kMpvErrorLoadingFailed,
       {"ffmpeg: tcp: Connection to tcp://radio.example.org:80 failed: Connection refused",
        "stream: Failed to open http://radio.example.org/live."},
       FailureKind::ConnectionRefused,
       0},
      {kMpvErrorLoadingFailed,
       {"ffmpeg: http: HTTP error 404 File not found", "stream: Failed to open http://h/x."},
       FailureKind::NotFound,
       404},
      {kMpvErrorLoadingFailed,
       {"ffmpeg: http: HTTP error 403 Forbidden"},
       FailureKind::AccessDenied,
       403},
      {kMpvErrorLoadingFailed,
       {"ffmpeg: http: HTTP error 503 Service Unavailable"},
       FailureKind::ServerError,
       503},
      {kMpvErrorLoadingFailed,
       {"ffmpeg: tcp: Failed to resolve hostname nowhere.invalid: Name or service not known"},
       FailureKind::HostNotFound,
       0},
      {kMpvErrorLoadingFailed,
       {"ffmpeg: tcp: Connection to tcp://radio.example.org:80 failed: Connection timed out"},
       FailureKind::TimedOut,
       0},
      {kMpvErrorLoadingFailed,
       {"ffmpeg: tcp: Connection to tcp://radio.example.org:80 failed: No route to host"},
       FailureKind::NetworkUnreachable,
       0},
      {kMpvErrorLoadingFailed,
       {"ffmpeg: rtsp: method DESCRIBE failed: 404 Not Found"},
       FailureKind::NotFound,
       404},
      // mpv calls a refused RTSP connection an unknown format; the log knows better.
      {kMpvErrorUnknownFormat,
       {"ffmpeg: tcp: Connection to tcp://radio.example.org:80?timeout=0 failed: Connection "
        "refused",
        "lavf: avformat_open_input() failed"},
       FailureKind::ConnectionRefused,
       0},
      {kMpvErrorUnknownFormat, {}, FailureKind::UnsupportedFormat, 0},
      {kMpvErrorUnknownFormat,
       {"cplayer: Failed to recognize file format."},
       FailureKind::UnsupportedFormat,
       0},
      {kMpvErrorNothingToPlay, {}, FailureKind::NothingToPlay, 0},
      {kMpvErrorLoadingFailed, {"stream: Failed to open http://h/x."}, FailureKind::Unknown, 0},
      // Without a sound device the sound server's refusal is no server's.
      {kMpvErrorAudioOutputFailed,
       {"ao/pulse: Init failed: Connection refused",
        "cplayer: Could not open/initialize audio device -> no sound."},
       FailureKind::NoAudioOutput,
       0},
      {kMpvErrorLoadingFailed,
       {"ao/pulse: Init failed: Connection refused", "ffmpeg: http: HTTP error 404 Not Found"},
       FailureKind::NotFound,
       404},
      // A specific cause outranks a later generic one.
      {kMpvErrorLoadingFailed,
       {"ffmpeg: http: HTTP error 404 Not Found", "ffmpeg: Connection reset by peer"},
       FailureKind::NotFound,
       404},
  };
  for (const auto& c : cases) {
    const Failure failure = DiagnoseFailure(c.error, c.log, "http://radio.example.org/live");
    EXPECT_EQ(failure.kind, c.kind) << (c.log.empty() ? "" : c.log.front());
    EXPECT_EQ(failure.status, c.status);
    EXPECT_EQ(failure.host, "radio.example.org");
  }
}

TEST(DiagnoseFailure, AMissingLocalFileIsNotFound) {
  const Failure failure = DiagnoseFailure(kMpvErrorLoadingFailed, {}, "/music/none.mp3");
  EXPECT_EQ(failure.kind, FailureKind::NotFound);
  EXPECT_EQ(FailureMessage(failure), "The file was not found.");
  EXPECT_EQ(DiagnoseFailure(kMpvErrorLoadingFailed, {}, "file:///music/none.mp3").kind,
            FailureKind::NotFound);
}

TEST(LogLineConcerns, ALineNamingAConnectionConcernsOnlyThatAddress) {
  struct Case {
    const char* line;
    const char* address;
    bool concerns;
  };
  const Case cases[] = {
      {"ffmpeg: tcp: Connection to tcp://127.0.0.1:4000 failed: Connection refused",
       "http://127.0.0.1:4000/a.mp3", true},
      {"ffmpeg: tcp: Connection to tcp://127.0.0.1:4000 failed: Connection refused",
       "http://127.0.0.1:4001/a.mp3", false},
      {"ffmpeg: tcp: Connection to tcp://radio.example.org:80 failed: Connection refused",
       "http://Radio.Example.org/live", true},
      {"ffmpeg: tcp: Connection to tcp://h:554?timeout=0 failed: Connection refused",
       "rtsp://h/live", true},
      {"ffmpeg: tcp: Connection to tcp://h:1755 failed: Connection refused", "mmst://h/live", true},
      {"ffmpeg: tcp: Connection to tcp://h:80 failed: Connection refused", "mmst://h/live", false},
      {"ffmpeg: tcp: Connection to tcp://[::1]:8000 failed: Connection refused",
       "http://[::1]:8000/x", true},
      // Lines without a connection may be anyone's.
      {"ffmpeg: http: HTTP error 404 Not Found", "http://h/a", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LogLineConcerns(c.line, c.address), c.concerns) << c.line << " / " << c.address;
  }
}

TEST(DiagnoseFailure, ALineNamingOurConnectionWinsOverAnothersShared) {
  // Two players failing at once: the other's 404 reached our log too.
  const std::vector<std::string> log = {
      "ffmpeg: http: HTTP error 404 Not Found",
      "ffmpeg: tcp: Connection to tcp://127.0.0.1:4000 failed: Connection refused",
      "ffmpeg: tcp: Connection to tcp://127.0.0.1:5000 failed: Connection timed out",
  };
  EXPECT_EQ(DiagnoseFailure(kMpvErrorLoadingFailed, log, "http://127.0.0.1:4000/a").kind,
            FailureKind::ConnectionRefused);
}

TEST(ClassifyLogLine, AnEchoedTimeoutOptionIsNoTimeOut) {
  EXPECT_EQ(ClassifyLogLine("ffmpeg: Opening tcp://h:554?timeout=0").kind, FailureKind::None);
  EXPECT_EQ(ClassifyLogLine("ffmpeg: http: HTTP error 2000").kind, FailureKind::None);
  EXPECT_EQ(ClassifyLogLine("cplayer: Playing http://h/404.mp3").kind, FailureKind::None);
}

TEST(FailureMessage, EveryFailureHasAClearText) {
  struct Case {
    Failure failure;
    const char* text;
  };
  const Case cases[] = {
      {{FailureKind::HostNotFound, 0, "radio.example.org"},
       "Cannot find the server \"radio.example.org\"."},
      {{FailureKind::ConnectionRefused, 0, "127.0.0.1"},
       "The server \"127.0.0.1\" refused the connection."},
      {{FailureKind::TimedOut, 0, "h"}, "The server \"h\" did not answer in time."},
      {{FailureKind::TimedOut, 0, ""}, "The server did not answer in time."},
      {{FailureKind::NotFound, 404, "h"}, "The stream was not found on the server (error 404)."},
      {{FailureKind::AccessDenied, 403, "h"},
       "The server refused access to the stream (error 403)."},
      {{FailureKind::ServerError, 500, "h"}, "The server reported an error (error 500)."},
      {{FailureKind::UnsupportedFormat, 0, "h"}, "The stream's format is not supported."},
      {{FailureKind::EmptyPlaylist, 0, "h"}, "The playlist names no stream to play."},
      {{FailureKind::UnsupportedProtocol, 0, ""}, "The address's protocol is not supported."},
      {{FailureKind::NoAudioOutput, 0, "h"}, "No audio output could be opened."},
      {{FailureKind::Unknown, 0, "h"}, "Cannot open the stream."},
      {{FailureKind::None, 0, "h"}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FailureMessage(c.failure), c.text);
  }
}

}  // namespace
}  // namespace telvanta::platform
