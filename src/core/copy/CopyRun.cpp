#include "core/copy/CopyRun.h"

#include "core/copy/CopyDecision.h"
#include "core/copy/FileOps.h"
#include "core/copy/FileWorkers.h"
#include "core/copy/KeptVersions.h"
#include "core/copy/RunObserver.h"
#include "core/util/Error.h"
#include "core/util/FolderPath.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace tavelin {

namespace {

// Names per batch: large enough to keep the workers busy, small enough to keep memory flat.
constexpr std::size_t kBatchSize = 256;

// Finished temporaries wait for one flush of the whole lot. More waiting means fewer flushes
// but later renames; these bounds keep memory, open folders and the delay small.
constexpr std::size_t kMaxPendingFiles = 1024;
constexpr std::int64_t kMaxPendingBytes = 1LL << 30;
constexpr std::size_t kMaxPendingFolders = 256;
constexpr auto kMaxPendingAge = std::chrono::seconds(2);

CopyDecision::FileState stateOf(const struct stat& st) {
    return {st.st_mtim, static_cast<std::int64_t>(st.st_size)};
}

} // namespace

// One source folder and its destination, shared by the batches of its files. Destination
// folders below the base are opened relative to their parent and never through a link.
struct CopyRun::Folder {
    std::shared_ptr<Folder> parent;
    std::string name; // below the parent's destination; empty for the base
    UniqueFd sourceFd;
    std::string sourcePath;
    std::string destinationPath;
    std::string relative; // below the base
    mode_t sourceMode = 0755;

    std::mutex mutex; // guards the lazy opening of the destination
    UniqueFd destinationFd;
    dev_t destinationDev = 0;
    bool looked = false;
    std::string unusable; // why the destination folder cannot take files, once known
    UniqueFd versionsFd;  // its folder of kept versions, once made
    std::int64_t granularity = 1'000'000'000;
};

CopyRun::CopyRun(FileOps& ops, std::string destinationBase, RunObserver* observer,
                 RunResult& result, FileWorkers& workers, RunMode mode, int keepVersionsDays)
    : ops_(ops), destinationBase_(std::move(destinationBase)), observer_(observer), result_(result),
      workers_(workers), pid_(::getpid()), euid_(::geteuid()),
      // A random start keeps two runs of one process from picking the same temporary name.
      tempCounter_(std::random_device{}()), dryRun_(mode == RunMode::DryRun),
      keepVersionsDays_(keepVersionsDays) {}

CopyRun::~CopyRun() = default;

void CopyRun::enterFolder(int fd, const std::string& path, const std::string& relative) {
    auto folder = std::make_shared<Folder>();
    folder->sourceFd = UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    folder->sourcePath = path;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        folder->sourceMode = st.st_mode & 07777;
    }
    folder->relative = relative;
    if (relative.empty()) {
        folder->destinationPath = destinationBase_;
    } else {
        folder->parent = folders_.empty() ? nullptr : folders_.back();
        folder->name = FolderPath::folderName(relative);
        folder->destinationPath = FolderPath::join(destinationBase_, relative);
    }
    folders_.push_back(std::move(folder));
    folderHadFiles_ = false;
}

void CopyRun::file(const char* name, bool link) {
    if (batch_.empty()) {
        batchSeq_ = nextSeq_;
    }
    batch_.push_back(Entry{name, link});
    folderHadFiles_ = true;
    ++nextSeq_;
    if (batch_.size() >= kBatchSize) {
        submitBatch();
    }
}

void CopyRun::folderListed() {
    if (!folderHadFiles_ && !dryRun_) {
        // Still looked at: a stale temporary in this destination folder goes whatever the
        // pattern matched.
        workers_.submit([this, folder = folders_.back()] { copyBatch(folder, {}, 0); },
                        [this] { stopRequested(); });
        return;
    }
    submitBatch();
}

void CopyRun::leaveFolder() {
    folders_.pop_back();
}

void CopyRun::submitBatch() {
    if (batch_.empty()) {
        return;
    }
    workers_.submit([this, folder = folders_.back(), entries = std::move(batch_),
                     seq = batchSeq_] { copyBatch(folder, entries, seq); },
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
    std::vector<Pending> rest;
    {
        std::lock_guard lock(pendingMutex_);
        rest.swap(pending_);
    }
    if (!rest.empty()) {
        placeBatch(std::move(rest));
    }
    if (keepVersionsDays_ > 0 && !dryRun_) {
        KeptVersions::prune(destinationBase_, keepVersionsDays_, ops_.now());
    }
    // The renames become durable here, before the run can be reported as done.
    for (const auto& [dev, fd] : written_) {
        if (const int err = ops_.flush(fd.get()); err != 0) {
            failures_.emplace_back(
                nextSeq_++, FileFailure{destinationBase_,
                                        describeErrno("cannot flush", destinationBase_, err)});
        }
    }
    deliver();
    std::sort(failures_.begin(), failures_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& f : failures_) {
        result_.failures.push_back(std::move(f.second));
    }
    failures_.clear();
    std::sort(wouldCopy_.begin(), wouldCopy_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& w : wouldCopy_) {
        result_.wouldCopy.push_back(std::move(w.second));
    }
    wouldCopy_.clear();
    result_.stopped = result_.stopped || stop_;
}

void CopyRun::post(std::vector<Outcome>& outcomes) {
    if (outcomes.empty()) {
        return;
    }
    std::lock_guard lock(outcomesMutex_);
    for (auto& o : outcomes) {
        outcomes_.push_back(std::move(o));
    }
    outcomesWaiting_.store(true, std::memory_order_release);
    outcomes.clear();
}

void CopyRun::deliver() {
    if (!outcomesWaiting_.load(std::memory_order_acquire)) {
        return;
    }
    {
        std::lock_guard lock(outcomesMutex_);
        delivering_.swap(outcomes_);
        outcomesWaiting_.store(false, std::memory_order_relaxed);
    }
    for (auto& o : delivering_) {
        if (o.looked) {
            ++result_.counters.filesLooked;
        }
        if (o.copied) {
            ++result_.counters.filesCopied;
            result_.counters.bytesCopied += o.bytes;
        }
        if (o.failure) {
            failures_.emplace_back(o.seq, std::move(*o.failure));
        }
        if (o.wouldCopy) {
            wouldCopy_.emplace_back(o.seq, std::move(o.path));
        }
        if (observer_ != nullptr) {
            observer_->fileDone(result_.counters);
        }
    }
    delivering_.clear();
}

void CopyRun::copyBatch(const std::shared_ptr<Folder>& folder, const std::vector<Entry>& entries,
                        std::uint64_t firstSeq) {
    if (entries.empty()) {
        std::string ignored;
        openDestination(*folder, false, ignored);
        return;
    }
    // Outcomes go over in small bundles, so an unchanged tree does not take a lock per file.
    std::vector<Outcome> bundle;
    for (std::size_t i = 0; i < entries.size() && !stop_; ++i) {
        if (auto o = copyOneFile(folder, entries[i], firstSeq + i)) {
            bundle.push_back(std::move(*o));
            if (bundle.size() >= 16) {
                post(bundle);
            }
        }
    }
    post(bundle);
}

std::optional<CopyRun::Outcome> CopyRun::copyOneFile(const std::shared_ptr<Folder>& folder,
                                                     const Entry& entry, std::uint64_t seq) {
    const char* name = entry.name.c_str();
    Outcome outcome;
    outcome.seq = seq;
    struct stat st {};
    if (::fstatat(folder->sourceFd.get(), name, &st, 0) != 0) {
        if (errno == ENOENT) {
            return std::nullopt; // gone since it was listed
        }
        outcome.failure = FileFailure{
            FolderPath::join(folder->sourcePath, name),
            describeErrno("cannot read", FolderPath::join(folder->sourcePath, name), errno)};
        return outcome;
    }
    if (!S_ISREG(st.st_mode)) {
        return std::nullopt; // no longer a file
    }
    if (entry.link) {
        // As the kernel's protected links: a link is followed only when it belongs to whoever
        // runs the copy or to the owner of the file it points at.
        struct stat link {};
        if (::fstatat(folder->sourceFd.get(), name, &link, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(link.st_mode) && link.st_uid != euid_ && link.st_uid != st.st_uid) {
            const std::string path = FolderPath::join(folder->sourcePath, name);
            outcome.failure =
                FileFailure{path, describe("cannot read", path, "link owned by another user")};
            return outcome;
        }
    }
    // A copy waiting in the batch is looked at now (the progress moves on); it counts as
    // copied once it is in place.
    copyIfNewer(folder, entry, st, outcome);
    return outcome;
}

int CopyRun::keepVersion(Folder& folder, const std::string& name, const struct stat& old,
                         bool& moved) {
    {
        std::lock_guard lock(folder.mutex);
        if (!folder.versionsFd) {
            std::string path = FolderPath::join(destinationBase_, KeptVersions::kFolder);
            if (!folder.relative.empty()) {
                path = FolderPath::join(path, folder.relative);
            }
            if (const int err = FolderPath::makeFullPath(path); err != 0) {
                return err;
            }
            folder.versionsFd.reset(
                ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!folder.versionsFd) {
                return errno;
            }
        }
    }
    const int dir = folder.destinationFd.get();
    const int versions = folder.versionsFd.get();
    for (int counter = 1; counter < 10000; ++counter) {
        const std::string kept = KeptVersions::versionName(name, old.st_mtim.tv_sec, counter);
        int err = ops_.link(dir, name.c_str(), versions, kept.c_str());
        if (err == EPERM || err == EXDEV || err == EOPNOTSUPP || err == EMLINK) {
            // No second names here (FAT): the old file moves; a kill before the new one is in
            // place leaves it among the versions.
            err = ::renameat2(dir, name.c_str(), versions, kept.c_str(), RENAME_NOREPLACE) == 0
                      ? 0
                      : errno;
            moved = err == 0;
        }
        if (err != EEXIST) {
            return err;
        }
    }
    return EEXIST;
}

bool CopyRun::openDestination(Folder& folder, bool create, std::string& reason) {
    std::lock_guard lock(folder.mutex);
    if (folder.destinationFd) {
        return true;
    }
    if (!folder.unusable.empty()) {
        reason = folder.unusable;
        return false;
    }
    if (folder.looked && !create) {
        return false;
    }
    folder.looked = true;
    const mode_t mode = folder.sourceMode | S_IRWXU; // later runs must still write into it
    bool created = false;
    UniqueFd fd;
    if (folder.parent == nullptr) {
        fd = openBaseFolder(folder, create, mode, created);
    } else {
        if (!openDestination(*folder.parent, create, reason)) {
            return false;
        }
        fd = openSubFolder(folder, create, mode, created);
    }
    if (!fd) {
        reason = folder.unusable;
        return false;
    }
    if (created) {
        // The source folder's permission bits, not what the umask left of them.
        ::fchmod(fd.get(), mode);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0) {
        folder.destinationDev = st.st_dev;
    }
    folder.granularity = ops_.timeGranularity(fd.get());
    if (!dryRun_) {
        TempFile::removeStale(fd.get(), pid_);
    }
    folder.destinationFd = std::move(fd);
    return true;
}

UniqueFd CopyRun::openBaseFolder(Folder& folder, bool create, mode_t mode, bool& created) {
    // The base is the user's own choice; a link there is followed.
    const char* path = folder.destinationPath.c_str();
    UniqueFd fd(::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    int err = fd ? 0 : errno;
    if (err == ENOENT && create) {
        std::string failedAt = folder.destinationPath;
        const std::string parent = FolderPath::parentOf(folder.destinationPath);
        err = parent.empty() ? 0 : FolderPath::makeFullPath(parent, 0777, failedAt);
        if (err == 0) {
            created = ::mkdir(path, mode) == 0;
            err = created || errno == EEXIST ? 0 : errno;
            failedAt = folder.destinationPath;
        }
        if (err != 0) {
            folder.unusable = describeErrno("cannot create folder", failedAt, err);
        } else {
            fd.reset(::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            err = fd ? 0 : errno;
        }
    }
    if (!fd && folder.unusable.empty() && err != ENOENT) {
        folder.unusable = describeErrno("cannot open folder", folder.destinationPath, err);
    }
    return fd;
}

UniqueFd CopyRun::openSubFolder(Folder& folder, bool create, mode_t mode, bool& created) {
    const int parentFd = folder.parent->destinationFd.get();
    const char* name = folder.name.c_str();
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd fd(::openat(parentFd, name, kFlags));
    int err = fd ? 0 : errno;
    if (err == ENOENT && create) {
        created = ::mkdirat(parentFd, name, mode) == 0;
        if (!created && errno != EEXIST) {
            err = errno;
            folder.unusable = describeErrno("cannot create folder", folder.destinationPath, err);
        } else {
            fd.reset(::openat(parentFd, name, kFlags));
            err = fd ? 0 : errno;
        }
    }
    if (!fd && folder.unusable.empty() && err != ENOENT) {
        struct stat st {};
        const bool present = ::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (present && S_ISLNK(st.st_mode)) {
            folder.unusable = describe("cannot copy into", folder.destinationPath,
                                       "destination folder is a symbolic link");
        } else if (present && !S_ISDIR(st.st_mode)) {
            folder.unusable =
                describe("cannot copy into", folder.destinationPath, "a file is in the way");
        } else {
            folder.unusable = describeErrno("cannot open folder", folder.destinationPath, err);
        }
    }
    return fd;
}

bool CopyRun::copyIfNewer(const std::shared_ptr<Folder>& folder, const Entry& entry,
                          const struct stat& st, Outcome& outcome) {
    const char* name = entry.name.c_str();
    const auto failWith = [&](std::string reason) {
        outcome.failure =
            FileFailure{FolderPath::join(folder->sourcePath, name), std::move(reason)};
        return false;
    };
    std::string reason;
    Identity expected;
    if (openDestination(*folder, false, reason)) {
        const int dir = folder->destinationFd.get();
        // Only a failure needs the path: an unchanged tree builds no string per file.
        const auto destPath = [&] { return FolderPath::join(folder->destinationPath, name); };
        struct stat dst {};
        if (::fstatat(dir, name, &dst, AT_SYMLINK_NOFOLLOW) == 0) {
            expected = Identity{true,       S_ISREG(dst.st_mode), dst.st_dev,
                                dst.st_ino, dst.st_size,          dst.st_mtim};
            if (S_ISREG(dst.st_mode)) {
                if (!CopyDecision::needsCopy(stateOf(st), stateOf(dst), folder->granularity)) {
                    return false;
                }
            } else if (S_ISDIR(dst.st_mode)) {
                return failWith(describe("cannot replace", destPath(), "a folder is in the way"));
            } else if (S_ISLNK(dst.st_mode)) {
                // A link is not a copy: it is replaced by one, and nothing is written through it.
                struct stat target {};
                if (::fstatat(dir, name, &target, 0) == 0 && S_ISDIR(target.st_mode)) {
                    return failWith(
                        describe("cannot replace", destPath(), "a link to a folder is in the way"));
                }
            } else {
                return failWith(
                    describe("cannot replace", destPath(), "a special file is in the way"));
            }
        } else if (const int err = errno; err != ENOENT) {
            return failWith(describeErrno("cannot read", destPath(), err));
        }
    } else if (!reason.empty()) {
        return failWith(reason);
    } else if (!dryRun_ && !openDestination(*folder, true, reason)) {
        // (A dry run makes no folder: the file would be copied into the one a run makes.)
        return failWith(reason.empty()
                            ? describeErrno("cannot create folder", folder->destinationPath, EIO)
                            : reason);
    }
    if (dryRun_) {
        outcome.wouldCopy = true;
        outcome.path = FolderPath::join(folder->sourcePath, name);
        return false;
    }
    return copyToTemporary(folder, entry, st, expected, outcome);
}

bool CopyRun::copyToTemporary(const std::shared_ptr<Folder>& folder, const Entry& entry,
                              const struct stat& judged, const Identity& expected,
                              Outcome& outcome) {
    const char* name = entry.name.c_str();
    const std::string sourcePath = FolderPath::join(folder->sourcePath, name);
    const std::string destPath = FolderPath::join(folder->destinationPath, name);
    const auto fail = [&](const std::string& operation, const std::string& path, int err) {
        outcome.failure = FileFailure{sourcePath, describeErrno(operation, path, err)};
        return false;
    };
    // O_NONBLOCK: should the entry have turned into a FIFO since it was listed, do not hang.
    UniqueFd in(
        ::openat(folder->sourceFd.get(), name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!in) {
        return fail("cannot read", sourcePath, errno);
    }
    // The file opened must be the one judged (and, for a link, the target it was judged by).
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) {
        return fail("cannot read", sourcePath, errno);
    }
    if (st.st_dev != judged.st_dev || st.st_ino != judged.st_ino || !S_ISREG(st.st_mode)) {
        outcome.failure =
            FileFailure{sourcePath, describe("cannot read", sourcePath, "changed during the copy")};
        return false;
    }
    auto temp = TempFile::create(folder->destinationFd.get(), pid_, tempCounter_);
    if (!temp) {
        return fail("cannot create", destPath, temp.error());
    }
    const auto copied =
        ops_.copyData(in.get(), temp->fd(), st.st_size, [this] { return stop_.load(); });
    if (!copied) {
        // ECANCELED: stopped in the middle of a large file; nothing failed. The temporary goes
        // with `temp`; the old copy stays.
        return copied.error() == ECANCELED ? false : fail("cannot write", destPath, copied.error());
    }
    // Mode and time are set on the temporary file, so the destination appears complete in one
    // step. Set-user and set-group bits are not carried over.
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (const int err = temp->finish(st.st_mode & 01777, times); err != 0) {
        return fail("cannot write", destPath, err);
    }
    Pending pending{folder, std::move(*temp), entry.name, expected, Outcome{}};
    pending.outcome.seq = outcome.seq;
    pending.outcome.looked = false; // already counted when the copy was made
    pending.outcome.bytes = *copied;
    addPending(std::move(pending));
    return true;
}

void CopyRun::addPending(Pending pending) {
    std::vector<Pending> ready;
    {
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard lock(pendingMutex_);
        if (pending_.empty()) {
            pendingSince_ = now;
        }
        if (std::find(pendingFolders_.begin(), pendingFolders_.end(), pending.folder.get()) ==
            pendingFolders_.end()) {
            pendingFolders_.push_back(pending.folder.get());
        }
        pendingBytes_ += pending.outcome.bytes;
        pending_.push_back(std::move(pending));
        if (pending_.size() >= kMaxPendingFiles || pendingBytes_ >= kMaxPendingBytes ||
            pendingFolders_.size() >= kMaxPendingFolders || now - pendingSince_ >= kMaxPendingAge) {
            ready.swap(pending_);
            pendingBytes_ = 0;
            pendingFolders_.clear();
        }
    }
    if (!ready.empty()) {
        placeBatch(std::move(ready));
    }
}

void CopyRun::placeBatch(std::vector<Pending> batch) {
    std::vector<Outcome> done;
    done.reserve(batch.size());
    if (stop_) {
        // Stopped: the temporaries go and every destination keeps the version it had.
        for (auto& p : batch) {
            p.temp.discard();
            p.outcome.bytes = 0;
            done.push_back(std::move(p.outcome));
        }
        post(done);
        return;
    }
    // One flush per file system makes the whole batch durable before any of it is renamed.
    std::vector<std::pair<dev_t, int>> flushed;
    for (auto& p : batch) {
        const Folder& folder = *p.folder;
        auto it = std::find_if(flushed.begin(), flushed.end(),
                               [&](const auto& f) { return f.first == folder.destinationDev; });
        if (it == flushed.end()) {
            flushed.emplace_back(folder.destinationDev, ops_.flush(folder.destinationFd.get()));
            it = flushed.end() - 1;
            std::lock_guard lock(pendingMutex_);
            if (std::none_of(written_.begin(), written_.end(),
                             [&](const auto& w) { return w.first == folder.destinationDev; })) {
                written_.emplace_back(
                    folder.destinationDev,
                    UniqueFd(::fcntl(folder.destinationFd.get(), F_DUPFD_CLOEXEC, 0)));
            }
        }
        if (it->second != 0) {
            p.temp.discard();
            p.outcome.failure = FileFailure{
                FolderPath::join(folder.sourcePath, p.name),
                describeErrno("cannot write", FolderPath::join(folder.destinationPath, p.name),
                              it->second)};
        } else {
            place(p);
        }
        done.push_back(std::move(p.outcome));
    }
    post(done);
}

void CopyRun::place(Pending& p) {
    const Folder& folder = *p.folder;
    const int dir = folder.destinationFd.get();
    const std::string destPath = FolderPath::join(folder.destinationPath, p.name);
    const auto failWith = [&](std::string reason) {
        p.temp.discard();
        p.outcome.bytes = 0;
        p.outcome.failure =
            FileFailure{FolderPath::join(folder.sourcePath, p.name), std::move(reason)};
    };
    // The user's change wins: a destination that changed since the copy was decided on stays.
    struct stat now {};
    const bool exists = ::fstatat(dir, p.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
    const Identity& e = p.expected;
    const bool unchanged =
        exists == e.exists &&
        (!exists ||
         (now.st_dev == e.dev && now.st_ino == e.ino && now.st_size == e.size &&
          now.st_mtim.tv_sec == e.modified.tv_sec && now.st_mtim.tv_nsec == e.modified.tv_nsec));
    if (!unchanged) {
        failWith(describe("not replaced", destPath, "changed during the copy"));
        return;
    }
    bool moved = false;
    if (keepVersionsDays_ >= 0 && e.exists && e.regular) {
        if (const int err = keepVersion(*p.folder, p.name, now, moved); err != 0) {
            failWith(describeErrno("cannot keep the replaced version of", destPath, err));
            return;
        }
    }
    const int err = ops_.place(dir, p.temp.name().c_str(), p.name.c_str(), e.exists || moved);
    if (err == EEXIST && !e.exists) {
        failWith(describe("not replaced", destPath, "changed during the copy"));
    } else if (err != 0) {
        failWith(describeErrno("cannot replace", destPath, err));
    } else {
        p.temp.placed();
        p.outcome.copied = true;
    }
}

} // namespace tavelin
