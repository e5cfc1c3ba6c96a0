#include "gui/tasks/TaskHistory.h"

#include "gui/tasks/TaskRunsModel.h"
#include "gui/ui/DialogFrame.h"
#include "gui/ui/ImageButton.h"
#include "gui/ui/Palette.h"
#include "gui/ui/Skin.h"
#include "gui/ui/SkinLabel.h"
#include "gui/ui/Surface.h"

#include <QHeaderView>
#include <QListWidget>
#include <QTableView>

namespace tavelin::gui {

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 420;

// The skin's field colours, set as a palette: style sheets would cost more than the rest of
// the dialog to apply.
void skinField(QWidget* w) {
    QPalette p = w->palette();
    for (const auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
        p.setColor(role, QColor(128, 128, 128));
    }
    for (const auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        p.setColor(role, QColor(192, 255, 255));
    }
    p.setColor(QPalette::Highlight, QColor(0, 0, 128));
    p.setColor(QPalette::HighlightedText, QColor(192, 255, 255));
    w->setPalette(p);
}
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

    runs_ = new QTableView(background);
    runs_->setObjectName("tblRuns");
    runs_->setGeometry(16, 36, kWidth - 32, 250);
    skinField(runs_);
    skinField(runs_->horizontalHeader());
    runs_->setModel(new TaskRunsModel(entries_, runs_));
    runs_->verticalHeader()->hide();
    runs_->verticalHeader()->setDefaultSectionSize(18);
    runs_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    runs_->setSelectionBehavior(QAbstractItemView::SelectRows);
    runs_->setSelectionMode(QAbstractItemView::SingleSelection);
    runs_->setTabKeyNavigation(false);
    const int widths[] = {140, 80, 70, 70, 70, 60, 110};
    for (int c = 0; c < 7; ++c) {
        runs_->setColumnWidth(c, widths[c]);
    }
    SkinLabel::make(background, "lblFailures", "Failures of the run chosen",
                    QRect(16, 294, 400, 18));
    failures_ = new QListWidget(background);
    failures_->setObjectName("lstFailures");
    failures_->setGeometry(16, 314, kWidth - 32, kHeight - 330);
    skinField(failures_);
    connect(runs_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { showFailures(current.row()); });
    if (!entries_.empty()) {
        runs_->setCurrentIndex(runs_->model()->index(0, 0));
    }
    DialogFrame::add(this);
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
