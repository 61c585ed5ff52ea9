#include "common/I18n.h"

#include "common/BuildConfig.h"

#include <libintl.h>

#include <mutex>
#include <system_error>

namespace telvanta {

namespace {

std::filesystem::path OwnLocaleFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return LocaleFolderBeside(error ? std::filesystem::current_path() : program.parent_path());
}

void Bind(const std::filesystem::path& folder) {
  bindtextdomain(TextDomain, folder.c_str());
  bind_textdomain_codeset(TextDomain, "UTF-8");
}

// Bound lazily, so nothing in start-up has to remember it and every module
// (the web module too) finds the same catalogues.
void BindOnce() {
  static std::once_flag bound;
  std::call_once(bound, [] { Bind(OwnLocaleFolder()); });
}

}  // namespace

const char* Translate(const char* msgid) {
  // The empty id would fetch the catalogue's header.
  if (msgid == nullptr || *msgid == '\0') {
    return msgid;
  }
  BindOnce();
  return dgettext(TextDomain, msgid);
}

std::string Translate(std::string_view msgid) { return Translate(std::string(msgid).c_str()); }

const char* TranslatePlural(const char* one, const char* many, unsigned long count) {
  BindOnce();
  return dngettext(TextDomain, one, many, count);
}

std::string Substitute(std::string_view pattern,
                       std::initializer_list<std::string_view> arguments) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const std::size_t index = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && index < arguments.size()) {
      out += *(arguments.begin() + index);
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::filesystem::path LocaleFolderBeside(const std::filesystem::path& executableFolder) {
  const std::filesystem::path data = executableFolder / BuildInstalledProgramFolder;
  std::error_code error;
  if (std::filesystem::is_directory(data, error)) {
    return (data / ".." / "locale").lexically_normal();
  }
  return executableFolder / "locale";
}

void BindCataloguesForTesting(const std::filesystem::path& folder) {
  BindOnce();
  Bind(folder);
}

}  // namespace telvanta
