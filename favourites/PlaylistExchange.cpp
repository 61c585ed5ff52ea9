#include "favourites/PlaylistExchange.h"

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <unordered_set>

#include "common/DesCipher.h"
#include "common/Files.h"
#include "platform/glib/GObjectPtr.h"
#include "platform/player/MetafileResolver.h"
#include "platform/player/StreamAddress.h"

namespace telvanta {

namespace {

// How many refusals the summary lists; an IPTV list of local files could
// otherwise fill a box taller than the screen.
constexpr std::size_t kListedRefusals = 30;

// totem-pl-parser gives an #EXTINF line's whole text as the title when no
// title follows the duration: "-1," or `-1 tvg-id="x",`, and "-1" for a line
// without a comma. A title of digits alone ("101") is a real name.
bool IsBareExtinf(std::string_view title) {
  if (title == "-1") {
    return true;
  }
  if (!title.ends_with(',') || title.find(',') + 1 != title.size()) {
    return false;
  }
  std::string_view rest = title.substr(0, title.size() - 1);
  if (rest.starts_with('-')) {
    rest.remove_prefix(1);
  }
  const std::size_t end = rest.find_first_not_of("0123456789");
  return end != 0 && !rest.empty() &&
         (end == std::string_view::npos || rest[end] == ' ' || rest[end] == '\t');
}

bool FitsPlaylist(const PlaylistEntry& entry) {
  return !entry.url.empty() && entry.url.find_first_of("\r\n") == std::string::npos;
}

// Throws FileError "Cannot open file ..." unless the file can be read.
void CheckReadable(const std::filesystem::path& file) {
  std::error_code ignored;
  const int error = ::access(file.c_str(), R_OK) != 0              ? errno
                    : std::filesystem::is_directory(file, ignored) ? EISDIR
                                                                   : 0;
  if (error != 0) {
    throw FileError(CannotOpenFileMessage(file.string(), error), error);
  }
}

// The URLs the file's favourites hold; a line that does not decipher holds
// none, as it could match nothing.
std::unordered_set<std::string> FavouriteUrls(const std::vector<std::string>& lines) {
  std::unordered_set<std::string> urls;
  for (const std::string& line : lines) {
    const std::size_t bar = line.find('|');
    if (bar == std::string::npos) {
      continue;
    }
    try {
      urls.insert(DesDecryptHex(std::string_view(line).substr(bar + 1), StationKey));
    } catch (const Error&) {
      // Kept in the file as it is; the list shows the damage when it loads.
    }
  }
  return urls;
}

// Why the entry can't be added; empty when it can.
std::string RefusalReason(const PlaylistEntry& entry, const std::unordered_set<std::string>& urls) {
  try {
    if (!CheckOwnChannel(entry.name, entry.url)) {
      return "no address";
    }
  } catch (const Error& error) {
    return error.what();
  }
  if (!IsStreamAddress(entry.url)) {
    return "not a stream address";
  }
  if (urls.contains(entry.url)) {
    return "already in My Favorites";
  }
  return {};
}

}  // namespace

std::string ExtendedM3uText(const std::vector<PlaylistEntry>& entries) {
  std::string text = "#EXTM3U\n";
  for (const PlaylistEntry& entry : entries) {
    if (!FitsPlaylist(entry)) {
      continue;
    }
    text += "#EXTINF:-1," + entry.name + "\n" + entry.url + "\n";
  }
  return text;
}

std::size_t ExportFavourites(const FavouritesFile& favourites,
                             const std::filesystem::path& playlist) {
  StationList list;
  LoadFavourites(favourites.Lines(), list);
  std::vector<PlaylistEntry> entries;
  for (std::size_t i = 0; i < list.entries.size(); ++i) {
    entries.push_back({list.entries[i], list.urls[i]});
  }
  ReplaceFile(playlist, ExtendedM3uText(entries));
  return static_cast<std::size_t>(std::count_if(entries.begin(), entries.end(), FitsPlaylist));
}

std::string NameFromUrl(std::string_view url) {
  std::string_view path = url.substr(0, url.find_first_of("?#"));
  const std::size_t scheme = path.find("://");
  if (scheme != std::string_view::npos) {
    const std::size_t slash = path.find('/', scheme + 3);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
  }
  while (path.ends_with('/')) {
    path.remove_suffix(1);
  }
  const std::string last(path.substr(path.rfind('/') + 1));
  if (!last.empty()) {
    // NUL, "|" and line breaks stay escaped: the name must survive Fav.dat.
    const platform::GCharPtr plain(g_uri_unescape_string(last.c_str(), "|\r\n"));
    return plain && g_utf8_validate(plain.get(), -1, nullptr) ? std::string(plain.get()) : last;
  }
  const std::string host = platform::HostOf(url);
  return host.empty() ? std::string(url) : host;
}

bool IsStreamAddress(std::string_view url) {
  const std::string address = platform::NormalizeScheme(url);
  return platform::IsNetworkAddress(address) && platform::IsPlayableAddress(address) &&
         !address.starts_with("ftp://");
}

std::vector<PlaylistEntry> ReadPlaylist(const std::filesystem::path& playlist) {
  CheckReadable(playlist);
  const platform::MetafileResult read = platform::ReadPlaylistFile(playlist.string());
  using platform::FailureKind;
  if (read.failure.kind == FailureKind::NotFound) {
    throw FileError(CannotOpenFileMessage(playlist.string(), ENOENT), ENOENT);
  }
  if (read.failure.kind != FailureKind::None && read.failure.kind != FailureKind::EmptyPlaylist) {
    throw Error("\"" + playlist.string() + "\" is not an M3U, M3U8, PLS or XSPF playlist.");
  }
  const bool m3u = platform::PlaylistKindOf(playlist.string()) == platform::PlaylistKind::M3u;
  std::vector<PlaylistEntry> entries;
  for (const platform::MetafileEntry& entry : read.entries) {
    const bool untitled = entry.title.empty() || (m3u && IsBareExtinf(entry.title));
    entries.push_back({untitled ? NameFromUrl(entry.address) : entry.title, entry.address});
  }
  return entries;
}

ImportSummary ImportPlaylist(const FavouritesFile& favourites,
                             const std::filesystem::path& playlist) {
  const std::vector<PlaylistEntry> entries = ReadPlaylist(playlist);
  std::vector<std::string> lines = favourites.Lines();
  std::unordered_set<std::string> urls = FavouriteUrls(lines);
  ImportSummary summary;
  for (const PlaylistEntry& entry : entries) {
    std::string reason = RefusalReason(entry, urls);
    if (!reason.empty()) {
      summary.refused.push_back({entry, std::move(reason)});
      continue;
    }
    lines.push_back(FavouriteLine(entry.name, entry.url));
    urls.insert(entry.url);
    ++summary.added;
  }
  if (summary.added > 0) {
    favourites.Write(lines);
  }
  return summary;
}

std::string ImportSummaryText(const ImportSummary& summary) {
  std::string text = summary.added == 0 ? std::string("No channel was added to My Favorites.")
                     : summary.added == 1
                         ? std::string("1 channel was added to My Favorites.")
                         : std::to_string(summary.added) + " channels were added to My Favorites.";
  if (summary.refused.empty()) {
    return text;
  }
  text += "\n\nNot added:";
  for (std::size_t i = 0; i < summary.refused.size() && i < kListedRefusals; ++i) {
    const RefusedEntry& refused = summary.refused[i];
    text += "\n\"" + refused.entry.name + "\" (" + refused.entry.url + "): " + refused.reason;
  }
  if (summary.refused.size() > kListedRefusals) {
    text += "\n... and " + std::to_string(summary.refused.size() - kListedRefusals) + " more.";
  }
  return text;
}

}  // namespace telvanta
