#pragma once
// The per-user settings hive on disk. Every change is a read-modify-write of the
// whole file under a lock that holds across threads and processes, written to a
// temporary file beside it and renamed over it, so a process killed at any
// moment leaves the old or the new hive.

#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/hive/RegistryHive.h"

namespace telvanta::platform {

// $XDG_CONFIG_HOME/telvanta/settings.reg, else ~/.config/telvanta/settings.reg
// (a relative $XDG_CONFIG_HOME is ignored, as the base directory rules ask).
std::filesystem::path DefaultHivePath();

enum class HiveStatus {
  Ok,
  Unreadable,  // the file is there but can't be read (error)
  Damaged,     // a line can't be parsed (damage); the rest was read
  CannotSave,  // the folder, the lock or the file can't be written (error)
};

struct HiveOutcome {
  HiveStatus status = HiveStatus::Ok;
  int error = 0;            // the system's error number
  HiveParseError damage;    // the first damaged line
  bool keyExisted = false;  // CannotSave: the key was in the hive already
};

// Never writes over a hive it can't read or parse whole: nothing the user had
// is lost, and changes wait until the file is mended.
class HiveStore {
 public:
  explicit HiveStore(std::filesystem::path file);

  // Copies the key out (also from a damaged hive, without its damaged lines);
  // a missing key is created (with the file) when the hive can be written.
  HiveOutcome ReadKey(std::string_view keyPath, HiveKey& out) const;
  // Creates the key when missing, then lets change edit it under the lock and
  // stores the hive when change returns true. An exception from change passes
  // on with the hive unchanged (apart from the key's creation).
  HiveOutcome ChangeKey(std::string_view keyPath,
                        const std::function<bool(HiveKey&)>& change) const;

  // The file itself, its lock and its temporary file, beside each other.
  std::filesystem::path File() const;

 private:
  std::filesystem::path file_;
};

}  // namespace telvanta::platform
