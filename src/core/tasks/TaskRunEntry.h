#pragma once

#include "core/copy/FileFailure.h"
#include "core/tasks/TaskStatus.h"
#include "core/util/LocalDateTime.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavelin {

// One run of a task as the history keeps it.
struct TaskRunEntry {
    // What started a run.
    static constexpr const char* kSchedule = "schedule";
    static constexpr const char* kCatchUp = "catch-up";
    static constexpr const char* kManual = "manual";
    static constexpr const char* kChange = "change";
    static constexpr const char* kDrive = "drive";
    // At most this many failures are kept per run; the count keeps them all.
    static constexpr std::size_t kMaxErrors = 100;

    std::string task_name;
    std::string trigger;
    LocalDateTime started;
    LocalDateTime ended;
    TaskStatus status = TaskStatus::Failed; // Ok, Failed or Stopped
    std::int64_t scanned = 0;
    std::int64_t copied = 0;
    std::int64_t failed = 0;
    std::int64_t bytes = 0;
    std::vector<FileFailure> errors;
};

} // namespace tavelin
