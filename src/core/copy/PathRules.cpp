#include "copy/PathRules.h"

#include "platform/Volumes.h"

namespace tavelin {

std::string PathRules::normalized(std::string_view path) {
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

std::string PathRules::join(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || out.back() != kSeparator) {
        out += kSeparator;
    }
    out += name;
    return out;
}

std::string PathRules::folderName(std::string_view path) {
    const std::string n = normalized(path);
    const auto pos = n.rfind(kSeparator);
    if (pos == std::string::npos) {
        return n;
    }
    return n.substr(pos + 1);
}

bool PathRules::isSameOrInside(std::string_view path, std::string_view folder) {
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

std::string PathRules::destinationBase(const std::string& sourceRoot,
                                       const std::string& destinationRoot,
                                       bool typedDestination) const {
    if (typedDestination) {
        // Taken as typed: a network path keeps its leading and doubled separators.
        return destinationRoot;
    }
    const std::string dest = normalized(destinationRoot);
    if (volumes_.isMountPoint(dest)) {
        const std::string name = folderName(sourceRoot);
        return name.empty() ? dest : join(dest, name);
    }
    return dest;
}

} // namespace tavelin
