#include "gui/tasks/TaskInput.h"

#include "gui/ui/DialogFrame.h"
#include "gui/ui/ImageButton.h"
#include "gui/ui/Palette.h"
#include "gui/ui/Skin.h"
#include "gui/ui/SkinLabel.h"
#include "gui/ui/Surface.h"
#include "gui/ui/Twips.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace tavelin::gui {

TaskInput::TaskInput(QWidget* mainWindow, Save save, std::function<bool()> rateIsEmpty,
                     std::function<void()> emptyRateMessage)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint), save_(std::move(save)),
      rateIsEmpty_(std::move(rateIsEmpty)), emptyRateMessage_(std::move(emptyRateMessage)) {
    setObjectName("TaskInput");
    setWindowTitle("Form1");
    setModal(true);
    setFixedSize(tw(3060), tw(2400));
    // The picture is larger than the dialog, which shows its top-left part.
    auto* picture = new Surface(Skin::background(tw(3975), tw(2400), false), this);
    picture->setObjectName("Picture1");
    picture->setGeometry(twRect(0, 0, 3975, 2400));
    Surface::panel("Image1", twRect(240, 840, 2550, 435), picture);
    SkinLabel::make(picture, "Label1", "New Task Name:", twRect(240, 240, 2055, 255));
    txtTaskName_ = new QLineEdit(picture);
    txtTaskName_->setObjectName("txtTaskName");
    txtTaskName_->setGeometry(twRect(240, 480, 2535, 285));
    txtTaskName_->setStyleSheet("background-color: rgb(128,128,128); color: rgb(192,255,255);");
    const auto option = [picture](const char* name, const char* text, int top) {
        auto* box = new QCheckBox(text, picture);
        box->setObjectName(name);
        box->setGeometry(twRect(240, top, 2535, 255));
        box->setFont(Palette::sans(8.25));
        // As the window's own check boxes: the indicator shows on the skin's colour.
        const QColor back = Palette::checkBack();
        box->setStyleSheet(QString("color: rgb(192,255,255); background-color: rgb(%1,%2,%3);")
                               .arg(back.red())
                               .arg(back.green())
                               .arg(back.blue()));
        Palette::fit(box, box->text(), 22);
        return box;
    };
    chkCatchUp_ = option("chkCatchUp", "Catch up missed runs", 1380);
    chkCatchUp_->setChecked(true);
    chkOnChange_ = option("chkOnChange", "Also copy when files change", 1680);
    chkKeepVersions_ = option("chkKeepVersions", "Keep replaced versions", 1980);
    ok_ = ImageButton::skinned("BOK", "OK", twRect(300, 890, 1140, 300), picture);
    cancel_ = ImageButton::skinned("BCancel", "Cancel", twRect(1560, 890, 1140, 300), picture);
    // Each button is put back to rest by entering the other one.
    connect(ok_, &ImageButton::hovered, cancel_, &ImageButton::toRest);
    connect(cancel_, &ImageButton::hovered, ok_, &ImageButton::toRest);
    connect(ok_, &ImageButton::releasedUp, this, &TaskInput::confirm);
    connect(cancel_, &ImageButton::releasedUp, this, &TaskInput::cancel);
    DialogFrame::add(this);
    if (mainWindow != nullptr) {
        move(placement(mainWindow->frameGeometry()));
    }
    txtTaskName_->setFocus();
}

QPoint TaskInput::placement(const QRect& main) {
    const double left = main.width() / 2.0 + main.left() / 2.0;
    const double top = main.height() / 2.0 + main.top() / 2.0 + 2000.0 / 15.0;
    return QPoint(static_cast<int>(left), static_cast<int>(top));
}

void TaskInput::confirm() {
    if (txtTaskName_->text().isEmpty()) {
        txtTaskName_->setFocus();
        return;
    }
    if (rateIsEmpty_()) {
        txtTaskName_->setFocus();
        emptyRateMessage_();
        return;
    }
    if (save_(txtTaskName_->text(), TaskOptions{chkCatchUp_->isChecked(), chkOnChange_->isChecked(),
                                                chkKeepVersions_->isChecked()})) {
        accept();
    }
}

void TaskInput::cancel() {
    reject();
}

void TaskInput::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        confirm();
    } else if (e->key() == Qt::Key_Escape) {
        cancel();
    } else {
        QDialog::keyPressEvent(e);
    }
}

} // namespace tavelin::gui
