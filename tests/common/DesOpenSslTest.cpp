// Differential checks against OpenSSL's DES, an independent implementation of
// the same standard.
#include <gtest/gtest.h>
#include <openssl/des.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "common/DesCipher.h"

namespace {

DES_key_schedule OpenSslSchedule(const std::string& key) {
  DES_cblock block{};
  std::memcpy(block, key.data(), std::min<std::size_t>(key.size(), 8));
  DES_key_schedule schedule;
  DES_set_key_unchecked(&block, &schedule);
  return schedule;
}

std::string OpenSslEcb(std::string data, const std::string& key, int mode) {
  DES_key_schedule schedule = OpenSslSchedule(key);
  for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
    DES_cblock in;
    DES_cblock out;
    std::memcpy(in, data.data() + i, 8);
    DES_ecb_encrypt(&in, &out, &schedule, mode);
    std::memcpy(data.data() + i, out, 8);
  }
  return data;
}

std::string UpperHex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (const unsigned char b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 0xF];
  }
  return hex;
}

std::string RandomBytes(std::mt19937_64& rng, std::size_t size) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string s(size, '\0');
  for (auto& c : s) c = static_cast<char>(byte(rng));
  return s;
}

constexpr int kCases = 10000;

TEST(DesAgainstOpenSsl, HexFormsAgreeOnRandomTextsAndKeysBothWays) {
  std::mt19937_64 rng(0x7E1FA17A);
  std::uniform_int_distribution<std::size_t> textLength(0, 100);
  std::uniform_int_distribution<std::size_t> keyLength(0, 12);
  std::uniform_int_distribution<int> nonZero(1, 255);
  int failures = 0;
  for (int i = 0; i < kCases && failures < 5; ++i) {
    std::string text = RandomBytes(rng, textLength(rng));
    if (!text.empty()) text.back() = static_cast<char>(nonZero(rng));
    const std::string key = RandomBytes(rng, keyLength(rng));

    std::string padded = text;
    padded.resize((text.size() + 7) / 8 * 8, '\0');
    const std::string reference = UpperHex(OpenSslEcb(padded, key, DES_ENCRYPT));

    const std::string ours = telvanta::DesEncryptHex(text, key);
    const std::string back = telvanta::DesDecryptHex(reference, key);
    if (ours != reference || back != text) ++failures;
    EXPECT_EQ(ours, reference) << "case " << i;
    EXPECT_EQ(back, text) << "case " << i;
  }
}

TEST(DesAgainstOpenSsl, DecryptionOfArbitraryBytesAgrees) {
  std::mt19937_64 rng(0xD5C0DE);
  std::uniform_int_distribution<std::size_t> length(0, 100);
  std::uniform_int_distribution<std::size_t> keyLength(0, 12);
  int failures = 0;
  for (int i = 0; i < kCases && failures < 5; ++i) {
    const std::string bytes = RandomBytes(rng, length(rng));
    const std::string key = RandomBytes(rng, keyLength(rng));
    std::string reference = OpenSslEcb(bytes.substr(0, bytes.size() / 8 * 8), key, DES_DECRYPT);
    while (!reference.empty() && reference.back() == '\0') reference.pop_back();
    const std::string ours = telvanta::DesDecryptString(bytes, key);
    if (ours != reference) ++failures;
    EXPECT_EQ(ours, reference) << "case " << i;
  }
}

TEST(DesAgainstOpenSsl, SingleBlocksAgreeInBothDirections) {
  std::mt19937_64 rng(46);
  for (int i = 0; i < 2000; ++i) {
    const std::string key = RandomBytes(rng, 8);
    const std::string block = RandomBytes(rng, 8);
    telvanta::DesBlock keyBlock{};
    telvanta::DesBlock input{};
    std::memcpy(keyBlock.data(), key.data(), 8);
    std::memcpy(input.data(), block.data(), 8);
    const auto subkeys = telvanta::DesMakeSubkeys(keyBlock);
    for (const auto direction :
         {telvanta::DesDirection::Encrypt, telvanta::DesDirection::Decrypt}) {
      const int mode = direction == telvanta::DesDirection::Encrypt ? DES_ENCRYPT : DES_DECRYPT;
      const auto ours = telvanta::DesCryptBlock(direction, input, subkeys);
      const std::string reference = OpenSslEcb(block, key, mode);
      ASSERT_EQ(std::string(ours.begin(), ours.end()), reference) << "block " << i;
    }
  }
}

}  // namespace
