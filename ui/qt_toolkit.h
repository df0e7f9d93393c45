// The toolkit services over Qt, for the real window: the controls of the
// layout as widgets, the retained drawing surface, two timers, the message
// box, what screen readers hear and the window's place.
#pragma once

#include "base_toolkit.h"
#include "control_table.h"
#include "placement.h"
#include "quiet_repaint.h"

#include <QFont>
#include <QTimer>

#include <array>

class QPainter;

namespace ui {

class QtToolkit : public interaction::BaseToolkit {
  public:
    // Builds the controls inside `window` and gives it a surface.
    explicit QtToolkit(QWidget& window);

    void setWindowTop(int top) override { placement_.setTop(top); }
    void setWindowLeft(int left) override { placement_.setLeft(left); }
    void setWindowHeight(int height) override { placement_.setHeight(height); }
    void setWindowWidth(int width) override { placement_.setWidth(width); }

    ControlTable& controls() { return controls_; }
    const ControlTable& controls() const { return controls_; }
    WindowPlacement& placement() { return placement_; }
    QTimer& nativeTimer(Ctl timer) { return timers_[timer == Ctl::Timer1 ? 0 : 1]; }

    // The window's own pixels in `area`: its colour and the lesson's
    // drawings. The drawings are kept by the canvas, which draws again what
    // shows in the area whenever the window system repaints it, at the
    // window's resolution; no image of the surface is kept beside them.
    void paintWindow(QPainter& p, const QRect& area);

  protected:
    void showWidth(Ctl c, int width) override;
    void showVisible(Ctl c, bool visible) override;
    void showCaption(Ctl c, const std::string& text) override;
    int captionWidth(Ctl label) const override;
    void showShapeBrush(Ctl shape, lesson::Color color) override;
    void showList(Ctl list, const interaction::ListModel& model) override;
    bool startTimer(Ctl timer, int ms) override;
    void stopTimer(Ctl timer) override;
    void showWindowColor(lesson::Color c) override;
    void repaintWindow() override;
    void showMessage(const std::string& text, bool error) override;
    void terminate() override;
    void voice(const std::string& text) override;
    void describe(Ctl c, const std::string& text) override;
    void beforeHandler() override { quiet_.begin(); }
    void afterHandler() override { quiet_.end(); }

    int textWidth(const std::string& text, int pixels) override;
    void fill(const lesson::Rect& r, lesson::Color c) override;
    void text(const interaction::TextRun& run) override;

  private:
    const QFont& fontOf(int pixels);

    QWidget& window_;
    ControlTable controls_;
    WindowPlacement placement_;
    QuietRepaint quiet_;
    std::array<QTimer, 2> timers_;
    QWidget announcer_;
    QFont surfaceFont_;
};

} // namespace ui
