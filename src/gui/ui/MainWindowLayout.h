#pragma once

#include "gui/ui/MainControls.h"

class QWidget;

namespace tavelin::gui {

// Creates the main window's controls at their places, with their texts, colours, fonts,
// states at load, stacking and tab order. Behaviour is wired elsewhere.
class MainWindowLayout {
  public:
    static constexpr int kWidth = 698;
    static constexpr int kHeight = 600;

    static MainControls build(QWidget* window);
    // Locked and unlocked selections look different.
    static void showLockState(MainControls& c, bool locked);
};

} // namespace tavelin::gui
