#pragma once

#include <cerrno>
#include <unistd.h>

namespace tavelin {

// Owns one file descriptor and closes it once.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    bool valid() const noexcept { return fd_ >= 0; }
    explicit operator bool() const noexcept { return valid(); }

    int release() noexcept {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1) noexcept {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    // Closes now and tells whether the close failed (a late write error): 0 or an errno value.
    int close() noexcept {
        if (fd_ < 0) {
            return 0;
        }
        const int result = ::close(release());
        return result == 0 ? 0 : errno;
    }

  private:
    int fd_ = -1;
};

} // namespace tavelin
