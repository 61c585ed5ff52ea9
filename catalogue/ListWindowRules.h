#pragma once

#include "common/I18n.h"
// Decisions of the channel list window that need no toolkit: the start page,
// the restore of the stored TV filter, what Go! stores, the play caption, the
// notes the window shows and where the window opens.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvanta {

// The pages of TePageControl1, in tab order.
enum class ListPage { TV = 0, Radio = 1, Webcam = 2, Favorites = 3 };
inline constexpr ListPage AllPages[] = {ListPage::TV, ListPage::Radio, ListPage::Webcam,
                                        ListPage::Favorites};

// OnStartupDisplay: "Radio", "MyFav", "Webcam" (exact text), else the TV page.
ListPage StartPageFor(std::string_view onStartupDisplay);

// Items of the filter boxes other than the country box.
inline const std::vector<std::string> TypeItems = {
    N_("All channels"), N_("Educational"), N_("Music"),  N_("News"),
    N_("Religious"),    N_("Sports"),      N_("Weather")};
inline const std::vector<std::string> SortItems = {N_("Country"), N_("Channel name"),
                                                   N_("Bandwidth")};
inline const std::vector<std::string> OrderItems = {N_("Asc"), N_("Desc")};

// The first item equal to value, ASCII letter case ignored; none for no match.
std::optional<std::size_t> FindItemIgnoringCase(const std::vector<std::string>& items,
                                                std::string_view value);

// Stretch "1" checks "Fit to window"; anything else "Original Size".
bool StretchIsFit(std::string_view stretch);
// What a mouse-up on a video size button stores in Stretch.
inline constexpr std::string_view StretchOriginal = "0";
inline constexpr std::string_view StretchFit = "1";

// A filter box as Go! sees it: the selected row (-1 for none) and its text.
struct FilterBoxState {
  int index = -1;
  std::string text;
};

// One change of the settings store: a value to write, or none to delete.
struct SettingChange {
  std::string name;
  std::optional<std::string> value;
  bool operator==(const SettingChange&) const = default;
};

// What Go! stores after a load: FilterCountry, FilterType, SortBy, OrderBy.
std::vector<SettingChange> FilterSettingsAfterGo(const FilterBoxState& country,
                                                 const FilterBoxState& type,
                                                 const FilterBoxState& sort,
                                                 const FilterBoxState& order);

// The main window's caption while an entry plays.
std::string PlayCaption(std::string_view entry);

// The note about the players is shown until FirstRun is exactly "1".
bool NeedsPlayersNote(std::string_view firstRun);

// Throws Error "List index out of bounds (<index>)" unless index names one
// of count entries.
void CheckListIndex(int index, std::size_t count);

// The twin list's line at a visible list's selected index; throws Error
// "List index out of bounds (<index>)" when there is none (-1: no selection).
const std::string& TwinLine(const std::vector<std::string>& twin, int index);

inline constexpr std::string_view PlayersNoteCaption =
    N_("The latest verion of Windows Media Player and Real Player Required");
inline constexpr std::string_view PlayersNoteText =
    N_("Please note: Telvanta cannot function without Windows Media Player and RealPlayer "
       "installed. Telvanta needs the system of decoding of both programs to present the radio "
       "and television signals. ");

// The two help links' notes.
std::string PictureQualityNote();
std::string ConnectionNote();

// The list window's size and place between starts, stored in
// ListWindowPlacement as "x,y,width,height", then ",max" when it is
// maximised (the size is then the one it comes back to).
inline constexpr std::string_view PlacementSetting = "ListWindowPlacement";
struct WindowPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool maximized = false;
  bool operator==(const WindowPlacement&) const = default;
};
std::string PlacementText(const WindowPlacement& placement);
// None for any other text, and for a size below 1 or above 32767.
std::optional<WindowPlacement> ParsePlacement(std::string_view text);

// A monitor's work area.
struct ScreenArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
// Whether enough of the window's top edge lies on one area for the user to
// take hold of it; a window stored on a monitor since gone would not.
bool PlacementReachable(const WindowPlacement& placement, const std::vector<ScreenArea>& areas);

}  // namespace telvanta
