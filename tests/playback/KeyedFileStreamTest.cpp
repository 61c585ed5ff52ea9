#include "playback/KeyedFileStream.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace telvanta {
namespace {

using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;
const std::string TemplateKey = "CopperField";

Bytes EveryByteValue(std::size_t repeats = 1) {
  Bytes bytes;
  for (std::size_t r = 0; r < repeats; ++r) {
    for (int b = 0; b < 256; ++b) {
      bytes.push_back(static_cast<std::uint8_t>(b));
    }
  }
  return bytes;
}

Bytes RawFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteRaw(const std::string& name, const Bytes& bytes) {
  std::ofstream out(name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteEnciphered(const std::string& name, const std::string& key, const Bytes& plain) {
  KeyedFileStream stream(name, FileMode::Create);
  stream.Key = key;
  ASSERT_EQ(stream.Write(plain.data(), plain.size()), plain.size());
}

// What byte i of one call must decipher to, from raw file bytes.
std::uint8_t Decipher(std::uint8_t raw, const std::string& key, std::size_t i) {
  return static_cast<std::uint8_t>(raw - static_cast<std::uint8_t>(key[i % key.size()]));
}

class KeyedFileStreamTest : public ::testing::Test {
 protected:
  test::TempFolder folder;
  std::string file = folder / "MP.dll";
};

// Sums past 255 and differences below 0 must wrap, for every byte value and
// for keys holding high bytes (signed char arithmetic would break here).
TEST_F(KeyedFileStreamTest, EveryByteValueWrapsAroundBothWays) {
  const std::vector<std::string> keys = {TemplateKey, "\xff", "\x80\xff\x01", "\x01", "\x00\xfe"s};
  const Bytes plain = EveryByteValue(3);
  for (const std::string& key : keys) {
    SCOPED_TRACE(::testing::PrintToString(key));
    WriteEnciphered(file, key, plain);
    const Bytes raw = RawFile(file);
    ASSERT_EQ(raw.size(), plain.size());
    for (std::size_t k = 0; k < plain.size(); ++k) {
      ASSERT_EQ(raw[k], static_cast<std::uint8_t>(
                            (plain[k] + static_cast<std::uint8_t>(key[k % key.size()])) % 256))
          << "offset " << k;
    }
    KeyedFileStream in(file, FileMode::Read);
    in.Key = key;
    Bytes back(plain.size());
    ASSERT_EQ(in.Read(back.data(), back.size()), plain.size());
    EXPECT_EQ(back, plain);
  }
}

TEST_F(KeyedFileStreamTest, FileHoldsNoHeaderAndExactlyThePlainLength) {
  WriteEnciphered(file, TemplateKey, {'<', 'h', 't', 'm', 'l', '>'});
  const Bytes expected = {'<' + 'C', 'h' + 'o', 't' + 'p', 'm' + 'p', 'l' + 'e', '>' + 'r'};
  EXPECT_EQ(RawFile(file), expected);
}

TEST_F(KeyedFileStreamTest, SecondReadRestartsKeySoOnlyKeyLengthMultiplesSplitCleanly) {
  const Bytes plain = EveryByteValue();
  WriteEnciphered(file, TemplateKey, plain);
  const Bytes raw = RawFile(file);
  for (const std::size_t first :
       {std::size_t{11}, std::size_t{22}, std::size_t{5}, std::size_t{12}}) {
    SCOPED_TRACE(first);
    KeyedFileStream in(file, FileMode::Read);
    in.Key = TemplateKey;
    Bytes head(first);
    Bytes tail(plain.size() - first);
    ASSERT_EQ(in.Read(head.data(), head.size()), first);
    ASSERT_EQ(in.Read(tail.data(), tail.size()), tail.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), plain.begin()));
    for (std::size_t i = 0; i < tail.size(); ++i) {
      ASSERT_EQ(tail[i], Decipher(raw[first + i], TemplateKey, i)) << "byte " << i;
    }
    const bool tailIsPlain =
        std::equal(tail.begin(), tail.end(), plain.begin() + static_cast<long>(first));
    EXPECT_EQ(tailIsPlain, first % TemplateKey.size() == 0);
  }
}

TEST_F(KeyedFileStreamTest, SeekDoesNotShiftTheKey) {
  WriteEnciphered(file, TemplateKey, EveryByteValue());
  const Bytes raw = RawFile(file);
  KeyedFileStream in(file, FileMode::Read);
  in.Key = TemplateKey;
  EXPECT_EQ(in.Seek(7, SeekOrigin::Begin), 7);
  EXPECT_EQ(in.Position(), 7);
  Bytes piece(4);
  ASSERT_EQ(in.Read(piece.data(), piece.size()), 4u);
  for (std::size_t i = 0; i < piece.size(); ++i) {
    EXPECT_EQ(piece[i], Decipher(raw[7 + i], TemplateKey, i));
  }
  EXPECT_EQ(in.Seek(-3, SeekOrigin::End), 253);
  EXPECT_EQ(in.Seek(1, SeekOrigin::Current), 254);
}

TEST_F(KeyedFileStreamTest, ShortReadDeciphersOnlyWhatRemainedAndLeavesTheRestOfTheBuffer) {
  const Bytes plain(20, 'x');
  WriteEnciphered(file, TemplateKey, plain);
  KeyedFileStream in(file, FileMode::Read);
  in.Key = TemplateKey;
  Bytes buffer(50, 0xAA);
  ASSERT_EQ(in.Read(buffer.data(), buffer.size()), 20u);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 20), plain);
  EXPECT_EQ(Bytes(buffer.begin() + 20, buffer.end()), Bytes(30, 0xAA));
  EXPECT_EQ(in.Read(buffer.data(), buffer.size()), 0u);
  EXPECT_EQ(buffer[0], 'x');
}

TEST_F(KeyedFileStreamTest, ZeroLengthCallsReturnZeroAndChangeNothing) {
  WriteEnciphered(file, TemplateKey, {1, 2, 3});
  KeyedFileStream stream(file, FileMode::ReadWrite);
  stream.Key = TemplateKey;
  stream.Seek(1, SeekOrigin::Begin);
  std::uint8_t buffer[1] = {0x55};
  EXPECT_EQ(stream.Read(buffer, 0), 0u);
  EXPECT_EQ(stream.Write(buffer, 0), 0u);
  EXPECT_EQ(buffer[0], 0x55);
  EXPECT_EQ(stream.Position(), 1);
  EXPECT_EQ(stream.Size(), 3);
}

TEST_F(KeyedFileStreamTest, WriteLeavesTheCallersBufferAlone) {
  const Bytes plain = EveryByteValue();
  Bytes buffer = plain;
  KeyedFileStream out(file, FileMode::Create);
  out.Key = TemplateKey;
  out.Write(buffer.data(), buffer.size());
  EXPECT_EQ(buffer, plain);
}

// Large writes are enciphered in blocks; the key must run on across them.
TEST_F(KeyedFileStreamTest, LargeWriteKeepsTheKeyRunningAcrossInternalBlocks) {
  const Bytes plain = EveryByteValue(1000);
  WriteEnciphered(file, TemplateKey, plain);
  const Bytes raw = RawFile(file);
  ASSERT_EQ(raw.size(), plain.size());
  for (std::size_t k = 0; k < plain.size(); ++k) {
    ASSERT_EQ(Decipher(raw[k], TemplateKey, k), plain[k]) << "offset " << k;
  }
}

TEST_F(KeyedFileStreamTest, ReadsWhatAnotherWriterEnciphered) {
  Bytes raw;
  for (char c : std::string("plain text")) {
    raw.push_back(static_cast<std::uint8_t>(c + 1));
  }
  WriteRaw(file, raw);
  KeyedFileStream in(file, FileMode::Read);
  in.Key = "\x01";
  std::string text(10, '\0');
  ASSERT_EQ(in.Read(text.data(), text.size()), 10u);
  EXPECT_EQ(text, "plain text");
}

TEST_F(KeyedFileStreamTest, MissingFileFailsWithTheOpenMessage) {
  const std::string missing = folder / "RP.dll";
  try {
    KeyedFileStream in(missing, FileMode::Read);
    FAIL() << "opened a missing file";
  } catch (const StreamError& error) {
    EXPECT_STREQ(error.what(),
                 ("Cannot open file \"" + missing + "\". No such file or directory").c_str());
    EXPECT_EQ(error.ErrorNumber(), ENOENT);
  }
  EXPECT_THROW(KeyedFileStream(missing, FileMode::ReadWrite), Error);
}

TEST_F(KeyedFileStreamTest, FolderIsNoFile) {
  try {
    KeyedFileStream in(folder.Path().string(), FileMode::Read);
    FAIL() << "opened a folder";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot open file \"" + folder.Path().string() + "\". Is a directory");
  }
}

TEST_F(KeyedFileStreamTest, CreationFailureUsesTheCreateMessage) {
  const std::string inMissingFolder = folder / "no/such.dll";
  try {
    KeyedFileStream out(inMissingFolder, FileMode::Create);
    FAIL() << "created a file in a missing folder";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot create file \"" + inMissingFolder + "\". No such file or directory");
  }
}

TEST_F(KeyedFileStreamTest, CreateTruncatesAndReadWriteKeepsTheContent) {
  WriteRaw(file, Bytes(100, 7));
  {
    KeyedFileStream keep(file, FileMode::ReadWrite);
    EXPECT_EQ(keep.Size(), 100);
  }
  KeyedFileStream fresh(file, FileMode::Create);
  EXPECT_EQ(fresh.Size(), 0);
}

TEST_F(KeyedFileStreamTest, EmptyKeyIsRefusedInsteadOfDividingByZero) {
  KeyedFileStream out(file, FileMode::Create);
  const std::uint8_t byte = 1;
  EXPECT_THROW(out.Write(&byte, 1), Error);
  EXPECT_EQ(out.Size(), 0);
}

}  // namespace
}  // namespace telvanta
