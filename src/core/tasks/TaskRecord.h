#pragma once

#include "core/util/LocalDateTime.h"

#include <optional>
#include <string>

namespace tavelin {

// One row of the table `tasks`.
struct TaskRecord {
    std::string task_name;
    std::string task_source;
    std::string task_destination;
    int task_subfolders = 0;
    std::string task_interval; // "hh:mm"
    std::optional<LocalDateTime> task_lastdate;
    std::optional<LocalDateTime> task_nextdate;
    std::string task_success = "-"; // "-", "OK" or "Failed"
    std::string task_filetypes = "*.*";
    int task_uncpath = 0;
    // A run missed while no scheduler ran is made up soon after the next start.
    int task_catchup = 1;
    // UUID of the file system the destination lies on; empty when it has none or is not known.
    std::string task_volume;
    // Also runs once its source has been quiet for task_settle seconds after a change.
    int task_onchange = 0;
    int task_settle = 10;
    // Replaced destination files are kept; versions kept longer than task_versionsdays days
    // ago (0: never) are removed at the end of a run.
    int task_keepversions = 0;
    int task_versionsdays = 0;

    bool operator==(const TaskRecord&) const = default;
};

} // namespace tavelin
