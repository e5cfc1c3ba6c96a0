#pragma once

#include "core/tasks/TaskStatus.h"
#include "core/util/LocalDateTime.h"

#include <optional>
#include <string>

namespace tavelin {

// One row of the table `tasks`.
struct TaskRecord {
    std::string task_name;
    std::string task_source;
    std::string task_destination;
    bool task_subfolders = false;
    std::string task_interval; // "hh:mm"
    std::optional<LocalDateTime> task_lastdate;
    std::optional<LocalDateTime> task_nextdate;
    TaskStatus task_success = TaskStatus::NotRun; // never Stopped
    std::string task_filetypes = "*.*";
    bool task_uncpath = false;
    // A run missed while no scheduler ran is made up soon after the next start.
    bool task_catchup = true;
    // UUID of the file system the destination lies on; empty when it has none or is not known.
    std::string task_volume;
    // Also runs once its source has been quiet for task_settle seconds after a change.
    bool task_onchange = false;
    int task_settle = 10;
    // Replaced destination files are kept; versions kept longer than task_versionsdays days
    // ago (0: never) are removed at the end of a run.
    bool task_keepversions = false;
    int task_versionsdays = 0;

    bool operator==(const TaskRecord&) const = default;
};

} // namespace tavelin
