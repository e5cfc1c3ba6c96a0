#pragma once

#include "gui/ui/PictureStack.h"

namespace tavelin::gui {

// The Lock and Unlock buttons sharing one rectangle. A press of either shows the pressed
// picture of the other one (the one that matches the new state) and asks for the toggle.
class LockPair : public PictureStack {
    Q_OBJECT
  public:
    explicit LockPair(QWidget* parent = nullptr);

    // At rest the pair shows Lock on an unlocked selection and Unlock on a locked one.
    void toRest(bool unlocked);

  signals:
    void hovered();
    void toggleRequested();
    void releasedUp();

  private:
    void onMoved(const QString& picture);
    void onPressed(const QString& picture);
    void onReleased(const QString& picture);
    void set(std::initializer_list<std::pair<const char*, bool>> steps);
};

} // namespace tavelin::gui
