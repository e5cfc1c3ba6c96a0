#include "core/platform/NetworkShare.h"

#include "core/util/FolderListing.h"
#include "core/util/FolderPath.h"

#include <algorithm>
#include <cctype>

namespace tavelin {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string slashes(std::string s) {
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

// The value of `key` in a desktop share folder name such as
// "smb-share:domain=WORK,server=nas,share=docs,user=bob".
std::string valueOf(std::string_view name, std::string_view key) {
    std::size_t pos = name.find(':');
    while (pos != std::string_view::npos) {
        const std::size_t start = pos + 1;
        const std::size_t end = name.find(',', start);
        const std::string_view field = name.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        const std::size_t eq = field.find('=');
        if (eq != std::string_view::npos && field.substr(0, eq) == key) {
            return std::string(field.substr(eq + 1));
        }
        pos = end;
    }
    return {};
}

std::string below(const std::string& root, const std::string& rest) {
    return rest.empty() ? root : FolderPath::join(root, rest);
}

} // namespace

std::optional<NetworkShare::Parts> NetworkShare::parse(const std::string& typed) {
    const std::string path = slashes(typed);
    if (path.size() < 5 || path[0] != '/' || path[1] != '/' || path[2] == '/') {
        return std::nullopt;
    }
    const std::size_t serverEnd = path.find('/', 2);
    if (serverEnd == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t shareEnd = path.find('/', serverEnd + 1);
    Parts parts;
    parts.server = path.substr(2, serverEnd - 2);
    parts.share =
        path.substr(serverEnd + 1,
                    shareEnd == std::string::npos ? std::string::npos : shareEnd - serverEnd - 1);
    if (parts.share.empty()) {
        return std::nullopt;
    }
    if (shareEnd != std::string::npos) {
        parts.rest = FolderPath::normalized(path.substr(shareEnd + 1));
        if (parts.rest == "/") {
            parts.rest.clear();
        }
    }
    return parts;
}

Result<std::string> NetworkShare::resolve(const std::string& typed,
                                          const std::vector<Volume>& mounts,
                                          const std::string& desktopShares) {
    const auto parts = parse(typed);
    if (!parts) {
        return typed;
    }
    for (const auto& v : mounts) {
        if (v.fsType != "cifs" && v.fsType != "smb3" && v.fsType != "smbfs") {
            continue;
        }
        const auto mounted = parse(v.device);
        if (mounted && mounted->rest.empty() && sameIgnoringCase(mounted->server, parts->server) &&
            sameIgnoringCase(mounted->share, parts->share)) {
            return below(v.mountPoint, parts->rest);
        }
    }
    if (!desktopShares.empty()) {
        FolderListing listing(desktopShares);
        if (listing.valid()) {
            std::string found;
            while (const dirent* e = listing.next()) {
                const std::string_view name = e->d_name;
                if (name.starts_with("smb-share:") &&
                    sameIgnoringCase(valueOf(name, "server"), parts->server) &&
                    sameIgnoringCase(valueOf(name, "share"), parts->share)) {
                    found = FolderPath::join(desktopShares, name);
                    break;
                }
            }
            if (!found.empty()) {
                return below(found, parts->rest);
            }
        }
    }
    return fail("network share //" + parts->server + "/" + parts->share + " is not mounted");
}

} // namespace tavelin
