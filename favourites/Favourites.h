#pragma once
// The user's favourites file, Fav.dat: one favourite a line, the display name,
// "|", and the URL enciphered under StationKey. The file is the only truth:
// every change reads it afresh, changes one line and writes it back whole.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ListLoading.h"

namespace telvanta {

// Fav.dat in the user's data folder.
std::filesystem::path DefaultFavouritesPath();

// The lines of the file's text: a line ends at CR, LF or CR LF, a NUL ends
// the text, and a last line without a break counts the same.
std::vector<std::string> SplitFavouriteLines(std::string_view text);

// Fav.dat as read: the favourites, then the text the program can't read,
// from a NUL or from the first line that does not decipher to the end. That
// text goes back into the file byte for byte on every write, after the
// favourites, so nothing the user had is lost and new favourites still show.
struct FavouritesText {
  std::vector<std::string> lines;  // each deciphers
  std::string unread;
  // The line, counted from 1, that does not decipher and begins `unread`;
  // 0 when there is none (no unread text, or only what follows a NUL).
  std::size_t damagedLine = 0;
  bool operator==(const FavouritesText&) const = default;
};
FavouritesText ReadFavouritesText(std::string_view text);
// The file's bytes: the lines ended with CR LF, then the unread text.
std::string FavouritesFileText(const FavouritesText& text);
// The error told about a line that does not decipher: "Error: not a Hex
// String", the line and the file, and that the rest is kept.
std::string DamagedFavouritesText(const std::filesystem::path& file, std::size_t line);

// The display name, "|", the URL enciphered under StationKey.
std::string FavouriteLine(std::string_view name, std::string_view url);

// Throws Error when a name the user typed would not survive the file: a "|"
// would cut it and its tail would be read as cipher text, a line break would
// split it.
void CheckDisplayName(std::string_view name);

// A name the user did not type (a catalogue entry, a playlist's title) made
// fit for the file: "|" becomes a broken bar, a line break a blank.
std::string StorableName(std::string_view name);

// The add-own-channel checks, for the dialog and for every other way a
// channel is added by name and URL: false when the name or the URL is empty
// (nothing to add); CheckDisplayName's Error when the name would not survive
// the file. The URL is taken as it is.
bool CheckOwnChannel(std::string_view name, std::string_view url);

// Names, plain URLs and stream classes of the lines, in order. A line's name
// is the text before its first "|" (the whole line without one), its URL the
// rest deciphered. Cipher text that is not hex stops the load with Error
// "Error: not a Hex String"; the favourites before that line stay, and names
// and URLs stay in step.
void LoadFavourites(const std::vector<std::string>& lines, StationList& list);

class FavouritesFile {
 public:
  explicit FavouritesFile(std::filesystem::path path = DefaultFavouritesPath());

  const std::filesystem::path& Path() const { return path_; }

  // The file as read; empty when there is no file. Throws FileError when it
  // exists but can't be read.
  FavouritesText Read() const;
  // The favourites' lines of Read().
  std::vector<std::string> Lines() const { return Read().lines; }
  // Replaces the file atomically, making its folder when need be. Throws
  // FileError "Cannot create file ..." and leaves the old file.
  void Write(const FavouritesText& text) const;

  // Appends a favourite, after the others and before any unread text;
  // duplicates are kept. The name is checked as typed.
  void Add(std::string_view name, std::string_view url) const;
  // Gives line `index` the new name and the URL enciphered afresh. Throws
  // Error "List index out of bounds (<index>)" when the file has no such line.
  void Rename(int index, std::string_view name, std::string_view url) const;
  // Removes line `index`; an index that names no line removes nothing, and
  // the file is written back all the same.
  void Delete(int index) const;

 private:
  std::filesystem::path path_;
};

}  // namespace telvanta
