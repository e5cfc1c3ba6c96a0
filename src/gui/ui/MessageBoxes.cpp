#include "gui/ui/MessageBoxes.h"

#include <QMessageBox>

namespace tavelin::gui {

int MessageBoxes::show(Icon icon, const QString& title, const QString& text, int buttons,
                       int defaultButton) {
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Tavelin") : title;
    shown_.append(shownTitle + "|" + text);
    lastDefault_ = defaultButton;
    if (!answers_.empty()) {
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (!interactive_) {
        for (int b : {Ok, Yes, Retry, No, Cancel}) {
            if (buttons & b) {
                return b;
            }
        }
    }
    QMessageBox box(parent_);
    box.setWindowTitle(shownTitle);
    box.setText(text);
    box.setIcon(icon == Icon::Critical      ? QMessageBox::Critical
                : icon == Icon::Exclamation ? QMessageBox::Warning
                : icon == Icon::Information ? QMessageBox::Information
                                            : QMessageBox::NoIcon);
    const std::pair<int, QMessageBox::StandardButton> map[] = {{Ok, QMessageBox::Ok},
                                                               {Yes, QMessageBox::Yes},
                                                               {No, QMessageBox::No},
                                                               {Retry, QMessageBox::Retry},
                                                               {Cancel, QMessageBox::Cancel}};
    QMessageBox::StandardButtons standard;
    for (const auto& [ours, theirs] : map) {
        if (buttons & ours) {
            standard |= theirs;
        }
    }
    box.setStandardButtons(standard);
    for (const auto& [ours, theirs] : map) {
        if (defaultButton == ours) {
            box.setDefaultButton(theirs);
        }
    }
    const int chosen = box.exec();
    for (const auto& [ours, theirs] : map) {
        if (chosen == theirs) {
            return ours;
        }
    }
    return Cancel;
}

} // namespace tavelin::gui
