#include "gui/tasks/TaskRunsModel.h"

#include <QLocale>

namespace tavelin::gui {

int TaskRunsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(runs_.size());
}

int TaskRunsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 7;
}

QVariant TaskRunsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(runs_.size())) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return index.column() >= 3 ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const auto& e = runs_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case 0:
        return QString::fromStdString(e.started.display());
    case 1:
        return QString::fromStdString(e.trigger);
    case 2:
        return QString::fromUtf8(statusText(e.status));
    case 3:
        return QString::number(e.scanned);
    case 4:
        return QString::number(e.copied);
    case 5:
        return QString::number(e.failed);
    default:
        return QLocale().toString(static_cast<qlonglong>(e.bytes));
    }
}

QVariant TaskRunsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const names[] = {"Started", "Trigger", "Status", "Scanned",
                                        "Copied",  "Failed",  "Size"};
    return section >= 0 && section < 7 ? QString(names[section]) : QString();
}

} // namespace tavelin::gui
