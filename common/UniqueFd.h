#pragma once
// An owned file descriptor, closed when it goes.

#include <unistd.h>

namespace telvanta {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset(other.Release());
    }
    return *this;
  }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  explicit operator bool() const { return Valid(); }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // Closes the one held and takes fd; tells whether the close went well (it
  // can report a failed write).
  bool Reset(int fd = -1) {
    bool closed = true;
    if (fd_ >= 0) {
      closed = ::close(fd_) == 0;
    }
    fd_ = fd;
    return closed;
  }

 private:
  int fd_ = -1;
};

}  // namespace telvanta
