#include "gui/ui/DialogFrame.h"

#include <QFrame>

namespace tavelin::gui {

void DialogFrame::add(QWidget* dialog) {
    auto* frame = new QFrame(dialog);
    const QString name = dialog->objectName() + "Frame";
    frame->setObjectName(name);
    frame->setGeometry(dialog->rect());
    frame->setStyleSheet("#" + name +
                         " { border: 1px solid rgb(210,210,210); background: transparent; }");
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->raise();
}

} // namespace tavelin::gui
