// The kept caption image of a label whose caption changes on every race
// tick (the elapsed time). Shaping the whole caption and blending all its
// glyphs was the largest part of a tick: here each character is shaped once
// per font, a new caption is placed from those glyphs, and only the columns
// from its first changed character on are drawn again into an image that
// the label then shows, with the same pixels as drawing the whole caption.
// With `enabled` off, the label is measured and drawn by Qt alone.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QRawFont>
#include <QTextLayout>

#include <memory>
#include <vector>

class QLabel;

namespace ui {

class CaptionImage {
  public:
    // The shortcut as a whole; off, every caption takes Qt's plain path.
    static bool enabled;

    // The caption's width in the label's font, shaped once for its drawing.
    int measure(const QString& text, const QFont& font);
    // Brings image() up to date with the label's caption and look, in the
    // format of the image it is to be drawn on. Returns the first column
    // whose pixels changed (the label's width when none did), or -1 where
    // the image cannot hold what QLabel draws.
    int refresh(const QLabel& label, int format);
    // The label's pixels, background and caption, as last refreshed.
    const QImage& image() const { return drawn_; }
    // Whether the caption was placed from glyphs shaped earlier.
    bool placedFromCache(const QString& text, const QFont& font) const;
    void forget() { drawn_ = QImage(); }

  private:
    // In a font without kerning, a caption of characters that shape on their
    // own (no marks, no scripts whose letters join or reorder) is its
    // characters' glyphs side by side. Any other caption is shaped whole.
    bool placeFromCache(const QString& t, const QFont& f);
    bool shapedFor(const QString& t, const QFont& f) const;

    std::unique_ptr<QTextLayout> shaped_;
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
    };
    QFont glyphFont_;
    QRawFont rawFont_;
    bool cacheUsable_ = false;
    qreal baseline_ = -1;
    QHash<char16_t, Glyph> glyphs_;
    QString placedText_;
    QFont placedFont_;
    QGlyphRun placed_;
    std::vector<qreal> placedX_; // left of each character, and the line's end
    struct Look {
        QSize size;
        qreal dpr = 0;
        int format = 0;
        QFont font;
        QColor background, text;
        int alignment = 0;
        bool operator==(const Look& o) const {
            return size == o.size && dpr == o.dpr && format == o.format && font == o.font &&
                   background == o.background && text == o.text && alignment == o.alignment;
        }
    };
    QImage drawn_;
    QString drawnText_;
    Look drawnLook_;
};

} // namespace ui
