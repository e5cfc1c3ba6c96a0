#pragma once

#include "core/util/UniqueFd.h"

#include <atomic>
#include <cstdint>
#include <expected>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace tavelin {

// A file written under a temporary name in its destination folder and put in place under its
// real name only when complete, so nobody ever sees half a file under that name.
//
// Temporaries carry a mark (an extended attribute holding their own name) besides their
// TempName, so a user's file that merely looks like one is never taken for one: it is copied
// like any other file and never removed. Where the file system keeps no extended attributes,
// the name alone tells.
class TempFile {
  public:
    static constexpr const char* kMarkAttribute = "user.tavelin.temporary";

    // An empty temporary in `dirFd`, open for writing (owner-only until finish()).
    // Returns an errno value on failure.
    static std::expected<TempFile, int> create(int dirFd, pid_t pid,
                                               std::atomic<std::uint32_t>& counter);

    TempFile() = default;
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    // An abandoned temporary is removed.
    ~TempFile();

    int fd() const { return fd_.get(); }
    const std::string& name() const { return name_; }
    bool empty() const { return name_.empty(); }

    // Gives the contents their final mode and times, then closes. Returns 0 or an errno value.
    int finish(mode_t mode, const struct timespec (&times)[2]);
    // Removes the temporary (nothing is left of it).
    void discard();
    // The temporary has been renamed: it is no longer ours to remove.
    void placed();

    // `name` in `dirFd` is a temporary of this program (name and mark).
    static bool isTemporary(int dirFd, const char* name);
    // Removes the temporaries in `dirFd` whose writing process no longer exists.
    static void removeStale(int dirFd, pid_t self);

  private:
    TempFile(int dirFd, UniqueFd fd, std::string name);

    int dirFd_ = -1;
    UniqueFd fd_;
    std::string name_;
};

} // namespace tavelin
