#pragma once
// The favourites to and from playlists: export writes an extended M3U,
// import reads M3U, M3U8, PLS and XSPF (through totem-pl-parser) and adds
// each entry the add-own-channel checks let through. Fav.dat keeps its
// format; both run on the UI thread, as they read only local files.

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

// "#EXTM3U", then "#EXTINF:-1,<name>" and the URL for each entry, LF line
// ends. Entries whose URL is empty or holds a line break have no place in a
// playlist and are left out.
std::string ExtendedM3uText(const std::vector<PlaylistEntry>& entries);

// Writes the favourites to `playlist` atomically; returns how many went in.
// Throws the favourites' load errors and FileError "Cannot create file ...".
std::size_t ExportFavourites(const FavouritesFile& favourites,
                             const std::filesystem::path& playlist);

// A display name for an entry without a title: the last part of the URL's
// path, unescaped when that gives readable text, else its host, else the URL.
std::string NameFromUrl(std::string_view url);

// Whether the URL is a live stream a favourite can hold: the player opens it
// over the network. Local files and FTP downloads are not channels.
bool IsStreamAddress(std::string_view url);

struct RefusedEntry {
  PlaylistEntry entry;
  std::string reason;
  bool operator==(const RefusedEntry&) const = default;
};

struct ImportSummary {
  std::size_t added = 0;
  std::vector<RefusedEntry> refused;
};

// Reads the playlist's entries, titles as given or named from the URL.
// Throws Error naming the file when it can't be read or is no playlist.
std::vector<PlaylistEntry> ReadPlaylist(const std::filesystem::path& playlist);

// Adds the playlist's entries to the favourites, in order, with one write.
// An entry is refused when the add-own-channel checks refuse it, when it is
// not a stream address, or when its URL is already a favourite.
ImportSummary ImportPlaylist(const FavouritesFile& favourites,
                             const std::filesystem::path& playlist);

// What the import did, for the box shown afterwards: the count added, then
// each refusal as `"<name>" (<url>): <reason>`, the first few dozen of them.
std::string ImportSummaryText(const ImportSummary& summary);

}  // namespace telvanta
