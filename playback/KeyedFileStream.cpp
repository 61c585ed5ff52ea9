#include "playback/KeyedFileStream.h"

#include "common/I18n.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace telvanta {

namespace {

int OpenFlags(FileMode mode) {
  switch (mode) {
    case FileMode::Read:
      return O_RDONLY;
    case FileMode::Create:
      return O_RDWR | O_CREAT | O_TRUNC;
    case FileMode::ReadWrite:
      return O_RDWR;
  }
  return O_RDONLY;
}

std::string SystemMessage(const char* what, const std::string& fileName, int errorNumber) {
  return std::string(what) + " \"" + fileName + "\". " + std::strerror(errorNumber);
}

const std::string& CheckedKey(const std::string& key) {
  if (key.empty()) {
    throw Error(_("The stream key is empty."));
  }
  return key;
}

}  // namespace

StreamError::StreamError(const std::string& message, int errorNumber)
    : Error(message), errorNumber_(errorNumber) {}

FileStream::FileStream(const std::string& fileName, FileMode mode) : fileName_(fileName) {
  auto fail = [&](int errorNumber) {
    throw StreamError(mode == FileMode::Create ? CannotCreateFileMessage(fileName, errorNumber)
                                               : CannotOpenFileMessage(fileName, errorNumber),
                      errorNumber);
  };
  do {
    handle_ = ::open(fileName.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
  } while (handle_ < 0 && errno == EINTR);
  if (handle_ < 0) {
    fail(errno);
  }
  // A folder opens read-only on POSIX; as a stream it is no file at all.
  struct stat info {};
  if (::fstat(handle_, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int errorNumber = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(handle_);
    handle_ = -1;
    fail(errorNumber);
  }
}

FileStream::~FileStream() {
  if (handle_ >= 0) {
    ::close(handle_);
  }
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(handle_, bytes + done, count - done);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(handle_, bytes + done, count - done);
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put < 0) {
      const int errorNumber = errno;
      throw StreamError(SystemMessage(_("Cannot write file"), fileName_, errorNumber), errorNumber);
    }
    done += static_cast<std::size_t>(put);
  }
  return done;
}

std::int64_t FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                     : origin == SeekOrigin::Current ? SEEK_CUR
                                                     : SEEK_END;
  const off_t position = ::lseek(handle_, static_cast<off_t>(offset), whence);
  if (position < 0) {
    const int errorNumber = errno;
    throw StreamError(SystemMessage(_("Cannot seek in file"), fileName_, errorNumber), errorNumber);
  }
  return position;
}

std::int64_t FileStream::Position() const { return ::lseek(handle_, 0, SEEK_CUR); }

std::int64_t FileStream::Size() const {
  struct stat info {};
  if (::fstat(handle_, &info) != 0) {
    const int errorNumber = errno;
    throw StreamError(SystemMessage(_("Cannot read file"), fileName_, errorNumber), errorNumber);
  }
  return info.st_size;
}

std::size_t KeyedFileStream::Read(void* buffer, std::size_t count) {
  if (count == 0) {
    return 0;
  }
  const std::string& key = CheckedKey(Key);
  const std::size_t got = FileStream::Read(buffer, count);
  auto* bytes = static_cast<unsigned char*>(buffer);
  for (std::size_t i = 0; i < got; ++i) {
    bytes[i] =
        static_cast<unsigned char>(bytes[i] - static_cast<unsigned char>(key[i % key.size()]));
  }
  return got;
}

std::size_t KeyedFileStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) {
    return 0;
  }
  const std::string& key = CheckedKey(Key);
  // Enciphered in blocks so a large write does not double its memory; the
  // caller's buffer stays as it was.
  constexpr std::size_t BlockSize = std::size_t{64} * 1024;
  const auto* plain = static_cast<const unsigned char*>(buffer);
  std::vector<unsigned char> block(std::min(count, BlockSize));
  for (std::size_t start = 0; start < count; start += block.size()) {
    const std::size_t length = std::min(block.size(), count - start);
    for (std::size_t j = 0; j < length; ++j) {
      const std::size_t i = start + j;
      block[j] =
          static_cast<unsigned char>(plain[i] + static_cast<unsigned char>(key[i % key.size()]));
    }
    FileStream::Write(block.data(), length);
  }
  return count;
}

}  // namespace telvanta
