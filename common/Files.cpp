#include "common/Files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include "common/UniqueFd.h"

namespace telvanta {
namespace {

namespace fs = std::filesystem;

// The temporary's name carries the process id, so two running copies of the
// program never write into each other's temporary.
fs::path TemporaryBeside(const fs::path& file) {
  fs::path temporary = file;
  temporary += "." + std::to_string(::getpid()) + ".tmp";
  return temporary;
}

// A file kept elsewhere through a symbolic link stays a link: the write goes
// to the file it points at.
fs::path WriteTarget(const fs::path& file) {
  std::error_code error;
  fs::path target = file;
  for (int hops = 0; hops < 40 && fs::is_symlink(target, error); ++hops) {
    fs::path link = fs::read_symlink(target, error);
    if (error) {
      break;
    }
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return target;
}

// A new file gets the usual 0666 less the umask, as any program's would (the
// folders it lies in decide who may read it); a replaced file keeps its mode.
bool WriteTemporary(const fs::path& file, const fs::path& temporary, std::string_view bytes) {
  struct stat st {};
  const bool exists = ::stat(file.c_str(), &st) == 0;
  // A temporary left by a run killed mid-write goes; one that can't go is
  // the reason the write fails.
  if (::unlink(temporary.c_str()) != 0 && errno != ENOENT) {
    return false;
  }
  UniqueFd fd(
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666));
  if (!fd) {
    return false;
  }
  if (exists && ::fchmod(fd.Get(), st.st_mode & 07777) != 0) {
    return false;
  }
  return WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0 && fd.Reset();
}

fs::path XdgFolder(const char* variable, const char* fallback) {
  // The base directory rules ignore a relative path.
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
    return fs::path(value) / "telvanta";
  }
  return HomeFolder() / fallback / "telvanta";
}

}  // namespace

std::optional<std::string> ReadWholeFile(const fs::path& file) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return std::nullopt;
    }
    const int error = errno;
    throw FileError(CannotOpenFileMessage(file.string(), error), error);
  }
  std::string bytes;
  std::array<char, 16384> buffer{};
  while (true) {
    const ssize_t n = ::read(fd.Get(), buffer.data(), buffer.size());
    if (n == 0) {
      return bytes;
    }
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      const int error = errno;
      throw FileError(CannotOpenFileMessage(file.string(), error), error);
    }
    bytes.append(buffer.data(), static_cast<std::size_t>(n));
  }
}

void ReplaceFile(const fs::path& link, std::string_view bytes) {
  const fs::path file = WriteTarget(link);
  // A file nobody may write is one the user protected; the rename would
  // otherwise replace it regardless of its mode.
  if (struct stat st{}; ::stat(file.c_str(), &st) == 0 && (st.st_mode & 0222) == 0) {
    throw FileError(CannotCreateFileMessage(link.string(), EACCES), EACCES);
  }
  const fs::path temporary = TemporaryBeside(file);
  if (!WriteTemporary(file, temporary, bytes) || ::rename(temporary.c_str(), file.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    throw FileError(CannotCreateFileMessage(link.string(), error), error);
  }
  // Makes the rename itself durable; some file systems cannot sync a folder,
  // and the new file is in place either way.
  fs::path folder = file.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  if (UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir) {
    ::fsync(dir.Get());
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

bool MakePrivateFolders(const fs::path& folder) {
  if (folder.empty()) {
    return true;
  }
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) {
    errno = S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    return S_ISDIR(st.st_mode);
  }
  if (folder.parent_path() != folder && !MakePrivateFolders(folder.parent_path())) {
    return false;
  }
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

fs::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return home;
  }
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr) {
    return found->pw_dir;
  }
  return {};
}

fs::path UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

fs::path UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

fs::path UserRuntimeFolder() {
  if (const char* value = std::getenv("XDG_RUNTIME_DIR"); value != nullptr && value[0] == '/') {
    return fs::path(value) / "telvanta";
  }
  return XdgFolder("XDG_CACHE_HOME", ".cache");
}

}  // namespace telvanta
