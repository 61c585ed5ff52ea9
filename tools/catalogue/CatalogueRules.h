#pragma once
// Which source rows go into the shipped catalogue, and how they read there.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/catalogue/StationSources.h"

namespace telvanta {

// One row of tv, radio or webcam, URL still plain.
struct CatalogueRow {
  std::string country;
  std::string name;
  std::string speed;
  std::string url;
  std::string type;
};

enum class LeaveOut { NeedsReferrer, NeedsUserAgent, NoAbsoluteAddress, SameUrl, SameTextAndUrl };
std::string_view LeaveOutText(LeaveOut reason);

using LeaveOutCounts = std::map<LeaveOut, std::size_t>;

struct CatalogueTable {
  std::vector<CatalogueRow> rows;  // in the order they are stored
  LeaveOutCounts leftOut;
  // Rows whose name was given a mark to tell them from rows that read alike.
  std::size_t toldApart = 0;
};

struct Catalogue {
  std::int64_t serial = 0;  // the date of its lists, YYYYMMDD
  CatalogueTable tv;
  CatalogueTable radio;
  CatalogueTable webcam;
};

// scheme "://" host, with no blank or control character anywhere (a player
// cannot take two addresses run together, nor a relative one).
bool IsAbsoluteAddress(std::string_view url);
// Why a row cannot go into the catalogue, if it cannot.
std::optional<LeaveOut> LeaveOutReason(const SourceRow& row);
// The stream's bitrate, else its quality label, else empty.
std::string TvSpeed(const SourceRow& row);

// How a row reads in its list (the list window's entry text).
using EntryTextOf = std::string (*)(const CatalogueRow& row);

// No two rows of a table read alike: of rows with the same entry text and
// URL the first stays (the others are left out as SameTextAndUrl); rows with
// the same text and other URLs each get their URL's host after the name,
// " [host]", with " #1", " #2"... for a host they share, in list order.
void TellApartRowsThatReadAlike(CatalogueTable& table, EntryTextOf textOf);

// The order rows are stored in: by country then name without regard to
// ASCII letter case, as the database sorts them, equal keys keeping their order.
void SortByCountryAndName(std::vector<CatalogueRow>& rows);

// Rows ordered by country then name without regard to ASCII letter case
// (as the database sorts them), equal keys keeping their source order.
// Throws Error "<file>:<line>: ..." on an unknown country code or type.
Catalogue AssembleCatalogue(const StationSources& sources);

}  // namespace telvanta
