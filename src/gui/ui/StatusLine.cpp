#include "gui/ui/StatusLine.h"

namespace tavelin::gui {

void StatusLine::showMessage(const QString& message) {
    setText(" " + message);
}

void StatusLine::showLine(const QString& line) {
    setText(line);
}

void StatusLine::clear() {
    // Repaint the window first: the count's results appear before the line empties.
    window()->update();
    setText(" ");
}

void StatusLine::remember() {
    remembered_ = text();
}

void StatusLine::restore() {
    setText(remembered_);
}

} // namespace tavelin::gui
