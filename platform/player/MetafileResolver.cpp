#include "platform/player/MetafileResolver.h"

#include <glib/gstdio.h>
#include <totem-pl-parser.h>
#include <unistd.h>

#include <string_view>

#include "platform/glib/GObjectPtr.h"
#include "platform/net/Request.h"
#include "platform/player/StreamAddress.h"

namespace telvanta::platform {
namespace {

// Metafiles are a few lines; anything bigger is a stream, not a list.
constexpr std::size_t kMaxBytes = 1 << 20;

struct Download {
  std::string body;
  std::string finalAddress;
  Failure failure;
};

Download Fetch(const std::string& address, std::chrono::milliseconds timeout,
               const std::atomic<bool>& cancelled) {
  RequestOptions options;
  options.connectTimeout = timeout;
  options.deadline = timeout;
  options.maxBytes = kMaxBytes;
  options.compressed = true;
  options.cancel = &cancelled;
  Download download;
  Request request(address, options, [&download](std::string_view bytes) {
    download.body.append(bytes);
    return true;
  });
  const NetResult result = request.Perform();
  download.finalAddress = result.address;
  if (result.error != NetError::None) {
    download.failure.kind = FailureKindFor(result.error);
  } else if (result.status >= 400) {
    download.failure = {FailureKindForStatus(result.status), result.status, {}};
  }
  return download;
}

// Removes the file when it goes out of scope.
struct TempFile {
  std::string path;
  TempFile() = default;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (!path.empty()) {
      g_unlink(path.c_str());
    }
  }
};

// Keeps the address's ending, which tells the parser the list's kind. RAM
// files are left to the data: the parser ignores a text file named .ram,
// taking the name for RealAudio.
std::string TempTemplate(const std::string& address) {
  std::string ending;
  if (PlaylistKindOf(address) != PlaylistKind::Ram) {
    const std::string path = address.substr(0, address.find_first_of("?#"));
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
        path.size() - dot <= 6) {
      ending = path.substr(dot);
    }
  }
  return "telvanta-list-XXXXXX" + ending;
}

bool WriteTemp(const std::string& address, const std::string& body, TempFile& file) {
  gchar* name = nullptr;
  const int fd = g_file_open_tmp(TempTemplate(address).c_str(), &name, nullptr);
  if (fd < 0) {
    return false;
  }
  file.path = name;
  g_free(name);
  const bool written = g_file_set_contents(file.path.c_str(), body.data(),
                                           static_cast<gssize>(body.size()), nullptr);
  g_close(fd, nullptr);
  return written;
}

void OnEntry(TotemPlParser*, const char* uri, GHashTable* metadata, gpointer user) {
  auto* result = static_cast<MetafileResult*>(user);
  const auto* title = static_cast<const char*>(
      metadata != nullptr ? g_hash_table_lookup(metadata, TOTEM_PL_PARSER_FIELD_TITLE) : nullptr);
  if (uri != nullptr && *uri != '\0') {
    result->entries.push_back({uri, title != nullptr ? title : ""});
  }
}

void OnPlaylistStarted(TotemPlParser*, const char*, GHashTable* metadata, gpointer user) {
  auto* result = static_cast<MetafileResult*>(user);
  const auto* title = static_cast<const char*>(
      metadata != nullptr ? g_hash_table_lookup(metadata, TOTEM_PL_PARSER_FIELD_TITLE) : nullptr);
  if (title != nullptr && result->title.empty()) {
    result->title = title;
  }
}

MetafileResult Parse(const std::string& fileUri, const std::string& base) {
  MetafileResult result;
  GObjectPtr<TotemPlParser> parser(totem_pl_parser_new());
  // Nested lists come back as entries; the player resolves them itself.
  g_object_set(parser.get(), "recurse", FALSE, nullptr);
  g_signal_connect(parser.get(), "entry-parsed", G_CALLBACK(OnEntry), &result);
  g_signal_connect(parser.get(), "playlist-started", G_CALLBACK(OnPlaylistStarted), &result);
  const TotemPlParserResult parsed = totem_pl_parser_parse_with_base(
      parser.get(), fileUri.c_str(), base.empty() ? nullptr : base.c_str(), FALSE);
  if (parsed == TOTEM_PL_PARSER_RESULT_UNHANDLED || parsed == TOTEM_PL_PARSER_RESULT_IGNORED) {
    result.failure.kind = FailureKind::UnsupportedFormat;
  } else if (result.entries.empty()) {
    result.failure.kind = FailureKind::EmptyPlaylist;
  }
  return result;
}

}  // namespace

MetafileResult ResolveMetafile(const std::string& address, std::chrono::milliseconds timeout,
                               const std::atomic<bool>& cancelled) {
  Download download;
  if (address.starts_with("file://") || address.starts_with("/")) {
    GCharPtr path(address.starts_with("/")
                      ? g_strdup(address.c_str())
                      : g_filename_from_uri(address.c_str(), nullptr, nullptr));
    gchar* contents = nullptr;
    gsize length = 0;
    if (!path || !g_file_test(path.get(), G_FILE_TEST_IS_REGULAR) ||
        !g_file_get_contents(path.get(), &contents, &length, nullptr)) {
      return {{}, {}, {FailureKind::NotFound, 0, {}}};
    }
    GCharPtr owned(contents);
    if (length > kMaxBytes) {
      return {{}, {}, {FailureKind::UnsupportedFormat, 0, {}}};
    }
    download.body.assign(contents, length);
    GCharPtr uri(g_filename_to_uri(path.get(), nullptr, nullptr));
    download.finalAddress = uri ? uri.get() : address;
  } else {
    download = Fetch(address, timeout, cancelled);
    if (download.failure.kind != FailureKind::None) {
      download.failure.host = HostOf(address);
      return {{}, {}, download.failure};
    }
  }
  return ParseMetafile(download.body, download.finalAddress);
}

MetafileResult ParseMetafile(const std::string& body, const std::string& address) {
  TempFile file;
  if (!WriteTemp(address, body, file)) {
    return {{}, {}, {FailureKind::Unknown, 0, {}}};
  }
  GCharPtr uri(g_filename_to_uri(file.path.c_str(), nullptr, nullptr));
  return Parse(uri.get(), address);
}

MetafileResult ReadPlaylistFile(const std::string& path) {
  const GCharPtr absolute(g_canonicalize_filename(path.c_str(), nullptr));
  if (!g_file_test(absolute.get(), G_FILE_TEST_IS_REGULAR) || g_access(absolute.get(), R_OK) != 0) {
    return {{}, {}, {FailureKind::NotFound, 0, {}}};
  }
  const GCharPtr uri(g_filename_to_uri(absolute.get(), nullptr, nullptr));
  if (!uri) {
    return {{}, {}, {FailureKind::NotFound, 0, {}}};
  }
  return Parse(uri.get(), {});
}

}  // namespace telvanta::platform
