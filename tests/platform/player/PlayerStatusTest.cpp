// What a player says while it works.

#include <gtest/gtest.h>

#include "platform/player/PlayerStatus.h"

namespace telvanta::platform {
namespace {

TEST(StatusText, SaysWhatThePlayerIsDoing) {
  struct Case {
    PlayerStatus status;
    const char* text;
  };
  const Case cases[] = {
      {{PlayerPhase::Ready, "", 0, -1, ""}, "Ready"},
      {{PlayerPhase::Resolving, "h", 0, -1, ""}, "Opening playlist..."},
      {{PlayerPhase::Connecting, "radio.example.org", 0, -1, ""},
       "Connecting to radio.example.org..."},
      {{PlayerPhase::Connecting, "radio.example.org", 1, -1, ""},
       "Connecting to radio.example.org..."},
      // After a moment the user sees it is still trying.
      {{PlayerPhase::Connecting, "radio.example.org", 7, -1, ""},
       "Connecting to radio.example.org... 7 s"},
      {{PlayerPhase::Connecting, "", 0, -1, ""}, "Connecting..."},
      {{PlayerPhase::Buffering, "h", 0, 45, ""}, "Buffering 45%"},
      {{PlayerPhase::Buffering, "h", 0, -1, ""}, "Buffering..."},
      {{PlayerPhase::Playing, "h", 0, -1, ""}, "Playing"},
      {{PlayerPhase::Paused, "h", 0, -1, ""}, "Paused"},
      {{PlayerPhase::Stopped, "h", 0, -1, ""}, "Stopped"},
      {{PlayerPhase::Ended, "h", 0, -1, ""}, "The stream has ended."},
      {{PlayerPhase::Failed, "h", 0, -1, "The server \"h\" refused the connection."},
       "The server \"h\" refused the connection."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StatusText(c.status), c.text) << PhaseName(c.status.phase);
  }
}

}  // namespace
}  // namespace telvanta::platform
