// The hive file format: parsing, writing and the text encodings of values.

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "platform/hive/RegistryHive.h"

namespace telvanta::platform {
namespace {

const std::string Nivora = "HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora";

Hive Parsed(std::string_view text) {
  auto result = ParseHive(text);
  if (auto* error = std::get_if<HiveParseError>(&result)) {
    ADD_FAILURE() << "line " << error->line << ": " << error->reason;
    return {};
  }
  return std::get<Hive>(std::move(result));
}

HiveValue Raw(std::string name, std::uint32_t type, std::vector<std::uint8_t> data) {
  return {std::move(name), type, std::move(data)};
}

std::vector<std::uint8_t> Utf16z(std::string_view text) {
  auto data = Utf16FromText(text);
  data.insert(data.end(), {0, 0});
  return data;
}

TEST(RegistryHiveParse, ReadsARegistryEditorExportWithCrlfBomAndContinuations) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; exported by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\r\n"
      "\"TopMost\"=dword:00000001\r\n"
      "\"ThemeFile\"=\"C:\\\\Skins\\\\Blue \\\"x\\\".msstyles\"\r\n"
      "@=\"default\"\r\n"
      "\"Multi\"=hex(7):61,00,00,00,\\\r\n"
      "  62,00,00,00,00,00\r\n"
      "  \"Spaced\" = \"x\"   \r\n"
      "; after the values\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      "\"Bin\"=hex:\r\n";
  Hive expected;
  expected.preamble = {{"; exported by hand"}};
  expected.keys.push_back(
      {Nivora,
       {Raw("TopMost", RegDword, {1, 0, 0, 0}),
        StringValue("ThemeFile", "C:\\Skins\\Blue \"x\".msstyles"), StringValue("", "default"),
        Raw("Multi", RegMultiSz, {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}), StringValue("Spaced", "x"),
        HiveComment{"; after the values"}}});
  expected.keys.push_back({"HKEY_CURRENT_USER\\Software\\Other",
                           {Raw("Q", 0xb, {1, 0, 0, 0, 0, 0, 0, 0}), Raw("Bin", RegBinary, {})}});
  EXPECT_EQ(Parsed(text), expected);
}

TEST(RegistryHiveParse, ReadsAUtf16FileAsTheRegistryEditorSavesIt) {
  const std::string utf8 =
      "Windows Registry Editor Version "
      "5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"Name\"=\"caf\xC3\xA9\"\r\n";
  const auto units = Utf16FromText(utf8);
  std::string text = "\xFF\xFE";
  text.append(units.begin(), units.end());
  const Hive hive = Parsed(text);
  ASSERT_EQ(hive.keys.size(), 1u);
  const HiveValue* value = hive.keys[0].Find("name");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(StringValueText(*value), "caf\xC3\xA9");
}

TEST(RegistryHiveParse, LaterDuplicatesWinAsAnImportWouldAndKeysMergeIgnoringCase) {
  const Hive hive = Parsed(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\n\"TopMost\"=\"0\"\n\"A\"=\"a\"\n"
      "[hkey_current_user\\software\\quillmoor\\nivora]\n\"topmost\"=\"1\"\n");
  ASSERT_EQ(hive.keys.size(), 1u);
  const HiveKey expected{Nivora, {StringValue("TopMost", "1"), StringValue("A", "a")}};
  EXPECT_EQ(hive.keys[0], expected);
}

TEST(RegistryHiveParse, EmptyFileIsAnEmptyHive) {
  EXPECT_EQ(Parsed(""), Hive{});
  EXPECT_EQ(Parsed("\n  \r\n"), Hive{});
}

TEST(RegistryHiveParse, RejectsWhatItCannotKeepFaithfully) {
  const std::string header = "Windows Registry Editor Version 5.00\n\n";
  const std::string key = header + "[HKEY_CURRENT_USER\\K]\n";
  struct Case {
    std::string text;
    int line;
  };
  const Case cases[] = {
      {"REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n", 1},   // other format
      {"garbage\n", 1},                              // no header
      {header + "\"A\"=\"x\"\n", 3},                 // value before any key
      {key + "\"A\"=\"unterminated\n", 4},           // open quote
      {key + "\"A\"=\"ends in backslash\\\"\n", 4},  // \" escapes the closing quote
      {key + "\"A\"=\"x\" trailing\n", 4},           // text after the quote
      {key + "\"A\"\n", 4},                          // no '='
      {key + "\"A\"=dword:123456789\n", 4},          // nine digits
      {key + "\"A\"=dword:12g4\n", 4},               // not hex
      {key + "\"A\"=hex:01,zz\n", 4},                // bad byte
      {key + "\"A\"=hex:01,,02\n", 4},               // empty byte
      {key + "\"A\"=hex:100\n", 4},                  // three digits
      {key + "\"A\"=hex(2:00\n", 4},                 // broken type
      {key + "\"A\"=hex()\n", 4},                    // empty type
      {key + "\"A\"=hex:01,\\\n", 4},                // continuation at end of file
      {key + "\"A\"=-\n", 4},                        // a deletion, not a value
      {header + "[-HKEY_CURRENT_USER\\K]\n", 3},     // a key deletion
      {header + "[]\n", 3},                          // empty key
      {header + "[HKEY_CURRENT_USER\\K\n", 3},       // unclosed key
      {key + "Name=\"x\"\n", 4},                     // unquoted name
  };
  for (const auto& c : cases) {
    const auto result = ParseHive(c.text);
    const auto* error = std::get_if<HiveParseError>(&result);
    ASSERT_NE(error, nullptr) << c.text;
    EXPECT_EQ(error->line, c.line) << c.text;
  }
}

TEST(RegistryHiveParse, LenientParseLeavesOutOnlyTheDamagedLines) {
  const std::string header = "Windows Registry Editor Version 5.00\n\n";
  const std::string key = header + "[" + Nivora + "]\n";
  struct Case {
    std::string text;
    int line;
    std::vector<HiveKey> keys;
  };
  const Case cases[] = {
      {key + "\"A\"=\"1\"\n\"Broken\"=dword:zzzz\n\"B\"=\"2\"\n",
       5,
       {{Nivora, {StringValue("A", "1"), StringValue("B", "2")}}}},
      // Values under a damaged key line go nowhere, not into the key before it.
      {key + "\"A\"=\"1\"\n[HKEY_CURRENT_USER\\Open\n\"X\"=\"x\"\n; gone\n[HKEY_CURRENT_USER\\K]\n"
             "\"B\"=\"2\"\n",
       5,
       {{Nivora, {StringValue("A", "1")}}, {"HKEY_CURRENT_USER\\K", {StringValue("B", "2")}}}},
      {"REGEDIT4\n\n[" + Nivora + "]\n\"A\"=\"1\"\n", 1, {{Nivora, {StringValue("A", "1")}}}},
      // A damaged multi-line value is reported where it begins.
      {key + "\"H\"=hex:01,\\\n  zz\n\"A\"=\"1\"\nstray\n", 4, {{Nivora, {StringValue("A", "1")}}}},
  };
  for (const auto& c : cases) {
    const HiveReading reading = ParseHiveLeniently(c.text);
    ASSERT_TRUE(reading.damage) << c.text;
    EXPECT_EQ(reading.damage->line, c.line) << c.text;
    EXPECT_EQ(reading.hive.keys, c.keys) << c.text;
  }
  EXPECT_FALSE(ParseHiveLeniently(key + "\"A\"=\"1\"\n").damage);
}

TEST(RegistryHiveWrite, WritesTheRegistryEditorFormat) {
  Hive hive;
  hive.preamble = {{"; kept by hand"}};
  hive.keys.push_back(
      {Nivora,
       {StringValue("ThemeFile", "C:\\Skins\\a \"b\".msstyles"), StringValue("", "x"),
        Raw("TopMost", RegDword, {0x0a, 0, 0, 0}), Raw("Bin", RegBinary, {1, 0}),
        Raw("Path", RegExpandSz, Utf16z("%A%")), HiveComment{"; note"},
        Raw("Odd", RegDword, {1, 2}), Raw("None", RegNone, {})}});
  EXPECT_EQ(SerializeHive(hive),
            "Windows Registry Editor Version 5.00\n"
            "; kept by hand\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\n"
            "\"ThemeFile\"=\"C:\\\\Skins\\\\a \\\"b\\\".msstyles\"\n"
            "@=\"x\"\n"
            "\"TopMost\"=dword:0000000a\n"
            "\"Bin\"=hex:01,00\n"
            "\"Path\"=hex(2):25,00,41,00,25,00,00,00\n"
            "; note\n"
            "\"Odd\"=hex(4):01,02\n"
            "\"None\"=hex(0):\n"
            "\n");
}

TEST(RegistryHiveWrite, StringsTheQuotedFormCannotHoldGoHexSoNothingIsLost) {
  // Line breaks, an inner NUL or a missing terminator would not survive "...".
  const HiveValue values[] = {
      StringValue("Lines", "one\ntwo\r\n"),
      StringValue("Nul", std::string("a\0b", 3)),
      Raw("NoTerminator", RegSz, {0x61, 0}),
      Raw("OddLength", RegSz, {0x61, 0, 0}),
      Raw("LoneSurrogate", RegSz, {0x00, 0xD8, 0, 0}),
  };
  for (const auto& value : values) {
    Hive hive;
    hive.keys.push_back({Nivora, {value}});
    const std::string text = SerializeHive(hive);
    EXPECT_NE(text.find("=hex(1):"), std::string::npos) << text;
    EXPECT_EQ(Parsed(text), hive) << text;
  }
}

TEST(RegistryHiveWrite, LongHexWrapsUnderEightyColumnsAndReadsBack) {
  std::vector<std::uint8_t> data(300);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
  Hive hive;
  hive.keys.push_back({Nivora, {Raw("Long", RegBinary, data)}});
  const std::string text = SerializeHive(hive);
  std::istringstream lines(text);
  std::string line;
  int continued = 0;
  while (std::getline(lines, line)) {
    EXPECT_LT(line.size(), 80u) << line;
    if (line.ends_with(",\\")) ++continued;
  }
  EXPECT_GT(continued, 5);
  EXPECT_EQ(Parsed(text), hive);
}

TEST(RegistryHiveWrite, ParseWriteParseKeepsTheModel) {
  const std::string header = "Windows Registry Editor Version 5.00\n\n";
  const std::string inputs[] = {
      header + "[K]\n\"a\"=\"\\x\\\\\"\n",                  // lone backslash kept literally
      header + "[K]\n\"a\"=\"\xFF\xFE raw bytes \xC3\"\n",  // not UTF-8
      header + "[K]\n\"a\"=\"\xED\xA0\x80\"\n",             // encoded surrogate
      header + "[K]\n\"a\"=hex(1):41,00,00,00\n",           // quotable once read
      header + "[K]\n\"a\"=hex(1):c3,dc,a9,dc,00,00\n",     // escaped bytes forming UTF-8
      header + "[K]\n\"a\"=hex(4):01,02,03,04\n",
      header + "[K]\n\"a\"=hex(3):01\n",
      header + "[K]\n\"a\"=dword:A\n",
      header + "[K]\n\"a\"=\"x\ry\"\n",  // inner carriage return
      header + "[K]\n\"a\rb\"=\"x\"\n",  // name with one
      header + "[ spaced ]\n@=\"\"\n\"\"=\"second default\"\n",
      header + "[K]]\n;c\r\n[k]\n;d\n",
      header + ";top\n\n;second\n[K]\n",
  };
  for (const auto& input : inputs) {
    const Hive first = Parsed(input);
    const std::string text = SerializeHive(first);
    EXPECT_EQ(Parsed(text), first) << input;
    EXPECT_EQ(SerializeHive(Parsed(text)), text) << input;
  }
}

TEST(RegistryHiveText, AnyByteStringSurvivesUtf16AndBack) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 12, '\0');
    for (char& c : text) c = static_cast<char>(random());
    EXPECT_EQ(TextFromUtf16(Utf16FromText(text)), text);
  }
  for (int byte = 0; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    EXPECT_EQ(TextFromUtf16(Utf16FromText(text)), text) << byte;
  }
}

TEST(RegistryHiveText, Utf8BecomesProperUtf16) {
  // e acute, euro sign, G clef (a surrogate pair)
  EXPECT_EQ(Utf16FromText("\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"),
            (std::vector<std::uint8_t>{0xE9, 0x00, 0xAC, 0x20, 0x34, 0xD8, 0x1E, 0xDD}));
  EXPECT_EQ(StringValueText(Raw("a", RegSz, {0x41, 0, 0, 0, 0x42, 0, 0, 0})), "A");
}

TEST(RegistryHiveKey, NamesMatchIgnoringLetterCaseAndKeepTheirSpelling) {
  HiveKey key{Nivora, {StringValue("TopMost", "0")}};
  key.Set(StringValue("topmost", "1"));
  ASSERT_EQ(key.items.size(), 1u);
  EXPECT_EQ(std::get<HiveValue>(key.items[0]).name, "TopMost");
  EXPECT_EQ(StringValueText(*key.Find("TOPMOST")), "1");
  EXPECT_TRUE(key.Remove("TOPMOST"));
  EXPECT_FALSE(key.Remove("TopMost"));
}

}  // namespace
}  // namespace telvanta::platform
