#pragma once

#include "copy/FolderWalkVisitor.h"
#include "copy/RunResult.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tavelin {

class FileOps;
class RunObserver;

// The state of one copy run while the walk goes on: the destination folder of each level,
// the counters and the failures. A new one for every run, so runs never share anything.
class CopyRun final : public FolderWalkVisitor {
public:
    CopyRun(FileOps& ops, std::string destinationBase, RunObserver* observer, RunResult& result);
    ~CopyRun() override;
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

    void enterFolder(const std::string& path, const std::string& relative) override;
    void leaveFolder() override;
    void subfolder() override;
    void file(int dirFd, const char* name, const struct stat& st,
              const std::string& folderPath) override;
    void failure(const std::string& path, const std::string& reason) override;
    bool stopRequested() const override;

    // Copies one source file when the destination has no copy or an older one.
    void CopyOneFile(int dirFd, const char* name, const struct stat& st,
                     const std::string& folderPath);

    // Modification time in whole seconds, or none when it cannot be read.
    static std::optional<std::int64_t> FileModifiedTime(int dirFd, const char* name);
    // Create one folder; a missing parent makes the whole path. Returns 0 or an errno value.
    static int MakeFolder(const std::string& folder);
    static int MakeFullPath(const std::string& folder);

private:
    struct DestinationFolder {
        std::string path;
        int fd = -1;
        bool looked = false; // opened or found missing
        int tolerance = 0;
    };

    // True when a copy was made; a failure is recorded on the way.
    bool CopyIfNewer(int srcDirFd, const char* name, const struct stat& st,
                     const std::string& sourcePath);
    bool openDestination(DestinationFolder& folder, bool create, const std::string& sourcePath);
    bool copyIntoPlace(DestinationFolder& folder, int srcDirFd, const char* name,
                       const struct stat& st, const std::string& sourcePath);
    void removeStaleTemps(int dirFd);

    FileOps& ops_;
    std::string destinationBase_;
    RunObserver* observer_;
    RunResult& result_;
    std::vector<DestinationFolder> folders_;
    pid_t pid_;
    std::uint32_t tempCounter_;
};

} // namespace tavelin
