#pragma once

#include <QString>
#include <QWidget>

namespace tavelin::gui {

// A gray track, a navy bar for value / maximum, and the number in pale cyan over both.
// Figures are 64-bit, so byte totals above 2 GiB show exactly.
class ProgressCntrl : public QWidget {
    Q_OBJECT
  public:
    explicit ProgressCntrl(QWidget* parent = nullptr);

    qint64 maximum() const { return max_; }
    void setMaximum(qint64 total) { max_ = total; }
    // Shows the bar unless 0, sets the number and the bar's width. A maximum of 0 or a negative
    // value keeps the bar's previous width; a value above the maximum fills the track.
    void setValue(qint64 done);
    QString caption() const { return caption_; }
    void setCaption(const QString& text);

    bool barVisible() const { return barVisible_; }
    // The bar's width in pixels, before the track cuts it off.
    int barWidth() const { return barWidth_; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    qint64 max_ = 0;
    qint64 value_ = 0;
    QString caption_ = "0";
    bool barVisible_ = false;
    int barWidth_ = 1; // the design width: 15 twips
};

} // namespace tavelin::gui
