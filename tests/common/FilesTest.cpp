// The atomic writer as the files it replaces are found on a user's disk.

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "common/Files.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;

mode_t ModeOf(const fs::path& file) {
  struct stat st {};
  EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
  return st.st_mode & 07777;
}

// Published and exported files were 0600 because the temporary's mode stuck;
// a kept file's own mode must survive its replacement.
TEST(ReplaceFile, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirMode) {
  TempFolder folder;
  const mode_t old = ::umask(022);
  ReplaceFile(folder / "new.txt", "a");
  ReplaceFile(folder / "private.txt", "a");
  ::chmod((folder / "private.txt").c_str(), 0600);
  ReplaceFile(folder / "private.txt", "b");
  ::umask(old);
  EXPECT_EQ(ModeOf(folder / "new.txt"), 0644u);
  EXPECT_EQ(ModeOf(folder / "private.txt"), 0600u);
  EXPECT_EQ(ReadFile(folder / "private.txt"), "b");
}

// A symbolic link to a file kept elsewhere became a plain file at the first write.
TEST(ReplaceFile, WritesThroughASymbolicLink) {
  TempFolder folder;
  fs::create_directory(folder / "elsewhere");
  ReplaceFile(folder / "elsewhere" / "Fav.dat", "old");
  fs::create_symlink("elsewhere/Fav.dat", folder / "Fav.dat");
  ReplaceFile(folder / "Fav.dat", "new");
  EXPECT_TRUE(fs::is_symlink(folder / "Fav.dat"));
  EXPECT_EQ(ReadFile(folder / "elsewhere" / "Fav.dat"), "new");
}

// A file the user made read-only was silently replaced by the rename.
TEST(ReplaceFile, RefusesAFileNobodyMayWriteAndKeepsIt) {
  TempFolder folder;
  ReplaceFile(folder / "Fav.dat", "kept");
  ::chmod((folder / "Fav.dat").c_str(), 0444);
  try {
    ReplaceFile(folder / "Fav.dat", "lost");
    FAIL() << "a read-only file was replaced";
  } catch (const FileError& error) {
    EXPECT_NE(std::string(error.what()).find("Cannot create file"), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(ReadFile(folder / "Fav.dat"), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace telvanta
