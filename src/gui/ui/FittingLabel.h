#pragma once

#include <QLabel>

namespace tavelin::gui {

// A one-line label that shows its whole text: when the text is wider than the label, it is
// drawn in a smaller size of the label's font (down to 6 points) rather than cut off.
class FittingLabel : public QLabel {
    Q_OBJECT
  public:
    explicit FittingLabel(QWidget* parent = nullptr) : QLabel(parent) {}

    // The font the current text is drawn in.
    QFont fittedFont() const;

  protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace tavelin::gui
