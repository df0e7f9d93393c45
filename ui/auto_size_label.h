// A label that sizes its width to its text whenever its caption changes.
#pragma once

#include "caption_image.h"

#include <QLabel>

namespace ui {

class AutoSizeLabel : public QLabel {
  public:
    using QLabel::QLabel;
    void setCaption(const QString& text);
    // The caption's image, kept up to date for painting onto `format`; null
    // where the label is left to Qt's own drawing.
    const QImage* refreshImage(int format, int* firstChanged);
    bool placedFromCache() const { return image_.placedFromCache(text(), font()); }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    CaptionImage image_;
};

} // namespace ui
