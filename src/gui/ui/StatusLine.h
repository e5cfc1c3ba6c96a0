#pragma once

#include "gui/ui/FittingLabel.h"

namespace tavelin::gui {

// The window's status line, and the only code that writes it: counts, runs, task notices and
// database errors all go through here, so its look (the leading space) stays the same.
class StatusLine : public FittingLabel {
    Q_OBJECT
  public:
    explicit StatusLine(QWidget* parent = nullptr) : FittingLabel(parent) {}

    // A message, shown after the line's leading space.
    void showMessage(const QString& message);
    // A whole line as it is to appear (a run summary brings its own spacing).
    void showLine(const QString& line);
    void clear();

    // Keeps the line as it is, for putting it back once an action turns out to do nothing.
    void remember();
    void restore();

  private:
    QString remembered_;
};

} // namespace tavelin::gui
