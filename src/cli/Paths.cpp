#include "cli/Paths.h"

#include "core/util/FolderPath.h"

#include <climits>
#include <unistd.h>

namespace tavelin::cli {

std::string Paths::absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') {
        return path;
    }
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) {
        return path;
    }
    std::string rel = path;
    while (rel.starts_with("./")) {
        rel.erase(0, 2);
    }
    if (rel == ".") {
        return cwd;
    }
    return FolderPath::join(cwd, rel);
}

} // namespace tavelin::cli
