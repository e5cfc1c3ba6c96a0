#include "core/util/FolderPath.h"

#include <cerrno>
#include <sys/stat.h>

namespace tavelin {

std::string FolderPath::normalized(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == kSeparator && !out.empty() && out.back() == kSeparator) {
            continue;
        }
        out += c;
    }
    if (out.size() > 1 && out.back() == kSeparator) {
        out.pop_back();
    }
    return out;
}

std::string FolderPath::join(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || out.back() != kSeparator) {
        out += kSeparator;
    }
    out += name;
    return out;
}

std::string FolderPath::folderName(std::string_view path) {
    const std::string n = normalized(path);
    const auto pos = n.rfind(kSeparator);
    if (pos == std::string::npos) {
        return n;
    }
    return n.substr(pos + 1);
}

std::string FolderPath::parentOf(std::string_view path) {
    const std::string n = normalized(path);
    const auto pos = n.rfind(kSeparator);
    if (pos == std::string::npos || n.size() == 1) {
        return {};
    }
    return pos == 0 ? std::string(1, kSeparator) : n.substr(0, pos);
}

bool FolderPath::isSameOrInside(std::string_view path, std::string_view folder) {
    const std::string p = normalized(path);
    const std::string f = normalized(folder);
    if (p == f) {
        return true;
    }
    if (f.size() == 1 && f[0] == kSeparator) {
        return !p.empty() && p[0] == kSeparator;
    }
    return p.size() > f.size() && p.compare(0, f.size(), f) == 0 && p[f.size()] == kSeparator;
}

int FolderPath::makeFullPath(const std::string& folder, unsigned mode) {
    std::string ignored;
    return makeFullPath(folder, mode, ignored);
}

int FolderPath::makeFullPath(const std::string& folder, unsigned mode, std::string& failedAt) {
    if (::mkdir(folder.c_str(), static_cast<mode_t>(mode)) == 0 || errno == EEXIST) {
        return 0;
    }
    if (errno != ENOENT) {
        failedAt = folder;
        return errno;
    }
    // A missing parent: make it first (parents get the usual mode), then this level.
    const std::string parent = parentOf(folder);
    if (parent.empty() || parent == folder) {
        failedAt = folder;
        return ENOENT;
    }
    if (const int err = makeFullPath(parent, 0777, failedAt); err != 0) {
        return err;
    }
    if (::mkdir(folder.c_str(), static_cast<mode_t>(mode)) == 0 || errno == EEXIST) {
        return 0;
    }
    failedAt = folder;
    return errno;
}

} // namespace tavelin
