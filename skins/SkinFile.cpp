#include "skins/SkinFile.h"

#include <archive.h>
#include <archive_entry.h>
#include <glib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>
#include <memory>

#include "common/AsciiText.h"
#include "common/Files.h"
#include "common/I18n.h"

namespace telvanta::skins {

namespace {

// Far above any real skin; a bigger archive is a mistake or a bomb.
constexpr std::size_t MaxSkinBytes = std::size_t{16} << 20;

// Every file of an archive by its stored name.
using ArchiveFiles = std::map<std::string, std::string, std::less<>>;

SkinFileRead Failed(const std::filesystem::path& file, const std::string& why) {
  return {std::nullopt, Substitute(_("Cannot load skin \"%1\": %2"), {file.string(), why})};
}

bool IsIdentChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_';
}

// "data:...", "resource:///...": a scheme of two letters or more, so a
// drive letter never counts.
bool HasScheme(std::string_view name) {
  const auto colon = name.find(':');
  if (colon == std::string_view::npos || colon < 2) {
    return false;
  }
  for (char c : name.substr(0, colon)) {
    if (std::isalpha(static_cast<unsigned char>(c)) == 0) {
      return false;
    }
  }
  return true;
}

// Copies a quoted string starting at css[i] and returns the index past it.
std::size_t CopyString(std::string_view css, std::size_t i, std::string& out) {
  const char quote = css[i];
  std::size_t end = i + 1;
  while (end < css.size() && css[end] != quote) {
    end += css[end] == '\\' ? 2 : 1;
  }
  end = std::min(end + 1, css.size());
  out.append(css.substr(i, end - i));
  return end;
}

std::size_t SkipSpace(std::string_view css, std::size_t i) {
  while (i < css.size() && std::isspace(static_cast<unsigned char>(css[i])) != 0) {
    ++i;
  }
  return i;
}

// Reads the name of "url(" whose "(" is at css[open]; sets `end` past ")".
std::optional<std::string> UrlName(std::string_view css, std::size_t open, std::size_t& end) {
  std::size_t i = SkipSpace(css, open + 1);
  std::size_t stop = i;
  std::string name;
  if (i < css.size() && (css[i] == '"' || css[i] == '\'')) {
    stop = css.find(css[i], i + 1);
    stop = stop == std::string_view::npos ? css.size() : stop;
    name = css.substr(i + 1, stop - i - 1);
    i = std::min(stop + 1, css.size());
  } else {
    while (stop < css.size() && css[stop] != ')' &&
           std::isspace(static_cast<unsigned char>(css[stop])) == 0) {
      ++stop;
    }
    name = css.substr(i, stop - i);
    i = stop;
  }
  i = SkipSpace(css, i);
  if (i >= css.size() || css[i] != ')') {
    return std::nullopt;
  }
  end = i + 1;
  return name;
}

// Each read gets URLs of its own, so a skin read again never meets the
// pictures of its earlier reading.
std::string PictureFolderUrl() {
  static std::atomic<unsigned> reads{0};
  return std::string(PictureScheme) + ":///" + std::to_string(++reads) + "/";
}

std::string EscapedName(const std::string& name) {
  gchar* escaped = g_uri_escape_string(name.c_str(), "/", FALSE);
  std::string text = escaped;
  g_free(escaped);
  return text;
}

std::optional<std::string> FileUrl(const std::filesystem::path& file) {
  gchar* uri = g_filename_to_uri(file.lexically_normal().c_str(), nullptr, nullptr);
  if (uri == nullptr) {
    return std::nullopt;
  }
  std::string url = uri;
  g_free(uri);
  return url;
}

// "./a//b.png" and "a/b.png" name the same stored picture.
std::string StoredName(std::string_view name) {
  std::string out;
  std::size_t start = 0;
  while (start <= name.size()) {
    auto slash = name.find_first_of("/\\", start);
    if (slash == std::string_view::npos) {
      slash = name.size();
    }
    const auto step = name.substr(start, slash - start);
    if (!step.empty() && step != ".") {
      out += (out.empty() ? "" : "/") + std::string(step);
    }
    start = slash + 1;
  }
  return out;
}

std::optional<std::string> ValidText(std::string text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr) == FALSE) {
    return std::nullopt;
  }
  return text;
}

struct ArchiveDeleter {
  void operator()(archive* reader) const { archive_read_free(reader); }
};

// Every file of the ZIP archive by its stored name; none with `why` set when
// the archive can't be read.
std::optional<ArchiveFiles> ReadZip(const std::filesystem::path& file, std::string& why) {
  std::unique_ptr<archive, ArchiveDeleter> reader(archive_read_new());
  if (!reader || archive_read_support_format_zip(reader.get()) != ARCHIVE_OK ||
      archive_read_open_filename(reader.get(), file.c_str(), std::size_t{64} * 1024) !=
          ARCHIVE_OK) {
    why = _("it is not a ZIP archive");
    return std::nullopt;
  }
  ArchiveFiles files;
  std::size_t total = 0;
  archive_entry* entry = nullptr;
  for (;;) {
    const int status = archive_read_next_header(reader.get(), &entry);
    if (status == ARCHIVE_EOF) {
      return files;
    }
    if (status < ARCHIVE_WARN) {
      const char* text = archive_error_string(reader.get());
      why = Substitute(_("the ZIP archive is damaged (%1)"), {text ? text : _("unreadable")});
      return std::nullopt;
    }
    if (archive_entry_filetype(entry) != AE_IFREG) {
      continue;
    }
    const char* stored = archive_entry_pathname(entry);
    std::string bytes;
    char block[16 * 1024];
    for (;;) {
      const la_ssize_t n = archive_read_data(reader.get(), block, sizeof block);
      if (n == 0) {
        break;
      }
      if (n < 0 || (total += static_cast<std::size_t>(n)) > MaxSkinBytes) {
        why = n < 0 ? Substitute(_("the ZIP archive is damaged (%1 cannot be read)"),
                                 {stored ? stored : ""})
                    : _("the archive holds more than a skin needs");
        return std::nullopt;
      }
      bytes.append(block, static_cast<std::size_t>(n));
    }
    files[StoredName(stored != nullptr ? stored : "")] = std::move(bytes);
  }
}

SkinFileRead FromSheet(const std::filesystem::path& file, const std::string& sheetName,
                       std::string sheet, const UrlResolver& resolve) {
  auto text = ValidText(std::move(sheet));
  if (!text) {
    return Failed(file, Substitute(_("%1 is not UTF-8 text"), {sheetName}));
  }
  std::string missing;
  auto css = RewriteUrls(*text, resolve, &missing);
  if (!css) {
    return Failed(file, Substitute(_("%1 names the picture \"%2\", which is not there"),
                                   {sheetName, missing}));
  }
  return {Skin{std::move(*css), file.stem().string(), {}, {}}, {}};
}

UrlResolver FolderResolver(const std::filesystem::path& folder) {
  return [folder](std::string_view name) -> std::optional<std::string> {
    if (HasScheme(name)) {
      return std::string(name);
    }
    std::error_code error;
    const auto picture = folder / StoredName(name);
    if (!std::filesystem::is_regular_file(picture, error)) {
      return std::nullopt;
    }
    return FileUrl(std::filesystem::absolute(picture, error));
  };
}

// The file's bytes, or why not: the reader's error, or `missing`.
std::optional<std::string> ReadText(const std::filesystem::path& file, const std::string& missing,
                                    std::string& why) {
  try {
    std::optional<std::string> text = ReadWholeFile(file);
    if (!text) {
      why = missing;
    }
    return text;
  } catch (const std::exception& error) {
    why = error.what();
    return std::nullopt;
  }
}

SkinFileRead ReadPlainSheet(const std::filesystem::path& file, const std::string& sheetName) {
  std::string why;
  std::optional<std::string> text =
      ReadText(file, Substitute(_("%1 does not exist"), {sheetName}), why);
  if (!text) {
    return Failed(file, why);
  }
  return FromSheet(file, sheetName, std::move(*text), FolderResolver(file.parent_path()));
}

SkinFileRead ReadArchive(const std::filesystem::path& file) {
  std::string why;
  auto files = ReadZip(file, why);
  if (!files) {
    return Failed(file, why);
  }
  const auto sheet = files->find("skin.css");
  if (sheet == files->end()) {
    return Failed(file, _("the archive holds no skin.css"));
  }
  const ArchiveFiles& stored = *files;
  const std::string folderUrl = PictureFolderUrl();
  PictureSet named;
  auto read = FromSheet(file, "skin.css", sheet->second,
                        [&](std::string_view name) -> std::optional<std::string> {
                          if (HasScheme(name)) {
                            return std::string(name);
                          }
                          const auto found = stored.find(StoredName(name));
                          if (found == stored.end()) {
                            return std::nullopt;
                          }
                          std::string url = folderUrl + EscapedName(found->first);
                          named.emplace(url, found->second);
                          return url;
                        });
  if (read.skin) {
    read.skin->pictures = std::move(named);
  }
  return read;
}

struct KeyFileDeleter {
  void operator()(GKeyFile* keys) const { g_key_file_free(keys); }
};

std::string KeyText(GKeyFile* keys, const char* key) {
  gchar* value = g_key_file_get_string(keys, "Skin", key, nullptr);
  std::string text = value != nullptr ? value : "";
  g_free(value);
  return std::string(TrimAsciiSpace(text));
}

SkinFileRead ReadTheme(const std::filesystem::path& file) {
  std::string why;
  const std::optional<std::string> text = ReadText(file, _("the file does not exist"), why);
  if (!text) {
    return Failed(file, why);
  }
  std::unique_ptr<GKeyFile, KeyFileDeleter> keys(g_key_file_new());
  GError* error = nullptr;
  if (g_key_file_load_from_data(keys.get(), text->data(), text->size(), G_KEY_FILE_NONE, &error) ==
      FALSE) {
    why = Substitute(_("it is no theme file (%1)"), {error->message});
    g_error_free(error);
    return Failed(file, why);
  }
  const std::string sheetName = KeyText(keys.get(), "StyleSheet");
  if (sheetName.empty()) {
    return Failed(file, _("its [Skin] section names no StyleSheet"));
  }
  auto read = ReadPlainSheet(file.parent_path() / sheetName, sheetName);
  if (!read.skin) {
    return Failed(file, read.error);
  }
  const std::string name = KeyText(keys.get(), "Name");
  read.skin->name = name.empty() ? file.stem().string() : name;
  read.skin->author = KeyText(keys.get(), "Author");
  return read;
}

}  // namespace

std::optional<std::string> RewriteUrls(std::string_view css, const UrlResolver& resolve,
                                       std::string* unresolved) {
  std::string out;
  out.reserve(css.size());
  std::size_t i = 0;
  while (i < css.size()) {
    if (css.compare(i, 2, "/*") == 0) {
      const auto close = css.find("*/", i + 2);
      const auto end = close == std::string_view::npos ? css.size() : close + 2;
      out.append(css.substr(i, end - i));
      i = end;
    } else if (css[i] == '"' || css[i] == '\'') {
      i = CopyString(css, i, out);
    } else if (AsciiLower(css.substr(i, 4)) == "url(" && (i == 0 || !IsIdentChar(css[i - 1]))) {
      std::size_t end = 0;
      const auto name = UrlName(css, i + 3, end);
      const auto resolved = name ? resolve(*name) : std::nullopt;
      if (!resolved) {
        if (unresolved != nullptr) {
          *unresolved = name.value_or(std::string(css.substr(i, 40)));
        }
        return std::nullopt;
      }
      out += "url(\"" + *resolved + "\")";
      i = end;
    } else {
      out += css[i++];
    }
  }
  return out;
}

SkinFileRead ReadSkinFile(const std::filesystem::path& file) {
  const std::string extension = AsciiLower(file.extension().string());
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    return Failed(file, _("the file does not exist"));
  }
  if (std::filesystem::file_size(file, error) == 0) {
    return Failed(file, _("the file is empty"));
  }
  if (extension == ".uskn") {
    return ReadPlainSheet(file, file.filename().string());
  }
  if (extension == ".mskn" || extension == ".kskn" || extension == ".xskn") {
    return ReadArchive(file);
  }
  if (extension == ".theme") {
    return ReadTheme(file);
  }
  if (extension == ".msstyles") {
    return Failed(file, _("Windows visual styles cannot be read on this platform"));
  }
  return Failed(file, Substitute(_("\"%1\" is no skin format"), {extension}));
}

}  // namespace telvanta::skins
