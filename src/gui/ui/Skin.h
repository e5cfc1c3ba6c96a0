#pragma once

#include <QPixmap>
#include <QString>

namespace tavelin::gui {

// The program's artwork, drawn at run time: window backgrounds, panels and the three
// pictures of every image button, at the sizes the layout gives.
class Skin {
  public:
    enum class Face { Normal, Active, Down };

    // With the title strip for windows; without it for the small task dialog.
    static QPixmap background(int width, int height, bool titleStrip = true);
    static QPixmap panel(int width, int height);
    // A labelled button picture (76 x 20 px for the wide buttons).
    static QPixmap button(const QString& label, Face face, int width = 76, int height = 20);
    // The small title-strip buttons (20 x 20 px): "min" or "close".
    static QPixmap glyphButton(const QString& glyph, Face face, int size = 20);
    static QPixmap icon(int size = 32);

  private:
    static QPixmap drawBackground(int width, int height, bool titleStrip);
};

} // namespace tavelin::gui
