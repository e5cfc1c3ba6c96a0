#pragma once

#include <cstdint>
#include <expected>
#include <functional>

namespace tavelin {

// The few file operations of a copy that tests need to make fail or slow down. The defaults
// are the real system calls; a test overrides one of them.
class FileOps {
  public:
    virtual ~FileOps() = default;

    using StopCheck = std::function<bool()>;

    // Copies the contents of `in` (of the given size) to `out`, leaving holes where the source
    // has them. Returns the bytes copied (the size) or an errno value; ECANCELED when `stop`
    // said so between two chunks of a large file.
    virtual std::expected<std::int64_t, int> copyData(int in, int out, std::int64_t size,
                                                      const StopCheck& stop);
    // Gives the file `name` a second name in `toDirFd` (a kept version). EEXIST when taken;
    // EPERM, EXDEV or EOPNOTSUPP where the file system has no hard links.
    virtual int link(int dirFd, const char* name, int toDirFd, const char* to);
    // Renames a finished temporary to its destination name. With `replace` false the name must
    // still be free: EEXIST when something has appeared there meanwhile. Returns 0 or an errno.
    virtual int place(int dirFd, const char* from, const char* to, bool replace);
    // Makes everything written so far to the file system of `dirFd` durable. 0 or an errno.
    virtual int flush(int dirFd);
    // Nanoseconds of modification-time difference that the folder's file system cannot tell
    // apart: 1 where it keeps nanoseconds, 2 s on FAT, 1 s where it is not known.
    virtual std::int64_t timeGranularity(int dirFd);

    static std::int64_t granularityForFileSystem(long magic);

    // Seconds since the epoch, for the age of kept versions.
    virtual std::int64_t now();
};

} // namespace tavelin
