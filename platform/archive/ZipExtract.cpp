#include "platform/archive/ZipExtract.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "common/UniqueFd.h"

namespace telvanta::platform {

namespace {

struct ArchiveDeleter {
  void operator()(archive* reader) const { archive_read_free(reader); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveDeleter>;

// Opens or creates each folder step below `root` without following a link,
// so a link already lying in the folder can't lead the extraction out of it.
UniqueFd OpenFolderSteps(int root, const std::vector<std::string>& steps, std::size_t count) {
  UniqueFd current(::fcntl(root, F_DUPFD_CLOEXEC, 0));
  for (std::size_t i = 0; i < count && current.Valid(); ++i) {
    const char* step = steps[i].c_str();
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int next = ::openat(current.Get(), step, kFlags);
    if (next < 0 && errno == ENOENT && ::mkdirat(current.Get(), step, 0755) == 0) {
      next = ::openat(current.Get(), step, kFlags);
    }
    current = UniqueFd(next);
  }
  return current;
}

bool WriteAll(int fd, const char* data, std::size_t size, la_int64_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, data, size, offset);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

// A fresh file beside the target; the name is ours, never the archive's.
UniqueFd CreateTemporary(int folder, const std::string& name, std::string& temporaryName) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporaryName = "." + name + ".part-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter.fetch_add(1));
    const int fd = ::openat(folder, temporaryName.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) {
      return UniqueFd(fd);
    }
  }
  return UniqueFd();
}

// `budget` is what the whole extraction may still write; a block is charged
// up to its end, so a hole left by a block's offset counts as written.
bool ExtractFile(archive* reader, int folder, const std::string& name,
                 const std::atomic<bool>* cancel, std::int64_t& budget) {
  std::string temporaryName;
  UniqueFd out = CreateTemporary(folder, name, temporaryName);
  if (!out.Valid()) {
    return false;
  }
  bool good = true;
  std::int64_t end = 0;
  for (;;) {
    const void* block = nullptr;
    std::size_t size = 0;
    la_int64_t offset = 0;
    const int status = archive_read_data_block(reader, &block, &size, &offset);
    if (status == ARCHIVE_EOF) {
      break;
    }
    const std::int64_t blockEnd = offset + static_cast<std::int64_t>(size);
    if (blockEnd > end) {
      budget -= blockEnd - end;
      end = blockEnd;
    }
    if (status < ARCHIVE_WARN || (cancel != nullptr && cancel->load()) || budget < 0 ||
        !WriteAll(out.Get(), static_cast<const char*>(block), size, offset)) {
      good = false;
      break;
    }
  }
  good = good && ::fsync(out.Get()) == 0;
  good = out.Reset() && good;
  good = good && ::renameat(folder, temporaryName.c_str(), folder, name.c_str()) == 0;
  if (!good) {
    ::unlinkat(folder, temporaryName.c_str(), 0);
  }
  return good;
}

}  // namespace

std::optional<std::vector<std::string>> EntrySteps(std::string_view storedPath) {
  if (storedPath.empty() || storedPath.front() == '/' || storedPath.front() == '\\') {
    return std::nullopt;
  }
  std::vector<std::string> steps;
  std::string step;
  for (std::size_t i = 0; i <= storedPath.size(); ++i) {
    const bool end = i == storedPath.size();
    if (!end && storedPath[i] == '\0') {
      return std::nullopt;
    }
    if (end || storedPath[i] == '/' || storedPath[i] == '\\') {
      if (step == "..") {
        return std::nullopt;
      }
      if (!step.empty() && step != ".") {
        steps.push_back(std::move(step));
      }
      step.clear();
    } else {
      step += storedPath[i];
    }
  }
  if (steps.empty()) {
    return std::nullopt;
  }
  return steps;
}

ExtractReport ExtractZip(const std::filesystem::path& archivePath,
                         const std::filesystem::path& folder, const std::atomic<bool>* cancel,
                         std::int64_t maxBytes) {
  ExtractReport report;
  std::int64_t budget = maxBytes;
  try {
    const UniqueFd root(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ArchiveReader reader(archive_read_new());
    if (!root.Valid() || !reader || archive_read_support_format_zip(reader.get()) != ARCHIVE_OK ||
        archive_read_open_filename(reader.get(), archivePath.c_str(), 64 * 1024) != ARCHIVE_OK) {
      return report;
    }
    report.opened = true;
    archive_entry* entry = nullptr;
    for (;;) {
      if (cancel != nullptr && cancel->load()) {
        break;
      }
      const int status = archive_read_next_header(reader.get(), &entry);
      if (status == ARCHIVE_EOF) {
        break;
      }
      if (status < ARCHIVE_WARN) {
        ++report.failed;
        break;  // the archive's structure is broken past this point
      }
      const char* stored = archive_entry_pathname(entry);
      const auto steps = EntrySteps(stored != nullptr ? stored : "");
      const auto type = archive_entry_filetype(entry);
      if (!steps || archive_entry_hardlink(entry) != nullptr ||
          (type != AE_IFREG && type != AE_IFDIR)) {
        ++report.refused;
        continue;
      }
      if (type == AE_IFDIR) {
        if (!OpenFolderSteps(root.Get(), *steps, steps->size()).Valid()) {
          ++report.failed;
        }
        continue;
      }
      const UniqueFd parent = OpenFolderSteps(root.Get(), *steps, steps->size() - 1);
      if (parent.Valid() &&
          ExtractFile(reader.get(), parent.Get(), steps->back(), cancel, budget)) {
        ++report.written;
      } else {
        ++report.failed;
        if (budget < 0) {
          break;
        }
      }
    }
  } catch (...) {
    ++report.failed;
  }
  return report;
}

}  // namespace telvanta::platform
