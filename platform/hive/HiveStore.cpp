#include "platform/hive/HiveStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace telvanta::platform {
namespace {

namespace fs = std::filesystem;

class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }
  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void Adopt(int fd) {
    Reset();
    fd_ = fd;
  }
  // Closes now and tells whether the close went well (it can report a failed write).
  bool Reset() {
    const int fd = std::exchange(fd_, -1);
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

// flock excludes other processes; threads of this one queue on the mutex first,
// so the lock file is opened once per change, not per thread.
std::mutex& ProcessLock() {
  static std::mutex mutex;
  return mutex;
}

class HiveLock {
 public:
  bool Acquire(const fs::path& lockFile) {
    thread_ = std::unique_lock(ProcessLock());
    fd_.Adopt(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!fd_) {
      return false;
    }
    while (::flock(fd_.Get(), LOCK_EX) != 0) {
      if (errno != EINTR) {
        return false;
      }
    }
    return true;
  }

 private:
  std::unique_lock<std::mutex> thread_;
  UniqueFd fd_;  // closed first, which drops the flock before the mutex
};

fs::path Sibling(const fs::path& file, std::string_view suffix) {
  fs::path p = file;
  p += suffix;
  return p;
}

enum class LoadResult { Loaded, Absent, Broken };

LoadResult Load(const fs::path& file, Hive& hive) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    return errno == ENOENT || errno == ENOTDIR ? LoadResult::Absent : LoadResult::Broken;
  }
  std::string text;
  char buffer[16384];
  while (true) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n == 0) {
      break;
    }
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return LoadResult::Broken;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  auto parsed = ParseHive(text);
  if (auto* h = std::get_if<Hive>(&parsed)) {
    hive = std::move(*h);
    return LoadResult::Loaded;
  }
  return LoadResult::Broken;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool WriteTemporary(const fs::path& file, const fs::path& temporary, std::string_view text) {
  UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (!fd) {
    return false;
  }
  struct stat st {};
  if (::stat(file.c_str(), &st) == 0 && ::fchmod(fd.Get(), st.st_mode & 07777) != 0) {
    return false;
  }
  return WriteAll(fd.Get(), text) && ::fsync(fd.Get()) == 0 && fd.Reset();
}

bool Save(const fs::path& file, const Hive& hive) {
  const fs::path temporary = Sibling(file, ".tmp");
  if (!WriteTemporary(file, temporary, SerializeHive(hive)) ||
      ::rename(temporary.c_str(), file.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Makes the rename itself durable; some file systems cannot sync a folder,
  // and the new hive is in place either way.
  fs::path folder = file.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) {
    ::fsync(dir.Get());
  }
  return true;
}

// Missing folders are made private to the user, as the base directory rules ask.
bool MakeFolders(const fs::path& folder) {
  if (folder.empty()) {
    return true;
  }
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) {
    return S_ISDIR(st.st_mode);
  }
  if (folder.parent_path() != folder && !MakeFolders(folder.parent_path())) {
    return false;
  }
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

fs::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) {
    return home;
  }
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return found->pw_dir;
  }
  return {};
}

}  // namespace

fs::path DefaultHivePath() {
  fs::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    base = HomeFolder() / ".config";
  }
  return base / "telvanta" / "settings.reg";
}

HiveStore::HiveStore(fs::path file) : file_(std::move(file)) {}

fs::path HiveStore::File() const {
  // A hive kept elsewhere through a symbolic link stays a link.
  std::error_code error;
  if (!fs::is_symlink(file_, error)) {
    return file_;
  }
  fs::path target = fs::canonical(file_, error);
  return error ? file_ : target;
}

HiveStatus HiveStore::ReadKey(std::string_view keyPath, HiveKey& out) const {
  Hive hive;
  // Renames are atomic, so a read needs no lock unless it must create the key.
  switch (Load(File(), hive)) {
    case LoadResult::Broken:
      return HiveStatus::CannotOpen;
    case LoadResult::Loaded:
      if (const HiveKey* key = hive.FindKey(keyPath)) {
        out = *key;
        return HiveStatus::Ok;
      }
      break;
    case LoadResult::Absent:
      break;
  }
  return ChangeKey(keyPath, [&](HiveKey& key) {
    out = key;
    return false;
  });
}

HiveStatus HiveStore::ChangeKey(std::string_view keyPath,
                                const std::function<bool(HiveKey&)>& change) const {
  if (!IsStorableKeyPath(keyPath)) {
    return HiveStatus::CannotCreateKey;
  }
  const fs::path file = File();
  HiveLock lock;
  if (!MakeFolders(file.parent_path()) || !lock.Acquire(Sibling(file, ".lock"))) {
    return HiveStatus::CannotCreateKey;
  }
  Hive hive;
  if (Load(file, hive) == LoadResult::Broken) {
    return HiveStatus::CannotOpen;
  }
  HiveKey* key = hive.FindKey(keyPath);
  if (!key) {
    hive.CreateKey(keyPath);
    if (!Save(file, hive)) {
      return HiveStatus::CannotCreateKey;
    }
    key = hive.FindKey(keyPath);
  }
  if (!change(*key)) {
    return HiveStatus::Ok;
  }
  return Save(file, hive) ? HiveStatus::Ok : HiveStatus::CannotWrite;
}

}  // namespace telvanta::platform
