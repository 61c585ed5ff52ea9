#include "favourites/Favourites.h"

#include <utility>

#include "common/DesCipher.h"
#include "common/Error.h"
#include "common/Files.h"

namespace telvanta {

std::filesystem::path DefaultFavouritesPath() { return UserDataFolder() / "Fav.dat"; }

std::vector<std::string> SplitFavouriteLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::string FavouriteLine(std::string_view name, std::string_view url) {
  return std::string(name) + "|" + DesEncryptHex(url, StationKey);
}

void CheckDisplayName(std::string_view name) {
  if (name.find('|') != std::string_view::npos) {
    throw Error("A display name cannot contain \"|\".");
  }
  if (name.find_first_of("\r\n") != std::string_view::npos) {
    throw Error("A display name cannot contain a line break.");
  }
}

bool CheckOwnChannel(std::string_view name, std::string_view url) {
  if (name.empty() || url.empty()) {
    return false;
  }
  CheckDisplayName(name);
  return true;
}

void LoadFavourites(const std::vector<std::string>& lines, StationList& list) {
  list.Clear();
  for (const std::string& line : lines) {
    const std::size_t bar = line.find('|');
    const std::string_view cipher =
        bar == std::string::npos ? std::string_view() : std::string_view(line).substr(bar + 1);
    // Deciphered first, so a damaged line adds neither its name nor its URL.
    std::string url = DesDecryptHex(cipher, StationKey);
    list.entries.push_back(line.substr(0, bar));
    list.streamClasses.push_back(ClassifyStream(url));
    list.urls.push_back(std::move(url));
  }
}

FavouritesFile::FavouritesFile(std::filesystem::path path) : path_(std::move(path)) {}

std::vector<std::string> FavouritesFile::Lines() const {
  const std::optional<std::string> text = ReadWholeFile(path_);
  return text ? SplitFavouriteLines(*text) : std::vector<std::string>{};
}

void FavouritesFile::Write(const std::vector<std::string>& lines) const {
  MakePrivateFolders(path_.parent_path());
  ReplaceFile(path_, JoinLinesCrLf(lines));
}

void FavouritesFile::Add(std::string_view name, std::string_view url) const {
  CheckDisplayName(name);
  std::vector<std::string> lines = Lines();
  lines.push_back(FavouriteLine(name, url));
  Write(lines);
}

void FavouritesFile::Rename(int index, std::string_view name, std::string_view url) const {
  CheckDisplayName(name);
  std::vector<std::string> lines = Lines();
  if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) {
    throw Error("List index out of bounds (" + std::to_string(index) + ")");
  }
  lines[static_cast<std::size_t>(index)] = FavouriteLine(name, url);
  Write(lines);
}

void FavouritesFile::Delete(int index) const {
  std::vector<std::string> lines = Lines();
  if (index >= 0 && static_cast<std::size_t>(index) < lines.size()) {
    lines.erase(lines.begin() + index);
  }
  Write(lines);
}

}  // namespace telvanta
