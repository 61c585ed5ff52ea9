#include "common/ProgramPaths.h"

#include <array>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>

#include <locale.h>

namespace telvanta {

namespace {

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') {
    folder += '/';
  }
  return folder;
}

std::mutex programFolderMutex;
std::string programFolderOverride;

struct LocaleDeleter {
  void operator()(locale_t locale) const { freelocale(locale); }
};
using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleDeleter>;

// The user's LC_TIME locale from the environment, else the C locale; the
// process's global locale is left alone.
LocaleHandle UserTimeLocale() {
  if (locale_t user = newlocale(LC_TIME_MASK, "", nullptr)) {
    return LocaleHandle(user);
  }
  return LocaleHandle(newlocale(LC_TIME_MASK, "C", nullptr));
}

const ProgramFolders& OwnFolders() {
  static const ProgramFolders folders = [] {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return ProgramFoldersBeside(error ? std::filesystem::current_path() : program.parent_path());
  }();
  return folders;
}

std::optional<std::string> Override() {
  std::lock_guard lock(programFolderMutex);
  if (programFolderOverride.empty()) {
    return std::nullopt;
  }
  return programFolderOverride;
}

}  // namespace

ProgramFolders ProgramFoldersBeside(const std::filesystem::path& executableFolder) {
  // Relative, so an install under any prefix runs where it is put.
  const std::filesystem::path data = executableFolder / BuildInstalledProgramFolder;
  std::error_code error;
  if (!std::filesystem::is_directory(data, error)) {
    const std::string own = WithTrailingSlash(executableFolder.string());
    return {own, own};
  }
  return {WithTrailingSlash(data.lexically_normal().string()),
          WithTrailingSlash(
              (executableFolder / BuildInstalledModuleFolder).lexically_normal().string())};
}

std::string ProgramFolder() { return Override().value_or(OwnFolders().program); }

std::string ModuleFolder() { return Override().value_or(OwnFolders().modules); }

void SetProgramFolderForTesting(const std::filesystem::path& folder) {
  std::lock_guard lock(programFolderMutex);
  programFolderOverride = folder.empty() ? std::string() : WithTrailingSlash(folder.string());
}

std::string DownloadFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return WithTrailingSlash((tmp != nullptr && *tmp != '\0') ? tmp : "/tmp");
}

std::string DateText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const LocaleHandle locale = UserTimeLocale();
  std::array<char, 128> text{};
  std::size_t length = 0;
  if (locale) {
    length = strftime_l(text.data(), text.size(), "%x", &local, locale.get());
  } else {
    length = std::strftime(text.data(), text.size(), "%x", &local);
  }
  return std::string(text.data(), length);
}

}  // namespace telvanta
