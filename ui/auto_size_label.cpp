#include "auto_size_label.h"

#include <QPaintEngine>
#include <QPainter>

namespace ui {

void AutoSizeLabel::setCaption(const QString& text) {
    // Only this label sizes itself, so its size is held fixed: a label whose
    // size may follow its text asks the window for a new layout with every
    // new caption, and on a race tick that request would wake the event loop
    // a second time.
    if (minimumSize() != size() || maximumSize() != size())
        setFixedSize(size());
    setText(text);
    setFixedSize(image_.measure(text, font()), height());
}

const QImage* AutoSizeLabel::refreshImage(int format, int* firstChanged) {
    const int from = image_.refresh(*this, format);
    if (from < 0)
        return nullptr;
    *firstChanged = from;
    return &image_.image();
}

void AutoSizeLabel::paintEvent(QPaintEvent* e) {
    {
        // The image stands for the label only where it is drawn onto an image.
        QPainter p(this);
        QPaintDevice* target = p.paintEngine() ? p.paintEngine()->paintDevice() : nullptr;
        int from = 0;
        const QImage* image = nullptr;
        if (target && target->devType() == QInternal::Image &&
            (image = refreshImage(static_cast<QImage*>(target)->format(), &from))) {
            p.drawImage(QPoint(0, 0), *image);
            return;
        }
    }
    image_.forget();
    QLabel::paintEvent(e);
}

} // namespace ui
