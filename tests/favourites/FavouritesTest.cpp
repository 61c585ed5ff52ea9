#include "favourites/Favourites.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "common/DesCipher.h"
#include "common/Error.h"
#include "common/Files.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

using Lines = std::vector<std::string>;

std::string Hex(std::string_view url) { return DesEncryptHex(url, StationKey); }

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return {};
}

TEST(FavouriteLines, SplitAtEveryKindOfBreakAndStopAtNul) {
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a|1\r\n", {"a|1"}},
      {"a|1", {"a|1"}},  // last line without a break counts
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},  // a blank line is an entry
      {"a\n\rb", {"a", "", "b"}},          // LF CR is two breaks
      {std::string("a\r\nb\0c\r\n", 7), {"a", "b"}},
      {"a|b|c\r\n", {"a|b|c"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitFavouriteLines(c.text), c.lines) << c.text;
  }
  EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(FavouriteLines, LoadSplitsAtTheFirstBarAndKeepsListsInStep) {
  const Lines lines = {"One|" + Hex("mms://h/a"),
                       "",
                       "Cam|" + Hex("http://h/c.jpg"),
                       "Odd|" + Hex("ftp://h/x"),
                       "Bars|in|name",
                       "No bar",
                       "Rtsp|" + Hex("rtsp://h/s")};
  StationList list;
  // "in|name" is not hex: the load stops there, with what came before.
  EXPECT_EQ(ErrorText([&] { LoadFavourites(lines, list); }), "Error: not a Hex String");
  EXPECT_EQ(list.entries, (Lines{"One", "", "Cam", "Odd"}));
  EXPECT_EQ(list.urls, (Lines{"mms://h/a", "", "http://h/c.jpg", "ftp://h/x"}));
  EXPECT_EQ(list.streamClasses, (std::vector<StreamClass>{StreamClass::Mms, StreamClass::None,
                                                          StreamClass::Webcam, StreamClass::None}));

  LoadFavourites({"No bar", "Rtsp|" + Hex("rtsp://h/s")}, list);
  EXPECT_EQ(list.entries, (Lines{"No bar", "Rtsp"}));
  EXPECT_EQ(list.urls, (Lines{"", "rtsp://h/s"}));
}

class FavouritesFileTest : public ::testing::Test {
 protected:
  test::TempFolder folder_{"telvanta-fav"};
  FavouritesFile file_{folder_ / "data" / "telvanta" / "Fav.dat"};
};

TEST_F(FavouritesFileTest, AddRenameDeleteRoundTrip) {
  EXPECT_EQ(file_.Lines(), Lines{});  // no file: an empty list
  file_.Add("Canada - One(300k)", "mms://h/one");
  EXPECT_EQ(test::ReadFile(file_.Path()), "Canada - One(300k)|" + Hex("mms://h/one") + "\r\n");

  file_.Add("Canada - One(300k)", "mms://h/one");  // duplicates are kept
  file_.Add("  ", "rtsp://h/two ");                // nothing trimmed
  file_.Rename(1, "Mine", "mms://h/one");
  EXPECT_EQ(file_.Lines(), (Lines{"Canada - One(300k)|" + Hex("mms://h/one"),
                                  "Mine|" + Hex("mms://h/one"), "  |" + Hex("rtsp://h/two ")}));

  file_.Delete(0);
  file_.Delete(7);  // names no line: nothing goes
  EXPECT_EQ(file_.Lines().size(), 2U);
  file_.Delete(0);
  file_.Delete(0);
  EXPECT_TRUE(std::filesystem::exists(file_.Path()));  // the only one deleted: an empty file
  EXPECT_EQ(test::ReadFile(file_.Path()), "");
}

TEST_F(FavouritesFileTest, RenameRewritesTheCipherTextAndEveryBreak) {
  std::string lower = Hex("mms://h/a");
  for (char& c : lower) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  test::WriteFile(file_.Path(), "A|" + lower + "\nB|" + Hex("rtsp://h/b"));
  StationList list;
  LoadFavourites(file_.Lines(), list);
  file_.Rename(0, "New", list.urls[0]);
  EXPECT_EQ(test::ReadFile(file_.Path()),
            "New|" + Hex("mms://h/a") + "\r\nB|" + Hex("rtsp://h/b") + "\r\n");
}

TEST_F(FavouritesFileTest, BadNamesAndIndexesChangeNothing) {
  file_.Add("A", "mms://h/a");
  const std::string before = test::ReadFile(file_.Path());
  const struct {
    std::function<void()> action;
    std::string error;
  } cases[] = {
      {[&] { file_.Add("A|B", "mms://h/b"); }, "A display name cannot contain \"|\"."},
      {[&] { file_.Rename(0, "x|y", "mms://h/b"); }, "A display name cannot contain \"|\"."},
      {[&] { file_.Add("A\r\nB", "mms://h/b"); }, "A display name cannot contain a line break."},
      {[&] { file_.Rename(-1, "B", "mms://h/b"); }, "List index out of bounds (-1)"},
      {[&] { file_.Rename(1, "B", "mms://h/b"); }, "List index out of bounds (1)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorText(c.action), c.error);
    EXPECT_EQ(test::ReadFile(file_.Path()), before) << c.error;
  }
}

// Text after a NUL, or from a line that does not decipher on, can't be read;
// it used to be dropped at the next change. Every change keeps it byte for
// byte after the favourites, and a new favourite goes before it, so it shows.
TEST_F(FavouritesFileTest, UnreadableTextSurvivesEveryChange) {
  const std::string a = "A|" + Hex("mms://h/a");
  const std::string b = "B|" + Hex("mms://h/b");
  const std::string n = "N|" + Hex("mms://h/n");
  const std::string afterNul = std::string("\0", 1) + "C|" + Hex("mms://h/c") + "\r\n\xff";
  const std::string damaged = "Bad|in|name\r\n" + b + "\r\n";
  const struct {
    const char* what;
    std::string text;
    std::function<void()> change;
    std::string expected;
    std::size_t damagedLine;
  } cases[] = {
      {"add, NUL", a + "\n" + b + afterNul, [&] { file_.Add("N", "mms://h/n"); },
       a + "\r\n" + b + "\r\n" + n + "\r\n" + afterNul, 0},
      {"delete, NUL in a line", a + "\r\n" + b + afterNul, [&] { file_.Delete(0); },
       b + "\r\n" + afterNul, 0},
      {"add, damaged line", a + "\r\n" + damaged + afterNul, [&] { file_.Add("N", "mms://h/n"); },
       a + "\r\n" + n + "\r\n" + damaged + afterNul, 2},
      {"rename, damaged line", a + "\r\n" + damaged, [&] { file_.Rename(0, "N", "mms://h/n"); },
       n + "\r\n" + damaged, 2},
      {"rename past the readable lines", a + "\r\n" + damaged,
       [&] {
         EXPECT_EQ(ErrorText([&] { file_.Rename(1, "N", "mms://h/n"); }),
                   "List index out of bounds (1)");
       },
       a + "\r\n" + damaged, 2},
      {"delete, damaged first line", damaged, [&] { file_.Delete(0); }, damaged, 1},
  };
  for (const auto& c : cases) {
    test::WriteFile(file_.Path(), c.text);
    EXPECT_EQ(file_.Read().damagedLine, c.damagedLine) << c.what;
    c.change();
    EXPECT_EQ(test::ReadFile(file_.Path()), c.expected) << c.what;
  }
}

// A full disk in the middle of the write must not cost the old list.
TEST_F(FavouritesFileTest, FailedWriteKeepsTheOldFile) {
  file_.Add("A", "mms://h/a");
  const std::string before = test::ReadFile(file_.Path());
  const std::string longName(4096, 'n');

  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 1024;  // the new text is longer: write() fails part way
  setrlimit(RLIMIT_FSIZE, &small);
  const std::string error = ErrorText([&] { file_.Add(longName, "mms://h/b"); });
  setrlimit(RLIMIT_FSIZE, &saved);

  EXPECT_EQ(error.rfind("Cannot create file \"" + file_.Path().string() + "\".", 0), 0U) << error;
  EXPECT_EQ(test::ReadFile(file_.Path()), before);
  std::size_t leftovers = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(file_.Path().parent_path())) {
    ++leftovers;
  }
  EXPECT_EQ(leftovers, 1U) << "the temporary file must go";
}

TEST_F(FavouritesFileTest, UnreadableFileIsAnErrorNotAnEmptyList) {
  std::filesystem::create_directories(file_.Path());  // a folder where the file should be
  EXPECT_EQ(ErrorText([&] { file_.Lines(); }).rfind("Cannot open file", 0), 0U);
  EXPECT_NE(ErrorText([&] { file_.Add("A", "mms://h/a"); }), "");
}

TEST(FavouritesPath, LivesInTheUsersDataFolder) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string restore = saved ? saved : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("XDG_DATA_HOME", "/srv/data", 1);
  EXPECT_EQ(DefaultFavouritesPath(), "/srv/data/telvanta/Fav.dat");
  ::setenv("XDG_DATA_HOME", "relative", 1);  // ignored, as the base directory rules say
  ::setenv("HOME", "/home/me", 1);
  EXPECT_EQ(DefaultFavouritesPath(), "/home/me/.local/share/telvanta/Fav.dat");
  ::setenv("HOME", home.c_str(), 1);
  if (saved) {
    ::setenv("XDG_DATA_HOME", restore.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
}

}  // namespace
}  // namespace telvanta
