#include "catalogue/ListWindowRules.h"

#include "common/AsciiText.h"
#include "common/Error.h"
#include "common/I18n.h"

#include <algorithm>
#include <charconv>

namespace telvanta {

ListPage StartPageFor(std::string_view onStartupDisplay) {
  if (onStartupDisplay == "Radio") {
    return ListPage::Radio;
  }
  if (onStartupDisplay == "MyFav") {
    return ListPage::Favorites;
  }
  if (onStartupDisplay == "Webcam") {
    return ListPage::Webcam;
  }
  return ListPage::TV;
}

std::optional<std::size_t> FindItemIgnoringCase(const std::vector<std::string>& items,
                                                std::string_view value) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (EqualsIgnoringAsciiCase(items[i], value)) {
      return i;
    }
  }
  return std::nullopt;
}

bool StretchIsFit(std::string_view stretch) { return stretch == "1"; }

std::vector<SettingChange> FilterSettingsAfterGo(const FilterBoxState& country,
                                                 const FilterBoxState& type,
                                                 const FilterBoxState& sort,
                                                 const FilterBoxState& order) {
  auto firstItemOrText = [](const FilterBoxState& box) -> std::optional<std::string> {
    if (box.index == 0) {
      return std::nullopt;
    }
    return box.text;
  };
  return {
      {"FilterCountry", firstItemOrText(country)},
      {"FilterType", firstItemOrText(type)},
      {"SortBy", sort.text},
      {"OrderBy", order.text},
  };
}

std::string PlayCaption(std::string_view entry) { return "Telvanta - " + std::string(entry); }

bool NeedsPlayersNote(std::string_view firstRun) { return firstRun != "1"; }

void CheckListIndex(int index, std::size_t count) {
  if (index < 0 || static_cast<std::size_t>(index) >= count) {
    throw Error(Substitute(_("List index out of bounds (%1)"), {std::to_string(index)}));
  }
}

const std::string& TwinLine(const std::vector<std::string>& twin, int index) {
  CheckListIndex(index, twin.size());
  return twin[static_cast<std::size_t>(index)];
}

std::string PictureQualityNote() {
  return _(
      "The quality and continuity of the image depends of where it's originates the signal "
      "and not of Telvanta. Video will not look comparable to normal TV unless the station "
      "broadcasts at a high rate (>300k).\r"
      "You must also have a fast enough connection to view a high speed station. A faster "
      "machine will not solve this issue.");
}

std::string ConnectionNote() {
  return _(
      "There are over 1000 channels available, but they aren't always broadcasting 24 hours "
      "a day. If there is no signal on a particular channel, try another one, there will be "
      "others broadcasting."
      "Often, channels in other parts of the world will only be broadcasting during the "
      "daytime in their local region, thus a European channel broadcasts in the middle of "
      "the night in the U.S.\r\n"
      "Don't forget that the live television depends on the origin and not of the program "
      "that show them, some stations can be off line temporarily or with too many "
      "connections.");
}

std::string PlacementText(const WindowPlacement& placement) {
  return std::to_string(placement.x) + "," + std::to_string(placement.y) + "," +
         std::to_string(placement.width) + "," + std::to_string(placement.height) +
         (placement.maximized ? ",max" : "");
}

std::optional<WindowPlacement> ParsePlacement(std::string_view text) {
  constexpr int Largest = 32767;
  int numbers[4] = {};
  for (int& number : numbers) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || number < -Largest - 1 || number > Largest) {
      return std::nullopt;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (&number != &numbers[3]) {
      if (!text.starts_with(',')) {
        return std::nullopt;
      }
      text.remove_prefix(1);
    }
  }
  const WindowPlacement placement{numbers[0], numbers[1], numbers[2], numbers[3], text == ",max"};
  if ((!text.empty() && !placement.maximized) || placement.width < 1 || placement.height < 1) {
    return std::nullopt;
  }
  return placement;
}

bool PlacementReachable(const WindowPlacement& placement, const std::vector<ScreenArea>& areas) {
  // The title bar's strip, and how much of it must show.
  constexpr int Strip = 32;
  constexpr int MinWidth = 64;
  constexpr int MinHeight = 16;
  return std::any_of(areas.begin(), areas.end(), [&](const ScreenArea& area) {
    const long left = std::max<long>(placement.x, area.x);
    const long right = std::min<long>(static_cast<long>(placement.x) + placement.width,
                                      static_cast<long>(area.x) + area.width);
    const long top = std::max<long>(placement.y, area.y);
    const long bottom = std::min<long>(static_cast<long>(placement.y) + Strip,
                                       static_cast<long>(area.y) + area.height);
    return right - left >= MinWidth && bottom - top >= MinHeight;
  });
}

}  // namespace telvanta
