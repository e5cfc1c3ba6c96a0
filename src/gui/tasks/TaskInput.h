#pragma once

#include "gui/tasks/TaskOptions.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;

namespace tavelin::gui {

class ImageButton;

// The task dialog: one name box, the task's options, OK and Cancel as image buttons. Enter acts
// as OK and Escape as Cancel.
class TaskInput : public QDialog {
    Q_OBJECT
  public:
    // What OK does with a name: true when the dialog is to close.
    using Save = std::function<bool(const QString& name, const TaskOptions& options)>;

    TaskInput(QWidget* mainWindow, Save save, std::function<bool()> rateIsEmpty,
              std::function<void()> emptyRateMessage);

    // left = main width / 2 + main left / 2; top = main height / 2 + main top / 2 + 2000 twips.
    static QPoint placement(const QRect& mainWindow);

    QLineEdit* nameBox() const { return txtTaskName_; }
    QCheckBox* catchUpBox() const { return chkCatchUp_; }
    QCheckBox* onChangeBox() const { return chkOnChange_; }
    QCheckBox* keepVersionsBox() const { return chkKeepVersions_; }
    void confirm();
    void cancel();

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    QLineEdit* txtTaskName_;
    QCheckBox* chkCatchUp_;
    QCheckBox* chkOnChange_;
    QCheckBox* chkKeepVersions_;
    ImageButton* ok_;
    ImageButton* cancel_;
    Save save_;
    std::function<bool()> rateIsEmpty_;
    std::function<void()> emptyRateMessage_;
};

} // namespace tavelin::gui
