// The settings store as the program sees it: ReadRegValue, WriteRegValue,
// DeleteRegValue and ExpandSystemRoot on a hive file in a temporary folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <optional>

#include "common/Error.h"
#include "platform/hive/HiveStore.h"
#include "platform/hive/RegistryHive.h"
#include "settings/Settings.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

// The temporary file a store writes beside the hive before renaming it.
std::string TemporaryOf(const std::filesystem::path& hive) {
  return hive.string() + "." + std::to_string(::getpid()) + ".tmp";
}

using test::ReadFile;
using test::WriteFile;

const std::string Header = "Windows Registry Editor Version 5.00\n\n";
const std::string Section = "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\n";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hive_ = folder_.Path() / "telvanta" / "settings.reg";
    SetRegistryHivePathForTesting(hive_);
    SetRegistryWarningHandler([this](const std::string& text) { warnings_.push_back(text); });
  }
  void TearDown() override {
    SetRegistryWarningHandler(nullptr);
    SetRegistryHivePathForTesting({});
  }

  void WriteHive(const std::string& values) { WriteFile(hive_, Header + Section + values); }

  platform::Hive ParsedHive() const {
    auto parsed = platform::ParseHive(ReadFile(hive_));
    EXPECT_TRUE(std::holds_alternative<platform::Hive>(parsed));
    return std::get_if<platform::Hive>(&parsed) ? std::get<platform::Hive>(parsed)
                                                : platform::Hive{};
  }

  std::optional<platform::HiveValue> Stored(std::string_view name) const {
    const platform::Hive hive = ParsedHive();
    const auto* key = hive.FindKey("HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora");
    const auto* value = key ? key->Find(name) : nullptr;
    return value ? std::optional(*value) : std::nullopt;
  }

  template <typename F>
  std::string ErrorText(F&& call) {
    try {
      call();
    } catch (const Error& error) {
      return error.what();
    }
    return "no error";
  }

  test::TempFolder folder_{"telvanta-reg"};
  std::filesystem::path hive_;
  std::vector<std::string> warnings_;
};

TEST_F(RegistryTest, FirstReadOnAFreshMachineLeavesAnEmptyKey) {
  EXPECT_EQ(ReadSetting("TopMost"), "");
  EXPECT_EQ(ReadFile(hive_), Header + Section + "\n");
  EXPECT_EQ(ReadSetting("AutoUpdate"), "");
  EXPECT_TRUE(warnings_.empty());
  struct stat st {};
  ASSERT_EQ(::stat(hive_.parent_path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // The private folder keeps it; the file itself follows the umask.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_EQ(::stat(hive_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST_F(RegistryTest, HandStoredValuesReadByTheirType) {
  WriteHive(
      "\"Dword1\"=dword:00000001\n"
      "\"Dword0\"=dword:00000000\n"
      "\"DwordAll\"=dword:ffffffff\n"
      "\"Bin2\"=hex:01,00\n"
      "\"BinAll\"=hex:ff,ff,ff,ff\n"
      "\"BinEmpty\"=hex:\n"
      "\"Multi\"=hex(7):61,00,00,00,00,00\n"
      "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n"
      "\"None\"=hex(0):41,00\n"
      "\"Text\"=\"a \\\"quoted\\\" C:\\\\path\"\n"
      "\"WideWithNul\"=hex(1):61,00,62,00,00,00,63,00,00,00\n"
      "\"ShortDword\"=hex(4):02,01\n"
      "\"Themed\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,\\\n"
      "  74,00,25,00,5c,00,78,00,00,00\n"
      "\"Shouted\"=hex(2):25,00,53,00,59,00,53,00,54,00,45,00,4d,00,52,00,4f,00,4f,00,\\\n"
      "  54,00,25,00,00,00\n");
  const std::pair<const char*, const char*> cases[] = {
      {"Dword1", "1"},
      {"Dword0", "0"},
      {"DwordAll", "-1"},
      {"Bin2", "1"},
      {"BinAll", "4294967295"},
      {"BinEmpty", "0"},
      {"Multi", ""},
      {"Qword", ""},
      {"None", ""},
      {"Text", "a \"quoted\" C:\\path"},
      {"WideWithNul", "ab"},
      {"ShortDword", "258"},
      {"Themed", "/usr/share\\x"},
      {"Shouted", "%SYSTEMROOT%"},
      {"dword1", "1"},
      {"Missing", ""},
  };
  for (const auto& [name, text] : cases) EXPECT_EQ(ReadSetting(name), text) << name;
  EXPECT_TRUE(warnings_.empty());
}

TEST_F(RegistryTest, OversizedNumbersRaiseTheirErrors) {
  WriteHive(
      "\"Big\"=hex:01,02,03,04,05,06,07,08\n"
      "\"Five\"=hex:01,02,03,04,05\n"
      "\"WideDword\"=hex(4):01,00,00,00,00,00,00,00\n");
  EXPECT_EQ(ErrorText([] { ReadSetting("Big"); }), "Invalid data type for 'Big'");
  EXPECT_EQ(ErrorText([] { ReadSetting("Five"); }), "Invalid data type for 'Five'");
  EXPECT_EQ(ErrorText([] { ReadSetting("WideDword"); }), "Failed to get data for 'WideDword'");
}

TEST(ExpandSystemRoot, ReplacesOnlyTheExactCaseSensitiveText) {
  const std::pair<const char*, const char*> cases[] = {
      {"%SystemRoot%\\Resources\\Themes\\luna.msstyles",
       "/usr/share\\Resources\\Themes\\luna.msstyles"},
      {"a%SystemRoot%b%SystemRoot%", "a/usr/shareb/usr/share"},
      {"%SystemRoot%%SystemRoot%", "/usr/share/usr/share"},
      {"%systemroot%\\x", "%systemroot%\\x"},
      {"%SYSTEMROOT%", "%SYSTEMROOT%"},
      {"%windir%\\x", "%windir%\\x"},
      {"%SystemRoot", "%SystemRoot"},
      {"%%SystemRoot%%", "%/usr/share%"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ExpandSystemRoot(in), out) << in;
}

TEST_F(RegistryTest, WriteKindsStoreTheirTypes) {
  struct Case {
    int kind;
    const char* text;
    const char* line;  // as it appears in the file
    const char* read;
  };
  const Case cases[] = {
      {1, "x", "\"V\"=\"x\"", "x"},
      {1, "", "\"V\"=\"\"", ""},
      {2, "10", "\"V\"=dword:0000000a", "10"},
      {2, "-1", "\"V\"=dword:ffffffff", "-1"},
      {2, "-2147483648", "\"V\"=dword:80000000", "-2147483648"},
      {2, "$FF", "\"V\"=dword:000000ff", "255"},
      {2, "0xFFFFFFFF", "\"V\"=dword:ffffffff", "-1"},
      {3, "258", "\"V\"=hex:02,01,00,00", "258"},
      {3, "-1", "\"V\"=hex:ff,ff,ff,ff", "4294967295"},
      {3, "4294967296", "\"V\"=hex:00,00,00,00", "0"},
      {3, "9223372036854775807", "\"V\"=hex:ff,ff,ff,ff", "4294967295"},
  };
  for (const auto& c : cases) {
    WriteRegValue(HKEY_CURRENT_USER, SettingsKey, "V", c.kind, c.text);
    EXPECT_EQ(ReadFile(hive_), Header + Section + c.line + "\n\n") << c.kind << " " << c.text;
    EXPECT_EQ(ReadSetting("V"), c.read) << c.kind << " " << c.text;
  }
}

TEST_F(RegistryTest, NonIntegerTextRaisesAndWritesNothing) {
  WriteSetting("V", "old");
  const std::string before = ReadFile(hive_);
  const std::pair<int, const char*> cases[] = {
      {2, "abc"},
      {2, ""},
      {2, "1.5"},
      {2, " 1"},
      {2, "1 "},
      {2, "-"},
      {2, "$"},
      {2, "2147483648"},
      {2, "0x100000000"},
      {2, "-2147483649"},
      {3, "x"},
      {3, "0x"},
      {3, "9223372036854775808"},
  };
  for (const auto& [kind, text] : cases) {
    EXPECT_EQ(ErrorText([&] { WriteRegValue(HKEY_CURRENT_USER, SettingsKey, "V", kind, text); }),
              "'" + std::string(text) + "' is not a valid integer value");
  }
  EXPECT_EQ(ReadFile(hive_), before);
  EXPECT_EQ(ReadSetting("V"), "old");
}

TEST_F(RegistryTest, ConversionErrorStillLeavesTheKeyBehind) {
  EXPECT_THROW(WriteRegValue(HKEY_CURRENT_USER, SettingsKey, "V", 2, "abc"), Error);
  EXPECT_EQ(ReadFile(hive_), Header + Section + "\n");
}

TEST_F(RegistryTest, UnknownKindWritesNothing) {
  WriteRegValue(HKEY_CURRENT_USER, SettingsKey, "V", 4, "1");
  WriteRegValue(HKEY_CURRENT_USER, SettingsKey, "V", 0, "1");
  EXPECT_EQ(ReadFile(hive_), Header + Section + "\n");
}

TEST_F(RegistryTest, StringWriteReplacesAValueOfAnyType) {
  WriteHive("\"TopMost\"=dword:00000001\n\"Other\"=hex(7):00,00\n");
  WriteSetting("topmost", "0");
  const auto stored = Stored("TopMost");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->name, "TopMost");  // the spelling that was there
  EXPECT_EQ(stored->type, platform::RegSz);
  EXPECT_EQ(ReadSetting("TopMost"), "0");
  EXPECT_TRUE(Stored("Other"));
}

TEST_F(RegistryTest, TextsSurviveTheFileWhateverTheyHold) {
  const std::string texts[] = {
      "C:\\Skins\\a \"b\".msstyles",
      "line one\nline two\r\n",
      "caf\xC3\xA9 \xE2\x82\xAC",
      "\xFF\xFE not UTF-8 \xC3",
      "trailing backslash\\",
      "  spaced  ",
      "; not a comment",
      "[not a key]",
  };
  for (const auto& text : texts) {
    WriteSetting("LastText", text);
    EXPECT_EQ(ReadSetting("LastText"), text);
  }
  WriteSetting("LastText", std::string("a\0b", 3));
  EXPECT_EQ(ReadSetting("LastText"), "a");  // read up to the first NUL
  EXPECT_NE(ReadFile(hive_).find("\"LastText\"=hex(1):61,00,00,00,62,00,00,00"), std::string::npos);
}

TEST_F(RegistryTest, EightBitTextIsStoredAsItsBytes) {
  WriteSetting("ThemeFile", "/home/m\xC3\xA9/\xFF.skin");
  EXPECT_EQ(ReadFile(hive_), Header + Section + "\"ThemeFile\"=\"/home/m\xC3\xA9/\xFF.skin\"\n\n");
}

TEST_F(RegistryTest, DeletingRemovesOnlyThatValueAndAnAbsentOneIsSilent) {
  WriteSetting("AutoUpdate", "1");
  WriteSetting("FilterCountry", "France");
  DeleteSetting("AutoUpdate");
  EXPECT_FALSE(Stored("AutoUpdate"));
  EXPECT_EQ(ReadSetting("FilterCountry"), "France");
  const std::string before = ReadFile(hive_);
  DeleteSetting("AutoUpdate");
  DeleteSetting("NeverThere");
  EXPECT_EQ(ReadFile(hive_), before);
  EXPECT_TRUE(warnings_.empty());
}

TEST_F(RegistryTest, DeleteOnAFreshMachineLeavesTheKey) {
  DeleteSetting("FilterType");
  EXPECT_EQ(ReadFile(hive_), Header + Section + "\n");
}

TEST_F(RegistryTest, HandEditedHiveKeepsEverythingElseOnRewrite) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
      "; my settings\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Kept\"=hex(b):01,02,03,04,05,06,07,08\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\r\n"
      "; stays on top\r\n"
      "\"TopMost\"=\"1\"\r\n"
      "\"Multi\"=hex(7):61,00,00,00,\\\r\n"
      "  62,00,00,00,00,00\r\n"
      "@=\"default\"\r\n";
  WriteFile(hive_, text);
  EXPECT_EQ(ReadSetting("TopMost"), "1");
  auto expected = std::get<platform::Hive>(platform::ParseHive(text));
  expected.FindKey("HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora")
      ->Set(platform::StringValue("Stretch", "1"));
  WriteSetting("Stretch", "1");
  EXPECT_EQ(ParsedHive(), expected);
  EXPECT_EQ(ReadSetting("Multi"), "");
  EXPECT_TRUE(warnings_.empty());
}

constexpr std::string_view HeldBack =
    ".\nThe file is left as it is, and changes to the settings are not saved until ";

// Every access a session makes: the reads at start-up, a change, a deletion
// and the writes at exit. None may raise for the store's sake.
std::vector<std::string> ASessionsReads() {
  std::vector<std::string> read;
  for (const char* name : {"Stretch", "FirstRun", "OnStartupDisplay"}) {
    read.push_back(ReadSetting(name));
  }
  WriteSetting("Stretch", "0");
  DeleteSetting("FilterCountry");
  WriteSetting("Day", "today");
  WriteSetting("FirstRun", "1");
  return read;
}

TEST_F(RegistryTest, DamagedLineIsToldOnceAndTheRestIsStillRead) {
  struct Case {
    std::string text;
    int line;
    std::string told;  // after the path
    std::vector<std::string> read;
  };
  const Case cases[] = {
      {Header + Section + "\"Stretch\"=\"1\"\n\"Broken\"=dword:zzzz\n\"FirstRun\"=\"1\"\n",
       5,
       ": bad dword" + std::string(HeldBack) + "that line is corrected or removed.",
       {"1", "1", ""}},
      {"not a hive at all\n", 1, ": not a registry file", {"", "", ""}},
      {Header + Section + "\"OnStartupDisplay\"=\"Radio\"\n\"TopMost\"=\"1\n",
       5,
       ": unterminated quoted text",
       {"", "", "Radio"}},
  };
  for (const auto& c : cases) {
    WriteFile(hive_, c.text);
    SetRegistryHivePathForTesting(hive_);  // a new session
    warnings_.clear();
    EXPECT_EQ(ASessionsReads(), c.read);
    EXPECT_EQ(ReadFile(hive_), c.text) << "held back, nothing rewritten";
    ASSERT_EQ(warnings_.size(), 1u) << c.text;
    EXPECT_TRUE(warnings_[0].starts_with("Settings can't be read from line " +
                                         std::to_string(c.line) + " of " + hive_.string() + c.told))
        << warnings_[0];
  }
  EXPECT_FALSE(std::filesystem::exists(TemporaryOf(hive_)));
  // Once mended, changes are saved again.
  WriteHive("\"Stretch\"=\"1\"\n");
  WriteSetting("FirstRun", "1");
  EXPECT_EQ(ReadFile(hive_), Header + Section + "\"Stretch\"=\"1\"\n\"FirstRun\"=\"1\"\n\n");
}

TEST_F(RegistryTest, HiveThatCannotBeReadIsToldOnceAndNeverWritten) {
  std::filesystem::create_directories(hive_);  // a folder where the file should be
  EXPECT_EQ(ASessionsReads(), std::vector<std::string>(3));
  EXPECT_EQ(warnings_, std::vector<std::string>{"Settings can't be read from " + hive_.string() +
                                                ": Is a directory" + std::string(HeldBack) +
                                                "it can be read."});
  EXPECT_TRUE(std::filesystem::is_empty(hive_));
}

// The settings folder can't be made: reads give the defaults silently, the
// first change says once why nothing is saved, and the program carries on.
TEST_F(RegistryTest, StoreThatCannotBeWrittenGivesDefaultsAndIsToldOnce) {
  struct Case {
    const char* what;
    std::function<void()> block;
    const char* reason;
  };
  const auto configFolder = hive_.parent_path().parent_path() / "config";
  const Case cases[] = {
      {"a file where the folder should be", [&] { WriteFile(configFolder, "x"); },
       "Not a directory"},
      {"a read-only parent folder",
       [&] {
         std::filesystem::create_directories(configFolder);
         std::filesystem::permissions(configFolder, std::filesystem::perms(0555));
       },
       "Permission denied"},
  };
  for (const auto& c : cases) {
    if (::geteuid() == 0 && std::string_view(c.reason) == "Permission denied") {
      continue;  // root writes whatever the modes say
    }
    std::filesystem::remove_all(configFolder);
    c.block();
    const auto hive = configFolder / "telvanta" / "settings.reg";
    SetRegistryHivePathForTesting(hive);
    warnings_.clear();
    EXPECT_EQ(ASessionsReads(), std::vector<std::string>(3)) << c.what;
    EXPECT_EQ(warnings_, std::vector<std::string>{"Settings can't be saved to " + hive.string() +
                                                  ": " + c.reason})
        << c.what;
    std::filesystem::permissions(configFolder, std::filesystem::perms(0755));
  }
  EXPECT_EQ(ErrorText([] { ReadRegValue(HKEY_CURRENT_USER, "Bad\nKey", "A"); }),
            "Failed to create key Bad\nKey");
}

TEST_F(RegistryTest, MissingKeyThatCannotBeWrittenReadsEmptyAndKeepsTheHive) {
  const std::string other = Header + "[HKEY_CURRENT_USER\\Software\\Other]\n\n";
  WriteFile(hive_, other);
  std::filesystem::create_directories(TemporaryOf(hive_));  // blocks the temporary file
  EXPECT_EQ(ReadSetting("TopMost"), "");
  EXPECT_TRUE(warnings_.empty());
  WriteSetting("TopMost", "1");
  EXPECT_EQ(warnings_, std::vector<std::string>{"Settings can't be saved to " + hive_.string() +
                                                ": Is a directory"});
  EXPECT_EQ(ReadFile(hive_), other);
}

// With the key in place, a change that can't be stored names the value.
TEST_F(RegistryTest, FailedStoreOnAnExistingKeyNamesTheValueOnceAndKeepsTheHive) {
  const std::pair<std::string, const char*> blockers[] = {
      {hive_.string() + ".lock", "lock"},
      {TemporaryOf(hive_), "temporary file"},
  };
  for (const auto& [blocker, what] : blockers) {
    SetRegistryHivePathForTesting(hive_);
    warnings_.clear();
    WriteSetting("TopMost", "1");
    const std::string before = ReadFile(hive_);
    std::filesystem::remove(blocker);
    std::filesystem::create_directories(blocker);
    WriteSetting("TopMost", "0");
    DeleteSetting("TopMost");
    WriteSetting("Stretch", "1");
    EXPECT_EQ(warnings_, std::vector<std::string>{"Failed to set data for 'TopMost'\n"
                                                  "Settings can't be saved to " +
                                                  hive_.string() + ": Is a directory"})
        << what;
    EXPECT_EQ(ReadFile(hive_), before) << what;
    EXPECT_EQ(ReadSetting("TopMost"), "1") << what;
    std::filesystem::remove(blocker);
  }
}

TEST_F(RegistryTest, NameTheFileCannotHoldRaisesAndWritesNothing) {
  ReadSetting("TopMost");
  const std::string before = ReadFile(hive_);
  EXPECT_EQ(ErrorText([] { WriteSetting("Two\nLines", "x"); }),
            "Failed to set data for 'Two\nLines'");
  EXPECT_EQ(ReadFile(hive_), before);
  EXPECT_EQ(ReadSetting("Two\nLines"), "");
}

TEST_F(RegistryTest, RewriteKeepsTheFileModeAndASymbolicLink) {
  const auto real = folder_.Path() / "dotfiles" / "settings.reg";
  WriteFile(real, Header + Section);
  std::filesystem::permissions(real, std::filesystem::perms(0640));
  std::filesystem::create_directories(hive_.parent_path());
  std::filesystem::create_symlink(real, hive_);
  WriteSetting("TopMost", "1");
  EXPECT_TRUE(std::filesystem::is_symlink(hive_));
  EXPECT_EQ(ReadFile(real), Header + Section + "\"TopMost\"=\"1\"\n\n");
  EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0640));
}

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DefaultHivePath, FollowsTheBaseDirectoryRules) {
  ScopedEnv home("HOME", "/home/tester");
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(platform::DefaultHivePath(), "/cfg/telvanta/settings.reg");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/cfg");  // must be ignored
    EXPECT_EQ(platform::DefaultHivePath(), "/home/tester/.config/telvanta/settings.reg");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(platform::DefaultHivePath(), "/home/tester/.config/telvanta/settings.reg");
  }
}

}  // namespace
}  // namespace telvanta
