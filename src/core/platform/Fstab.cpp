#include "core/platform/Fstab.h"

#include "core/platform/MountTable.h"
#include "core/util/FolderPath.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tavelin {

std::vector<std::string> Fstab::mountPoints(const std::string& fstabText) {
    std::vector<std::string> out;
    std::istringstream lines(fstabText);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type) || device.starts_with("#")) {
            continue;
        }
        if (type == "swap" || mountPoint == "none" || !mountPoint.starts_with("/")) {
            continue;
        }
        out.push_back(FolderPath::normalized(MountTable::unescape(mountPoint)));
    }
    return out;
}

std::string Fstab::unmountedFor(const std::string& path, const std::vector<std::string>& listed,
                                const std::vector<Volume>& mounted) {
    // The deepest listed mount point decides: when it is mounted, the files go onto it.
    std::string deepest;
    for (const auto& point : listed) {
        if (FolderPath::isSameOrInside(path, point) && point.size() > deepest.size()) {
            deepest = point;
        }
    }
    const bool isMounted = std::any_of(mounted.begin(), mounted.end(), [&](const Volume& v) {
        return FolderPath::normalized(v.mountPoint) == deepest;
    });
    return deepest.empty() || isMounted ? std::string() : deepest;
}

std::string Fstab::unmountedFor(const std::string& path, const std::string& fstabPath,
                                const std::vector<Volume>& mounted) {
    std::ifstream in(fstabPath);
    std::stringstream text;
    text << in.rdbuf();
    return unmountedFor(path, mountPoints(text.str()), mounted);
}

} // namespace tavelin
