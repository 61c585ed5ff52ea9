#pragma once
// Reading a compiled HTML help file. chmlib does not survive every damaged
// file, so a child process reads the whole file with it and hands the objects
// over; a crash or a hang there only fails the open. A damaged or foreign file
// fails to open or lacks objects; nothing is thrown.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvanta::platform {

class ChmFile {
 public:
  // Nothing when the file is missing, not a help file, or damaged so that it
  // can't be read.
  static std::optional<ChmFile> Open(const std::filesystem::path& file);

  // The object at `objectPath` ("faq.htm", "/faq.htm", "img/logo.png"); a
  // name differing only in the case of a to z is found too.
  std::optional<std::string> Read(std::string_view objectPath) const;
  // Paths of the stored pages, pictures and style sheets, each with a
  // leading "/"; the compiler's own bookkeeping objects are left out.
  std::vector<std::string> List() const;
  // The page the help opens at: the project's default topic, else the first
  // page of the contents, else "index.htm". Without the leading "/".
  std::string DefaultTopic() const;

  // Help files are a few hundred kilobytes; larger objects and files are refused.
  static constexpr std::uint64_t MaxObjectSize = std::uint64_t{32} << 20;
  static constexpr std::uint64_t MaxTotalSize = std::uint64_t{128} << 20;

 private:
  using Objects = std::map<std::string, std::string>;
  ChmFile(Objects objects, std::string system)
      : objects_(std::move(objects)), system_(std::move(system)) {}

  std::optional<std::string> SystemEntry(std::uint16_t code) const;
  std::optional<std::string> FirstContentsPage() const;

  Objects objects_;     // path with a leading "/" to its bytes
  std::string system_;  // the compiler's #SYSTEM record: default topic, contents file
};

// The first local page of a contents file (.hhc): the value of its first
// <param name="Local" value="..."> (any case, either quote).
std::optional<std::string> FirstLocalTopic(std::string_view contents);

}  // namespace telvanta::platform
