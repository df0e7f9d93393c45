// The lesson's one window: it hosts the toolkit's controls and drawing
// surface, shows the surface, and routes control events to the lesson's
// handlers.
#pragma once

#include "lesson.h"
#include "look.h"
#include "qt_toolkit.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace ui {

class TForm1 : public QWidget {
  public:
    TForm1();
    ~TForm1() override;

    lesson::Lesson& lesson() { return *lesson_; }
    QtToolkit& toolkit() { return *toolkit_; }

    QWidget* control(Ctl c) const { return toolkit_->controls().control(c); }
    DropDownList* list(Ctl c) const { return toolkit_->controls().list(c); }
    ShapeWidget* shape(Ctl c) const { return toolkit_->controls().shape(c); }
    TimerControl* timer(Ctl c) const { return toolkit_->controls().timer(c); }
    const QImage& surface() const { return toolkit_->surface(); }

    // Routes an event to its handler; an error escaping a handler is shown in
    // an error box and the program goes on.
    void raise(Ctl sender, Event event);

    // Sees every event before its handler runs (tests watch the event model).
    std::function<void(Ctl, Event)> eventObserver;

    // The control whose widget (or a part of it) has the keyboard focus.
    bool controlOf(const QWidget* w, Ctl* out) const {
        return toolkit_->controls().controlOf(w, out);
    }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void onFocusChanged(QWidget* now);

    std::unique_ptr<QtToolkit> toolkit_;
    std::unique_ptr<lesson::Lesson> lesson_;
    bool created_ = false;
    bool shownOnce_ = false;
    Ctl activeControl_ = Ctl::Form1;
};

} // namespace ui
