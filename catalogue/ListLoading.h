#pragma once
// Filling the catalogue lists of the channel list window from the station
// database, without any widget: the window copies the vectors into its lists.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/StationDatabase.h"
#include "common/I18n.h"
#include "common/StreamClass.h"

namespace telvanta {

// A visible list with its twin list of plain URLs and the stream class that
// picks each entry's icon. After a load entries, urls and streamClasses
// describe the same rows index by index; when a URL fails to decrypt, entries
// (and streamClasses, None for that entry) hold one line more than urls.
struct StationList {
  std::vector<std::string> entries;
  std::vector<std::string> urls;
  std::vector<StreamClass> streamClasses;

  void Clear();
};

// The four boxes of the TV filter, each as selected index and shown text
// (index -1 and empty text when nothing is selected).
struct TvFilter {
  int typeIndex = 0;
  std::string typeText = "All channels";
  int countryIndex = 0;
  std::string countryText = "All Countries";
  std::string sortText = "Country";
  std::string directionText = "Asc";
  bool operator==(const TvFilter&) const = default;
};

struct ChannelStatement {
  // The statement with the values between single quotes (an apostrophe in a
  // value doubled), as a log or a test shows it.
  std::string text;
  // What is run: the values bound as parameters ?1, ?2, and the row order
  // as the tie-breaker so that equal keys always come out the same way.
  std::string sql;
  std::vector<std::string> parameters;
};

// Fixed items of the country filter, before the database's countries.
inline constexpr std::array<std::string_view, 13> CountryFilterFixedItems = {
    N_("All Countries"), "Australia", "Canada", "France", "Germany", "Italy",     "Norway",
    "Netherlands",       "Spain",     "Sweden", "U.K",    "U.S.A",   "----------"};

inline constexpr std::string_view RadioStatement =
    "select country,name,url from radio order by country ASC, name ASC";
inline constexpr std::string_view WebcamStatement =
    "select country,name,speed,url from webcam order by country ASC, name ASC";
inline constexpr std::string_view CountryListStatement =
    "select distinct country from tv order by country ASC";
inline constexpr std::string_view Savelist2Statement =
    "select country,name,url,speed from tv order by country ASC, name ASC";

ChannelStatement ComposeChannelStatement(const TvFilter& filter);

// Entry texts: "Canada - Channel One(300k)"; TV always with the parentheses,
// webcams only with a speed, radio never.
std::string TvEntryText(std::string_view country, std::string_view name, std::string_view speed);
std::string RadioEntryText(std::string_view country, std::string_view name);
std::string WebcamEntryText(std::string_view country, std::string_view name,
                            std::string_view speed);
// "country|name|speed|plain URL", a line of the full TV export.
std::string Savelist2Line(std::string_view country, std::string_view name, std::string_view speed,
                          std::string_view url);

// Each empties the list, then appends row by row. An engine error or a URL
// that is not hex ("Error: not a Hex String") stops the load and is thrown;
// the rows appended before it stay.
void LoadChannel(StationDatabase& db, const TvFilter& filter, StationList& list);
void LoadRadio(StationDatabase& db, StationList& list);
void Loadwebcam(StationDatabase& db, StationList& list);
// Appends the distinct countries of tv, ascending, to items; removes nothing.
void Loadcountrylist(StationDatabase& db, std::vector<std::string>& items);
// Every tv row by country then name as export lines. Throws as the loads do,
// returning nothing then.
std::vector<std::string> Savelist2Lines(StationDatabase& db);

}  // namespace telvanta
