#include "core/tasks/TaskDatabaseLocation.h"

#include "core/util/FolderPath.h"

#include <sys/stat.h>

namespace tavelin {

namespace {
std::string get(const std::map<std::string, std::string>& env, const char* key) {
    const auto it = env.find(key);
    return it == env.end() ? std::string() : it->second;
}
} // namespace

std::string TaskDatabaseLocation::resolve(const std::string& explicitPath,
                                          const std::map<std::string, std::string>& environment,
                                          const std::string& programFolder) {
    if (!explicitPath.empty()) {
        return explicitPath;
    }
    if (auto fromEnv = get(environment, "TAVELIN_DB"); !fromEnv.empty()) {
        return fromEnv;
    }
    if (!programFolder.empty()) {
        const std::string beside = programFolder + "/tasks.db";
        struct stat st {};
        if (::stat(beside.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            return beside;
        }
    }
    std::string data = get(environment, "XDG_DATA_HOME");
    if (data.empty() || data[0] != '/') {
        data = get(environment, "HOME") + "/.local/share";
    }
    return data + "/Tavelin/tasks.db";
}

Result<void> TaskDatabaseLocation::prepareFolder(const std::string& databasePath) {
    const auto slash = databasePath.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return {};
    }
    const std::string folder = databasePath.substr(0, slash);
    if (const int err = FolderPath::makeFullPath(folder); err != 0) {
        return fail(describeErrno("cannot create the folder of the task database", folder, err));
    }
    return {};
}

} // namespace tavelin
