#pragma once

#include <string>
#include <sys/stat.h>

namespace tavelin {

// Receives what a FolderWalk finds, in walk order.
class FolderWalkVisitor {
public:
    virtual ~FolderWalkVisitor() = default;
    // A folder is about to be listed; `relative` is its path below the root ("" for the root).
    virtual void enterFolder(const std::string& path, const std::string& relative) = 0;
    virtual void leaveFolder() = 0;
    // A sub-folder is about to be entered (counted before it is listed).
    virtual void subfolder() = 0;
    // A matching file: a regular file or a link to one. `st` describes the file itself.
    virtual void file(int dirFd, const char* name, const struct stat& st,
                      const std::string& folderPath) = 0;
    virtual void failure(const std::string& path, const std::string& reason) = 0;
    virtual bool stopRequested() const = 0;
};

} // namespace tavelin
