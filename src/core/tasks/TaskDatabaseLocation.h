#pragma once

#include "core/util/Error.h"

#include <map>
#include <string>

namespace tavelin {

// Where tasks.db lives: an explicit path (--db) or TAVELIN_DB; else a tasks.db beside the
// program file (a portable install); else $XDG_DATA_HOME/Tavelin/tasks.db
// (~/.local/share/Tavelin/tasks.db).
class TaskDatabaseLocation {
  public:
    static std::string resolve(const std::string& explicitPath,
                               const std::map<std::string, std::string>& environment,
                               const std::string& programFolder);
    // Makes the folders above the file.
    static Result<void> prepareFolder(const std::string& databasePath);
};

} // namespace tavelin
