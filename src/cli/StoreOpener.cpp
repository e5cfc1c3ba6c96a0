#include "cli/StoreOpener.h"

#include "cli/Context.h"
#include "cli/Paths.h"
#include "core/tasks/TaskDatabaseLocation.h"

namespace tavelin::cli {

Result<TaskStore> StoreOpener::open(const std::string* explicitPath, const Context& context) {
    const std::string path = TaskDatabaseLocation::resolve(
        explicitPath != nullptr ? Paths::absolute(*explicitPath) : std::string(),
        context.environment, context.programFolder);
    if (auto ok = TaskDatabaseLocation::prepareFolder(path); !ok) {
        return std::unexpected(ok.error());
    }
    return TaskStore::open(path);
}

} // namespace tavelin::cli
