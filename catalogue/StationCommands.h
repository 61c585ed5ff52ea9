#pragma once
// What the list window's station commands need without a toolkit: the parts
// of an entry text for Properties, the bad-link report's question and
// address, and the list exports.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ListWindowRules.h"
#include "common/StreamClass.h"

namespace telvanta {

// An entry text ("Canada - Channel One(300k)") read back into its parts.
struct EntryParts {
  std::string country;  // before the first " - "; the whole text without one
  std::string name;     // after the hyphen up to the first "(", its leading blank kept
  std::string speed;    // between the first "(" and the first ")" after it
  bool operator==(const EntryParts&) const = default;
};
EntryParts SplitEntryText(std::string_view entry);

// "Windows Media", "Real Media" or nothing, after "Type : ".
std::string_view PlayerTypeText(StreamClass streamClass);

// The "Confirm" question of the bad-link report.
std::string BadLinkQuestion(std::string_view entry);
// The report page with the entry as its ChannelName, percent-encoded so "&",
// "#", "%" and blanks reach the page as the text they are.
std::string BadLinkAddress(std::string_view entry);

// The list exports go to the user's home folder ("tvlist.txt", ...).
std::filesystem::path ExportPath(std::string_view fileName);

// What the export tools need of the list window.
class ListExportSource {
 public:
  virtual ~ListExportSource() = default;
  // The entry texts of a page's list as shown (its order and filter).
  virtual std::vector<std::string> VisibleEntries(ListPage page) const = 0;
  // Writes every TV station with its plain URL to old.txt; gives its path.
  virtual std::filesystem::path savelist2() = 0;
};

}  // namespace telvanta
