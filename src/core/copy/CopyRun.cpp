#include "copy/CopyRun.h"

#include "copy/FileOps.h"
#include "copy/PathRules.h"
#include "copy/RunObserver.h"
#include "copy/TempName.h"
#include "util/Error.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelin {

CopyRun::CopyRun(FileOps& ops, std::string destinationBase, RunObserver* observer,
                 RunResult& result)
    : ops_(ops), destinationBase_(std::move(destinationBase)), observer_(observer),
      result_(result), pid_(::getpid()),
      // A random start keeps two runs of one process from picking the same temporary name.
      tempCounter_(std::random_device{}()) {}

CopyRun::~CopyRun() {
    for (auto& f : folders_) {
        if (f.fd >= 0) {
            ::close(f.fd);
        }
    }
}

void CopyRun::enterFolder(const std::string&, const std::string& relative) {
    DestinationFolder folder;
    folder.path = relative.empty() ? destinationBase_ : PathRules::join(destinationBase_, relative);
    folders_.push_back(std::move(folder));
}

void CopyRun::leaveFolder() {
    if (folders_.back().fd >= 0) {
        ::close(folders_.back().fd);
    }
    folders_.pop_back();
}

void CopyRun::subfolder() {
    ++result_.counters.foldersDone;
    if (observer_ != nullptr) {
        observer_->folderEntered(result_.counters);
    }
}

void CopyRun::file(int dirFd, const char* name, const struct stat& st,
                   const std::string& folderPath) {
    CopyOneFile(dirFd, name, st, folderPath);
}

void CopyRun::failure(const std::string& path, const std::string& reason) {
    result_.failures.push_back({path, reason});
}

bool CopyRun::stopRequested() const {
    return observer_ != nullptr && observer_->stopRequested();
}

void CopyRun::CopyOneFile(int dirFd, const char* name, const struct stat& st,
                          const std::string& folderPath) {
    ++result_.counters.filesLooked;
    CopyIfNewer(dirFd, name, st, PathRules::join(folderPath, name));
    if (observer_ != nullptr) {
        observer_->fileDone(result_.counters);
    }
}

std::optional<std::int64_t> CopyRun::FileModifiedTime(int dirFd, const char* name) {
    struct stat st {};
    if (dirFd < 0 || ::fstatat(dirFd, name, &st, 0) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(st.st_mtim.tv_sec);
}

int CopyRun::MakeFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST) {
        return 0;
    }
    if (errno == ENOENT) {
        return MakeFullPath(folder);
    }
    return errno;
}

int CopyRun::MakeFullPath(const std::string& folder) {
    // Every level in turn; a level that exists or fails does not stop the next attempt.
    int last = 0;
    for (std::size_t pos = folder.find('/', 1); ; pos = folder.find('/', pos + 1)) {
        const std::string level = pos == std::string::npos ? folder : folder.substr(0, pos);
        if (!level.empty() && level.back() != '/') {
            last = (::mkdir(level.c_str(), 0777) == 0 || errno == EEXIST) ? 0 : errno;
        }
        if (pos == std::string::npos) {
            break;
        }
    }
    return last;
}

bool CopyRun::openDestination(DestinationFolder& folder, bool create,
                              const std::string& sourcePath) {
    if (folder.fd >= 0) {
        return true;
    }
    if (!folder.looked || create) {
        folder.looked = true;
        int err = 0;
        if (create) {
            err = MakeFolder(folder.path);
        }
        folder.fd = ::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder.fd >= 0) {
            folder.tolerance = ops_.timeTolerance(folder.fd);
            removeStaleTemps(folder.fd);
            return true;
        }
        if (create) {
            failure(sourcePath,
                    describeErrno("cannot create folder", folder.path, err != 0 ? err : errno));
        }
    }
    return false;
}

bool CopyRun::CopyIfNewer(int srcDirFd, const char* name, const struct stat& st,
                          const std::string& sourcePath) {
    DestinationFolder& folder = folders_.back();
    openDestination(folder, false, sourcePath);
    if (const auto destTime = FileModifiedTime(folder.fd, name)) {
        const std::int64_t needed = folder.tolerance > 1 ? folder.tolerance : 1;
        if (static_cast<std::int64_t>(st.st_mtim.tv_sec) - *destTime < needed) {
            return false;
        }
    }
    if (folder.fd < 0 && !openDestination(folder, true, sourcePath)) {
        return false;
    }
    return copyIntoPlace(folder, srcDirFd, name, st, sourcePath);
}

bool CopyRun::copyIntoPlace(DestinationFolder& folder, int srcDirFd, const char* name,
                            const struct stat& st, const std::string& sourcePath) {
    const std::string destPath = PathRules::join(folder.path, name);
    // O_NONBLOCK: should the entry have turned into a FIFO since it was listed, do not hang.
    const int in = ::openat(srcDirFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (in < 0) {
        failure(sourcePath, describeErrno("cannot read", sourcePath, errno));
        return false;
    }
    std::string temp;
    int out = -1;
    for (int attempt = 0; attempt < 8 && out < 0; ++attempt) {
        temp = TempName::make(pid_, tempCounter_++);
        out = ::openat(folder.fd, temp.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (out < 0 && errno != EEXIST) {
            break;
        }
    }
    if (out < 0) {
        failure(sourcePath, describeErrno("cannot create", destPath, errno));
        ::close(in);
        return false;
    }

    auto abandon = [&](const std::string& operation, int err) {
        ::close(out);
        ::unlinkat(folder.fd, temp.c_str(), 0);
        ::close(in);
        failure(sourcePath, describeErrno(operation, destPath, err));
        return false;
    };

    const auto copied = ops_.copyData(in, out, st.st_size, [this] { return stopRequested(); });
    if (!copied && copied.error() == ECANCELED) {
        // Stopped in the middle of a large file: nothing half-written stays, nothing failed.
        ::close(out);
        ::unlinkat(folder.fd, temp.c_str(), 0);
        ::close(in);
        return false;
    }
    if (!copied) {
        return abandon("cannot write", copied.error());
    }
    // Permission bits and time are set on the temporary file, so the destination appears
    // complete in one step. Some file systems (FAT) refuse modes; that is not a failure.
    ::fchmod(out, st.st_mode & 01777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out, times) != 0) {
        return abandon("cannot set the time of", errno);
    }
    if (::close(out) != 0) {
        out = -1;
        const int err = errno;
        ::unlinkat(folder.fd, temp.c_str(), 0);
        ::close(in);
        failure(sourcePath, describeErrno("cannot write", destPath, err));
        return false;
    }
    ::close(in);
    if (const int err = ops_.replace(folder.fd, temp.c_str(), name); err != 0) {
        ::unlinkat(folder.fd, temp.c_str(), 0);
        failure(sourcePath, describeErrno("cannot replace", destPath, err));
        return false;
    }
    ++result_.counters.filesCopied;
    result_.counters.bytesCopied += *copied;
    return true;
}

void CopyRun::removeStaleTemps(int dirFd) {
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (!TempName::isTemp(entry->d_name)) {
            continue;
        }
        // Left behind by a process that no longer exists: nobody will finish it.
        const pid_t owner = TempName::ownerOf(entry->d_name);
        if (owner != pid_ && ::kill(owner, 0) != 0 && errno == ESRCH) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

} // namespace tavelin
