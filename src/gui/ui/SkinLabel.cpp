#include "gui/ui/SkinLabel.h"

#include <QLabel>

namespace tavelin::gui {

QLabel* SkinLabel::make(QWidget* parent, const QString& name, const QString& text,
                        const QRect& rect, const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(rect);
    l->setFont(font);
    l->setStyleSheet("color: rgb(192,255,255); background: transparent;");
    return l;
}

} // namespace tavelin::gui
