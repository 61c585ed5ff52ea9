#include "update/ProfileIni.h"

#include <gtest/gtest.h>

#include <string>

namespace telvanta {
namespace {

TEST(ProfileIniTest, ReadsAsTheWindowsProfileReaderDoes) {
  const std::string longValue(3000, 'a');
  const struct {
    const char* what;
    std::string ini;
    std::string section;
    std::string key;
    std::string defaultValue;
    std::string value;
  } cases[] = {
      {"plain", "[7.2.0.0]\nAnnounce=Hello\n", "7.2.0.0", "Announce", "", "Hello"},
      {"names ignore letter case", "[CURRENT]\nversion=7.3\n", "Current", "Version", "0", "7.3"},
      {"blanks around names and values", "  [ Current ]  \n  Version  =  7.3  \n", "Current",
       "Version", "0", "7.3"},
      {"CR LF lines", "[Current]\r\nVersion=7.3\r\n", "Current", "Version", "0", "7.3"},
      {"byte order mark before the first section", "\xEF\xBB\xBF[Current]\nVersion=7.3\n",
       "Current", "Version", "0", "7.3"},
      {"quotes around a value go", "[s]\nk=\" spaced \"\n", "s", "k", "", " spaced "},
      {"a lone quote stays", "[s]\nk=\"open\n", "s", "k", "", "\"open"},
      {"an empty value is not the default", "[Current]\nVersion=\n", "Current", "Version", "0", ""},
      {"missing section gives the default", "[Other]\nVersion=7.3\n", "Current", "Version", "0",
       "0"},
      {"missing key gives the default", "[Current]\nVersio=7.3\n", "Current", "Version", "0", "0"},
      {"a key of the next section is not ours", "[Current]\n[Next]\nVersion=7.3\n", "Current",
       "Version", "0", "0"},
      {"a comment is no key", "[s]\n;k=hidden\n", "s", "k", "none", "none"},
      {"an equals sign inside the value stays", "[s]\nURL=http://h/?a=b\n", "s", "URL", "",
       "http://h/?a=b"},
      {"the first key of that name wins", "[s]\nk=one\nk=two\n", "s", "k", "", "one"},
      {"a later section of the same name is read", "[s]\n[t]\n[S]\nk=late\n", "s", "k", "", "late"},
      {"a value is cut to 2047 characters", "[s]\nk=" + longValue + "\n", "s", "k", "",
       longValue.substr(0, 2047)},
      {"so is the default", "", "s", "k", longValue, longValue.substr(0, 2047)},
      {"the last line needs no line end", "[s]\nk=end", "s", "k", "", "end"},
      {"not an INI text at all", std::string("\0\x01garbage", 9), "s", "k", "d", "d"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetPrivateProfileString(c.ini, c.section, c.key, c.defaultValue), c.value) << c.what;
  }
}

}  // namespace
}  // namespace telvanta
