#include "favourites/Favourites.h"

#include <utility>

#include "common/DesCipher.h"
#include "common/Error.h"
#include "common/Files.h"
#include "common/I18n.h"

namespace telvanta {

std::filesystem::path DefaultFavouritesPath() { return UserDataFolder() / "Fav.dat"; }

namespace {

// Where each line of the text begins and how long it is; `text` holds no NUL.
struct LineSpan {
  std::size_t start;
  std::size_t length;
};
std::vector<LineSpan> LineSpans(std::string_view text) {
  std::vector<LineSpan> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back({start, text.size() - start});
      break;
    }
    lines.push_back({start, end - start});
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

bool Deciphers(std::string_view line) {
  const std::size_t bar = line.find('|');
  try {
    DesDecryptHex(bar == std::string_view::npos ? std::string_view() : line.substr(bar + 1),
                  StationKey);
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace

std::vector<std::string> SplitFavouriteLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  for (const LineSpan& span : LineSpans(text)) {
    lines.emplace_back(text.substr(span.start, span.length));
  }
  return lines;
}

FavouritesText ReadFavouritesText(std::string_view text) {
  const std::string_view readable = text.substr(0, text.find('\0'));
  FavouritesText read;
  read.unread = std::string(text.substr(readable.size()));
  const std::vector<LineSpan> spans = LineSpans(readable);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const std::string_view line = readable.substr(spans[i].start, spans[i].length);
    if (!Deciphers(line)) {
      read.unread.insert(0, readable.substr(spans[i].start));
      read.damagedLine = i + 1;
      break;
    }
    read.lines.emplace_back(line);
  }
  return read;
}

std::string FavouritesFileText(const FavouritesText& text) {
  return JoinLinesCrLf(text.lines) + text.unread;
}

std::string DamagedFavouritesText(const std::filesystem::path& file, std::size_t line) {
  return Substitute(_("Error: not a Hex String (line %1 of %2).\nThat line and the lines after it "
                      "are not shown; they stay in the file as they are."),
                    {std::to_string(line), file.string()});
}

std::string FavouriteLine(std::string_view name, std::string_view url) {
  return std::string(name) + "|" + DesEncryptHex(url, StationKey);
}

void CheckDisplayName(std::string_view name) {
  if (name.find('|') != std::string_view::npos) {
    throw Error(_("A display name cannot contain \"|\"."));
  }
  if (name.find_first_of("\r\n") != std::string_view::npos) {
    throw Error(_("A display name cannot contain a line break."));
  }
}

std::string StorableName(std::string_view name) {
  std::string storable;
  storable.reserve(name.size());
  for (const char c : name) {
    if (c == '|') {
      storable += "\xC2\xA6";  // U+00A6 BROKEN BAR
    } else {
      storable += (c == '\r' || c == '\n') ? ' ' : c;
    }
  }
  return storable;
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

FavouritesText FavouritesFile::Read() const {
  const std::optional<std::string> text = ReadWholeFile(path_);
  return text ? ReadFavouritesText(*text) : FavouritesText{};
}

void FavouritesFile::Write(const FavouritesText& text) const {
  MakePrivateFolders(path_.parent_path());
  ReplaceFile(path_, FavouritesFileText(text));
}

void FavouritesFile::Add(std::string_view name, std::string_view url) const {
  CheckDisplayName(name);
  FavouritesText text = Read();
  text.lines.push_back(FavouriteLine(name, url));
  Write(text);
}

void FavouritesFile::Rename(int index, std::string_view name, std::string_view url) const {
  CheckDisplayName(name);
  FavouritesText text = Read();
  if (index < 0 || static_cast<std::size_t>(index) >= text.lines.size()) {
    throw Error(Substitute(_("List index out of bounds (%1)"), {std::to_string(index)}));
  }
  text.lines[static_cast<std::size_t>(index)] = FavouriteLine(name, url);
  Write(text);
}

void FavouritesFile::Delete(int index) const {
  FavouritesText text = Read();
  if (index >= 0 && static_cast<std::size_t>(index) < text.lines.size()) {
    text.lines.erase(text.lines.begin() + index);
  }
  Write(text);
}

}  // namespace telvanta
