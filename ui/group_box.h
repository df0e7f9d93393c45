// A group box with an etched frame whose top edge runs at half the
// caption's text height, and the caption drawn over that edge, 8 pixels
// from the left, on the box's colour.
#pragma once

#include <QGroupBox>

namespace ui {

class GroupBox : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;
    // The row of the frame's top edge, in box coordinates.
    int frameTop() const;
    static constexpr int CaptionLeft = 8;

  protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace ui
