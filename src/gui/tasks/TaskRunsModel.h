#pragma once

#include "core/tasks/TaskRunEntry.h"

#include <QAbstractTableModel>
#include <vector>

namespace tavelin::gui {

// The runs of a task as table rows (started, trigger, status, scanned, copied, failed, size),
// read straight from the entries: a thousand runs show at once.
class TaskRunsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TaskRunsModel(const std::vector<TaskRunEntry>& runs, QObject* parent = nullptr)
        : QAbstractTableModel(parent), runs_(runs) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const std::vector<TaskRunEntry>& runs_;
};

} // namespace tavelin::gui
