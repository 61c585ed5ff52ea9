#include "catalogue/ListWindowRules.h"

#include "common/AsciiText.h"
#include "common/Error.h"

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
    throw Error("List index out of bounds (" + std::to_string(index) + ")");
  }
}

const std::string& TwinLine(const std::vector<std::string>& twin, int index) {
  CheckListIndex(index, twin.size());
  return twin[static_cast<std::size_t>(index)];
}

std::string PictureQualityNote() {
  return "The quality and continuity of the image depends of where it's originates the signal "
         "and not of Telvanta. Video will not look comparable to normal TV unless the station "
         "broadcasts at a high rate (>300k).\r"
         "You must also have a fast enough connection to view a high speed station. A faster "
         "machine will not solve this issue.";
}

std::string ConnectionNote() {
  return "There are over 1000 channels available, but they aren't always broadcasting 24 hours "
         "a day. If there is no signal on a particular channel, try another one, there will be "
         "others broadcasting."
         "Often, channels in other parts of the world will only be broadcasting during the "
         "daytime in their local region, thus a European channel broadcasts in the middle of "
         "the night in the U.S.\r\n"
         "Don't forget that the live television depends on the origin and not of the program "
         "that show them, some stations can be off line temporarily or with too many "
         "connections.";
}

}  // namespace telvanta
