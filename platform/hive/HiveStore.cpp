#include "platform/hive/HiveStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <optional>
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
  // 0, or the system's error number.
  int Acquire(const fs::path& lockFile) {
    thread_ = std::unique_lock(ProcessLock());
    fd_.Reset(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!fd_) {
      return errno;
    }
    while (::flock(fd_.Get(), LOCK_EX) != 0) {
      if (errno != EINTR) {
        return errno;
      }
    }
    return 0;
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

HiveOutcome Failure(HiveStatus status, int error) {
  HiveOutcome outcome;
  outcome.status = status;
  outcome.error = error;
  return outcome;
}

// An absent file is an empty hive.
HiveOutcome Load(const fs::path& file, Hive& hive) {
  std::optional<std::string> text;
  try {
    text = ReadWholeFile(file);
  } catch (const FileError& error) {
    return Failure(HiveStatus::Unreadable, error.ErrorNumber());
  }
  if (!text) {
    return {};
  }
  HiveReading reading = ParseHiveLeniently(*text);
  hive = std::move(reading.hive);
  HiveOutcome outcome;
  if (reading.damage) {
    outcome.status = HiveStatus::Damaged;
    outcome.damage = std::move(*reading.damage);
  }
  return outcome;
}

// 0, or the system's error number.
int Save(const fs::path& file, const Hive& hive) {
  try {
    ReplaceFile(file, SerializeHive(hive));
    return 0;
  } catch (const FileError& error) {
    return error.ErrorNumber();
  }
}

// 0 once the folder is there and the lock held, or the system's error number.
int Lock(const fs::path& file, HiveLock& lock) {
  if (!MakePrivateFolders(file.parent_path())) {
    return errno != 0 ? errno : EIO;
  }
  return lock.Acquire(Sibling(file, ".lock"));
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

HiveOutcome HiveStore::ReadKey(std::string_view keyPath, HiveKey& out) const {
  Hive hive;
  // Renames are atomic, so a read needs no lock unless it must create the key.
  HiveOutcome outcome = Load(File(), hive);
  const HiveKey* key = hive.FindKey(keyPath);
  if (key) {
    out = *key;
  }
  if (key || outcome.status != HiveStatus::Ok) {
    return outcome;
  }
  return ChangeKey(keyPath, [&](HiveKey& created) {
    out = created;
    return false;
  });
}

HiveOutcome HiveStore::ChangeKey(std::string_view keyPath,
                                 const std::function<bool(HiveKey&)>& change) const {
  if (!IsStorableKeyPath(keyPath)) {
    return Failure(HiveStatus::CannotSave, EINVAL);
  }
  const fs::path file = File();
  HiveLock lock;
  const int lockError = Lock(file, lock);
  // Without the lock the hive is still read, to tell what the failure hit.
  Hive hive;
  HiveOutcome outcome = Load(file, hive);
  if (outcome.status != HiveStatus::Ok) {
    return outcome;
  }
  HiveKey* key = hive.FindKey(keyPath);
  outcome.keyExisted = key != nullptr;
  if (lockError != 0) {
    outcome.status = HiveStatus::CannotSave;
    outcome.error = lockError;
    return outcome;
  }
  if (!key) {
    key = &hive.CreateKey(keyPath);
    if (const int error = Save(file, hive); error != 0) {
      return Failure(HiveStatus::CannotSave, error);
    }
    outcome.keyExisted = true;
  }
  if (!change(*key)) {
    return outcome;
  }
  if (const int error = Save(file, hive); error != 0) {
    outcome.status = HiveStatus::CannotSave;
    outcome.error = error;
  }
  return outcome;
}

}  // namespace telvanta::platform
