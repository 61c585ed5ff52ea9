#include "platform/archive/ZipExtract.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"
#include "tests/support/ZipMaker.h"

namespace telvanta::platform {
namespace {

namespace fs = std::filesystem;
using test::MakeZip;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;
using test::ZipEntry;
using test::ZipFile;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    names.push_back(fs::relative(entry.path(), folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(EntryStepsTest, KeepsOnlyPathsThatStayBelowTheFolder) {
  using Steps = std::vector<std::string>;
  const struct {
    const char* stored;
    std::optional<Steps> steps;
  } cases[] = {
      {"listv2.dll", Steps{"listv2.dll"}},
      {"skins/blue/a.txt", Steps{"skins", "blue", "a.txt"}},
      {"skins\\blue\\a.txt", Steps{"skins", "blue", "a.txt"}},
      {"./a//b/", Steps{"a", "b"}},
      {"..a/b..", Steps{"..a", "b.."}},
      {"../escape", std::nullopt},
      {"a/../../escape", std::nullopt},
      {"a\\..\\b", std::nullopt},
      {"/etc/passwd", std::nullopt},
      {"\\windows\\x", std::nullopt},
      {"", std::nullopt},
      {"./", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(EntrySteps(c.stored), c.steps);
  }
}

class ZipExtractTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(target_); }
  TempFolder root_{"telvanta-zip"};
  fs::path target_ = root_ / "target";
  fs::path zip_ = root_ / "listv2.zip";
};

TEST_F(ZipExtractTest, WritesFilesAndFoldersAndReplacesOldFiles) {
  WriteFile(target_ / "listv2.dll", "old catalogue");
  MakeZip(zip_, {ZipFile("listv2.dll", "new catalogue"),
                 {"Skins/", "", ZipEntry::Kind::Folder},
                 ZipFile("Skins/blue/skin.txt", "blue"),
                 {"empty/", "", ZipEntry::Kind::Folder}});
  const ExtractReport report = ExtractZip(zip_, target_);
  EXPECT_TRUE(report.opened);
  EXPECT_EQ(report.written, 2);
  EXPECT_EQ(report.refused + report.failed, 0);
  EXPECT_EQ(ReadFile(target_ / "listv2.dll"), "new catalogue");
  EXPECT_EQ(ReadFile(target_ / "Skins/blue/skin.txt"), "blue");
  EXPECT_EQ(Names(target_), (std::vector<std::string>{"Skins", "Skins/blue", "Skins/blue/skin.txt",
                                                      "empty", "listv2.dll"}));
}

// A crafted archive must write nothing outside the folder, and the good
// entries beside the hostile ones still arrive. (ZIP has no hard links.)
TEST_F(ZipExtractTest, HostileEntriesWriteNothingOutsideTheFolder) {
  const std::string outside = (root_ / "outside.txt").string();
  const struct {
    const char* what;
    ZipEntry entry;
  } cases[] = {
      {"dot-dot", ZipFile("../outside.txt", "x")},
      {"deep dot-dot", ZipFile("a/../../outside.txt", "x")},
      {"absolute", ZipFile(outside, "x")},
      {"symbolic link", {"link", root_.Path().string(), ZipEntry::Kind::Symlink}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(target_);
    fs::create_directories(target_);
    MakeZip(zip_, {c.entry, ZipFile("good.txt", "good")});
    const ExtractReport report = ExtractZip(zip_, target_);
    EXPECT_EQ(report.refused, 1);
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(Names(target_), std::vector<std::string>{"good.txt"});
    EXPECT_EQ(Names(root_.Path()),
              (std::vector<std::string>{"listv2.zip", "target", "target/good.txt"}));
  }
}

// A link already lying in the folder must not lead an entry out of it.
TEST_F(ZipExtractTest, DoesNotFollowALinkAlreadyInTheFolder) {
  fs::create_directories(root_ / "elsewhere");
  fs::create_directory_symlink(root_ / "elsewhere", target_ / "Skins");
  MakeZip(zip_, {ZipFile("Skins/evil.txt", "x")});
  const ExtractReport report = ExtractZip(zip_, target_);
  EXPECT_EQ(report.written, 0);
  EXPECT_EQ(report.failed, 1);
  EXPECT_TRUE(fs::is_empty(root_ / "elsewhere"));
}

// The catalogue in use must survive a refresh that dies half way: the old
// file stays whole and no temporary is left beside it.
TEST_F(ZipExtractTest, ABrokenOrCancelledArchiveLeavesTheOldFileWhole) {
  std::mt19937 random(7);
  std::string noise(512 * 1024, '\0');
  for (char& c : noise) {
    c = static_cast<char>(random());
  }
  MakeZip(zip_, {ZipFile("listv2.dll", noise)});
  const std::string whole = ReadFile(zip_);
  std::atomic<bool> cancelled{true};
  const struct {
    const char* what;
    std::string archive;
    const std::atomic<bool>* cancel;
  } cases[] = {
      {"cut in the middle of the data", whole.substr(0, whole.size() / 2), nullptr},
      {"cut inside the first header", whole.substr(0, 20), nullptr},
      {"not an archive at all", "PK but nothing else", nullptr},
      {"cancelled", whole, &cancelled},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(target_ / "listv2.dll", "old catalogue");
    WriteFile(zip_, c.archive);
    const ExtractReport report = ExtractZip(zip_, target_, c.cancel);
    EXPECT_EQ(report.written, 0);
    EXPECT_EQ(ReadFile(target_ / "listv2.dll"), "old catalogue");
    EXPECT_EQ(Names(target_), std::vector<std::string>{"listv2.dll"});
  }
}

// A few kilobytes from the server must not fill the user's disk.
TEST_F(ZipExtractTest, StopsAtTheByteLimit) {
  MakeZip(zip_, {ZipFile("small.txt", std::string(1000, 'a')),
                 ZipFile("listv2.dll", std::string(100000, 'b')), ZipFile("late.txt", "c")});
  WriteFile(target_ / "listv2.dll", "old catalogue");
  const ExtractReport report = ExtractZip(zip_, target_, nullptr, 50000);
  EXPECT_EQ(report.written, 1);
  EXPECT_EQ(report.failed, 1);
  EXPECT_EQ(ReadFile(target_ / "listv2.dll"), "old catalogue");
  EXPECT_EQ(Names(target_), (std::vector<std::string>{"listv2.dll", "small.txt"}));
}

// Zeros compress a thousandfold: a small download must not fill the home
// folder with far more than a catalogue could be.
TEST_F(ZipExtractTest, TheDefaultLimitTakesACatalogueAndNotMuchMore) {
  const struct {
    const char* what;
    std::size_t size;
    bool written;
  } cases[] = {
      {"a catalogue of 8 MiB", std::size_t{8} << 20, true},
      {"65 MiB", std::size_t{65} << 20, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(target_);
    fs::create_directories(target_);
    MakeZip(zip_, {ZipFile("listv2.dll", std::string(c.size, '\0'))});
    const ExtractReport report = ExtractZip(zip_, target_);
    EXPECT_EQ(report.written, c.written ? 1 : 0);
    EXPECT_EQ(Names(target_),
              c.written ? std::vector<std::string>{"listv2.dll"} : std::vector<std::string>{});
  }
}

TEST_F(ZipExtractTest, AMissingArchiveOrFolderIsReportedNotThrown) {
  EXPECT_FALSE(ExtractZip(root_ / "none.zip", target_).opened);
  MakeZip(zip_, {ZipFile("a", "b")});
  EXPECT_FALSE(ExtractZip(zip_, root_ / "no-such-folder").opened);
}

}  // namespace
}  // namespace telvanta::platform
