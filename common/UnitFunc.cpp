#include "common/UnitFunc.h"

#include <array>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <system_error>

#include <locale.h>

#include "common/AsciiText.h"

namespace telvanta {

namespace {

// Only a to z change (AsciiUpper): the text is bytes, and the user's locale
// must not decide what an ending is.
bool EqualsUpper(std::string_view part, std::string_view code) {
  if (part.size() != code.size()) {
    return false;
  }
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (AsciiUpper(part[i]) != code[i]) {
      return false;
    }
  }
  return true;
}

bool HasPrefix(std::string_view text, std::string_view code) {
  return text.size() >= code.size() && EqualsUpper(text.substr(0, code.size()), code);
}

bool HasSuffix(std::string_view text, std::string_view code) {
  return text.size() >= code.size() && EqualsUpper(text.substr(text.size() - code.size()), code);
}

enum class Where { Prefix, Suffix };

struct ClassRule {
  Where where;
  std::string_view code;
  std::string_view streamClass;
};

// First match decides: schemes, then endings, then the http prefix.
constexpr std::array<ClassRule, 18> ClassRules{{
    {Where::Prefix, "MMS", StreamMms},
    {Where::Prefix, "RTSP", StreamRtsp},
    {Where::Prefix, "PNM", StreamRtsp},
    {Where::Suffix, "ASX", StreamMms},
    {Where::Suffix, "WMV", StreamMms},
    {Where::Suffix, "WMX", StreamMms},
    {Where::Suffix, "ASF", StreamMms},
    {Where::Suffix, "WVX", StreamMms},
    {Where::Suffix, "RAM", StreamRtsp},
    {Where::Suffix, "SMIL", StreamRtsp},
    {Where::Suffix, "RAMX", StreamRtsp},
    {Where::Suffix, "SMI", StreamRtsp},
    {Where::Suffix, "RPM", StreamRtsp},
    {Where::Suffix, "PLS", StreamRtsp},
    {Where::Suffix, "RM", StreamRtsp},
    {Where::Suffix, "JPG", StreamWebcam},
    {Where::Suffix, "JPEG", StreamWebcam},
    {Where::Prefix, "HTTP", StreamMms},
}};

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

std::string ClassifyUrl(std::string_view url) {
  for (const ClassRule& rule : ClassRules) {
    const bool match =
        rule.where == Where::Prefix ? HasPrefix(url, rule.code) : HasSuffix(url, rule.code);
    if (match) {
      return std::string(rule.streamClass);
    }
  }
  return {};
}

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
