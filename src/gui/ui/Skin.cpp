#include "gui/ui/Skin.h"

#include "gui/ui/Palette.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

namespace tavelin::gui {

namespace {

QPixmap canvas(int w, int h) {
    const qreal ratio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
    QPixmap p(QSize(w, h) * ratio);
    p.setDevicePixelRatio(ratio);
    p.fill(Qt::transparent);
    return p;
}

} // namespace

QPixmap Skin::background(int width, int height, bool titleStrip) {
    // Drawn once per size: dialogs open often, and the texture is the costly part.
    const QString key =
        QString("tavelin-background-%1x%2-%3").arg(width).arg(height).arg(titleStrip);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) {
        return cached;
    }
    QPixmap p = drawBackground(width, height, titleStrip);
    QPixmapCache::insert(key, p);
    return p;
}

QPixmap Skin::drawBackground(int width, int height, bool titleStrip) {
    QPixmap p = canvas(width, height);
    QPainter g(&p);
    QLinearGradient grad(0, 0, 0, height);
    grad.setColorAt(0.0, QColor(72, 76, 80));
    grad.setColorAt(0.12, QColor(58, 60, 62));
    grad.setColorAt(1.0, QColor(40, 42, 44));
    g.fillRect(QRect(0, 0, width, height), grad);
    // A fine diagonal brushed texture keeps the large areas from looking flat.
    g.setPen(QColor(255, 255, 255, 6));
    for (int x = -height; x < width; x += 4) {
        g.drawLine(x, 0, x + height, height);
    }
    if (!titleStrip) {
        return p;
    }
    // Title strip.
    QLinearGradient strip(0, 0, 0, 22);
    strip.setColorAt(0, QColor(30, 110, 120));
    strip.setColorAt(1, QColor(20, 60, 68));
    g.fillRect(QRect(0, 0, width, 22), strip);
    g.setPen(QColor(192, 255, 255));
    QFont f = Palette::sans(10, true);
    g.setFont(f);
    g.drawText(QRect(10, 0, width / 2, 22), Qt::AlignVCenter | Qt::AlignLeft, "Tavelin");
    g.setPen(QColor(0, 0, 0, 90));
    g.drawLine(0, 22, width, 22);
    return p;
}

QPixmap Skin::panel(int width, int height) {
    QPixmap p = canvas(width, height);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient grad(0, 0, 0, height);
    grad.setColorAt(0, QColor(34, 36, 38));
    grad.setColorAt(1, QColor(52, 55, 58));
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 5, 5);
    g.fillPath(path, grad);
    g.setPen(QColor(90, 150, 156));
    g.drawPath(path);
    return p;
}

QPixmap Skin::button(const QString& label, Face face, int width, int height) {
    QPixmap p = canvas(width, height);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient grad(0, 0, 0, height);
    QColor text(192, 255, 255);
    switch (face) {
    case Face::Normal:
        grad.setColorAt(0, QColor(92, 96, 100));
        grad.setColorAt(1, QColor(60, 63, 66));
        break;
    case Face::Active:
        grad.setColorAt(0, QColor(60, 160, 170));
        grad.setColorAt(1, QColor(28, 100, 110));
        text = QColor(255, 255, 255);
        break;
    case Face::Down:
        grad.setColorAt(0, QColor(18, 70, 78));
        grad.setColorAt(1, QColor(40, 120, 128));
        break;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 4, 4);
    g.fillPath(path, grad);
    g.setPen(face == Face::Normal ? QColor(20, 22, 24) : QColor(160, 240, 245));
    g.drawPath(path);
    g.setPen(text);
    g.setFont(Palette::sans(8.25, true));
    const QRect r = face == Face::Down ? QRect(1, 1, width, height) : QRect(0, 0, width, height);
    g.drawText(r, Qt::AlignCenter, label);
    return p;
}

QPixmap Skin::glyphButton(const QString& glyph, Face face, int size) {
    QPixmap p = button(QString(), face, size, size);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(face == Face::Active ? Qt::white : QColor(192, 255, 255), 2));
    const int m = size / 4 + (face == Face::Down ? 1 : 0);
    if (glyph == "close") {
        g.drawLine(m, m, size - m, size - m);
        g.drawLine(size - m, m, m, size - m);
    } else {
        g.drawLine(m, size - m, size - m, size - m);
    }
    return p;
}

QPixmap Skin::icon(int size) {
    QPixmap p = canvas(size, size);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient grad(0, 0, 0, s);
    grad.setColorAt(0, QColor(60, 170, 180));
    grad.setColorAt(1, QColor(20, 80, 90));
    g.setBrush(grad);
    g.setPen(QPen(QColor(192, 255, 255), s / 16));
    g.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.18, s * 0.18);
    // Two folders with an arrow between them: source to destination.
    g.setBrush(QColor(192, 255, 255));
    g.setPen(Qt::NoPen);
    g.drawRect(QRectF(s * 0.18, s * 0.30, s * 0.22, s * 0.16));
    g.drawRect(QRectF(s * 0.60, s * 0.54, s * 0.22, s * 0.16));
    QPainterPath arrow;
    arrow.moveTo(s * 0.30, s * 0.52);
    arrow.quadTo(s * 0.32, s * 0.70, s * 0.52, s * 0.62);
    g.setPen(QPen(QColor(255, 255, 255), s / 14, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    g.drawPath(arrow);
    return p;
}

} // namespace tavelin::gui
