// Writes the input through KeyedFileStream with a key taken from the input, then
// reads it back whole and in chunks of varying size: the whole read must give
// the input back, and every chunk must decipher with the key restarting at 0.

#include "playback/KeyedFileStream.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// A file of this process's own, made afresh for every input and removed after
// it, so a finished run leaves nothing behind.
class ScratchFile {
 public:
  ScratchFile() {
    // In memory where possible: ext4 flushes a rewritten file on close, which
    // cuts the run to a few hundred inputs a second.
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    if (::access("/dev/shm", W_OK) == 0) {
      folder = "/dev/shm";
    }
    name_ = folder + "/telvanta-fuzz-" + std::to_string(::getpid());
  }
  ~ScratchFile() { ::unlink(name_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
};

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  const std::size_t keyLength = 1 + data[0] % 16;
  if (size < 1 + keyLength) {
    return 0;
  }
  const std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
  const std::vector<std::uint8_t> plain(data + 1 + keyLength, data + size);
  const ScratchFile scratch;
  const std::string& file = scratch.Name();
  {
    telvanta::KeyedFileStream out(file, telvanta::FileMode::Create);
    out.Key = key;
    Check(out.Write(plain.data(), plain.size()) == plain.size());
    Check(out.Size() == static_cast<std::int64_t>(plain.size()));
  }
  telvanta::KeyedFileStream in(file, telvanta::FileMode::Read);
  in.Key = key;
  std::vector<std::uint8_t> whole(plain.size() + 1);
  Check(in.Read(whole.data(), whole.size()) == plain.size());
  Check(std::equal(plain.begin(), plain.end(), whole.begin()));

  // Chunk sizes from a small generator seeded by the key.
  std::uint32_t state = 2166136261u;
  for (const char c : key) {
    state = (state ^ static_cast<std::uint8_t>(c)) * 16777619u;
  }
  in.Seek(0, telvanta::SeekOrigin::Begin);
  std::size_t position = 0;
  while (position < plain.size()) {
    state = state * 1664525u + 1013904223u;
    const std::size_t want = 1 + (state >> 16) % 64;
    std::vector<std::uint8_t> piece(want);
    const std::size_t got = in.Read(piece.data(), want);
    Check(got == std::min(want, plain.size() - position));
    for (std::size_t i = 0; i < got; ++i) {
      const auto keyAt = [&](std::size_t k) {
        return static_cast<std::uint8_t>(key[k % keyLength]);
      };
      const auto expected =
          static_cast<std::uint8_t>(plain[position + i] + keyAt(position + i) - keyAt(i));
      Check(piece[i] == expected);
    }
    position += got;
  }
  std::uint8_t extra = 0;
  Check(in.Read(&extra, 1) == 0);
  return 0;
}
