#include "copy/FileOps.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/vfs.h>
#include <unistd.h>

namespace tavelin {

namespace {

constexpr long kMsdosMagic = 0x4d44;

std::expected<std::int64_t, int> readWriteCopy(int in, int out, std::int64_t copied) {
    char buffer[128 * 1024];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0) {
            return copied;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::unexpected(errno);
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return std::unexpected(errno);
            }
            done += w;
        }
        copied += n;
    }
}

} // namespace

std::expected<std::int64_t, int> FileOps::copyData(int in, int out, std::int64_t size,
                                                   const StopCheck& stop) {
    // Chunks keep a stop request waiting no longer than one chunk's copy.
    constexpr std::int64_t kChunk = 64 << 20;
    std::int64_t copied = 0;
    // The kernel copies (or shares extents) without the data passing through user space.
    while (copied < size || size == 0) {
        if (copied > 0 && stop && stop()) {
            return std::unexpected(ECANCELED);
        }
        const std::size_t chunk =
            static_cast<std::size_t>(size > copied ? std::min(size - copied, kChunk) : kChunk);
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
        if (n > 0) {
            copied += n;
            continue;
        }
        if (n == 0) {
            if (copied == 0) {
                // Some files report no size but have content; read them the plain way.
                return readWriteCopy(in, out, 0);
            }
            return copied;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
            errno == EBADF) {
            return readWriteCopy(in, out, copied);
        }
        return std::unexpected(errno);
    }
    // The size read when the file was listed has been copied. A file still growing now is
    // newer than its copy and is taken again by the next run.
    return copied;
}

int FileOps::replace(int dirFd, const char* from, const char* to) {
    return ::renameat(dirFd, from, dirFd, to) == 0 ? 0 : errno;
}

int FileOps::toleranceForFileSystem(long magic) {
    return magic == kMsdosMagic ? 2 : 0;
}

int FileOps::timeTolerance(int dirFd) {
    struct statfs fs {};
    if (::fstatfs(dirFd, &fs) != 0) {
        return 0;
    }
    return toleranceForFileSystem(static_cast<long>(fs.f_type));
}

} // namespace tavelin
