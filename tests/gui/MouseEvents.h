#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace tavelin::test {

// Delivers a real mouse event to a widget, as the window system would.
inline void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button = Qt::NoButton,
                  Qt::MouseButtons held = Qt::NoButton) {
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void hover(QWidget* w) {
    mouse(w, QEvent::MouseMove);
}

inline void press(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
    mouse(w, QEvent::MouseButtonPress, button, button);
}

inline void release(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
    mouse(w, QEvent::MouseButtonRelease, button, Qt::NoButton);
}

} // namespace tavelin::test
