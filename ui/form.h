// The lesson's one window: every control of the layout, a drawing surface that
// keeps what the lesson draws, and the routing of control events to the
// lesson's handlers.
#pragma once

#include "controls.h"
#include "lesson.h"
#include "widgets.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

namespace ui {

class QtToolkit;

class TForm1 : public QWidget {
  public:
    TForm1();
    ~TForm1() override;

    lesson::Lesson& lesson() { return *lesson_; }
    QtToolkit& toolkit() { return *toolkit_; }

    QWidget* control(Ctl c) const { return controls_[static_cast<size_t>(c)]; }
    DropDownList* list(Ctl c) const;
    ShapeWidget* shape(Ctl c) const;
    TimerControl* timer(Ctl c) const { return timers_[c == Ctl::Timer1 ? 0 : 1]; }

    // The retained drawing surface: the lesson's drawings stay until the
    // lesson itself wipes them, whatever the window system repaints.
    QImage& surface() { return surface_; }
    void clearSurface(const QColor& c);

    // Routes an event to its handler; an error escaping a handler is shown in
    // an error box and the program goes on.
    void raise(Ctl sender, Event event);

    // Sees every event before its handler runs (tests watch the event model).
    std::function<void(Ctl, Event)> eventObserver;

    // The control whose widget (or a part of it) has the keyboard focus.
    bool controlOf(const QWidget* w, Ctl* out) const;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void build();
    void placeCentred();
    void awaitFrame();
    void makeSurface();
    void onFocusChanged(QWidget* now);

    std::array<QWidget*, static_cast<size_t>(Ctl::Count)> controls_{};
    std::array<TimerControl*, 2> timers_{};
    QImage surface_;
    std::unique_ptr<QtToolkit> toolkit_;
    std::unique_ptr<lesson::Lesson> lesson_;
    bool created_ = false;
    bool shownOnce_ = false;
    Ctl activeControl_ = Ctl::Form1;
};

// Maps the layout's font faces to installed ones of the same metrics.
void InstallFontSubstitutes();
// The application-wide look every window of the program is built for: the
// Fusion style, the font substitutes and the views screen readers get of the
// controls. Call after creating the QApplication.
void SetUpApplication();
// A font as the layout gives it: face, character height in pixels, style.
QFont LayoutFont(const char* face, int pixels, bool bold, bool italic);

} // namespace ui
