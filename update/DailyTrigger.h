#pragma once
// The once-a-day trigger at the end of a play: the first play on a new date
// text starts the update worker. UI thread only, so two plays can't both
// start a worker for one date.

#include <string_view>

namespace telvanta {

// Reads Day, writes todayText to it, and says whether it differed (as exact
// text; a missing Day reads as empty). Settings errors pass to the caller.
bool TakeDailyUpdateTurn(std::string_view todayText);

}  // namespace telvanta
