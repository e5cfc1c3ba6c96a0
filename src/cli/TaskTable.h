#pragma once

#include "core/tasks/TaskRecord.h"
#include "core/tasks/TaskRunEntry.h"

#include <iosfwd>
#include <vector>

namespace tavelin::cli {

// `tasks list` output: a readable table, or one JSON array keyed by the column names.
class TaskTable {
  public:
    static void printText(std::ostream& out, const std::vector<TaskRecord>& tasks);
    static void printJson(std::ostream& out, const std::vector<TaskRecord>& tasks);
    // Runs as an aligned table, each failed run followed by its kept failures.
    static void printHistoryText(std::ostream& out, const std::vector<TaskRunEntry>& runs);
    static void printHistoryJson(std::ostream& out, const std::vector<TaskRunEntry>& runs);
};

} // namespace tavelin::cli
