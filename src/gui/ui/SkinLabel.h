#pragma once

#include "gui/ui/Palette.h"

#include <QRect>

class QLabel;
class QWidget;

namespace tavelin::gui {

// The skin's labels: pale cyan on a transparent background.
class SkinLabel {
  public:
    static QLabel* make(QWidget* parent, const QString& name, const QString& text,
                        const QRect& rect, const QFont& font = Palette::sans(8.25));
};

} // namespace tavelin::gui
