#include "gui/tasks/TaskGrid.h"

#include "gui/ui/Twips.h"

#include <QHeaderView>
#include <QPalette>
#include <QTableWidget>

namespace tavelin::gui {

namespace {
// Pixels of a cell that its text cannot use.
constexpr int kCellPadding = 8;
} // namespace

void TaskGrid::fill(QTableWidget* grid, const std::vector<TaskRecord>& tasks) {
    grid->clear();
    grid->setColumnCount(6);
    grid->setRowCount(static_cast<int>(tasks.size() * 2));
    const int widths[] = {1800, 1900, 1900, 1600, 1600, 600};
    for (int col = 0; col < 6; ++col) {
        grid->setColumnWidth(col, tw(widths[col]));
    }
    grid->setHorizontalHeaderLabels(
        {"Scheduled Tasks", "Source", "Destination", "Last Time", "Next Time", "Status"});
    const auto date = [](const std::optional<LocalDateTime>& t) {
        return t ? QString::fromStdString(t->display()) : QString();
    };
    int row = 0;
    for (const auto& t : tasks) {
        const QString cells[] = {QString::fromStdString(t.task_name),
                                 QString::fromStdString(t.task_source),
                                 QString::fromStdString(t.task_destination),
                                 date(t.task_lastdate),
                                 date(t.task_nextdate),
                                 QString::fromUtf8(statusText(t.task_success))};
        const QFont headerFont = grid->horizontalHeader()->font();
        for (int col = 0; col < 6; ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            // The header's size wherever the text fits the column; the grid's smaller one else.
            if (QFontMetrics(headerFont).horizontalAdvance(cells[col]) <=
                grid->columnWidth(col) - kCellPadding) {
                item->setFont(headerFont);
            }
            grid->setItem(row, col, item);
        }
        ++row;
    }
    QPalette p = grid->palette();
    if (tasks.empty()) {
        grid->setEnabled(false);
        p.setColor(QPalette::Highlight, grid->palette().color(QPalette::Base));
        p.setColor(QPalette::HighlightedText, grid->palette().color(QPalette::ButtonText));
    } else {
        grid->setEnabled(true);
        p.setColor(QPalette::Highlight, QPalette().color(QPalette::Highlight));
        p.setColor(QPalette::HighlightedText, QPalette().color(QPalette::HighlightedText));
    }
    grid->setPalette(p);
}

QString TaskGrid::nameAt(const QTableWidget* grid, int row) {
    const QTableWidgetItem* item = grid->item(row, 0);
    return item == nullptr ? QString() : item->text();
}

} // namespace tavelin::gui
