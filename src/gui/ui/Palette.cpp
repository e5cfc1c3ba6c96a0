#include "gui/ui/Palette.h"

#include <QFontMetrics>
#include <QWidget>

namespace tavelin::gui {

namespace {
QFont font(const QStringList& families, double points, bool bold) {
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}
} // namespace

QFont Palette::sans(double points, bool bold) {
    return font({"MS Sans Serif", "Microsoft Sans Serif", "DejaVu Sans", "Liberation Sans"}, points,
                bold);
}

QFont Palette::tahoma(double points, bool bold) {
    return font({"Tahoma", "DejaVu Sans", "Liberation Sans"}, points, bold);
}

} // namespace tavelin::gui

namespace tavelin::gui {

void Palette::fit(QWidget* widget, const QString& text, int margin) {
    QFont f = widget->font();
    while (f.pointSizeF() > 6.0 &&
           QFontMetrics(f).horizontalAdvance(text) > widget->width() - margin) {
        f.setPointSizeF(f.pointSizeF() - 0.25);
    }
    widget->setFont(f);
}

} // namespace tavelin::gui
