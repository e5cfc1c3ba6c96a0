#pragma once

#include "copy/FileFailure.h"
#include "copy/FolderWalkVisitor.h"
#include "copy/RunResult.h"

#include <atomic>
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
// the calling thread; the per-file work (read the times, copy when newer) runs on the workers.
// A new one for every run, so runs never share anything.
class CopyRun final : public FolderWalkVisitor {
  public:
    CopyRun(FileOps& ops, std::string destinationBase, RunObserver* observer, RunResult& result,
            FileWorkers& workers);
    ~CopyRun() override;
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

    void enterFolder(int fd, const std::string& path, const std::string& relative) override;
    void folderListed() override;
    void leaveFolder() override;
    void subfolder() override;
    void file(const char* name) override;
    void failure(const std::string& path, const std::string& reason) override;
    bool stopRequested() override;

    // Waits for the files still being copied and completes the result.
    void finish();

    // Modification time in whole seconds, or none when it cannot be read.
    static std::optional<std::int64_t> FileModifiedTime(int dirFd, const char* name);
    // Create one folder; a missing parent makes the whole path. Returns 0 or an errno value.
    static int MakeFolder(const std::string& folder);
    static int MakeFullPath(const std::string& folder);

  private:
    struct Folder;
    struct Outcome {
        std::uint64_t seq = 0;
        bool copied = false;
        std::int64_t bytes = 0;
        std::optional<FileFailure> failure;
    };

    void submitBatch();
    void copyBatch(const std::shared_ptr<Folder>& folder, const std::vector<std::string>& names,
                   std::uint64_t firstSeq);
    // Works out the destination and copies when needed.
    Outcome CopyOneFile(Folder& folder, const char* name, std::uint64_t seq);
    bool CopyIfNewer(Folder& folder, const char* name, const struct stat& st, Outcome& outcome);
    bool openDestination(Folder& folder, bool create, int& error);
    bool copyIntoPlace(Folder& folder, const char* name, const struct stat& st,
                       const std::string& sourcePath, Outcome& outcome);
    void removeStaleTemps(int dirFd);
    // Hands finished files to the counters and the observer (walking thread only).
    void deliver();

    FileOps& ops_;
    std::string destinationBase_;
    RunObserver* observer_;
    RunResult& result_;
    FileWorkers& workers_;
    pid_t pid_;
    std::atomic<std::uint32_t> tempCounter_;
    std::atomic<bool> stop_{false};
    mode_t umask_;

    std::vector<std::shared_ptr<Folder>> folders_;
    std::vector<std::string> batch_;
    std::uint64_t batchSeq_ = 0;
    std::uint64_t nextSeq_ = 0;

    std::mutex outcomesMutex_;
    std::vector<Outcome> outcomes_;
    std::atomic<bool> pending_{false};
    std::vector<Outcome> delivering_;
    std::vector<std::pair<std::uint64_t, FileFailure>> failures_;
};

} // namespace tavelin
