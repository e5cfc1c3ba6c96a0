#include "platform/Volumes.h"

#include "copy/PathRules.h"

namespace tavelin {

bool Volumes::isMountPoint(const std::string& path) const {
    const std::string wanted = PathRules::normalized(path);
    for (const auto& v : list()) {
        if (PathRules::normalized(v.mountPoint) == wanted) {
            return true;
        }
    }
    return false;
}

} // namespace tavelin
