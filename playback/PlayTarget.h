#pragma once
// What the windows that start a play need of the main window.

#include <string>

namespace telvanta {

// The list a station was played from, as it is shown now: what the
// desktop's Next and Previous move through.
class StationSequence {
 public:
  virtual ~StationSequence() = default;
  // Whether the shown list has a station after (step 1) or before (step -1)
  // the one played from it last.
  virtual bool HasStation(int step) const = 0;
  // Plays that station as a double-click on it would; nothing when there is none.
  virtual void PlayStation(int step) = 0;
};

class PlayTarget {
 public:
  virtual ~PlayTarget() = default;
  // Uncovers the browser; every caller calls it just before PlayTV.
  virtual void InitControl() = 0;
  // Builds the player page for the URL and shows it.
  virtual void PlayTV(const std::string& url) = 0;
  // PlayTV for a station of a list: the player and the desktop name it by
  // its entry text, and `list` gives the stations around it.
  virtual void PlayStation(const std::string& entry, const std::string& url,
                           StationSequence& list) = 0;
  // The main window's caption.
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
};

}  // namespace telvanta
