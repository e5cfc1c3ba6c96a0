#pragma once

#include "core/copy/FileFailure.h"
#include "core/copy/FolderWalkVisitor.h"
#include "core/copy/RunMode.h"
#include "core/copy/RunResult.h"
#include "core/copy/TempFile.h"
#include "core/util/UniqueFd.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace tavelin {

class FileOps;
class FileWorkers;
class RunObserver;

// The state of one copy run while the walk goes on. The walk (and every observer call) stays on
// the calling thread; the per-file work (judge, copy to a temporary) runs on the workers.
// Finished temporaries wait in a batch: one flush makes the whole batch durable, then they are
// renamed into place, and the run flushes once more at its end, so a file reported as copied
// survives a power cut. A new one for every run, so runs never share anything.
class CopyRun final : public FolderWalkVisitor {
  public:
    // `keepVersionsDays`: -1 keeps no replaced versions; 0 keeps them all; N above 0 keeps them
    // and removes those kept more than N days ago at the end.
    CopyRun(FileOps& ops, std::string destinationBase, RunObserver* observer, RunResult& result,
            FileWorkers& workers, RunMode mode = RunMode::Copy, int keepVersionsDays = -1);
    ~CopyRun() override;
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

    void enterFolder(int fd, const std::string& path, const std::string& relative) override;
    void folderListed() override;
    void leaveFolder() override;
    void subfolder() override;
    void file(const char* name, bool link) override;
    void failure(const std::string& path, const std::string& reason) override;
    bool stopRequested() override;

    // Waits for the files still being copied, puts the last of them in place, makes it all
    // durable and completes the result.
    void finish();

  private:
    struct Folder;
    struct Entry {
        std::string name;
        bool link = false;
    };
    struct Outcome {
        std::uint64_t seq = 0;
        bool looked = true;
        bool copied = false;
        bool wouldCopy = false; // a dry run's decision, for the source file at `path`
        std::string path;
        std::int64_t bytes = 0;
        std::optional<FileFailure> failure;
    };
    // What the destination name held when the copy was decided on.
    struct Identity {
        bool exists = false;
        bool regular = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        struct timespec modified {};
    };
    // A complete temporary waiting for the batch's flush and its rename.
    struct Pending {
        std::shared_ptr<Folder> folder;
        TempFile temp;
        std::string name;
        Identity expected;
        Outcome outcome;
    };

    void submitBatch();
    void copyBatch(const std::shared_ptr<Folder>& folder, const std::vector<Entry>& entries,
                   std::uint64_t firstSeq);
    // Judges one file and copies it to a temporary when needed; a copy waits in the batch.
    std::optional<Outcome> copyOneFile(const std::shared_ptr<Folder>& folder, const Entry& entry,
                                       std::uint64_t seq);
    bool copyIfNewer(const std::shared_ptr<Folder>& folder, const Entry& entry,
                     const struct stat& st, Outcome& outcome);
    bool copyToTemporary(const std::shared_ptr<Folder>& folder, const Entry& entry,
                         const struct stat& st, const Identity& expected, Outcome& outcome);
    // Opens (with `create`, makes) the destination folder; `reason` tells why it cannot be used.
    bool openDestination(Folder& folder, bool create, std::string& reason);
    // The destination folder of the run's base (a link followed) or of a sub-folder (never
    // through a link); on failure `folder.unusable` says why, unless the folder is just absent.
    UniqueFd openBaseFolder(Folder& folder, bool create, mode_t mode, bool& created);
    UniqueFd openSubFolder(Folder& folder, bool create, mode_t mode, bool& created);
    void addPending(Pending pending);
    void placeBatch(std::vector<Pending> batch);
    void place(Pending& pending);
    // Keeps the destination file `name` as a version before the new one takes its place: a
    // second name made first, so that a kill in between leaves both. 0 or an errno value;
    // `moved` when the file system has no second names and the old file was moved instead.
    int keepVersion(Folder& folder, const std::string& name, const struct stat& old, bool& moved);
    // Hands finished files to the counters and the observer (walking thread only).
    void deliver();
    void post(std::vector<Outcome>& outcomes);

    FileOps& ops_;
    std::string destinationBase_;
    RunObserver* observer_;
    RunResult& result_;
    FileWorkers& workers_;
    pid_t pid_;
    uid_t euid_;
    std::atomic<std::uint32_t> tempCounter_;
    std::atomic<bool> stop_{false};
    bool dryRun_;
    int keepVersionsDays_;

    std::vector<std::shared_ptr<Folder>> folders_;
    std::vector<Entry> batch_;
    bool folderHadFiles_ = false;
    std::uint64_t batchSeq_ = 0;
    std::uint64_t nextSeq_ = 0;

    std::mutex pendingMutex_;
    std::vector<Pending> pending_;
    std::int64_t pendingBytes_ = 0;
    std::vector<const Folder*> pendingFolders_; // each holds two open folders until placed
    std::chrono::steady_clock::time_point pendingSince_;
    // One open folder per file system written to, flushed once more at the end.
    std::vector<std::pair<dev_t, UniqueFd>> written_;

    std::mutex outcomesMutex_;
    std::vector<Outcome> outcomes_;
    std::atomic<bool> outcomesWaiting_{false};
    std::vector<Outcome> delivering_;
    std::vector<std::pair<std::uint64_t, FileFailure>> failures_;
    std::vector<std::pair<std::uint64_t, std::string>> wouldCopy_;
};

} // namespace tavelin
