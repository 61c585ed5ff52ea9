#pragma once
// Unpacking a ZIP archive below one folder. Callable from any thread. An entry
// that would land outside the folder (a ".." step, an absolute path, a
// symbolic or hard link, a device) is refused, and every file is written to a
// temporary name beside its target and renamed into place, so a file of the
// folder is always either the old one or the whole new one.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvanta::platform {

struct ExtractReport {
  bool opened = false;  // the archive could be read as a ZIP archive
  int written = 0;      // files renamed into place
  int refused = 0;      // entries that would leave the folder, links, devices
  int failed = 0;       // entries that could not be read or written
};

// A small archive can unpack to a full disk. The catalogue, the largest file
// a refresh brings, is some 7 MiB; past this many bytes in all, the entry
// being written fails before the block that passes it is written, and the
// rest are not read.
inline constexpr std::int64_t DefaultExtractLimit = std::int64_t{64} << 20;

// Extracts every file of the archive below `folder`, which must exist; folders
// inside the archive are created, existing files replaced. Nothing is thrown;
// the report says what happened. Setting *cancel stops before the next block.
ExtractReport ExtractZip(const std::filesystem::path& archive, const std::filesystem::path& folder,
                         const std::atomic<bool>* cancel = nullptr,
                         std::int64_t maxBytes = DefaultExtractLimit);

// The steps of an entry's stored path ("/" or "\" separated, "." and empty
// steps dropped); none when it is absolute, has a ".." step or no step left.
std::optional<std::vector<std::string>> EntrySteps(std::string_view storedPath);

}  // namespace telvanta::platform
