#include "copy/CopyRun.h"

#include "copy/FileOps.h"
#include "copy/FileWorkers.h"
#include "copy/PathRules.h"
#include "copy/RunObserver.h"
#include "copy/TempName.h"
#include "util/Error.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace tavelin {

namespace {

// Read without changing it: umask() itself would race with the workers' file creation.
mode_t currentUmask() {
    FILE* f = std::fopen("/proc/self/status", "r");
    unsigned value = 022;
    if (f != nullptr) {
        char line[256];
        while (std::fgets(line, sizeof line, f) != nullptr) {
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                break;
            }
        }
        std::fclose(f);
    }
    return static_cast<mode_t>(value);
}

// Names per batch: large enough to keep the workers busy, small enough to keep memory flat.
constexpr std::size_t kBatchSize = 256;
} // namespace

// One source folder and its destination, shared by the batches of its files.
struct CopyRun::Folder {
    int sourceFd = -1;
    std::string sourcePath;
    std::string destinationPath;

    std::mutex mutex; // guards the lazy opening of the destination
    int destinationFd = -1;
    bool looked = false;
    int tolerance = 0;

    ~Folder() {
        if (sourceFd >= 0) {
            ::close(sourceFd);
        }
        if (destinationFd >= 0) {
            ::close(destinationFd);
        }
    }
};

CopyRun::CopyRun(FileOps& ops, std::string destinationBase, RunObserver* observer,
                 RunResult& result, FileWorkers& workers)
    : ops_(ops), destinationBase_(std::move(destinationBase)), observer_(observer), result_(result),
      workers_(workers), pid_(::getpid()),
      // A random start keeps two runs of one process from picking the same temporary name.
      tempCounter_(std::random_device{}()), umask_(currentUmask()) {}

CopyRun::~CopyRun() = default;

void CopyRun::enterFolder(int fd, const std::string& path, const std::string& relative) {
    auto folder = std::make_shared<Folder>();
    folder->sourceFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    folder->sourcePath = path;
    folder->destinationPath =
        relative.empty() ? destinationBase_ : PathRules::join(destinationBase_, relative);
    folders_.push_back(std::move(folder));
}

void CopyRun::file(const char* name) {
    if (batch_.empty()) {
        batchSeq_ = nextSeq_;
    }
    batch_.emplace_back(name);
    ++nextSeq_;
    if (batch_.size() >= kBatchSize) {
        submitBatch();
    }
}

void CopyRun::folderListed() {
    submitBatch();
}

void CopyRun::leaveFolder() {
    folders_.pop_back();
}

void CopyRun::submitBatch() {
    if (batch_.empty()) {
        return;
    }
    workers_.submit([this, folder = folders_.back(), names = std::move(batch_),
                     seq = batchSeq_] { copyBatch(folder, names, seq); },
                    [this] { stopRequested(); });
    batch_.clear();
}

void CopyRun::subfolder() {
    deliver();
    ++result_.counters.foldersDone;
    if (observer_ != nullptr) {
        observer_->folderEntered(result_.counters);
    }
}

void CopyRun::failure(const std::string& path, const std::string& reason) {
    failures_.emplace_back(nextSeq_++, FileFailure{path, reason});
}

bool CopyRun::stopRequested() {
    deliver();
    if (!stop_ && observer_ != nullptr && observer_->stopRequested()) {
        stop_ = true;
    }
    return stop_;
}

void CopyRun::finish() {
    submitBatch();
    workers_.finish([this] { stopRequested(); });
    deliver();
    std::sort(failures_.begin(), failures_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& f : failures_) {
        result_.failures.push_back(std::move(f.second));
    }
    failures_.clear();
    result_.stopped = result_.stopped || stop_;
}

void CopyRun::deliver() {
    if (!pending_.load(std::memory_order_acquire)) {
        return;
    }
    {
        std::lock_guard lock(outcomesMutex_);
        delivering_.swap(outcomes_);
        pending_.store(false, std::memory_order_relaxed);
    }
    for (auto& o : delivering_) {
        ++result_.counters.filesLooked;
        if (o.copied) {
            ++result_.counters.filesCopied;
            result_.counters.bytesCopied += o.bytes;
        }
        if (o.failure) {
            failures_.emplace_back(o.seq, std::move(*o.failure));
        }
        if (observer_ != nullptr) {
            observer_->fileDone(result_.counters);
        }
    }
    delivering_.clear();
}

void CopyRun::copyBatch(const std::shared_ptr<Folder>& folder,
                        const std::vector<std::string>& names, std::uint64_t firstSeq) {
    // Outcomes go over in small bundles (at once after a real copy, which is slow anyway), so an
    // unchanged tree does not take a lock per file.
    std::vector<Outcome> bundle;
    const auto flush = [&] {
        if (!bundle.empty()) {
            std::lock_guard lock(outcomesMutex_);
            for (auto& o : bundle) {
                outcomes_.push_back(std::move(o));
            }
            pending_.store(true, std::memory_order_release);
            bundle.clear();
        }
    };
    for (std::size_t i = 0; i < names.size() && !stop_; ++i) {
        Outcome o = CopyOneFile(*folder, names[i].c_str(), firstSeq + i);
        if (o.seq == UINT64_MAX) {
            continue; // no longer a file: not looked at
        }
        const bool copied = o.copied;
        bundle.push_back(std::move(o));
        if (copied || bundle.size() >= 16) {
            flush();
        }
    }
    flush();
}

CopyRun::Outcome CopyRun::CopyOneFile(Folder& folder, const char* name, std::uint64_t seq) {
    Outcome outcome;
    struct stat st {};
    if (::fstatat(folder.sourceFd, name, &st, 0) != 0 || !S_ISREG(st.st_mode)) {
        outcome.seq = UINT64_MAX;
        return outcome;
    }
    outcome.seq = seq;
    outcome.copied = CopyIfNewer(folder, name, st, outcome);
    return outcome;
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
    for (std::size_t pos = folder.find('/', 1);; pos = folder.find('/', pos + 1)) {
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

bool CopyRun::openDestination(Folder& folder, bool create, int& error) {
    std::lock_guard lock(folder.mutex);
    if (folder.destinationFd >= 0) {
        return true;
    }
    if (folder.looked && !create) {
        return false;
    }
    folder.looked = true;
    if (create) {
        error = MakeFolder(folder.destinationPath);
    }
    const int fd = ::open(folder.destinationPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = error != 0 ? error : errno;
        return false;
    }
    folder.tolerance = ops_.timeTolerance(fd);
    removeStaleTemps(fd);
    folder.destinationFd = fd;
    return true;
}

bool CopyRun::CopyIfNewer(Folder& folder, const char* name, const struct stat& st,
                          Outcome& outcome) {
    int error = 0;
    if (openDestination(folder, false, error)) {
        if (const auto destTime = FileModifiedTime(folder.destinationFd, name)) {
            const std::int64_t needed = folder.tolerance > 1 ? folder.tolerance : 1;
            if (static_cast<std::int64_t>(st.st_mtim.tv_sec) - *destTime < needed) {
                return false;
            }
        }
    } else if (!openDestination(folder, true, error)) {
        outcome.failure = FileFailure{PathRules::join(folder.sourcePath, name),
                                      describeErrno("cannot create folder", folder.destinationPath,
                                                    error != 0 ? error : EIO)};
        return false;
    }
    return copyIntoPlace(folder, name, st, PathRules::join(folder.sourcePath, name), outcome);
}

bool CopyRun::copyIntoPlace(Folder& folder, const char* name, const struct stat& st,
                            const std::string& sourcePath, Outcome& outcome) {
    const int dir = folder.destinationFd;
    const std::string destPath = PathRules::join(folder.destinationPath, name);
    const auto fail = [&](const std::string& operation, const std::string& path, int err) {
        outcome.failure = FileFailure{sourcePath, describeErrno(operation, path, err)};
        return false;
    };
    // O_NONBLOCK: should the entry have turned into a FIFO since it was listed, do not hang.
    const int in = ::openat(folder.sourceFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (in < 0) {
        return fail("cannot read", sourcePath, errno);
    }
    // Created with the source's permission bits; only what the umask took away is set again.
    const mode_t mode = st.st_mode & 0777;
    std::string temp;
    int out = -1;
    for (int attempt = 0; attempt < 8 && out < 0; ++attempt) {
        temp = TempName::make(pid_, tempCounter_++);
        out =
            ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (out < 0 && errno != EEXIST) {
            break;
        }
    }
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return fail("cannot create", destPath, err);
    }
    // Anything that goes wrong from here removes the temporary file; the old copy stays.
    const auto abandon = [&](const std::string& operation, int err) {
        if (out >= 0) {
            ::close(out);
        }
        ::unlinkat(dir, temp.c_str(), 0);
        ::close(in);
        return err == ECANCELED ? false : fail(operation, destPath, err);
    };

    const auto copied = ops_.copyData(in, out, st.st_size, [this] { return stop_.load(); });
    if (!copied) {
        // ECANCELED: stopped in the middle of a large file; nothing failed.
        return abandon("cannot write", copied.error());
    }
    // Mode and time are set on the temporary file, so the destination appears complete in one
    // step. Some file systems (FAT) refuse modes; that is not a failure.
    if ((mode & ~umask_) != (st.st_mode & 01777)) {
        ::fchmod(out, st.st_mode & 01777);
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out, times) != 0) {
        return abandon("cannot set the time of", errno);
    }
    const int closed = ::close(out);
    out = -1;
    if (closed != 0) {
        return abandon("cannot write", errno);
    }
    ::close(in);
    if (const int err = ops_.replace(dir, temp.c_str(), name); err != 0) {
        ::unlinkat(dir, temp.c_str(), 0);
        return fail("cannot replace", destPath, err);
    }
    outcome.bytes = *copied;
    return true;
}

void CopyRun::removeStaleTemps(int dirFd) {
    // A second handle on the same open folder: no path to look up again.
    const int fd = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
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
