#pragma once
// Whole-file reads, atomic replacement and the user's folders. Every file the
// program keeps is replaced through ReplaceFile, so a crash or a full disk
// leaves the old or the new file, never a broken one.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Error.h"

namespace telvanta {

// A failed file operation, with the system's error number.
class FileError : public Error {
 public:
  FileError(const std::string& message, int errorNumber) : Error(message), errno_(errorNumber) {}
  int ErrorNumber() const { return errno_; }

 private:
  int errno_;
};

// The whole file; none when it does not exist. Throws FileError
// "Cannot open file ..." when it exists but can't be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// Writes the bytes to a temporary file beside `file` (with `file`'s permission
// bits when it exists, else 0666 less the umask), flushes them to disk and
// renames it over `file`. A symbolic link is written through to its target.
// A file without any write permission is refused. On failure the old file is
// untouched, the temporary removed, and FileError "Cannot create file ..."
// thrown.
void ReplaceFile(const std::filesystem::path& file, std::string_view bytes);

// Writes every byte to the descriptor, going on after a signal; false on an
// error.
bool WriteAll(int fd, std::string_view bytes);

// The lines as the program's text files hold them: every line, the last one
// too, ended with CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// Makes the folder and its missing parents, new ones private to the user
// (0700, as the base directory rules ask); false when it can't.
bool MakePrivateFolders(const std::filesystem::path& folder);

// $HOME, else the password database's home folder; empty when neither is known.
std::filesystem::path HomeFolder();
// Where the program keeps the user's data: $XDG_DATA_HOME/telvanta, else
// ~/.local/share/telvanta.
std::filesystem::path UserDataFolder();
// Where the program keeps the user's settings: $XDG_CONFIG_HOME/telvanta,
// else ~/.config/telvanta.
std::filesystem::path UserConfigFolder();
// $XDG_RUNTIME_DIR/telvanta, for files of this session such as player pages;
// $XDG_CACHE_HOME/telvanta where the system gives no runtime folder.
std::filesystem::path UserRuntimeFolder();

}  // namespace telvanta
