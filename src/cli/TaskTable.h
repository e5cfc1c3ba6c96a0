#pragma once

#include "tasks/TaskRecord.h"

#include <iosfwd>
#include <vector>

namespace tavelin::cli {

// `tasks list` output: a readable table, or one JSON array keyed by the column names.
class TaskTable {
  public:
    static void printText(std::ostream& out, const std::vector<TaskRecord>& tasks);
    static void printJson(std::ostream& out, const std::vector<TaskRecord>& tasks);
};

} // namespace tavelin::cli
