// The quiet repaint of a race tick. A tick widens the bars and changes the
// elapsed-time caption, and Qt's repaint for that (a posted request, then a
// walk over all the window's controls) cost several times the change
// itself. While a handler runs, a growing bar and a changing caption change
// their geometry without asking Qt to repaint them; the changed columns are
// painted into the window's backing store here and shown once the handler
// has returned (or before a message box opens). With `enabled` off every
// change takes Qt's own repaint.
#pragma once

#include <QRect>

#include <functional>
#include <vector>

class QPainter;
class QString;
class QWidget;

namespace ui {

class AutoSizeLabel;
class ShapeWidget;

class QuietRepaint {
  public:
    static bool enabled;

    // `paintWindow` paints the window's own pixels (its colour and drawing
    // surface) in an area.
    QuietRepaint(QWidget& window, std::function<void(QPainter&, const QRect&)> paintWindow);

    // Around every handler.
    void begin() { ++handlers_; }
    void end();
    // Paints and shows what changed so far.
    void show();

    void resize(ShapeWidget& bar, int width);
    void setCaption(AutoSizeLabel& label, const QString& text);

  private:
    bool paintsItself(const QWidget* control) const;
    bool coversOnlyItself(const QWidget* control, const QRect& area) const;
    template <class Change> void changeQuietly(QWidget* control, Change change);

    struct Changed {
        QWidget* control;
        QRect area; // in window coordinates
    };
    QWidget& window_;
    std::function<void(QPainter&, const QRect&)> paintWindow_;
    std::vector<Changed> changed_;
    int handlers_ = 0;
};

} // namespace ui
