#pragma once
// ZIP archives for tests, written with libarchive: files, folders and links
// under whatever stored names a test needs, hostile ones included.

#include <archive.h>
#include <archive_entry.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace telvanta::test {

struct ZipEntry {
  enum class Kind { File, Folder, Symlink };
  std::string storedName;
  std::string contents;  // a file's bytes, or a link's target
  Kind kind = Kind::File;
};

inline ZipEntry ZipFile(std::string name, std::string contents) {
  return {std::move(name), std::move(contents), ZipEntry::Kind::File};
}

inline void MakeZip(const std::filesystem::path& file, const std::vector<ZipEntry>& entries) {
  const auto writerFree = [](archive* a) { archive_write_free(a); };
  std::unique_ptr<archive, decltype(writerFree)> writer(archive_write_new(), writerFree);
  if (archive_write_set_format_zip(writer.get()) != ARCHIVE_OK ||
      archive_write_open_filename(writer.get(), file.c_str()) != ARCHIVE_OK) {
    throw std::runtime_error("cannot write " + file.string());
  }
  for (const auto& e : entries) {
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                        archive_entry_free);
    archive_entry_set_pathname(entry.get(), e.storedName.c_str());
    switch (e.kind) {
      case ZipEntry::Kind::File:
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(e.contents.size()));
        archive_entry_set_perm(entry.get(), 0644);
        break;
      case ZipEntry::Kind::Folder:
        archive_entry_set_filetype(entry.get(), AE_IFDIR);
        archive_entry_set_perm(entry.get(), 0755);
        break;
      case ZipEntry::Kind::Symlink:
        archive_entry_set_filetype(entry.get(), AE_IFLNK);
        archive_entry_set_symlink(entry.get(), e.contents.c_str());
        archive_entry_set_perm(entry.get(), 0777);
        break;
    }
    if (archive_write_header(writer.get(), entry.get()) < ARCHIVE_WARN) {
      throw std::runtime_error(archive_error_string(writer.get()));
    }
    if (e.kind == ZipEntry::Kind::File && !e.contents.empty() &&
        archive_write_data(writer.get(), e.contents.data(), e.contents.size()) < 0) {
      throw std::runtime_error(archive_error_string(writer.get()));
    }
  }
  if (archive_write_close(writer.get()) != ARCHIVE_OK) {
    throw std::runtime_error("cannot finish " + file.string());
  }
}

}  // namespace telvanta::test
