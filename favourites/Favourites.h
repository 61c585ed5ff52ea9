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

// The display name, "|", the URL enciphered under StationKey.
std::string FavouriteLine(std::string_view name, std::string_view url);

// Throws Error when the name would not survive the file: a "|" would cut it
// and its tail would be read as cipher text, a line break would split it.
void CheckDisplayName(std::string_view name);

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

  // The file's lines; none when there is no file. Throws FileError when it
  // exists but can't be read.
  std::vector<std::string> Lines() const;
  // Replaces the file atomically, making its folder when need be. Throws
  // FileError "Cannot create file ..." and leaves the old file.
  void Write(const std::vector<std::string>& lines) const;

  // Appends a favourite; duplicates are kept.
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
