#include "favourites/PlaylistExchange.h"

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <unordered_set>
#include <utility>

#include "common/AsciiText.h"
#include "common/DesCipher.h"
#include "common/Files.h"
#include "common/I18n.h"
#include "platform/glib/GObjectPtr.h"
#include "platform/player/StreamAddress.h"

namespace telvanta {

namespace {

using platform::GCharPtr;

// How many refusals the summary lists; the box scrolls, but a list of
// thousands of local files would still take long to lay out.
constexpr std::size_t kListedRefusals = 500;

bool FitsPlaylist(const PlaylistEntry& entry) {
  return !entry.url.empty() && entry.url.find_first_of("\r\n") == std::string::npos;
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) == 0x7f;
  });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimLeft(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\v\f");
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// Every line, the empty ones too; a line ends at CR, LF or CR LF.
std::vector<std::string_view> TextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

// The text as UTF-8, without a byte order mark; text that is not UTF-8 was
// most likely written on Windows.
std::string AsUtf8(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);
  }
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
    return std::string(text);
  }
  gsize written = 0;
  const GCharPtr converted(g_convert_with_fallback(text.data(), static_cast<gssize>(text.size()),
                                                   "UTF-8", "WINDOWS-1252", "?", nullptr, &written,
                                                   nullptr));
  return converted ? std::string(converted.get(), written) : std::string(text);
}

// Whether the address begins with a URL scheme. One letter before the colon
// is a Windows drive, not a scheme.
bool HasScheme(std::string_view address) {
  const std::size_t colon = address.find(':');
  return colon != std::string_view::npos && colon > 1 && g_ascii_isalpha(address[0]) &&
         std::all_of(address.begin(), address.begin() + static_cast<std::ptrdiff_t>(colon),
                     [](char c) { return g_ascii_isalnum(c) || c == '+' || c == '-' || c == '.'; });
}

// An address as an M3U or PLS playlist names it: a URL as it stands; a path,
// absolute or relative to the playlist's folder, as a file URL.
std::string EntryAddress(std::string_view address, const std::filesystem::path& folder) {
  if (HasScheme(address)) {
    return std::string(address);
  }
  const std::filesystem::path path = (folder / std::string(address)).lexically_normal();
  const GCharPtr uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
  return uri ? std::string(uri.get()) : std::string(address);
}

PlaylistItem Item(std::string title, std::string url) {
  if (title.empty()) {
    title = NameFromUrl(url);
  }
  return {{std::move(title), std::move(url)}, {}};
}

// An #EXTINF line's title: what follows the first comma outside quotes, so
// attributes such as tvg-logo="a,b.png" stay out of it. With unbalanced
// quotes, what follows the first comma.
std::string M3uTitle(std::string_view info) {
  bool quoted = false;
  for (std::size_t i = 0; i < info.size(); ++i) {
    if (info[i] == '"') {
      quoted = !quoted;
    } else if (info[i] == ',' && !quoted) {
      return std::string(info.substr(i + 1));
    }
  }
  const std::size_t comma = info.find(',');
  return quoted && comma != std::string_view::npos ? std::string(info.substr(comma + 1))
                                                   : std::string();
}

// The text between the first <name> and the </name> after it, as written:
// what a track that can't be read is told by.
std::string RawElementText(std::string_view track, std::string_view name) {
  const std::string open = "<" + std::string(name) + ">";
  const std::size_t start = track.find(open);
  if (start == std::string_view::npos) {
    return {};
  }
  const std::size_t from = start + open.size();
  const std::size_t end = track.find("</" + std::string(name) + ">", from);
  return std::string(
      TrimAsciiSpace(track.substr(from, end == std::string_view::npos ? 0 : end - from)));
}

// The <track> elements of an XSPF text, <trackList> aside.
std::vector<std::string_view> TrackElements(std::string_view text) {
  std::vector<std::string_view> tracks;
  std::size_t from = 0;
  while ((from = text.find("<track", from)) != std::string_view::npos) {
    const std::size_t after = from + 6;
    const char next = after < text.size() ? text[after] : '\0';
    if (next != '>' && next != '/' && !g_ascii_isspace(next)) {
      from = after;
      continue;
    }
    const std::size_t tagEnd = text.find('>', after);
    std::size_t end = text.size();
    if (tagEnd != std::string_view::npos && text[tagEnd - 1] == '/') {
      end = tagEnd + 1;  // <track/>
    } else if (tagEnd != std::string_view::npos) {
      const std::size_t close = text.find("</track>", tagEnd);
      end = close == std::string_view::npos ? text.size() : close + 8;
    }
    tracks.push_back(text.substr(from, end - from));
    from = end;
  }
  return tracks;
}

// What one <track> holds: its first location and its title, entities read.
struct TrackText {
  std::vector<std::string> open;  // element names, their prefixes dropped
  int locations = 0;
  std::string location;
  std::string title;
};

const GMarkupParser TrackParser = {
    [](GMarkupParseContext*, const gchar* element, const gchar**, const gchar**, gpointer data,
       GError**) {
      auto& track = *static_cast<TrackText*>(data);
      const char* colon = std::strrchr(element, ':');
      track.open.emplace_back(colon != nullptr ? colon + 1 : element);
      if (track.open.size() == 2 && track.open.back() == "location") {
        ++track.locations;
      }
    },
    [](GMarkupParseContext*, const gchar*, gpointer data, GError**) {
      static_cast<TrackText*>(data)->open.pop_back();
    },
    [](GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**) {
      auto& track = *static_cast<TrackText*>(data);
      if (track.open.size() != 2) {
        return;
      }
      if (track.open.back() == "location" && track.locations == 1) {
        track.location.append(text, length);
      } else if (track.open.back() == "title") {
        track.title.append(text, length);
      }
    },
    nullptr,
    nullptr,
};

// GLib's message without its "Error on line 1 char 30: ", whose place is
// counted within the track.
std::string ParseProblem(const GError* error) {
  std::string_view message = error->message;
  const std::size_t colon = message.find(": ");
  if (message.starts_with("Error on line") && colon != std::string_view::npos) {
    message.remove_prefix(colon + 2);
  }
  return Substitute(_("the playlist's text can't be read: %1"), {message});
}

PlaylistItem ReadTrack(std::string_view element, const std::string& base) {
  TrackText track;
  GError* error = nullptr;
  GMarkupParseContext* context =
      g_markup_parse_context_new(&TrackParser, GMarkupParseFlags{}, &track, nullptr);
  const bool read = g_markup_parse_context_parse(context, element.data(),
                                                 static_cast<gssize>(element.size()), &error) &&
                    g_markup_parse_context_end_parse(context, &error);
  g_markup_parse_context_free(context);
  if (!read) {
    PlaylistItem item{{RawElementText(element, "title"), RawElementText(element, "location")},
                      ParseProblem(error)};
    g_error_free(error);
    return item;
  }
  std::string url(TrimAsciiSpace(track.location));
  if (!url.empty() && !HasScheme(url)) {
    const GCharPtr resolved(
        g_uri_resolve_relative(base.c_str(), url.c_str(), G_URI_FLAGS_NONE, nullptr));
    if (resolved) {
      url = resolved.get();
    }
  }
  return Item(std::string(TrimAsciiSpace(track.title)), std::move(url));
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

// The URLs the file's favourites hold.
std::unordered_set<std::string> FavouriteUrls(const std::vector<std::string>& lines) {
  StationList list;
  LoadFavourites(lines, list);
  return {list.urls.begin(), list.urls.end()};
}

// Why the entry can't be added; empty when it can.
std::string RefusalReason(const PlaylistEntry& entry, const std::unordered_set<std::string>& urls) {
  try {
    if (!CheckOwnChannel(entry.name, entry.url)) {
      return _("no address");
    }
  } catch (const Error& error) {
    return error.what();
  }
  // A line break would keep it out of every playlist it is exported to.
  if (HasControlCharacter(entry.url)) {
    return _("the address holds a control character");
  }
  if (!IsStreamAddress(entry.url)) {
    return _("not a stream address");
  }
  if (urls.contains(entry.url)) {
    return _("already in My Favorites");
  }
  return {};
}

// Text fit for XML: valid UTF-8, without the control characters XML 1.0
// can't hold, with its markup characters escaped.
std::string XmlText(std::string_view text) {
  const GCharPtr valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
  std::string kept;
  for (const char* p = valid.get(); *p != '\0'; ++p) {
    if (static_cast<unsigned char>(*p) >= 0x20 || *p == '\t') {
      kept += *p;
    }
  }
  const GCharPtr escaped(g_markup_escape_text(kept.c_str(), static_cast<gssize>(kept.size())));
  return escaped.get();
}

std::string PlsText(const std::vector<PlaylistEntry>& entries) {
  std::string text = "[playlist]\n";
  std::size_t n = 0;
  for (const PlaylistEntry& entry : entries) {
    if (!FitsPlaylist(entry)) {
      continue;
    }
    const std::string number = std::to_string(++n);
    text += "File" + number + "=" + entry.url + "\nTitle" + number + "=" + entry.name + "\nLength" +
            number + "=-1\n";
  }
  return text + "NumberOfEntries=" + std::to_string(n) + "\nVersion=2\n";
}

std::string XspfText(const std::vector<PlaylistEntry>& entries) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n  <trackList>\n";
  for (const PlaylistEntry& entry : entries) {
    if (FitsPlaylist(entry)) {
      text += "    <track><location>" + XmlText(entry.url) + "</location><title>" +
              XmlText(entry.name) + "</title></track>\n";
    }
  }
  return text + "  </trackList>\n</playlist>\n";
}

}  // namespace

PlaylistFormat PlaylistFormatOf(const std::filesystem::path& playlist) {
  const std::string ending = AsciiLower(playlist.extension().string());
  return ending == ".pls"    ? PlaylistFormat::Pls
         : ending == ".xspf" ? PlaylistFormat::Xspf
                             : PlaylistFormat::M3u;
}

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

std::string PlaylistText(PlaylistFormat format, const std::vector<PlaylistEntry>& entries) {
  switch (format) {
    case PlaylistFormat::Pls:
      return PlsText(entries);
    case PlaylistFormat::Xspf:
      return XspfText(entries);
    case PlaylistFormat::M3u:
      break;
  }
  return ExtendedM3uText(entries);
}

std::size_t ExportFavourites(const FavouritesFile& favourites,
                             const std::filesystem::path& playlist) {
  StationList list;
  LoadFavourites(favourites.Lines(), list);
  std::vector<PlaylistEntry> entries;
  for (std::size_t i = 0; i < list.entries.size(); ++i) {
    entries.push_back({list.entries[i], list.urls[i]});
  }
  ReplaceFile(playlist, PlaylistText(PlaylistFormatOf(playlist), entries));
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
    const GCharPtr plain(g_uri_unescape_string(last.c_str(), "|\r\n"));
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

std::vector<PlaylistItem> ReadM3u(std::string_view text, const std::filesystem::path& folder) {
  std::vector<PlaylistItem> items;
  std::string title;
  for (const std::string_view line : TextLines(text)) {
    const std::string_view left = TrimLeft(line);
    if (StartsWithIgnoringCase(left, "#EXTINF:")) {
      title = M3uTitle(left.substr(8));
      continue;
    }
    const std::string_view address = TrimAsciiSpace(left);
    if (address.empty() || address.front() == '#') {
      continue;
    }
    items.push_back(Item(std::exchange(title, {}), EntryAddress(address, folder)));
  }
  return items;
}

std::vector<PlaylistItem> ReadPls(std::string_view text, const std::filesystem::path& folder) {
  std::map<unsigned long, std::string> files;
  std::map<unsigned long, std::string> titles;
  for (const std::string_view line : TextLines(text)) {
    const std::string_view left = TrimLeft(line);
    const std::size_t equals = left.find('=');
    if (equals == std::string_view::npos) {
      continue;
    }
    const std::string_view key = TrimAsciiSpace(left.substr(0, equals));
    const std::string_view value = left.substr(equals + 1);
    for (auto [name, into] : {std::pair{std::string_view("file"), &files},
                              std::pair{std::string_view("title"), &titles}}) {
      const std::string_view number = key.substr(std::min(key.size(), name.size()));
      if (StartsWithIgnoringCase(key, name) && !number.empty() &&
          std::all_of(number.begin(), number.end(), [](char c) { return g_ascii_isdigit(c); })) {
        (*into)[std::stoul(std::string(number))] = std::string(value);
      }
    }
  }
  std::vector<PlaylistItem> items;
  for (const auto& [number, file] : files) {
    const std::string_view address = TrimAsciiSpace(file);
    if (!address.empty()) {
      items.push_back(Item(titles[number], EntryAddress(address, folder)));
    }
  }
  return items;
}

std::vector<PlaylistItem> ReadXspf(std::string_view text, const std::filesystem::path& folder) {
  const GCharPtr folderUri(g_filename_to_uri(folder.c_str(), nullptr, nullptr));
  const std::string base = folderUri ? std::string(folderUri.get()) + "/" : std::string();
  std::vector<PlaylistItem> items;
  for (const std::string_view track : TrackElements(text)) {
    items.push_back(ReadTrack(track, base));
  }
  return items;
}

std::vector<PlaylistItem> ReadPlaylist(const std::filesystem::path& playlist) {
  CheckReadable(playlist);
  const std::optional<std::string> bytes = ReadWholeFile(playlist);
  if (!bytes) {
    throw FileError(CannotOpenFileMessage(playlist.string(), ENOENT), ENOENT);
  }
  const std::string text = AsUtf8(*bytes);
  const std::string_view start = TrimAsciiSpace(text);
  const std::string ending = AsciiLower(playlist.extension().string());
  const bool pls = StartsWithIgnoringCase(start, "[playlist]");
  const bool xspf = start.starts_with("<") && start.find("<playlist") != std::string_view::npos;
  const bool m3u = ending == ".m3u" || ending == ".m3u8" ||
                   (!pls && !xspf && StartsWithIgnoringCase(start, "#EXTM3U"));
  const std::filesystem::path folder = std::filesystem::absolute(playlist).parent_path();
  if (bytes->find('\0') == std::string::npos) {
    if (m3u) {
      return ReadM3u(text, folder);
    }
    if (pls && ending != ".xspf") {
      return ReadPls(text, folder);
    }
    if (xspf && ending != ".pls") {
      return ReadXspf(text, folder);
    }
  }
  throw Error(
      Substitute(_("\"%1\" is not an M3U, M3U8, PLS or XSPF playlist."), {playlist.string()}));
}

ImportSummary ImportPlaylist(const FavouritesFile& favourites,
                             const std::filesystem::path& playlist) {
  const std::vector<PlaylistItem> items = ReadPlaylist(playlist);
  FavouritesText text = favourites.Read();
  std::unordered_set<std::string> urls = FavouriteUrls(text.lines);
  ImportSummary summary;
  for (const PlaylistItem& item : items) {
    // Names the user never typed are made to fit; blanks around a URL are
    // layout (an XSPF location on lines of its own).
    const PlaylistEntry entry{StorableName(item.entry.name),
                              std::string(TrimAsciiSpace(item.entry.url))};
    std::string reason = item.unreadable.empty() ? RefusalReason(entry, urls) : item.unreadable;
    if (!reason.empty()) {
      summary.refused.push_back({item.unreadable.empty() ? entry : item.entry, std::move(reason)});
      continue;
    }
    text.lines.push_back(FavouriteLine(entry.name, entry.url));
    urls.insert(entry.url);
    ++summary.added;
  }
  if (summary.added > 0) {
    favourites.Write(text);
  }
  return summary;
}

std::string ImportHeadline(const ImportSummary& summary) {
  if (summary.added == 0) {
    return _("No channel was added to My Favorites.");
  }
  return Substitute(P_("%1 channel was added to My Favorites.",
                       "%1 channels were added to My Favorites.", summary.added),
                    {std::to_string(summary.added)});
}

std::string ImportRefusals(const ImportSummary& summary) {
  std::string text;
  for (std::size_t i = 0; i < summary.refused.size() && i < kListedRefusals; ++i) {
    const RefusedEntry& refused = summary.refused[i];
    text += (i > 0 ? "\n\"" : "\"") + refused.entry.name + "\" (" + refused.entry.url +
            "): " + refused.reason;
  }
  if (summary.refused.size() > kListedRefusals) {
    text += "\n" + Substitute(_("... and %1 more."),
                              {std::to_string(summary.refused.size() - kListedRefusals)});
  }
  return text;
}

std::string ImportSummaryText(const ImportSummary& summary) {
  return summary.refused.empty()
             ? ImportHeadline(summary)
             : ImportHeadline(summary) + "\n\n" + _("Not added:") + "\n" + ImportRefusals(summary);
}

}  // namespace telvanta
