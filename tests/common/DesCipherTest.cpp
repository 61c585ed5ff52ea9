#include "common/DesCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "common/AsciiText.h"
#include "common/Error.h"

using namespace std::string_literals;
using telvanta::AsciiLower;
using telvanta::DesBlock;
using telvanta::DesCryptBlock;
using telvanta::DesDecryptHex;
using telvanta::DesDecryptString;
using telvanta::DesDirection;
using telvanta::DesEncryptHex;
using telvanta::DesEncryptString;
using telvanta::DesMakeSubkeys;
using telvanta::HexToInt;
using telvanta::StationKey;

namespace {

const std::string kNotHex = "Error: not a Hex String";
const std::string kLastNull = "Error: the last char is NULL char.";

template <typename Call>
std::string ErrorText(Call call) {
  try {
    call();
  } catch (const telvanta::Error& e) {
    return e.what();
  }
  return "(no error)";
}

bool IsUpperHex(const std::string& s) {
  return s.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

// The electronic codebook example of FIPS PUB 81.
const std::string kFipsKey = "\x01\x23\x45\x67\x89\xAB\xCD\xEF"s;
const std::string kFipsText = "Now is the time for all ";
const std::string kFipsCipher = "3FA40E8A984D48156A271787AB8883F9893D51EC4B563B53";

TEST(DesStandard, Fips81EcbExampleBothWays) {
  EXPECT_EQ(DesEncryptHex(kFipsText, kFipsKey), kFipsCipher);
  EXPECT_EQ(DesDecryptHex(kFipsCipher, kFipsKey), kFipsText);  // final space kept
}

// Key 133457799BBCDFF1 from the classic worked example of the standard.
TEST(DesStandard, WorkedExampleRoundKeysAndBlock) {
  const DesBlock key{0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
  const auto subkeys = DesMakeSubkeys(key);
  EXPECT_EQ(subkeys[0], 0x1B02EFFC7072U);
  EXPECT_EQ(subkeys[15], 0xCB3D8B0E17F5U);

  const DesBlock plain{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  const DesBlock cipher{0x85, 0xE8, 0x13, 0x54, 0x0F, 0x0A, 0xB4, 0x05};
  EXPECT_EQ(DesCryptBlock(DesDirection::Encrypt, plain, subkeys), cipher);
  EXPECT_EQ(DesCryptBlock(DesDirection::Decrypt, cipher, subkeys), plain);
}

TEST(DesStandard, ParityBitsTakeNoPart) {
  const DesBlock key{0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
  DesBlock flipped = key;
  for (auto& byte : flipped) byte ^= 1;
  EXPECT_EQ(DesMakeSubkeys(flipped), DesMakeSubkeys(key));
}

struct RoundTripCase {
  const char* fault;
  std::string text;
  std::size_t hexLength;
};

TEST(DesRoundTrip, TextsComeBackWithPaddingOnlyWhereNeeded) {
  const std::vector<RoundTripCase> cases = {
      {"empty text gets an extra block", "", 0},
      {"one char padded to a block", "A", 16},
      {"full block gets an extra block", "12345678", 16},
      {"ninth char lost", "123456789", 32},
      {"inner zero byte stripped", "ab\0cd"s, 16},
      {"zero byte at a block end stripped", "1234567\0x"s, 32},
      {"trailing spaces stripped", "rtsp://host/live   ", 48},
      {"high bytes mangled", "\xff\x80\xe9t\xe9\x01", 16},
      {"long URL", "mms://media.example.net/channels/live/news-24.asx?bitrate=300", 128},
  };
  for (const auto& c : cases) {
    const std::string hex = DesEncryptHex(c.text, StationKey);
    EXPECT_EQ(hex.size(), c.hexLength) << c.fault;
    EXPECT_TRUE(IsUpperHex(hex)) << c.fault << ": " << hex;
    EXPECT_EQ(DesDecryptHex(hex, StationKey), c.text) << c.fault;
    EXPECT_EQ(DesDecryptString(DesEncryptString(c.text, StationKey), StationKey), c.text)
        << c.fault;
  }
}

TEST(DesRoundTrip, BlocksAreEncipheredOnTheirOwnAndZeroPadded) {
  const std::string hex = DesEncryptHex("123456789", StationKey);
  EXPECT_EQ(hex.substr(0, 16), DesEncryptHex("12345678", StationKey));
  EXPECT_EQ(hex.substr(16), DesEncryptHex("9", StationKey));
  // The padding of "9" is seven zero bytes: decrypting without stripping shows them.
  const std::string padded = DesEncryptString("9", StationKey);
  const auto subkeys = DesMakeSubkeys({'H', 'a', 'r', 'b', 'o', 'r', 'L', 'a'});
  DesBlock block{};
  std::copy(padded.begin(), padded.end(), block.begin());
  EXPECT_EQ(DesCryptBlock(DesDirection::Decrypt, block, subkeys),
            (DesBlock{'9', 0, 0, 0, 0, 0, 0, 0}));
}

TEST(DesErrors, TextEndingInZeroByteIsRefused) {
  for (const std::string& text : {"\0"s, "abc\0"s, "12345678\0"s, "\0\0"s}) {
    EXPECT_EQ(ErrorText([&] { DesEncryptHex(text, StationKey); }), kLastNull);
    EXPECT_EQ(ErrorText([&] { DesEncryptString(text, StationKey); }), kLastNull);
  }
}

struct KeyPairCase {
  const char* fault;
  std::string a;
  std::string b;
  bool same;
};

TEST(DesKeys, OnlyTheFirstEightZeroFilledBytesCount) {
  const std::vector<KeyPairCase> cases = {
      {"ninth char used", "HarborLamp", "HarborLaXYZ", true},
      {"station key not cut to eight", std::string(StationKey), "HarborLa", true},
      {"short key not zero filled", "abc", "abc\0\0\0\0\0"s, true},
      {"empty key not eight zeros", "", "\0\0\0\0\0\0\0\0"s, true},
      {"eighth char ignored", "HarborLa", "HarborLb", false},
      {"short keys confused", "abc", "abd", false},
      {"zero byte in a key ends it", "ab\0d"s, "ab", false},
      {"update key same as station key", std::string(telvanta::UpdateKey), std::string(StationKey),
       false},
  };
  const std::string text = "http://radio.example.org:8000/stream.m3u";
  for (const auto& c : cases) {
    EXPECT_EQ(DesEncryptHex(text, c.a) == DesEncryptHex(text, c.b), c.same) << c.fault;
  }
}

TEST(DesKeys, WrongKeyGivesOtherBytesWithoutError) {
  const std::string hex = DesEncryptHex("http://example.org/live", StationKey);
  std::string other;
  EXPECT_NO_THROW(other = DesDecryptHex(hex, telvanta::UpdateKey));
  EXPECT_NE(other, "http://example.org/live");
}

struct HexInputCase {
  const char* fault;
  std::string hex;
  std::string expected;  // the error text, or the plain text
};

TEST(DesDecryptHexInput, OddLastCharIgnoredButEveryPairChecked) {
  const std::string url = "mms://tv.example.com/ch1";
  const std::string hex = DesEncryptHex(url, StationKey);
  const std::string lower = AsciiLower(hex);
  const std::vector<HexInputCase> cases = {
      {"empty hex not empty text", "", ""},
      {"lower case refused", lower, url},
      {"odd last char looked at", hex + "Z", url},
      {"odd last newline looked at", hex + "\n", url},
      {"incomplete block used", hex + "0011AABB", url},
      {"single char looked at", "Q", ""},
      {"short hex not empty", "00112233445566", ""},
      {"space in a pair accepted", hex.substr(0, 10) + " " + hex.substr(11), kNotHex},
      {"line break in a pair accepted", hex + "\r\n", kNotHex},
      {"non-hex in incomplete block accepted", hex + "00G0", kNotHex},
      {"letter beyond F accepted", "0G" + hex.substr(2), kNotHex},
      {"prefix accepted", "0x" + hex, kNotHex},
      {"high byte accepted", "\xC6" + hex.substr(1), kNotHex},
  };
  for (const auto& c : cases) {
    std::string got;
    try {
      got = DesDecryptHex(c.hex, StationKey);
    } catch (const telvanta::Error& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.expected) << c.fault;
  }
}

TEST(DesDecryptStringInput, PartialBlockIgnoredAndOnlyTrailingZerosRemoved) {
  const std::string cipher = DesEncryptString("a\0b"s, StationKey);
  EXPECT_EQ(DesDecryptString(cipher, StationKey), "a\0b"s);
  EXPECT_EQ(DesDecryptString(cipher + "\x01\x02\x03", StationKey), "a\0b"s);
  EXPECT_EQ(DesDecryptString("1234567", StationKey), "");
}

struct HexToIntCase {
  const char* fault;
  std::string digits;
  std::uint64_t value;
};

TEST(HexToIntValues, DigitsOfBothCasesAndWrapAround) {
  const std::vector<HexToIntCase> cases = {
      {"empty not zero", "", 0},
      {"zero", "0", 0},
      {"digits wrong", "09", 9},
      {"lower case refused", "ff", 255},
      {"upper case wrong", "FF", 255},
      {"mixed case", "aB", 0xAB},
      {"leading zeros", "000000000000000000001", 1},
      {"full width", "FFFFFFFFFFFFFFFF", 0xFFFFFFFFFFFFFFFFU},
      {"overflow not modulo 2^64", "123456789ABCDEF0F", 0x23456789ABCDEF0FU},
  };
  for (const auto& c : cases) EXPECT_EQ(HexToInt(c.digits), c.value) << c.fault;
  for (const std::string& bad : {"g"s, " 1"s, "1 "s, "-1"s, "0x10"s, "1\0"s, "\xAA"s}) {
    EXPECT_EQ(ErrorText([&] { HexToInt(bad); }), kNotHex) << bad;
  }
}

TEST(DesThreads, ConcurrentCallsWithDifferentKeysDoNotDisturbEachOther) {
  std::vector<std::string> texts;
  for (int i = 0; i < 64; ++i) {
    texts.push_back("http://station" + std::to_string(i) + ".example.net/" +
                    std::string(static_cast<std::size_t>(i), 'x'));
  }
  const std::vector<std::string> keys = {std::string(StationKey), std::string(telvanta::UpdateKey)};
  std::vector<std::vector<std::string>> expected(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    for (const auto& t : texts) expected[k].push_back(DesEncryptHex(t, keys[k]));
  }
  std::vector<int> mismatches(keys.size(), 0);
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    threads.emplace_back([&, k] {
      for (int round = 0; round < 200; ++round) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
          if (DesEncryptHex(texts[i], keys[k]) != expected[k][i]) ++mismatches[k];
          if (DesDecryptHex(expected[k][i], keys[k]) != texts[i]) ++mismatches[k];
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  for (std::size_t k = 0; k < keys.size(); ++k) EXPECT_EQ(mismatches[k], 0) << keys[k];
}

}  // namespace
