#include "common/ProgramPaths.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <locale.h>

#if defined(__SANITIZE_ADDRESS__)
#define TELVANTA_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TELVANTA_LSAN 1
#endif
#endif
#ifdef TELVANTA_LSAN
#include <sanitizer/lsan_interface.h>
#endif

namespace telvanta {
namespace {

// Sets or clears environment variables for one test and restores them.
class ScopedEnv {
 public:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        ::unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(ProgramFolder, IsTheFolderOfTheRunningTestWithATrailingSlash) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(folder.front(), '/');
  EXPECT_TRUE(std::filesystem::exists(folder + "ProgramPathsTest"));
}

TEST(ProgramFolder, OverrideGetsOneTrailingSlashAndEmptyRestoresTheDefault) {
  const std::string real = ProgramFolder();
  SetProgramFolderForTesting("/opt/telvanta");
  EXPECT_EQ(ProgramFolder(), "/opt/telvanta/");
  SetProgramFolderForTesting("/opt/telvanta/");
  EXPECT_EQ(ProgramFolder(), "/opt/telvanta/");
  SetProgramFolderForTesting({});
  EXPECT_EQ(ProgramFolder(), real);
}

// An install keeps its files beside bin/, wherever the prefix; the build
// folder, and a bin/ with nothing beside it, keep all with the program.
TEST(ProgramFolder, FoundBesideTheExecutableInAnInstallElseWithIt) {
  test::TempFolder root;
  const auto at = [&root](const char* folder) { return (root / folder).string(); };
  std::filesystem::create_directories(root / "prefix/bin");
  std::filesystem::create_directories(root / "prefix/share/telvanta");
  std::filesystem::create_directories(root / "lone/bin");
  std::filesystem::create_directories(root / "build");
  EXPECT_EQ(ProgramFoldersBeside(root / "prefix/bin"),
            (ProgramFolders{at("prefix/share/telvanta/"), at("prefix/lib/telvanta/")}));
  EXPECT_EQ(ProgramFoldersBeside(root / "lone/bin"),
            (ProgramFolders{at("lone/bin/"), at("lone/bin/")}));
  EXPECT_EQ(ProgramFoldersBeside(root / "build"), (ProgramFolders{at("build/"), at("build/")}));
}

TEST(DownloadFolder, UsesTmpdirElseTmpWithOneTrailingSlash) {
  ScopedEnv env;
  env.Set("TMPDIR", "/var/tmp/telvanta");
  EXPECT_EQ(DownloadFolder(), "/var/tmp/telvanta/");
  env.Set("TMPDIR", "/var/tmp/telvanta/");
  EXPECT_EQ(DownloadFolder(), "/var/tmp/telvanta/");
  env.Set("TMPDIR", "");
  EXPECT_EQ(DownloadFolder(), "/tmp/");
  env.Set("TMPDIR", nullptr);
  EXPECT_EQ(DownloadFolder(), "/tmp/");
}

// Today's date in the given format under the C locale.
std::string Today(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &local));
}

// Taken before and after, so a midnight in between cannot fail the test.
::testing::AssertionResult IsToday(const std::string& before, const std::string& text,
                                   const std::string& after) {
  if (text == before || text == after) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << '"' << text << "\" is not \"" << after << '"';
}

TEST(DateText, CLocaleGivesMonthDayYearAndLeavesTheGlobalLocale) {
  ScopedEnv env;
  env.Set("LC_ALL", "C");
  const std::string globalBefore = std::setlocale(LC_ALL, nullptr);
  const std::string before = Today("%m/%d/%y");
  const std::string text = DateText();
  EXPECT_TRUE(IsToday(before, text, Today("%m/%d/%y")));
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), globalBefore);
}

TEST(DateText, UnknownLocaleFallsBackToTheCFormat) {
  ScopedEnv env;
  env.Set("LC_ALL", "xx_NOWHERE.UTF-8");
  const std::string before = Today("%m/%d/%y");
  const std::string text = DateText();
  EXPECT_TRUE(IsToday(before, text, Today("%m/%d/%y")));
}

// A German short date (dd.mm.yyyy) proves the user's LC_TIME is honoured;
// the locale is compiled into a temporary folder, so the host needs none.
TEST(DateText, FollowsTheUsersTimeLocale) {
  test::TempFolder folder;
  const std::string command =
      "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0 ||
      !std::filesystem::exists(folder.Path() / "de_DE.UTF-8")) {
    GTEST_SKIP() << "localedef or the de_DE locale source is missing";
  }
  ScopedEnv env;
  env.Set("LOCPATH", folder.Path().c_str());
  env.Set("LC_ALL", nullptr);
  env.Set("LC_TIME", "de_DE.UTF-8");
  const std::string before = Today("%d.%m.%Y");
#ifdef TELVANTA_LSAN
  // glibc's newlocale never frees its copy of LOCPATH.
  __lsan_disable();
#endif
  const std::string text = DateText();
#ifdef TELVANTA_LSAN
  __lsan_enable();
#endif
  EXPECT_TRUE(IsToday(before, text, Today("%d.%m.%Y")));
}

}  // namespace
}  // namespace telvanta
