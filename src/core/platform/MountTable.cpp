#include "core/platform/MountTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <sstream>

namespace tavelin {

// mountinfo and fstab write blanks, tabs, newlines and backslashes as \ooo.
std::string MountTable::unescape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() &&
            std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 3]))) {
            out +=
                static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

namespace {

bool startsWithFolder(const std::string& path, const std::string& folder) {
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

} // namespace

MountTable::MountTable(std::string mountInfoPath, std::string desktopShares)
    : path_(std::move(mountInfoPath)), desktopShares_(std::move(desktopShares)) {}

std::vector<Volume> MountTable::list() const {
    std::ifstream in(path_);
    std::stringstream text;
    text << in.rdbuf();
    auto volumes = parse(text.str());
    if (volumes.empty() || volumes.front().mountPoint != "/") {
        volumes.insert(volumes.begin(), Volume{"/", "", "", ""});
    }
    return volumes;
}

bool MountTable::isPseudoFileSystem(const std::string& fsType, const std::string& mountPoint) {
    static const std::array<const char*, 22> pseudo = {
        "proc",       "sysfs",    "cgroup",          "cgroup2",    "devpts",      "devtmpfs",
        "mqueue",     "debugfs",  "tracefs",         "securityfs", "pstore",      "bpf",
        "autofs",     "configfs", "fusectl",         "hugetlbfs",  "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nsfs",     "fuse.gvfsd-fuse", "fuse.portal"};
    if (std::find(pseudo.begin(), pseudo.end(), fsType) != pseudo.end()) {
        return true;
    }
    // The system's own working areas are mounted volumes too, but nobody backs up into them.
    for (const char* area : {"/proc", "/sys", "/dev", "/run"}) {
        if (startsWithFolder(mountPoint, area)) {
            return true;
        }
    }
    return false;
}

std::vector<Volume> MountTable::parse(const std::string& mountInfoText, bool all) {
    std::vector<Volume> out;
    std::istringstream lines(mountInfoText);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, parent, devno, root, mountPoint, options, field;
        if (!(fields >> id >> parent >> devno >> root >> mountPoint >> options)) {
            continue;
        }
        // Optional fields run up to a lone "-".
        while (fields >> field && field != "-") {
        }
        std::string fsType, source;
        fields >> fsType >> source;
        Volume v{unescape(mountPoint), fsType, unescape(source), devno};
        if (!all && isPseudoFileSystem(v.fsType, v.mountPoint)) {
            continue;
        }
        // A later mount on the same folder hides the earlier one.
        auto same = std::find_if(out.begin(), out.end(),
                                 [&](const Volume& o) { return o.mountPoint == v.mountPoint; });
        if (same != out.end()) {
            *same = v;
        } else {
            out.push_back(v);
        }
    }
    auto root =
        std::find_if(out.begin(), out.end(), [](const Volume& v) { return v.mountPoint == "/"; });
    if (root != out.end() && root != out.begin()) {
        std::rotate(out.begin(), root, root + 1);
    }
    return out;
}

} // namespace tavelin
