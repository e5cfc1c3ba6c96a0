#pragma once

#include <cstdint>
#include <expected>
#include <functional>

namespace tavelin {

// The few file operations of a copy that tests need to make fail. The defaults are the real
// POSIX calls; a test overrides one of them.
class FileOps {
  public:
    virtual ~FileOps() = default;

    using StopCheck = std::function<bool()>;

    // Copies the contents of `in` (of the given size) to `out`. Returns the bytes copied or an
    // errno value; ECANCELED when `stop` said so between two chunks of a large file.
    virtual std::expected<std::int64_t, int> copyData(int in, int out, std::int64_t size,
                                                      const StopCheck& stop);
    // Moves the finished temporary file over the destination name. Returns 0 or an errno value.
    virtual int replace(int dirFd, const char* from, const char* to);
    // Seconds of modification-time difference that count as "equal" on the folder's file
    // system: 2 where times are kept in 2-second steps (FAT), else 0.
    virtual int timeTolerance(int dirFd);

    static int toleranceForFileSystem(long magic);
};

} // namespace tavelin
