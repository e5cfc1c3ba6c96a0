#include "tasks/TaskHistory.h"

#include "ui/ImageButton.h"
#include "ui/Palette.h"
#include "ui/Skin.h"
#include "ui/SkinLabel.h"
#include "ui/Surface.h"

#include <QHeaderView>
#include <QListWidget>
#include <QLocale>
#include <QTableWidget>

namespace tavelin::gui {

namespace {
const char* const kFieldStyle =
    "background-color: rgb(128,128,128); color: rgb(192,255,255);"
    "selection-background-color: rgb(0,0,128); selection-color: rgb(192,255,255);"
    "QHeaderView::section { background-color: rgb(128,128,128); color: rgb(192,255,255);"
    " border: 1px solid rgb(100,100,100); }";
constexpr int kWidth = 640;
constexpr int kHeight = 420;
} // namespace

TaskHistory::TaskHistory(QWidget* parent, const QString& taskName, std::vector<TaskRunEntry> runs)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), entries_(std::move(runs)) {
    setObjectName("TaskHistory");
    setWindowTitle("History of " + taskName);
    setModal(true);
    setFixedSize(kWidth, kHeight);
    auto* background = new Surface(Skin::background(kWidth, kHeight, false), this);
    background->setGeometry(0, 0, kWidth, kHeight);
    SkinLabel::make(background, "lblHistory", "History of " + taskName, QRect(16, 10, 520, 18),
                    Palette::sans(9.75));
    auto* close =
        ImageButton::skinned("BClose", "Close", QRect(kWidth - 92, 8, 76, 20), background);
    connect(close, &ImageButton::releasedUp, this, &QDialog::accept);

    runs_ = new QTableWidget(static_cast<int>(entries_.size()), 7, background);
    runs_->setObjectName("tblRuns");
    runs_->setGeometry(16, 36, kWidth - 32, 250);
    runs_->setStyleSheet(kFieldStyle);
    runs_->setHorizontalHeaderLabels(
        {"Started", "Trigger", "Status", "Scanned", "Copied", "Failed", "Size"});
    runs_->verticalHeader()->hide();
    runs_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    runs_->setSelectionBehavior(QAbstractItemView::SelectRows);
    runs_->setSelectionMode(QAbstractItemView::SingleSelection);
    runs_->setTabKeyNavigation(false);
    const int widths[] = {140, 80, 70, 70, 70, 60, 110};
    for (int c = 0; c < 7; ++c) {
        runs_->setColumnWidth(c, widths[c]);
    }
    const QLocale locale;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto& e = entries_[i];
        const QString cells[] = {QString::fromStdString(e.started.display()),
                                 QString::fromStdString(e.trigger),
                                 QString::fromStdString(e.status),
                                 QString::number(e.scanned),
                                 QString::number(e.copied),
                                 QString::number(e.failed),
                                 locale.toString(static_cast<qlonglong>(e.bytes))};
        for (int c = 0; c < 7; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 3) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            runs_->setItem(static_cast<int>(i), c, item);
        }
    }
    SkinLabel::make(background, "lblFailures", "Failures of the run chosen",
                    QRect(16, 294, 400, 18));
    failures_ = new QListWidget(background);
    failures_->setObjectName("lstFailures");
    failures_->setGeometry(16, 314, kWidth - 32, kHeight - 330);
    failures_->setStyleSheet(kFieldStyle);
    connect(runs_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { showFailures(row); });
    if (!entries_.empty()) {
        runs_->setCurrentCell(0, 0);
    }
    // A light one-pixel frame sets the dialog apart from the window under it.
    auto* frame = new QFrame(this);
    frame->setObjectName("TaskHistoryFrame");
    frame->setGeometry(rect());
    frame->setStyleSheet("#TaskHistoryFrame { border: 1px solid rgb(210,210,210); "
                         "background: transparent; }");
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->raise();
    if (parent != nullptr) {
        move(parent->frameGeometry().center() - rect().center());
    }
}

void TaskHistory::showFailures(int row) {
    failures_->clear();
    if (row < 0 || row >= static_cast<int>(entries_.size())) {
        return;
    }
    for (const auto& f : entries_[static_cast<std::size_t>(row)].errors) {
        failures_->addItem(QString::fromStdString(f.path + ": " + f.reason));
    }
}

} // namespace tavelin::gui
