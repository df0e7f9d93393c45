// Controls with the event model the lesson's handlers were written for.
#pragma once

#include "controls.h"

#include <QComboBox>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTextLayout>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

using lesson::Color;
using lesson::Ctl;
using lesson::Event;

using RaiseFn = std::function<void(Ctl, Event)>;

QColor toQColor(Color c);

// A drop-down list over QComboBox. A user's pick raises OnClick then OnSelect;
// the drop-down's closing raises OnCloseUp; a selection made by the program
// raises nothing. Typing completes to list items as the lesson expects: the
// typed prefix picks the first matching item (raising the pick's events), and
// Backspace leaves no item current. Qt's own completer would only change the
// text, so the keys are handled here, also while the list is dropped down.
class DropDownList : public QComboBox {
    Q_OBJECT
  public:
    DropDownList(Ctl id, RaiseFn raise, QWidget* parent);

    void setItems(const std::vector<std::string>& items);
    // Makes an item current without raising any event (-1: none).
    void setIndexSilently(int index);
    // The character-level typing rule, shared by the field and the open list.
    void typeText(const QString& text);
    void typeBackspace();

    void showPopup() override;
    bool popupOpen() const { return popupOpen_; }

    // The field's text starts this far inside the list's left edge (frame
    // and one pixel of room).
    static constexpr int FieldInset = 2;
    // The arrow button takes what the widest item leaves of the field, up to
    // the width of a scroll bar: every item stays whole in the stored size.
    int arrowWidth() const { return arrowWidth_; }
    // The dropped-down list is at least as wide as its widest item needs.
    int popupWidth() const { return popupWidth_; }
    // Raises nothing from now on: the window that handles the events is going.
    void detach();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void userSelect(int index);
    int findPrefix(const QString& prefix) const;
    bool handleKey(QKeyEvent* e);
    void measureItems();

    Ctl id_;
    RaiseFn raise_;
    bool silent_ = false;
    bool popupOpen_ = false;
    int widestItem_ = 0;
    int arrowWidth_ = MaxArrowWidth;
    int popupWidth_ = 0;
    static constexpr int MinArrowWidth = 9;
    static constexpr int MaxArrowWidth = 17;
};

// A filled rectangle with a one-pixel outline in its pen colour.
class ShapeWidget : public QWidget {
  public:
    ShapeWidget(Color pen, QWidget* parent);
    void setBrushColor(Color c);
    Color brushColor() const { return brush_; }
    // Paints the shape at the painter's origin, as its paint event does.
    void paint(QPainter& p) const;

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    Color pen_;
    Color brush_ = lesson::clWhite;
};

// A push button that also clicks on Enter while it has the focus.
class PushButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// A label that sizes its width to its text whenever its caption changes.
class AutoSizeLabel : public QLabel {
  public:
    using QLabel::QLabel;
    void setCaption(const QString& text);
    // Whether the current caption was placed from glyphs shaped earlier,
    // without shaping it again.
    bool placedFromCache() const;
    // Brings image() up to date with the caption and the label's look, in
    // the format of the image it is to be drawn on. Returns the first column
    // whose pixels changed (width() when none did), or -1 where the image
    // cannot hold what QLabel draws.
    int refreshImage(QImage::Format format);
    // The label's pixels, background and caption, as last refreshed.
    const QImage& image() const { return drawn_; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    // The label as last drawn, background and caption. The elapsed time
    // changes its caption on every race tick, and blending the glyphs of a
    // 32-pixel caption was the largest part of a tick: a new caption is drawn
    // here from its first changed character on, and the label then shows
    // this image, with the same pixels as drawing the whole caption.
    bool shapedFor(const QString& t) const;
    std::unique_ptr<QTextLayout> shaped_;
    // The elapsed time changes by a few characters a tick, and shaping the
    // whole caption again was the dearest part of it. In a font without
    // kerning, a caption of characters that shape on their own (no marks, no
    // scripts whose letters join or reorder) is its characters' glyphs side
    // by side: each character is shaped once per font, and a caption built
    // from them. Any other caption is shaped whole.
    bool placeFromCache(const QString& t);
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

// A periodic timer that keeps its own interval and enabled state, so that
// setting a value it already has changes nothing (no restart).
class TimerControl : public QObject {
  public:
    TimerControl(Ctl id, RaiseFn raise, QObject* parent);
    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    void setInterval(int ms);
    void setEnabled(bool on);
    QTimer& timer() { return timer_; }

  private:
    void start();
    QTimer timer_;
    int interval_ = 1000;
    bool enabled_ = false;
};

} // namespace ui
