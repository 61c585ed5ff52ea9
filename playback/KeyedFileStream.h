#pragma once
// A file stream over a POSIX file handle, and KeyedFileStream, which adds a byte
// key on writing and subtracts it on reading (the player page templates are
// kept that way).

#include "common/Error.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace telvanta {

// A file error that keeps the system's error number, so callers can report
// it under a name of their own.
class StreamError : public Error {
 public:
  StreamError(const std::string& message, int errorNumber);
  int ErrorNumber() const { return errorNumber_; }

 private:
  int errorNumber_;
};

enum class FileMode {
  Read,       // existing file, read only
  Create,     // create or truncate, read and write
  ReadWrite,  // existing file, read and write
};

enum class SeekOrigin { Begin, Current, End };

class FileStream {
 public:
  // Throws StreamError "Cannot open file "<name>". <system text>", or for
  // FileMode::Create "Cannot create file ...".
  FileStream(const std::string& fileName, FileMode mode);
  virtual ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Up to count bytes; fewer at the end of the file or on a read error.
  virtual std::size_t Read(void* buffer, std::size_t count);
  // All count bytes or a StreamError "Cannot write file ...".
  virtual std::size_t Write(const void* buffer, std::size_t count);

  std::int64_t Seek(std::int64_t offset, SeekOrigin origin);
  std::int64_t Position() const;
  std::int64_t Size() const;

  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  int handle_ = -1;
};

// Byte i of every Read or Write call is combined with Key[i mod length]: the
// key position restarts at 0 in each call, whatever the file position.
class KeyedFileStream : public FileStream {
 public:
  using FileStream::FileStream;

  // Must be set, and not empty, before the first Read or Write.
  std::string Key;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
};

}  // namespace telvanta
