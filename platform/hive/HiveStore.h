#pragma once
// The per-user settings hive on disk. Every change is a read-modify-write of the
// whole file under a lock that holds across threads and processes, written to a
// temporary file beside it and renamed over it, so a process killed at any
// moment leaves the old or the new hive. A hive that cannot be read or parsed
// is never written over: nothing the user had is lost.

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
  CannotCreateKey,  // the folder, the lock or the first write of the key failed
  CannotOpen,       // the hive exists but cannot be read or parsed
  CannotWrite,      // storing a change failed; the hive is as it was
};

class HiveStore {
 public:
  explicit HiveStore(std::filesystem::path file);

  // Copies the key out; a missing key is created (with the file) first.
  HiveStatus ReadKey(std::string_view keyPath, HiveKey& out) const;
  // Creates the key when missing, then lets change edit it under the lock and
  // stores the hive when change returns true. An exception from change passes
  // on with the hive unchanged (apart from the key's creation).
  HiveStatus ChangeKey(std::string_view keyPath, const std::function<bool(HiveKey&)>& change) const;

  // The file itself, its lock and its temporary file, beside each other.
  std::filesystem::path File() const;

 private:
  std::filesystem::path file_;
};

}  // namespace telvanta::platform
