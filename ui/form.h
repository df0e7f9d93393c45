// The lesson's one window: it hosts the toolkit's controls and drawing
// surface, shows the surface, and runs the lesson's handlers through the
// toolkit's dispatcher.
#pragma once

#include "lesson.h"
#include "qt_toolkit.h"

#include <QWidget>

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

    // Raises an event as a control would: its handler runs through the
    // dispatcher, one at a time.
    void raise(Ctl sender, lesson::Event event) { toolkit_->events().raise(sender, event); }

    // The control whose widget (or a part of it) has the keyboard focus.
    bool controlOf(const QWidget* w, Ctl* out) const {
        return toolkit_->controls().controlOf(w, out);
    }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    std::unique_ptr<QtToolkit> toolkit_;
    std::unique_ptr<lesson::Lesson> lesson_;
    bool shownOnce_ = false;
};

} // namespace ui
