// Every control of the layout as a widget inside the window, addressed by its
// layout name: the lists report their input to the toolkit, the buttons
// raise their clicks through its dispatcher.
#pragma once

#include "auto_size_label.h"
#include "base_toolkit.h"
#include "drop_down_list.h"
#include "shape_widget.h"

#include <QWidget>

#include <array>

namespace ui {

class ControlTable {
  public:
    // Builds the controls inside `window`, in the layout's creation order
    // and tab chain.
    ControlTable(QWidget& window, interaction::BaseToolkit& toolkit);

    QWidget* control(Ctl c) const { return controls_[static_cast<size_t>(c)]; }
    DropDownList* list(Ctl c) const;
    ShapeWidget* shape(Ctl c) const;
    AutoSizeLabel* label(Ctl c) const;

    // The control whose widget (or a part of it) this is.
    bool controlOf(const QWidget* w, Ctl* out) const;

    // The window is going: the lists raise nothing more and close.
    void closeLists();

  private:
    QWidget& window_;
    std::array<QWidget*, static_cast<size_t>(Ctl::Count)> controls_{};
};

} // namespace ui
