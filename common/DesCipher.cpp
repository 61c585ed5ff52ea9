#include "common/DesCipher.h"

#include <bit>
#include <cstddef>

#include "common/AsciiText.h"
#include "common/Error.h"
#include "common/I18n.h"

// The standard's bit-numbered tables stay as published; everything the cipher
// runs on (SP boxes, key schedule chunks) is derived from them at compile time.
// Halves are kept rotated left by one bit between IP and FP so that every
// 6-bit S-box input sits at a byte boundary of one of two 32-bit words.

namespace telvanta {
namespace {

constexpr const char* kNotHex = N_("Error: not a Hex String");
constexpr const char* kLastNull = N_("Error: the last char is NULL char.");

constexpr std::uint8_t kIp[64] = {58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
                                  62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
                                  57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
                                  61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

constexpr std::uint8_t kFp[64] = {40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
                                  38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
                                  36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
                                  34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};

constexpr std::uint8_t kE[48] = {32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
                                 12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
                                 22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};

constexpr std::uint8_t kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                 2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr std::uint8_t kPc1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                                   10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
                                   63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                                   14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr std::uint8_t kPc2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                                   26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                                   51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr std::uint8_t kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// clang-format off
constexpr std::uint8_t kS[8][64] = {
    {14,  4, 13,  1,  2, 15, 11,  8,  3, 10,  6, 12,  5,  9,  0,  7,
      0, 15,  7,  4, 14,  2, 13,  1, 10,  6, 12, 11,  9,  5,  3,  8,
      4,  1, 14,  8, 13,  6,  2, 11, 15, 12,  9,  7,  3, 10,  5,  0,
     15, 12,  8,  2,  4,  9,  1,  7,  5, 11,  3, 14, 10,  0,  6, 13},
    {15,  1,  8, 14,  6, 11,  3,  4,  9,  7,  2, 13, 12,  0,  5, 10,
      3, 13,  4,  7, 15,  2,  8, 14, 12,  0,  1, 10,  6,  9, 11,  5,
      0, 14,  7, 11, 10,  4, 13,  1,  5,  8, 12,  6,  9,  3,  2, 15,
     13,  8, 10,  1,  3, 15,  4,  2, 11,  6,  7, 12,  0,  5, 14,  9},
    {10,  0,  9, 14,  6,  3, 15,  5,  1, 13, 12,  7, 11,  4,  2,  8,
     13,  7,  0,  9,  3,  4,  6, 10,  2,  8,  5, 14, 12, 11, 15,  1,
     13,  6,  4,  9,  8, 15,  3,  0, 11,  1,  2, 12,  5, 10, 14,  7,
      1, 10, 13,  0,  6,  9,  8,  7,  4, 15, 14,  3, 11,  5,  2, 12},
    { 7, 13, 14,  3,  0,  6,  9, 10,  1,  2,  8,  5, 11, 12,  4, 15,
     13,  8, 11,  5,  6, 15,  0,  3,  4,  7,  2, 12,  1, 10, 14,  9,
     10,  6,  9,  0, 12, 11,  7, 13, 15,  1,  3, 14,  5,  2,  8,  4,
      3, 15,  0,  6, 10,  1, 13,  8,  9,  4,  5, 11, 12,  7,  2, 14},
    { 2, 12,  4,  1,  7, 10, 11,  6,  8,  5,  3, 15, 13,  0, 14,  9,
     14, 11,  2, 12,  4,  7, 13,  1,  5,  0, 15, 10,  3,  9,  8,  6,
      4,  2,  1, 11, 10, 13,  7,  8, 15,  9, 12,  5,  6,  3,  0, 14,
     11,  8, 12,  7,  1, 14,  2, 13,  6, 15,  0,  9, 10,  4,  5,  3},
    {12,  1, 10, 15,  9,  2,  6,  8,  0, 13,  3,  4, 14,  7,  5, 11,
     10, 15,  4,  2,  7, 12,  9,  5,  6,  1, 13, 14,  0, 11,  3,  8,
      9, 14, 15,  5,  2,  8, 12,  3,  7,  0,  4, 10,  1, 13, 11,  6,
      4,  3,  2, 12,  9,  5, 15, 10, 11, 14,  1,  7,  6,  0,  8, 13},
    { 4, 11,  2, 14, 15,  0,  8, 13,  3, 12,  9,  7,  5, 10,  6,  1,
     13,  0, 11,  7,  4,  9,  1, 10, 14,  3,  5, 12,  2, 15,  8,  6,
      1,  4, 11, 13, 12,  3,  7, 14, 10, 15,  6,  8,  0,  5,  9,  2,
      6, 11, 13,  8,  1,  4, 10,  7,  9,  5,  0, 15, 14,  2,  3, 12},
    {13,  2,  8,  4,  6, 15, 11,  1, 10,  9,  3, 14,  5,  0, 12,  7,
      1, 15, 13,  8, 10,  3,  7,  4, 12,  5,  6, 11,  0, 14,  9,  2,
      7, 11,  4,  1,  9, 12, 14,  2,  0,  6, 10, 13, 15,  3,  5,  8,
      2,  1, 14,  7,  4, 10,  8, 13, 15, 12,  9,  0,  3,  5,  6, 11}
};
// clang-format on

// Output bit j (from the most significant of `outBits`) is input bit table[j],
// counted from 1 at the most significant of `inBits`.
constexpr std::uint64_t Permute(std::uint64_t in, int inBits, const std::uint8_t* table,
                                int outBits) {
  std::uint64_t out = 0;
  for (int j = 0; j < outBits; ++j) {
    out = (out << 1) | ((in >> (inBits - table[j])) & 1U);
  }
  return out;
}

// A round key as the block function wants it: S-box groups 1, 3, 5, 7 in the
// bytes of the high word, groups 2, 4, 6, 8 in the bytes of the low word.
using PackedKey = std::uint64_t;
using PackedSchedule = std::array<PackedKey, 16>;

constexpr PackedKey Pack(std::uint64_t k48) {
  std::uint64_t odd = 0;
  std::uint64_t even = 0;
  for (int g = 0; g < 8; g += 2) {
    odd = (odd << 8) | ((k48 >> (42 - 6 * g)) & 0x3F);
    even = (even << 8) | ((k48 >> (36 - 6 * g)) & 0x3F);
  }
  return (odd << 32) | even;
}

constexpr std::uint64_t Unpack(PackedKey packed) {
  std::uint64_t k48 = 0;
  for (int g = 0; g < 4; ++g) {
    const int shift = 56 - 8 * g;
    k48 = (k48 << 6) | ((packed >> shift) & 0x3F);
    k48 = (k48 << 6) | ((packed >> (shift - 32)) & 0x3F);
  }
  return k48;
}

// SP[i][x]: S-box i+1 of the 6-bit group x, moved by P, rotated like the halves.
constexpr auto MakeSp() {
  std::array<std::array<std::uint32_t, 64>, 8> sp{};
  for (int box = 0; box < 8; ++box) {
    for (unsigned x = 0; x < 64; ++x) {
      const unsigned row = ((x >> 4) & 2U) | (x & 1U);
      const unsigned column = (x >> 1) & 0xFU;
      const std::uint64_t nibble = std::uint64_t{kS[box][row * 16 + column]} << (28 - 4 * box);
      sp[box][x] = std::rotl(static_cast<std::uint32_t>(Permute(nibble, 32, kP, 32)), 1);
    }
  }
  return sp;
}
constexpr auto kSp = MakeSp();

// PC-1 contribution (C in bits 55..28, D in 27..0) of each key byte's upper
// seven bits; the lowest bit is parity and takes no part.
constexpr auto MakePc1() {
  std::array<std::array<std::uint64_t, 128>, 8> table{};
  for (int byte = 0; byte < 8; ++byte) {
    for (std::uint64_t v = 0; v < 128; ++v) {
      table[byte][v] = Permute((v << 1) << (56 - 8 * byte), 64, kPc1, 56);
    }
  }
  return table;
}
constexpr auto kPc1Chunks = MakePc1();

// PC-2 of each 7-bit chunk of C|D (chunk 0 most significant), already packed.
constexpr auto MakePc2() {
  std::array<std::array<PackedKey, 128>, 8> table{};
  for (int chunk = 0; chunk < 8; ++chunk) {
    for (std::uint64_t v = 0; v < 128; ++v) {
      table[chunk][v] = Pack(Permute(v << (49 - 7 * chunk), 56, kPc2, 48));
    }
  }
  return table;
}
constexpr auto kPc2Chunks = MakePc2();

// Exchange the bits of a selected by mask with those of b selected by mask << shift.
constexpr void SwapBits(std::uint32_t& a, std::uint32_t& b, int shift, std::uint32_t mask) {
  const std::uint32_t t = ((b >> shift) ^ a) & mask;
  a ^= t;
  b ^= t << shift;
}

// IP of the block (left, right), leaving both halves rotated left by one.
constexpr void InitialPermutation(std::uint32_t& left, std::uint32_t& right) {
  SwapBits(right, left, 4, 0x0F0F0F0F);
  SwapBits(right, left, 16, 0x0000FFFF);
  SwapBits(left, right, 2, 0x33333333);
  SwapBits(left, right, 8, 0x00FF00FF);
  right = std::rotl(right, 1);
  SwapBits(left, right, 0, 0xAAAAAAAA);
  left = std::rotl(left, 1);
}

// IP^-1 of the rotated pre-output (left, right) = (R16, L16).
constexpr void FinalPermutation(std::uint32_t& left, std::uint32_t& right) {
  left = std::rotr(left, 1);
  SwapBits(left, right, 0, 0xAAAAAAAA);
  right = std::rotr(right, 1);
  SwapBits(left, right, 8, 0x00FF00FF);
  SwapBits(left, right, 2, 0x33333333);
  SwapBits(right, left, 16, 0x0000FFFF);
  SwapBits(right, left, 4, 0x0F0F0F0F);
}

constexpr std::uint64_t FastIp(std::uint64_t block) {
  auto left = static_cast<std::uint32_t>(block >> 32);
  auto right = static_cast<std::uint32_t>(block);
  InitialPermutation(left, right);
  return (std::uint64_t{std::rotr(left, 1)} << 32) | std::rotr(right, 1);
}

constexpr std::uint64_t FastFp(std::uint64_t block) {
  auto left = std::rotl(static_cast<std::uint32_t>(block >> 32), 1);
  auto right = std::rotl(static_cast<std::uint32_t>(block), 1);
  FinalPermutation(left, right);
  return (std::uint64_t{left} << 32) | right;
}

// The permutations are linear, so agreeing on every single bit is agreeing everywhere.
constexpr bool FastPermutationsMatchTables() {
  for (int bit = 0; bit < 64; ++bit) {
    const std::uint64_t x = std::uint64_t{1} << bit;
    if (FastIp(x) != Permute(x, 64, kIp, 64) || FastFp(x) != Permute(x, 64, kFp, 64)) {
      return false;
    }
  }
  return true;
}
static_assert(FastPermutationsMatchTables());

// E followed by the S-box groups must land where Pack puts the round key bits.
constexpr bool ExpansionMatchesTable() {
  for (int bit = 0; bit < 32; ++bit) {
    const std::uint32_t r = std::uint32_t{1} << bit;
    const std::uint32_t x = std::rotl(r, 1);
    const std::uint64_t packed =
        (std::uint64_t{std::rotr(x, 4) & 0x3F3F3F3F} << 32) | (x & 0x3F3F3F3F);
    if (packed != Pack(Permute(r, 32, kE, 48))) {
      return false;
    }
  }
  return true;
}
static_assert(ExpansionMatchesTable());

inline std::uint32_t F(std::uint32_t x, PackedKey key) {
  const std::uint32_t u = std::rotr(x, 4) ^ static_cast<std::uint32_t>(key >> 32);
  const std::uint32_t v = x ^ static_cast<std::uint32_t>(key);
  return kSp[0][(u >> 24) & 0x3F] | kSp[2][(u >> 16) & 0x3F] | kSp[4][(u >> 8) & 0x3F] |
         kSp[6][u & 0x3F] | kSp[1][(v >> 24) & 0x3F] | kSp[3][(v >> 16) & 0x3F] |
         kSp[5][(v >> 8) & 0x3F] | kSp[7][v & 0x3F];
}

inline std::uint32_t LoadBe32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

inline void StoreBe32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

// One block in place; the schedule is already in the order of the direction.
inline void CryptBlockInPlace(unsigned char* block, const PackedSchedule& schedule) {
  std::uint32_t left = LoadBe32(block);
  std::uint32_t right = LoadBe32(block + 4);
  InitialPermutation(left, right);
  for (int round = 0; round < 16; round += 2) {
    left ^= F(right, schedule[round]);
    right ^= F(left, schedule[round + 1]);
  }
  FinalPermutation(right, left);
  StoreBe32(block, right);
  StoreBe32(block + 4, left);
}

PackedSchedule MakeSchedule(const DesBlock& key, DesDirection direction) {
  std::uint64_t cd = 0;
  for (int byte = 0; byte < 8; ++byte) {
    cd |= kPc1Chunks[byte][key[byte] >> 1];
  }
  std::uint32_t c = static_cast<std::uint32_t>(cd >> 28);
  std::uint32_t d = static_cast<std::uint32_t>(cd) & 0x0FFFFFFF;
  PackedSchedule schedule{};
  for (int round = 0; round < 16; ++round) {
    const int s = kShifts[round];
    c = ((c << s) | (c >> (28 - s))) & 0x0FFFFFFF;
    d = ((d << s) | (d >> (28 - s))) & 0x0FFFFFFF;
    const int slot = direction == DesDirection::Encrypt ? round : 15 - round;
    schedule[slot] = kPc2Chunks[0][c >> 21] | kPc2Chunks[1][(c >> 14) & 0x7F] |
                     kPc2Chunks[2][(c >> 7) & 0x7F] | kPc2Chunks[3][c & 0x7F] |
                     kPc2Chunks[4][d >> 21] | kPc2Chunks[5][(d >> 14) & 0x7F] |
                     kPc2Chunks[6][(d >> 7) & 0x7F] | kPc2Chunks[7][d & 0x7F];
  }
  return schedule;
}

// Shorter keys are zero filled; only the first 8 bytes take part.
DesBlock PrepareKey(std::string_view key) {
  DesBlock bytes{};
  for (std::size_t i = 0; i < bytes.size() && i < key.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(key[i]);
  }
  return bytes;
}

// The catalogue deciphers tens of thousands of short texts under one key:
// each thread keeps the schedule of the key it used last.
const PackedSchedule& ScheduleFor(std::string_view key, DesDirection direction) {
  thread_local struct {
    bool valid = false;
    DesBlock key{};
    DesDirection direction = DesDirection::Encrypt;
    PackedSchedule schedule{};
  } last;
  const DesBlock bytes = PrepareKey(key);
  if (!last.valid || last.key != bytes || last.direction != direction) {
    last.schedule = MakeSchedule(bytes, direction);
    last.key = bytes;
    last.direction = direction;
    last.valid = true;
  }
  return last.schedule;
}

// Complete blocks only; a trailing partial block is left untouched.
void CryptBlocks(std::string& data, std::string_view key, DesDirection direction) {
  const PackedSchedule& schedule = ScheduleFor(key, direction);
  auto* bytes = reinterpret_cast<unsigned char*>(data.data());
  const std::size_t end = data.size() / 8 * 8;
  for (std::size_t i = 0; i < end; i += 8) {
    CryptBlockInPlace(bytes + i, schedule);
  }
}

void DecryptInPlace(std::string& data, std::string_view key) {
  CryptBlocks(data, key, DesDirection::Decrypt);
  std::size_t size = data.size() / 8 * 8;
  while (size > 0 && data[size - 1] == '\0') {
    --size;
  }
  data.resize(size);
}

constexpr std::uint8_t kInvalid = 0x80;

constexpr auto MakeHexValues() {
  std::array<std::uint8_t, 256> values{};
  values.fill(kInvalid);
  for (int c = 0; c < 256; ++c) {
    const int digit = HexDigitValue(static_cast<char>(c));
    if (digit >= 0) {
      values[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(digit);
    }
  }
  return values;
}
constexpr auto kHexValues = MakeHexValues();

inline std::uint8_t HexValue(char c) { return kHexValues[static_cast<unsigned char>(c)]; }

}  // namespace

DesSubkeys DesMakeSubkeys(const DesBlock& key) {
  const PackedSchedule packed = MakeSchedule(key, DesDirection::Encrypt);
  DesSubkeys subkeys{};
  for (std::size_t i = 0; i < subkeys.size(); ++i) {
    subkeys[i] = Unpack(packed[i]);
  }
  return subkeys;
}

DesBlock DesCryptBlock(DesDirection direction, const DesBlock& input, const DesSubkeys& subkeys) {
  PackedSchedule schedule{};
  for (std::size_t i = 0; i < schedule.size(); ++i) {
    const std::size_t from = direction == DesDirection::Encrypt ? i : 15 - i;
    schedule[i] = Pack(subkeys[from] & 0xFFFFFFFFFFFF);
  }
  DesBlock output = input;
  CryptBlockInPlace(output.data(), schedule);
  return output;
}

std::string DesEncryptString(std::string_view text, std::string_view key) {
  if (!text.empty() && text.back() == '\0') {
    throw Error(_(kLastNull));
  }
  std::string data((text.size() + 7) / 8 * 8, '\0');
  text.copy(data.data(), text.size());
  CryptBlocks(data, key, DesDirection::Encrypt);
  return data;
}

std::string DesDecryptString(std::string_view bytes, std::string_view key) {
  std::string data(bytes);
  DecryptInPlace(data, key);
  return data;
}

std::string DesEncryptHex(std::string_view text, std::string_view key) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::string cipher = DesEncryptString(text, key);
  std::string hex(cipher.size() * 2, '0');
  for (std::size_t i = 0; i < cipher.size(); ++i) {
    const auto byte = static_cast<unsigned char>(cipher[i]);
    hex[2 * i] = kDigits[byte >> 4];
    hex[2 * i + 1] = kDigits[byte & 0xF];
  }
  return hex;
}

std::string DesDecryptHex(std::string_view hex, std::string_view key) {
  std::string data(hex.size() / 2, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint8_t high = HexValue(hex[2 * i]);
    const std::uint8_t low = HexValue(hex[2 * i + 1]);
    if ((high | low) & kInvalid) {
      throw Error(_(kNotHex));
    }
    data[i] = static_cast<char>((high << 4) | low);
  }
  DecryptInPlace(data, key);
  return data;
}

std::uint64_t HexToInt(std::string_view digits) {
  std::uint64_t value = 0;
  for (const char c : digits) {
    const std::uint8_t digit = HexValue(c);
    if (digit & kInvalid) {
      throw Error(_(kNotHex));
    }
    value = (value << 4) | digit;
  }
  return value;
}

}  // namespace telvanta
