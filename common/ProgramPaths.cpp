#include "common/ProgramPaths.h"

#include <array>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
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

}  // namespace

std::string ProgramFolder() {
  {
    std::lock_guard lock(programFolderMutex);
    if (!programFolderOverride.empty()) {
      return programFolderOverride;
    }
  }
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    return WithTrailingSlash(std::filesystem::current_path().string());
  }
  return WithTrailingSlash(program.parent_path().string());
}

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
