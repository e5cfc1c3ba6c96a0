#include "core/platform/Volumes.h"

#include "core/util/FolderPath.h"

#include <unistd.h>

namespace tavelin {

bool Volumes::isMountPoint(const std::string& path) const {
    const std::string wanted = FolderPath::normalized(path);
    for (const auto& v : list()) {
        if (FolderPath::normalized(v.mountPoint) == wanted) {
            return true;
        }
    }
    return false;
}

} // namespace tavelin

namespace tavelin {

bool Volumes::isAvailable(const std::string& mountPoint) const {
    return ::access(mountPoint.c_str(), R_OK | X_OK) == 0;
}

} // namespace tavelin
