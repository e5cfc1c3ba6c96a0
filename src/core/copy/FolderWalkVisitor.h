#pragma once

#include <string>

namespace tavelin {

// Receives what a FolderWalk finds, in walk order, on the walking thread.
class FolderWalkVisitor {
  public:
    virtual ~FolderWalkVisitor() = default;
    // A folder is about to be listed; `relative` is its path below the root ("" for the root).
    // `fd` stays open until leaveFolder().
    virtual void enterFolder(int fd, const std::string& path, const std::string& relative) = 0;
    // The folder's own entries have all been handed over; its sub-folders come next.
    virtual void folderListed() = 0;
    virtual void leaveFolder() = 0;
    // A sub-folder is about to be entered (counted before it is listed).
    virtual void subfolder() = 0;
    // A matching name that is a regular file or (`link`) a link to one. Whoever handles it reads
    // its details with a stat that follows links, and drops it should it no longer be a file.
    virtual void file(const char* name, bool link) = 0;
    virtual void failure(const std::string& path, const std::string& reason) = 0;
    virtual bool stopRequested() = 0;
};

} // namespace tavelin
