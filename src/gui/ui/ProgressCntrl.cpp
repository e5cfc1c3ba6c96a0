#include "gui/ui/ProgressCntrl.h"

#include "gui/ui/Palette.h"
#include "gui/ui/Twips.h"

#include <QPainter>
#include <cmath>

namespace tavelin::gui {

ProgressCntrl::ProgressCntrl(QWidget* parent) : QWidget(parent) {}

void ProgressCntrl::setValue(qint64 done) {
    barVisible_ = done != 0;
    value_ = done;
    caption_ = QString::number(done);
    if (max_ != 0) {
        const double width = static_cast<double>(this->width()) *
                             (static_cast<double>(value_) / static_cast<double>(max_));
        if (width >= 0 && width < 1e9) {
            barWidth_ = static_cast<int>(std::lround(width));
        }
    }
    update();
}

void ProgressCntrl::setCaption(const QString& text) {
    caption_ = text;
    update();
}

void ProgressCntrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect track = rect();
    p.fillRect(track, Palette::field());
    if (barVisible_) {
        p.fillRect(QRect(0, 0, std::min(barWidth_, track.width()), track.height()),
                   Palette::navy());
    }
    p.setPen(QColor(40, 40, 40));
    p.drawRect(track.adjusted(0, 0, -1, -1));
    // One text over both parts reads the same over the bar and over the empty track.
    p.setPen(Palette::fieldText());
    p.setFont(Palette::tahoma(8.25, true));
    p.drawText(QRect(tw(50), -tw(30), track.width() - tw(50), track.height()),
               Qt::AlignVCenter | Qt::AlignLeft, caption_);
}

} // namespace tavelin::gui
