// The toolkit services over Qt, for the real window: the controls of the
// layout, the drawing surface the lesson draws on and the window's place.
#pragma once

#include "control_table.h"
#include "placement.h"
#include "solid_cache.h"
#include "toolkit.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QStringList>

#include <vector>

namespace ui {

class QtToolkit : public lesson::Toolkit {
  public:
    // Builds the controls inside `window` and gives it a surface; the
    // controls' events go to `raise`.
    QtToolkit(QWidget& window, RaiseFn raise);

    lesson::Rect bounds(lesson::Ctl c) const override;
    void setWidth(lesson::Ctl c, int width) override;
    bool visible(lesson::Ctl c) const;
    void setVisible(lesson::Ctl c, bool visible) override;
    std::string caption(lesson::Ctl c) const;
    void setCaption(lesson::Ctl c, const std::string& text) override;
    int itemIndex(lesson::Ctl list) const override;
    void setItemIndex(lesson::Ctl list, int index) override;
    std::string itemText(lesson::Ctl list, int index) const override;
    void setShapeBrush(lesson::Ctl shape, lesson::Color color) override;
    int timerInterval(lesson::Ctl timer) const;
    void setTimerInterval(lesson::Ctl timer, int ms) override;
    bool timerEnabled(lesson::Ctl timer) const;
    void setTimerEnabled(lesson::Ctl timer, bool enabled) override;

    lesson::Color penColor() const override { return pen_; }
    void setPenColor(lesson::Color c) override { pen_ = c; }
    lesson::Color brushColor() const override { return brush_; }
    void setBrushColor(lesson::Color c) override { brush_ = c; }
    lesson::Color fontColor() const { return font_; }
    void setFontColor(lesson::Color c) override { font_ = c; }
    void setFontSize(int points) override;
    lesson::Rect textOut(int x, int y, const std::string& text) override;
    void fillRect(const lesson::Rect& r) override;
    void rectangle(const lesson::Rect& r) override;

    void setWindowTop(int top) override;
    void setWindowLeft(int left) override;
    void setWindowHeight(int height) override;
    void setWindowWidth(int width) override;
    lesson::Color windowColor() const { return windowColor_; }
    void setWindowColor(lesson::Color c) override;
    void refresh() override;
    void messageBox(const std::string& text) override;
    void requestTermination() override;

    ControlTable& controls() { return controls_; }
    const ControlTable& controls() const { return controls_; }
    WindowPlacement& placement() { return placement_; }

    // The retained drawing surface: the lesson's drawings stay until the
    // lesson itself wipes them, whatever the window system repaints.
    const QImage& surface() const { return surface_; }
    // A surface at the window's present resolution, keeping what it holds.
    void makeSurface();
    const QFont& surfaceFont() const { return surfaceFont_; }

    // Texts now standing on the drawing surface, top to bottom, left to right.
    QStringList surfaceTexts() const;

    // The window's own pixels in `area`: its colour and the surface.
    void paintWindow(QPainter& p, const QRect& area) const;

    // A race tick widens the bars and changes the elapsed-time caption, and
    // Qt's repaint of the window for that (a posted request, then a walk over
    // all its controls) cost several times the change itself. While a handler
    // runs, a growing bar and a caption change their geometry without asking
    // Qt to repaint them; the toolkit paints the changed columns into the
    // window's backing store itself and shows them once the handler has
    // returned (or before it opens a message box).
    void beginHandler() { ++handlers_; }
    void endHandler();
    void showChanges();

  private:
    bool paintsItself(const QWidget* control) const;
    bool coversOnlyItself(const QWidget* control, const QRect& area) const;
    template <class Change> void changeQuietly(QWidget* control, Change change);
    struct Changed {
        QWidget* control;
        QRect area; // in window coordinates
    };
    std::vector<Changed> changed_;
    int handlers_ = 0;

    void clearSurface(const QColor& c);
    void fill(const QRect& r, lesson::Color c);
    // What the lesson draws as text is also told to assistive technology: the
    // window describes every text on its surface, and each bar the texts of
    // its own row (its distance, its arrival time or its result).
    void forgetTextsUnder(const QRect& r);
    void publishTexts();
    struct DrawnText {
        QRect cell;
        QString text;
    };
    std::vector<DrawnText> sortedTexts() const;
    std::vector<DrawnText> texts_;

    QWidget& window_;
    ControlTable controls_;
    WindowPlacement placement_;
    QImage surface_;
    lesson::Color pen_ = lesson::clBlack;
    lesson::Color brush_;
    lesson::Color font_ = lesson::clWindowText;
    lesson::Color windowColor_;
    QFont surfaceFont_;
    lesson::SolidCache solid_;
};

} // namespace ui
