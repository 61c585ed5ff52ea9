#include "tools/catalogue/CatalogueRules.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

#include "catalogue/ListLoading.h"
#include "common/AsciiText.h"
#include "common/Error.h"

namespace telvanta {
namespace {

constexpr std::array<std::string_view, 6> KnownTypes = {"Educational", "Music",  "News",
                                                        "Religious",   "Sports", "Weather"};

[[noreturn]] void FailAt(const SourceTable& table, const SourceRow& row, const std::string& what) {
  throw Error(table.fileName + ":" + std::to_string(row.line) + ": " + what);
}

std::string CountryName(const CountryNames& countries, const SourceTable& table,
                        const SourceRow& row) {
  const auto it = countries.find(row.country);
  if (it == countries.end()) {
    FailAt(table, row, "unknown country code \"" + row.country + "\"");
  }
  return it->second;
}

std::string CheckedType(const SourceTable& table, const SourceRow& row) {
  if (!row.type.empty() &&
      std::find(KnownTypes.begin(), KnownTypes.end(), row.type) == KnownTypes.end()) {
    FailAt(table, row, "unknown type \"" + row.type + "\"");
  }
  return row.type;
}

bool IsSchemeChar(char c, bool first) {
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) {
    return letter;
  }
  return letter || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The ASCII-only case folding of the database's NOCASE collation.
int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto fold = [](char c) { return static_cast<unsigned char>(AsciiLower(c)); };
    const int d = static_cast<int>(fold(a[i])) - static_cast<int>(fold(b[i]));
    if (d != 0) {
      return d;
    }
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Calls keep(row) for every row that may go in, counting the others.
template <typename Keep>
void Screen(const SourceTable& table, LeaveOutCounts& leftOut, Keep keep) {
  for (const SourceRow& row : table.rows) {
    try {
      const std::optional<LeaveOut> reason = LeaveOutReason(row);
      if (reason) {
        ++leftOut[*reason];
      } else {
        keep(row);
      }
    } catch (const Error& e) {
      if (std::string_view(e.what()).starts_with(table.fileName + ":")) {
        throw;
      }
      FailAt(table, row, e.what());
    }
  }
}

CatalogueTable AssembleTv(const StationSources& sources) {
  CatalogueTable out;
  Screen(sources.tv, out.leftOut, [&](const SourceRow& row) {
    out.rows.push_back({CountryName(sources.countries, sources.tv, row), row.name, TvSpeed(row),
                        row.url, CheckedType(sources.tv, row)});
  });
  return out;
}

// One row per URL: the directory's rows first, the second list adding the
// stations the directory lacks and its bitrate wherever it has one.
CatalogueTable AssembleRadio(const StationSources& sources) {
  CatalogueTable out;
  std::unordered_map<std::string, std::size_t> byUrl;
  for (const SourceTable* table : {&sources.radio, &sources.radioBitrates}) {
    const bool knowsBitrate = table == &sources.radioBitrates;
    Screen(*table, out.leftOut, [&](const SourceRow& row) {
      const std::string country = CountryName(sources.countries, *table, row);
      const std::string type = CheckedType(*table, row);
      const auto [it, added] = byUrl.emplace(row.url, out.rows.size());
      if (added) {
        out.rows.push_back({country, row.name, row.bandwidth, row.url, type});
        return;
      }
      ++out.leftOut[LeaveOut::SameUrl];
      if (knowsBitrate && !row.bandwidth.empty()) {
        out.rows[it->second].speed = row.bandwidth;
      }
    });
  }
  return out;
}

// What a user reads of where a stream comes from: the host and port of an
// absolute address, without "www." and never with a user name or password.
std::string HostLabel(std::string_view url) {
  std::string_view authority = url.substr(url.find("://") + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  std::string host = AsciiLower(authority);
  if (host.starts_with("www.")) {
    host.erase(0, 4);
  }
  return host;
}

std::string TvText(const CatalogueRow& row) {
  return TvEntryText(row.country, row.name, row.speed);
}
std::string RadioText(const CatalogueRow& row) { return RadioEntryText(row.country, row.name); }
std::string WebcamText(const CatalogueRow& row) {
  return WebcamEntryText(row.country, row.name, row.speed);
}

CatalogueTable AssembleWebcams(const StationSources& sources) {
  CatalogueTable out;
  Screen(sources.webcams, out.leftOut, [&](const SourceRow& row) {
    out.rows.push_back({CountryName(sources.countries, sources.webcams, row), row.name, "", row.url,
                        CheckedType(sources.webcams, row)});
  });
  return out;
}

}  // namespace

std::string_view LeaveOutText(LeaveOut reason) {
  switch (reason) {
    case LeaveOut::NeedsReferrer:
      return "needs an HTTP referrer";
    case LeaveOut::NeedsUserAgent:
      return "needs an HTTP user agent";
    case LeaveOut::NoAbsoluteAddress:
      return "URL empty or not an absolute address";
    case LeaveOut::SameUrl:
      return "URL already listed (merged)";
    case LeaveOut::SameTextAndUrl:
      return "same text and URL as another row (merged)";
  }
  return "?";
}

bool IsAbsoluteAddress(std::string_view url) {
  for (const char c : url) {
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) {
      return false;
    }
  }
  const std::size_t colon = url.find("://");
  if (colon == std::string_view::npos || colon == 0) {
    return false;
  }
  for (std::size_t i = 0; i < colon; ++i) {
    if (!IsSchemeChar(url[i], i == 0)) {
      return false;
    }
  }
  const std::size_t host = colon + 3;
  return host < url.size() && url[host] != '/' && url[host] != '?' && url[host] != '#';
}

std::optional<LeaveOut> LeaveOutReason(const SourceRow& row) {
  if (JsonFlag(row.extra, "needs_referrer")) {
    return LeaveOut::NeedsReferrer;
  }
  if (JsonFlag(row.extra, "needs_user_agent")) {
    return LeaveOut::NeedsUserAgent;
  }
  if (!IsAbsoluteAddress(row.url)) {
    return LeaveOut::NoAbsoluteAddress;
  }
  return std::nullopt;
}

std::string TvSpeed(const SourceRow& row) {
  if (!row.bandwidth.empty()) {
    return row.bandwidth;
  }
  return JsonText(row.extra, "quality");
}

void TellApartRowsThatReadAlike(CatalogueTable& table, EntryTextOf textOf) {
  // Each text's rows, in list order; rows repeating one of them go.
  std::unordered_map<std::string, std::vector<std::size_t>> byText;
  std::vector<CatalogueRow> kept;
  for (CatalogueRow& row : table.rows) {
    std::vector<std::size_t>& alike = byText[textOf(row)];
    const bool repeated = std::any_of(alike.begin(), alike.end(),
                                      [&](std::size_t i) { return kept[i].url == row.url; });
    if (repeated) {
      ++table.leftOut[LeaveOut::SameTextAndUrl];
      continue;
    }
    alike.push_back(kept.size());
    kept.push_back(std::move(row));
  }
  for (const auto& [text, alike] : byText) {
    if (alike.size() < 2) {
      continue;
    }
    std::map<std::string, std::size_t> perHost;
    for (const std::size_t i : alike) {
      ++perHost[HostLabel(kept[i].url)];
    }
    std::map<std::string, std::size_t> numbered;
    for (const std::size_t i : alike) {
      const std::string host = HostLabel(kept[i].url);
      const std::string number =
          perHost[host] > 1 ? " #" + std::to_string(++numbered[host]) : std::string();
      kept[i].name += " [" + host + number + "]";
    }
    table.toldApart += alike.size();
  }
  table.rows = std::move(kept);
}

void SortByCountryAndName(std::vector<CatalogueRow>& rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const CatalogueRow& a, const CatalogueRow& b) {
    const int byCountry = CompareNoCase(a.country, b.country);
    return byCountry != 0 ? byCountry < 0 : CompareNoCase(a.name, b.name) < 0;
  });
}

Catalogue AssembleCatalogue(const StationSources& sources) {
  Catalogue catalogue{sources.serial, AssembleTv(sources), AssembleRadio(sources),
                      AssembleWebcams(sources)};
  TellApartRowsThatReadAlike(catalogue.tv, TvText);
  TellApartRowsThatReadAlike(catalogue.radio, RadioText);
  TellApartRowsThatReadAlike(catalogue.webcam, WebcamText);
  SortByCountryAndName(catalogue.tv.rows);
  SortByCountryAndName(catalogue.radio.rows);
  SortByCountryAndName(catalogue.webcam.rows);
  return catalogue;
}

}  // namespace telvanta
