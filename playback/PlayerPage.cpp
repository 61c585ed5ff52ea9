#include "playback/PlayerPage.h"

#include "common/Files.h"
#include "common/I18n.h"
#include "common/StreamClass.h"
#include "platform/player/StreamAddress.h"
#include "playback/KeyedFileStream.h"

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include <unistd.h>

namespace telvanta {

namespace {

constexpr std::string_view UrlPlaceholder = "%Nivora_URL%";
constexpr std::string_view SizePlaceholder = "%WidthHeight%";
constexpr std::string_view CenterPlaceholder = "%CENTER%";

std::string_view TemplateFileName(StreamClass streamClass) {
  if (streamClass == StreamClass::Mms) {
    return "MP.dll";
  }
  if (streamClass == StreamClass::Rtsp) {
    return "RP.dll";
  }
  return "WB.dll";
}

// A line ends at CR, LF or CR LF; a last line without a break still counts.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
    }
    start = i + 1;
  }
  if (start < text.size()) {
    lines.push_back(text.substr(start));
  }
  return lines;
}

// Inserted text is not searched again.
std::string ReplaceAll(std::string_view line, std::string_view what, std::string_view with) {
  std::string result;
  std::size_t start = 0;
  for (std::size_t found = line.find(what); found != std::string_view::npos;
       found = line.find(what, start)) {
    result.append(line.substr(start, found - start)).append(with);
    start = found + what.size();
  }
  result.append(line.substr(start));
  return result;
}

// A cut, emptied or foreign file deciphers to text without the placeholder.
bool IsWholeTemplate(std::string_view text) {
  return text.find(UrlPlaceholder) != std::string_view::npos;
}

std::string ReadTemplate(const std::filesystem::path& path) {
  KeyedFileStream stream(path.string(), FileMode::Read);
  stream.Key = TemplateKey;
  std::string text(static_cast<std::size_t>(stream.Size() - stream.Position()), '\0');
  if (stream.Read(text.data(), text.size()) != text.size()) {
    throw Error(CannotOpenFileMessage(path.string(), EIO));
  }
  if (!IsWholeTemplate(text)) {
    throw Error(DamagedTemplateMessage(path));
  }
  return text;
}

// Written beside the page and renamed, so the browser never sees half a page.
void WritePage(const std::filesystem::path& path, const std::string& text) {
  const std::string temporary = path.string() + "." + std::to_string(::getpid()) + ".part";
  try {
    FileStream file(temporary, FileMode::Create);
    file.Write(text.data(), text.size());
  } catch (const StreamError& error) {
    std::remove(temporary.c_str());
    throw Error(CannotCreateFileMessage(path.string(), error.ErrorNumber()));
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int errorNumber = errno;
    std::remove(temporary.c_str());
    throw Error(CannotCreateFileMessage(path.string(), errorNumber));
  }
}

// Ends a quoted attribute or starts markup; CR and LF would split the
// template's line in the page.
std::string_view Entity(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&#39;";
    case '\r':
      return "&#13;";
    case '\n':
      return "&#10;";
    default:
      return {};
  }
}

}  // namespace

UnknownStreamClassError::UnknownStreamClassError(std::string url)
    : Error(_("The address is not a known stream type:") + ("\n" + url)), url_(std::move(url)) {}

std::string EscapeHtmlAttribute(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const std::string_view entity = Entity(c);
    if (entity.empty()) {
      escaped += c;
    } else {
      escaped += entity;
    }
  }
  return escaped;
}

std::string BuildPlayerPage(std::string_view templateText, StreamClass streamClass,
                            std::string_view url, std::string_view stretch) {
  const bool fit = stretch == "1";
  std::string_view placeholder;
  std::string_view value;
  if (streamClass == StreamClass::Mms) {
    placeholder = SizePlaceholder;
    value = fit ? R"(width="100%" height="100%")" : " ";
  } else if (streamClass == StreamClass::Rtsp) {
    placeholder = CenterPlaceholder;
    value = fit ? R"(value="0")" : R"(value="1")";
  }
  const std::string escapedUrl = EscapeHtmlAttribute(url);
  std::string page;
  page.reserve(templateText.size() + 2 * escapedUrl.size());
  for (const std::string_view line : SplitLines(templateText)) {
    // The size placeholder goes first so a URL holding its text stays as it is.
    std::string filled =
        placeholder.empty() ? std::string(line) : ReplaceAll(line, placeholder, value);
    page += ReplaceAll(filled, UrlPlaceholder, escapedUrl);
    page += "\r\n";
  }
  return page;
}

std::string DamagedTemplateMessage(const std::filesystem::path& path) {
  return Substitute(_("The player template %1 is damaged. Please reinstall Telvanta."),
                    {path.string()});
}

namespace {

std::filesystem::path Absolute(std::filesystem::path folder) {
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(folder, ignored);
  return absolute.empty() ? folder : absolute;
}

}  // namespace

PlayerPageWriter::PlayerPageWriter(std::filesystem::path dataFolder,
                                   std::filesystem::path pageFolder)
    : dataFolder_(Absolute(std::move(dataFolder))), pageFolder_(Absolute(std::move(pageFolder))) {}

std::filesystem::path PlayerPageWriter::WritePlayerPage(std::string_view url,
                                                        std::string_view stretch) {
  DeleteCurrentPage();
  ++pageCounter_;
  pageFileName_ = PagePath(pageCounter_).filename().string();

  StreamClass streamClass = ClassifyStream(url);
  if (streamClass == StreamClass::None) {
    // Files and addresses of no class (an .mp3, a local path) play on the
    // Windows Media page, whose player takes whatever the engine opens; only
    // addresses the engine refuses stay refused.
    if (!platform::IsPlayableAddress(platform::NormalizeScheme(url))) {
      throw UnknownStreamClassError(std::string(url));
    }
    streamClass = StreamClass::Mms;
  }
  currentStreamClass_ = streamClass;

  const std::string text = ReadTemplate(dataFolder_ / TemplateFileName(currentStreamClass_));
  std::filesystem::path page = pageFolder_ / pageFileName_;
  if (!MakePrivateFolders(pageFolder_)) {
    throw Error(CannotCreateFileMessage(page.string(), errno));
  }
  WritePage(page, BuildPlayerPage(text, currentStreamClass_, url, stretch));
  return page;
}

void PlayerPageWriter::DeleteCurrentPage() const {
  std::error_code ignored;
  std::filesystem::remove(PagePath(pageCounter_), ignored);
}

std::filesystem::path PlayerPageWriter::PagePath(int number) const {
  return pageFolder_ / ("~tmp" + std::to_string(number) + ".htm");
}

}  // namespace telvanta
