#include "platform/chm/ChmFile.h"

#include <chm_lib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "common/AsciiText.h"
#include "common/Files.h"
#include "common/UniqueFd.h"

namespace telvanta::platform {

namespace {

constexpr std::uint16_t kContentsFileEntry = 0;
constexpr std::uint16_t kDefaultTopicEntry = 2;
constexpr const char* kSystemObject = "/#SYSTEM";
// The child tells the end of its objects with a path length no path has.
constexpr std::uint32_t kEndMark = 0xffffffffu;
constexpr auto kReadLimit = std::chrono::seconds(10);

std::string WithLeadingSlash(std::string_view objectPath) {
  std::string path(objectPath);
  if (path.empty() || path.front() != '/') {
    path.insert(path.begin(), '/');
  }
  return path;
}

std::string WithoutLeadingSlash(std::string path) {
  const auto first = path.find_first_not_of('/');
  return first == std::string::npos ? std::string() : path.substr(first);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// --- In the child: chmlib reads the file and writes its objects to a pipe. ---

struct ChmCloser {
  void operator()(chmFile* file) const { chm_close(file); }
};
using ChmHandle = std::unique_ptr<chmFile, ChmCloser>;

std::optional<std::string> RetrieveObject(chmFile* file, const std::string& path) {
  chmUnitInfo unit{};
  if (path.size() > CHM_MAX_PATHLEN ||
      chm_resolve_object(file, path.c_str(), &unit) != CHM_RESOLVE_SUCCESS ||
      unit.length > ChmFile::MaxObjectSize) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(unit.length), '\0');
  if (unit.length == 0) {
    return bytes;
  }
  const LONGINT64 read =
      chm_retrieve_object(file, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                          static_cast<LONGINT64>(unit.length));
  if (read != static_cast<LONGINT64>(unit.length)) {
    return std::nullopt;
  }
  return bytes;
}

// chmlib decompresses what a cut-off file still has and fills the rest with
// whatever its buffers held, so a short file is refused outright.
bool CompressedSectionIsWhole(chmFile* file) {
  chmUnitInfo unit{};
  if (chm_resolve_object(file, "::DataSpace/Storage/MSCompressed/Content", &unit) !=
          CHM_RESOLVE_SUCCESS ||
      unit.length == 0) {
    return true;
  }
  unsigned char last = 0;
  return chm_retrieve_object(file, &unit, &last, unit.length - 1, 1) == 1;
}

int CollectPath(chmFile*, chmUnitInfo* unit, void* context) {
  static_cast<std::vector<std::string>*>(context)->emplace_back(unit->path);
  return CHM_ENUMERATOR_CONTINUE;
}

template <typename Number>
std::string_view BytesOf(const Number& number) {
  return {reinterpret_cast<const char*>(&number), sizeof number};
}

bool SendObject(int fd, const std::string& path, const std::string& bytes) {
  const auto pathSize = static_cast<std::uint32_t>(path.size());
  const auto size = static_cast<std::uint64_t>(bytes.size());
  return WriteAll(fd, BytesOf(pathSize)) && WriteAll(fd, path) && WriteAll(fd, BytesOf(size)) &&
         WriteAll(fd, bytes);
}

[[noreturn]] void ExtractInChild(const char* file, int fd) {
  ChmHandle help(chm_open(file));
  if (!help || !CompressedSectionIsWhole(help.get())) {
    ::_exit(1);
  }
  std::vector<std::string> paths{kSystemObject};
  chm_enumerate(help.get(), CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &CollectPath, &paths);
  for (const auto& path : paths) {
    if (auto bytes = RetrieveObject(help.get(), path)) {
      if (!SendObject(fd, path, *bytes)) {
        ::_exit(1);
      }
    }
  }
  ::_exit(WriteAll(fd, BytesOf(kEndMark)) ? 0 : 1);
}

// --- In the parent: read what the child sends, within a time and a size. ---

class PipeReader {
 public:
  explicit PipeReader(int fd) : fd_(fd), deadline_(std::chrono::steady_clock::now() + kReadLimit) {}

  bool Read(char* into, std::size_t size) {
    while (size > 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline_ - std::chrono::steady_clock::now());
      pollfd wait{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
        return false;
      }
      const ssize_t n = ::read(fd_, into, size);
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n <= 0) {
        return false;
      }
      into += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }
  template <typename Number>
  bool ReadNumber(Number& number) {
    return Read(reinterpret_cast<char*>(&number), sizeof number);
  }

 private:
  int fd_;
  std::chrono::steady_clock::time_point deadline_;
};

std::optional<std::map<std::string, std::string>> ReceiveObjects(int fd) {
  PipeReader reader(fd);
  std::map<std::string, std::string> objects;
  std::uint64_t total = 0;
  for (;;) {
    std::uint32_t pathSize = 0;
    if (!reader.ReadNumber(pathSize)) {
      return std::nullopt;
    }
    if (pathSize == kEndMark) {
      return objects;
    }
    std::uint64_t size = 0;
    std::string path(pathSize > CHM_MAX_PATHLEN ? 0 : pathSize, '\0');
    if (pathSize > CHM_MAX_PATHLEN || !reader.Read(path.data(), path.size()) ||
        !reader.ReadNumber(size) || size > ChmFile::MaxObjectSize ||
        (total += size) > ChmFile::MaxTotalSize) {
      return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!reader.Read(bytes.data(), bytes.size())) {
      return std::nullopt;
    }
    objects[path] = std::move(bytes);
  }
}

// Waits for the child, ending it first when it is still at work.
bool ChildSucceeded(pid_t child, bool received) {
  if (!received) {
    ::kill(child, SIGKILL);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::uint16_t LittleEndian16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

}  // namespace

std::optional<ChmFile> ChmFile::Open(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    return std::nullopt;
  }
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    return std::nullopt;
  }
  UniqueFd readEnd(ends[0]);
  UniqueFd writeEnd(ends[1]);
  const pid_t child = ::fork();
  if (child < 0) {
    return std::nullopt;
  }
  if (child == 0) {
    ExtractInChild(file.c_str(), writeEnd.Get());
  }
  writeEnd.Reset();
  auto objects = ReceiveObjects(readEnd.Get());
  if (!ChildSucceeded(child, objects.has_value())) {
    return std::nullopt;
  }
  std::string system;
  if (auto found = objects->find(kSystemObject); found != objects->end()) {
    system = std::move(found->second);
    objects->erase(found);
  }
  return ChmFile(std::move(*objects), std::move(system));
}

std::optional<std::string> ChmFile::Read(std::string_view objectPath) const {
  const std::string path = WithLeadingSlash(objectPath);
  if (auto found = objects_.find(path); found != objects_.end()) {
    return found->second;
  }
  // Help written on Windows links "FAQ.htm" to "faq.htm" and gets away with it.
  for (const auto& [stored, bytes] : objects_) {
    if (EqualsIgnoringAsciiCase(stored, path)) {
      return bytes;
    }
  }
  return std::nullopt;
}

std::vector<std::string> ChmFile::List() const {
  std::vector<std::string> paths;
  for (const auto& [path, bytes] : objects_) {
    if (!path.ends_with("/")) {
      paths.push_back(path);
    }
  }
  return paths;
}

std::optional<std::string> ChmFile::SystemEntry(std::uint16_t code) const {
  // A version word, then entries of a code word, a length word and the data,
  // whose text ends at its first NUL.
  std::size_t at = 4;
  while (at + 4 <= system_.size()) {
    const std::uint16_t entryCode = LittleEndian16(system_, at);
    const std::size_t length = LittleEndian16(system_, at + 2);
    at += 4;
    if (at + length > system_.size()) {
      return std::nullopt;
    }
    if (entryCode == code) {
      std::string text = system_.substr(at, length);
      text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
      return text;
    }
    at += length;
  }
  return std::nullopt;
}

std::optional<std::string> ChmFile::FirstContentsPage() const {
  std::optional<std::string> contents;
  if (auto name = SystemEntry(kContentsFileEntry); name && !name->empty()) {
    contents = Read(*name);
  }
  for (auto object = objects_.begin(); !contents && object != objects_.end(); ++object) {
    if (EndsWithIgnoringCase(object->first, ".hhc")) {
      contents = object->second;
    }
  }
  return contents ? FirstLocalTopic(*contents) : std::nullopt;
}

std::string ChmFile::DefaultTopic() const {
  if (auto topic = SystemEntry(kDefaultTopicEntry)) {
    if (auto path = WithoutLeadingSlash(std::move(*topic)); !path.empty()) {
      return path;
    }
  }
  if (auto first = FirstContentsPage()) {
    if (auto path = WithoutLeadingSlash(std::move(*first)); !path.empty()) {
      return path;
    }
  }
  return "index.htm";
}

namespace {

// The value of the attribute `name` in the tag text, unquoted.
std::optional<std::string> AttributeValue(std::string_view tag, std::string_view name) {
  const std::string lower = AsciiLower(tag);
  std::size_t at = 0;
  while ((at = lower.find(name, at)) != std::string::npos) {
    std::size_t next = at + name.size();
    const bool wordStart = at == 0 || lower[at - 1] == ' ' || lower[at - 1] == '\t' ||
                           lower[at - 1] == '\n' || lower[at - 1] == '\r';
    while (next < lower.size() && (lower[next] == ' ' || lower[next] == '\t')) {
      ++next;
    }
    if (!wordStart || next >= lower.size() || lower[next] != '=') {
      at = next;
      continue;
    }
    ++next;
    while (next < lower.size() && (lower[next] == ' ' || lower[next] == '\t')) {
      ++next;
    }
    if (next >= lower.size()) {
      return std::nullopt;
    }
    const char quote = lower[next];
    if (quote == '"' || quote == '\'') {
      const auto end = lower.find(quote, next + 1);
      if (end == std::string::npos) {
        return std::nullopt;
      }
      return std::string(tag.substr(next + 1, end - next - 1));
    }
    const auto end = lower.find_first_of(" \t\r\n>", next);
    return std::string(tag.substr(next, end == std::string::npos ? end : end - next));
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FirstLocalTopic(std::string_view contents) {
  const std::string lower = AsciiLower(contents);
  std::size_t at = 0;
  while ((at = lower.find("<param", at)) != std::string::npos) {
    const auto end = lower.find('>', at);
    if (end == std::string::npos) {
      return std::nullopt;
    }
    const std::string_view tag = contents.substr(at, end - at);
    const auto name = AttributeValue(tag, "name");
    if (name && EqualsIgnoringAsciiCase(*name, "local")) {
      if (auto value = AttributeValue(tag, "value"); value && !value->empty()) {
        return value;
      }
    }
    at = end;
  }
  return std::nullopt;
}

}  // namespace telvanta::platform
