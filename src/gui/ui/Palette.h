#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace tavelin::gui {

// The skin's colours and fonts.
struct Palette {
    static QColor field() { return QColor(128, 128, 128); }
    static QColor fieldText() { return QColor(192, 255, 255); }
    static QColor checkBack() { return QColor(91, 93, 90); }
    static QColor uncBack() { return QColor(90, 89, 90); }
    static QColor navy() { return QColor(0, 0, 128); }
    static QColor window() { return QColor(58, 60, 62); }

    // "MS Sans Serif" where present, else a free sans font of the same size.
    static QFont sans(double points, bool bold = false);
    // "Tahoma" where present, else a free sans font.
    static QFont tahoma(double points, bool bold = false);
    // A substitute font can be wider than the one the layout was made for: shrink `widget`'s
    // font until `text` fits its width (less `margin` pixels).
    static void fit(QWidget* widget, const QString& text, int margin = 0);
};

} // namespace tavelin::gui
