#pragma once

#include <QRect>
#include <cmath>

namespace tavelin::gui {

// Layout sizes are given in twips; 15 twips make one pixel at the design resolution.
// Qt scales logical pixels by the screen's device pixel ratio on its own.
inline int tw(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

inline QRect twRect(int left, int top, int width, int height) {
    return QRect(tw(left), tw(top), tw(width), tw(height));
}

} // namespace tavelin::gui
