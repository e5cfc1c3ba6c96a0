#include "StoreOpener.h"

#include "Context.h"
#include "Paths.h"
#include "tasks/TaskDatabaseLocation.h"

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
