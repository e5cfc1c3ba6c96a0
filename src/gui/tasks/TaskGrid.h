#pragma once

#include "core/tasks/TaskRecord.h"

#include <QString>
#include <vector>

class QTableWidget;

namespace tavelin::gui {

// The task grid: a header, one row per task by next run time, then one empty row per task.
// Disabled, with no visible selection, while it holds no task.
class TaskGrid {
  public:
    static void fill(QTableWidget* grid, const std::vector<TaskRecord>& tasks);
    // The task name in the first column of a row; empty for an empty row.
    static QString nameAt(const QTableWidget* grid, int row);
};

} // namespace tavelin::gui
