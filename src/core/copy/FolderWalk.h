#pragma once

#include "core/copy/WildcardPattern.h"
#include "core/util/Error.h"
#include "core/util/FolderListing.h"

#include <dirent.h>
#include <string>
#include <sys/types.h>

namespace tavelin {

class FolderWalkVisitor;

// The one walk that both the survey and the copy run use, so that they always agree:
// depth first; a folder's own matching files in listing order, then its sub-folders in
// listing order. Hidden entries (names starting with ".") are included. Links to folders are
// never followed (no loops); links to files count as the file. FIFOs, sockets and devices are
// left out. One open folder and one list of sub-folder names per level of the walk.
class FolderWalk {
  public:
    FolderWalk(const WildcardPattern& pattern, bool subfolders);

    // A folder that must not be walked: the destination, wherever it lies. It is known by its
    // identity (device and inode), so no path spelling or link can hide it; a folder that does
    // not exist yet is looked for again at every sub-folder, as the run may create it.
    void skipFolder(const std::string& path);

    // Fails only when the root folder itself cannot be opened.
    Result<void> walk(const std::string& root, FolderWalkVisitor& visitor);
    // The last walk ended early because its visitor asked it to stop.
    bool stopped() const { return stopped_; }

  private:
    void walkFolder(FolderListing& listing, const std::string& path, const std::string& relative,
                    FolderWalkVisitor& visitor);
    bool isSkipped(int dirFd, const char* name);

    const WildcardPattern& pattern_;
    bool subfolders_;
    std::string skipPath_;
    bool skipKnown_ = false;
    dev_t skipDev_ = 0;
    ino_t skipIno_ = 0;
    bool stopped_ = false;
};

} // namespace tavelin
