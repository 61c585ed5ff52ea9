#pragma once

#include "common/I18n.h"
// The three choices of the preferences dialog and how they are stored:
// OnStartupDisplay, AutoUpdate and TopMost.

#include <array>
#include <functional>
#include <string_view>

namespace telvanta {

// The start page's items as the dialog lists them, and their stored texts.
inline constexpr std::array<std::string_view, 4> StartupDisplayItems = {
    N_("TV Stations"), N_("Radio Stations"), N_("Webcams"), N_("My Favorites")};
inline constexpr std::array<std::string_view, 4> StartupDisplayTexts = {"TV", "Radio", "Webcam",
                                                                        "MyFav"};

struct PreferencesChoice {
  int startupIndex = 0;  // -1: no item selected, nothing stored
  bool autoUpdate = false;
  bool topMost = false;
};

// The stored choices: the item whose text equals OnStartupDisplay exactly
// (else the first), and flags that are on only for exactly "1".
PreferencesChoice ReadPreferences();

// Stores the choices in the dialog's order: AutoUpdate ("1" or deleted),
// OnStartupDisplay, then applyTopMost with the choice, then TopMost ("1" or
// "0"). A store error stops the rest and passes on.
void StorePreferences(const PreferencesChoice& choice,
                      const std::function<void(bool topMost)>& applyTopMost);

}  // namespace telvanta
