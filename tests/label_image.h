// Images of labels for pixel comparisons: a widget rendered at a pixel ratio,
// and what a plain QLabel draws with another label's caption, font, colours,
// alignment and size.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPalette>

inline QImage RenderAt(QWidget* w, qreal scale = 1) {
    QImage img(w->size() * scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(scale);
    w->render(&img);
    return img;
}

inline QImage PlainLabelImage(const QLabel* label, qreal scale = 1) {
    QLabel plain(label->text());
    plain.setFont(label->font());
    QPalette pal; // the colours the label inherits, set outright
    pal.setColor(QPalette::Window, label->palette().color(QPalette::Window));
    pal.setColor(QPalette::WindowText, label->palette().color(QPalette::WindowText));
    plain.setPalette(pal);
    plain.setAutoFillBackground(true);
    plain.setAlignment(label->alignment());
    plain.resize(label->size());
    return RenderAt(&plain, scale);
}
