// Every control of the layout as a widget inside the window, addressed by its
// layout name; the events the controls raise go to the one function given.
#pragma once

#include "controls.h"
#include "widgets.h"

#include <QWidget>

#include <array>

namespace ui {

class ControlTable {
  public:
    // Builds the controls inside `window`, in the layout's creation order
    // and tab chain.
    ControlTable(QWidget& window, RaiseFn raise);

    QWidget* control(Ctl c) const { return controls_[static_cast<size_t>(c)]; }
    DropDownList* list(Ctl c) const;
    ShapeWidget* shape(Ctl c) const;
    TimerControl* timer(Ctl c) const { return timers_[c == Ctl::Timer1 ? 0 : 1]; }

    // The control whose widget (or a part of it) this is.
    bool controlOf(const QWidget* w, Ctl* out) const;

    // The window is going: the lists raise nothing more and close.
    void closeLists();

  private:
    void build(RaiseFn raiseFn);

    QWidget& window_;
    std::array<QWidget*, static_cast<size_t>(Ctl::Count)> controls_{};
    std::array<TimerControl*, 2> timers_{};
};

} // namespace ui
