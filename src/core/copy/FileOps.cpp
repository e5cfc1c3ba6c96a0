#include "core/copy/FileOps.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace tavelin {

namespace {

constexpr std::int64_t kSecond = 1'000'000'000;
// A stop request waits for no more than one chunk.
constexpr std::int64_t kChunk = 64 << 20;

bool kernelCannotCopy(int err) {
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == EBADF;
}

// Copies [offset, offset + length) with plain reads and writes. Returns the bytes copied
// (fewer at the end of the file) or an errno value.
std::expected<std::int64_t, int> readWriteRange(int in, int out, off_t offset,
                                                std::int64_t length) {
    char buffer[128 * 1024];
    std::int64_t copied = 0;
    while (copied < length) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(length - copied, static_cast<std::int64_t>(sizeof buffer)));
        const ssize_t n = ::pread(in, buffer, want, offset + copied);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::unexpected(errno);
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = ::pwrite(out, buffer + done, static_cast<std::size_t>(n - done),
                                       offset + copied + done);
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
    return copied;
}

// Files that report no size but have content (some pseudo files): read to the end.
std::expected<std::int64_t, int> readToEnd(int in, int out, const FileOps::StopCheck& stop) {
    std::int64_t copied = 0;
    for (;;) {
        if (copied > 0 && stop && stop()) {
            return std::unexpected(ECANCELED);
        }
        const auto n = readWriteRange(in, out, static_cast<off_t>(copied), kChunk);
        if (!n) {
            return n;
        }
        copied += *n;
        if (*n < kChunk) {
            return copied;
        }
    }
}

} // namespace

std::expected<std::int64_t, int> FileOps::copyData(int in, int out, std::int64_t size,
                                                   const StopCheck& stop) {
    if (size == 0) {
        return readToEnd(in, out, stop);
    }
    bool kernelCopy = true;
    bool anyCopied = false;
    bool ended = false;
    off_t pos = 0;
    while (pos < size && !ended) {
        // Only the parts that hold data are copied; holes stay holes.
        off_t data = ::lseek(in, pos, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) {
                break; // a hole up to the end
            }
            data = pos; // no hole support: all of it is data
        }
        if (data >= size) {
            break;
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0 || hole > size) {
            hole = static_cast<off_t>(size);
        }
        while (data < hole) {
            if (anyCopied && stop && stop()) {
                return std::unexpected(ECANCELED);
            }
            const std::int64_t length = std::min<std::int64_t>(hole - data, kChunk);
            std::int64_t n = 0;
            if (kernelCopy) {
                // The kernel copies (or shares extents) without the data passing through here.
                off_t inOff = data;
                off_t outOff = data;
                const ssize_t r = ::copy_file_range(in, &inOff, out, &outOff,
                                                    static_cast<std::size_t>(length), 0);
                if (r < 0 && errno == EINTR) {
                    continue;
                }
                if (r < 0 && kernelCannotCopy(errno)) {
                    kernelCopy = false;
                    continue;
                }
                if (r < 0) {
                    return std::unexpected(errno);
                }
                n = r;
            } else {
                const auto r = readWriteRange(in, out, data, length);
                if (!r) {
                    return std::unexpected(r.error());
                }
                n = *r;
            }
            anyCopied = true;
            if (n == 0) {
                // Shorter than when it was listed: what is there has been copied; the next
                // run takes the file again, as its time has changed.
                size = data;
                ended = true;
                break;
            }
            data += static_cast<off_t>(n);
        }
        pos = std::max(pos, hole);
    }
    // A file that ends in a hole gets its length without writing the zeros.
    if (::ftruncate(out, static_cast<off_t>(size)) != 0) {
        return std::unexpected(errno);
    }
    return size;
}

int FileOps::place(int dirFd, const char* from, const char* to, bool replace) {
    if (replace) {
        return ::renameat(dirFd, from, dirFd, to) == 0 ? 0 : errno;
    }
    if (::renameat2(dirFd, from, dirFd, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without the no-replace rename: look first, then rename.
    struct stat st {};
    if (::fstatat(dirFd, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    return ::renameat(dirFd, from, dirFd, to) == 0 ? 0 : errno;
}

int FileOps::link(int dirFd, const char* name, int toDirFd, const char* to) {
    return ::linkat(dirFd, name, toDirFd, to, 0) == 0 ? 0 : errno;
}

std::int64_t FileOps::now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

int FileOps::flush(int dirFd) {
    return ::syncfs(dirFd) == 0 ? 0 : errno;
}

std::int64_t FileOps::granularityForFileSystem(long magic) {
    switch (static_cast<unsigned long>(magic) & 0xffffffffUL) {
    case 0x4d44UL: // FAT: 2-second steps
        return 2 * kSecond;
    case 0x2011BAB0UL: // exFAT: 10 ms
        return 10'000'000;
    case 0x5346544eUL: // NTFS
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
        return 100;
    case 0xEF53UL:     // ext2/3/4
    case 0x58465342UL: // XFS
    case 0x9123683EUL: // Btrfs
    case 0x01021994UL: // tmpfs
    case 0xF2F52010UL: // F2FS
    case 0x2FC12FC1UL: // ZFS
        return 1;
    default:
        // Not known: whole seconds, so that a coarser clock never causes a copy on every run.
        return kSecond;
    }
}

std::int64_t FileOps::timeGranularity(int dirFd) {
    struct statfs fs {};
    if (::fstatfs(dirFd, &fs) != 0) {
        return kSecond;
    }
    return granularityForFileSystem(static_cast<long>(fs.f_type));
}

} // namespace tavelin
