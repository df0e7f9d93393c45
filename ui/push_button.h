// A push button that also clicks on Enter while it has the focus.
#pragma once

#include <QPushButton>

namespace ui {

class PushButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
};

} // namespace ui
