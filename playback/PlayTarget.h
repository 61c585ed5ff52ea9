#pragma once
// What the windows that start a play need of the main window.

#include <string>

namespace telvanta {

class PlayTarget {
 public:
  virtual ~PlayTarget() = default;
  // Uncovers the browser; every caller calls it just before PlayTV.
  virtual void InitControl() = 0;
  // Builds the player page for the URL and shows it.
  virtual void PlayTV(const std::string& url) = 0;
  // The main window's caption.
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
};

}  // namespace telvanta
