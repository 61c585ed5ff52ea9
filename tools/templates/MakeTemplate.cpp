// make_template <key> <in.html> <out.dll>: enciphers a player page template
// through the keyed stream, in one write, as the player reads it in one read.

#include "common/Error.h"
#include "playback/KeyedFileStream.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>

#include <unistd.h>

namespace {

std::string ReadWhole(const std::string& fileName) {
  telvanta::FileStream in(fileName, telvanta::FileMode::Read);
  std::string text(static_cast<std::size_t>(in.Size()), '\0');
  text.resize(in.Read(text.data(), text.size()));
  return text;
}

void WriteEnciphered(const std::string& key, const std::string& text, const std::string& fileName) {
  // Renamed into place so a failed build leaves no half-written template.
  const std::string temporary = fileName + "." + std::to_string(::getpid()) + ".part";
  try {
    telvanta::KeyedFileStream out(temporary, telvanta::FileMode::Create);
    out.Key = key;
    out.Write(text.data(), text.size());
  } catch (...) {
    std::remove(temporary.c_str());
    throw;
  }
  if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
    std::remove(temporary.c_str());
    throw telvanta::Error(telvanta::CannotCreateFileMessage(fileName, errno));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || argv[1][0] == '\0') {
    std::cerr << "usage: make_template <key> <in.html> <out.dll>\n";
    return 2;
  }
  try {
    WriteEnciphered(argv[1], ReadWhole(argv[2]), argv[3]);
  } catch (const std::exception& error) {
    std::cerr << "make_template: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
