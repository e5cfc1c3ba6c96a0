#include "core/copy/TempFile.h"

#include "core/copy/TempName.h"
#include "core/util/FolderListing.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/xattr.h>
#include <unistd.h>

namespace tavelin {

namespace {

// The attribute is read through the folder's descriptor, so a renamed or replaced folder
// path can never point the check elsewhere.
std::string procPath(int dirFd, const char* name) {
    return "/proc/self/fd/" + std::to_string(dirFd) + "/" + name;
}

} // namespace

TempFile::TempFile(int dirFd, UniqueFd fd, std::string name)
    : dirFd_(dirFd), fd_(std::move(fd)), name_(std::move(name)) {}

TempFile::TempFile(TempFile&& other) noexcept
    : dirFd_(other.dirFd_), fd_(std::move(other.fd_)), name_(std::move(other.name_)) {
    other.name_.clear();
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
    if (this != &other) {
        discard();
        dirFd_ = other.dirFd_;
        fd_ = std::move(other.fd_);
        name_ = std::move(other.name_);
        other.name_.clear();
    }
    return *this;
}

TempFile::~TempFile() {
    discard();
}

std::expected<TempFile, int> TempFile::create(int dirFd, pid_t pid,
                                              std::atomic<std::uint32_t>& counter) {
    int err = EEXIST;
    for (int attempt = 0; attempt < 8 && err == EEXIST; ++attempt) {
        std::string name = TempName::make(pid, counter++);
        // Owner-only while written: the mark needs write permission, and nobody else should
        // read a file that is not complete yet.
        UniqueFd fd(::openat(dirFd, name.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!fd) {
            err = errno;
            continue;
        }
        // Without extended attributes on this file system the name alone marks it.
        ::fsetxattr(fd.get(), kMarkAttribute, name.data(), name.size(), 0);
        return TempFile(dirFd, std::move(fd), std::move(name));
    }
    return std::unexpected(err);
}

int TempFile::finish(mode_t mode, const struct timespec (&times)[2]) {
    // Some file systems (FAT) refuse modes; that is not a failure.
    ::fchmod(fd_.get(), mode & 07777);
    if (::futimens(fd_.get(), times) != 0) {
        return errno;
    }
    return fd_.close();
}

void TempFile::discard() {
    fd_.reset();
    if (!name_.empty()) {
        ::unlinkat(dirFd_, name_.c_str(), 0);
        name_.clear();
    }
}

void TempFile::placed() {
    fd_.reset();
    name_.clear();
}

bool TempFile::isTemporary(int dirFd, const char* name) {
    if (!TempName::isTemp(name)) {
        return false;
    }
    char value[TempName::kLength + 1];
    const ssize_t n =
        ::lgetxattr(procPath(dirFd, name).c_str(), kMarkAttribute, value, sizeof value);
    if (n < 0) {
        // No mark where marks can be kept: a user's file that looks like ours.
        return errno == ENOTSUP;
    }
    return std::string_view(value, static_cast<std::size_t>(n)) == name;
}

void TempFile::removeStale(int dirFd, pid_t self) {
    // A second handle on the same open folder: no path to look up again.
    FolderListing listing(UniqueFd(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0)));
    if (!listing.valid()) {
        return;
    }
    while (const dirent* entry = listing.next()) {
        if (!TempName::isTemp(entry->d_name)) {
            continue;
        }
        // Left behind by a process that no longer exists: nobody will finish it.
        const pid_t owner = TempName::ownerOf(entry->d_name);
        if (owner != self && ::kill(owner, 0) != 0 && errno == ESRCH &&
            isTemporary(dirFd, entry->d_name)) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
}

} // namespace tavelin
