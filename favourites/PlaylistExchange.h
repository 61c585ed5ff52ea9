#pragma once
// The favourites to and from playlists: export writes M3U, PLS or XSPF by the
// playlist's name, import reads the same three (M3U8 too) and adds each
// entry the add-own-channel checks let through. Fav.dat keeps its format;
// both run on the UI thread, as they read only local files.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "favourites/Favourites.h"

namespace telvanta {

struct PlaylistEntry {
  std::string name;
  std::string url;
  bool operator==(const PlaylistEntry&) const = default;
};

enum class PlaylistFormat { M3u, Pls, Xspf };

// The format a playlist's name ends in, letter case ignored; M3U for a name
// with any other ending.
PlaylistFormat PlaylistFormatOf(const std::filesystem::path& playlist);

// The playlist's text, LF line ends. Entries whose URL is empty or holds a
// line break have no place in a playlist and are left out.
// M3U: "#EXTM3U", then "#EXTINF:-1,<name>" and the URL for each entry.
std::string ExtendedM3uText(const std::vector<PlaylistEntry>& entries);
std::string PlaylistText(PlaylistFormat format, const std::vector<PlaylistEntry>& entries);

// Writes the favourites to `playlist` atomically, in the format its name
// ends in; returns how many went in. Throws FileError "Cannot create file ...".
std::size_t ExportFavourites(const FavouritesFile& favourites,
                             const std::filesystem::path& playlist);

// A display name for an entry without a title: the last part of the URL's
// path, unescaped when that gives readable text, else its host, else the URL.
std::string NameFromUrl(std::string_view url);

// Whether the URL is a live stream a favourite can hold: the player opens it
// over the network. Local files and FTP downloads are not channels.
bool IsStreamAddress(std::string_view url);

// An entry as the playlist holds it; `unreadable` says why the playlist's
// text for it could not be read (an unknown entity, say), and is empty when
// it could. An entry without a title is named from its URL.
struct PlaylistItem {
  PlaylistEntry entry;
  std::string unreadable;
};

// The entries of an M3U text: each address line with the title of the
// #EXTINF line before it, which is what follows its first comma outside
// quotes. Relative paths resolve against `folder`.
std::vector<PlaylistItem> ReadM3u(std::string_view text, const std::filesystem::path& folder);
// The FileN and TitleN entries of a PLS text, by their number.
std::vector<PlaylistItem> ReadPls(std::string_view text, const std::filesystem::path& folder);
// The tracks of an XSPF text, each read on its own, so a track that is not
// well-formed (an entity XML does not know) is told and the others are read.
std::vector<PlaylistItem> ReadXspf(std::string_view text, const std::filesystem::path& folder);

// Reads the playlist by its name's ending (by its first line for another
// ending). Throws FileError naming the file when it can't be read, Error
// when it is no playlist.
std::vector<PlaylistItem> ReadPlaylist(const std::filesystem::path& playlist);

struct RefusedEntry {
  PlaylistEntry entry;
  std::string reason;
  bool operator==(const RefusedEntry&) const = default;
};

struct ImportSummary {
  std::size_t added = 0;
  std::vector<RefusedEntry> refused;
};

// Adds the playlist's entries to the favourites, in order, with one write.
// A name's "|" and line breaks are replaced (StorableName) and blanks around
// a URL dropped. An entry is refused when it could not be read, when the
// add-own-channel checks refuse it, when its URL holds a control character
// or is not a stream address, or when its URL is already a favourite.
ImportSummary ImportPlaylist(const FavouritesFile& favourites,
                             const std::filesystem::path& playlist);

// What the import did: the count added ("1 channel was added to My
// Favorites."), and each refusal as `"<name>" (<url>): <reason>`, one a line.
std::string ImportHeadline(const ImportSummary& summary);
std::string ImportRefusals(const ImportSummary& summary);
// Both, with "Not added:" between them when something was refused.
std::string ImportSummaryText(const ImportSummary& summary);

}  // namespace telvanta
