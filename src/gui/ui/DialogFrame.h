#pragma once

class QWidget;

namespace tavelin::gui {

// A light one-pixel frame around a frameless dialog, so it stands out from the window under
// it. It takes no clicks.
class DialogFrame {
  public:
    static void add(QWidget* dialog);
};

} // namespace tavelin::gui
