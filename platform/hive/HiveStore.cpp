#include "platform/hive/HiveStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/Files.h"
#include "common/UniqueFd.h"

namespace telvanta::platform {
namespace {

namespace fs = std::filesystem;

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
    fd_.Reset(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
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
  std::optional<std::string> text;
  try {
    text = ReadWholeFile(file);
  } catch (const FileError&) {
    return LoadResult::Broken;
  }
  if (!text) {
    return LoadResult::Absent;
  }
  auto parsed = ParseHive(*text);
  if (auto* h = std::get_if<Hive>(&parsed)) {
    hive = std::move(*h);
    return LoadResult::Loaded;
  }
  return LoadResult::Broken;
}

bool Save(const fs::path& file, const Hive& hive) {
  try {
    ReplaceFile(file, SerializeHive(hive));
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace

fs::path DefaultHivePath() { return UserConfigFolder() / "settings.reg"; }

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
  if (!MakePrivateFolders(file.parent_path()) || !lock.Acquire(Sibling(file, ".lock"))) {
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
