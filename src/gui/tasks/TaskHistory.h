#pragma once

#include "core/tasks/TaskRunEntry.h"

#include <QDialog>
#include <vector>

class QListWidget;
class QTableView;

namespace tavelin::gui {

// The runs of one task in the window's skin: one row per run (started, trigger, status,
// scanned, copied, failed, size), and under it the kept failures of the run chosen.
class TaskHistory : public QDialog {
    Q_OBJECT
  public:
    TaskHistory(QWidget* parent, const QString& taskName, std::vector<TaskRunEntry> runs);

    QTableView* runsTable() const { return runs_; }
    QListWidget* failuresList() const { return failures_; }

  private:
    void showFailures(int row);

    std::vector<TaskRunEntry> entries_;
    QTableView* runs_;
    QListWidget* failures_;
};

} // namespace tavelin::gui
