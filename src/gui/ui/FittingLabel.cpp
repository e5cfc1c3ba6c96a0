#include "gui/ui/FittingLabel.h"

#include <QPainter>

namespace tavelin::gui {

QFont FittingLabel::fittedFont() const {
    QFont f = font();
    const int room = contentsRect().width() - 2 * margin() - indent();
    while (f.pointSizeF() > 6.0 && QFontMetrics(f).horizontalAdvance(text()) > room) {
        f.setPointSizeF(f.pointSizeF() - 0.25);
    }
    return f;
}

void FittingLabel::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e); // background and frame only
    QPainter painter(this);
    painter.setFont(fittedFont());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect().adjusted(margin(), 0, -margin(), 0),
                     static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}

} // namespace tavelin::gui
