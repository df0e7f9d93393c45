#include "push_button.h"

#include <QKeyEvent>

namespace ui {

void PushButton::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        click();
        return;
    }
    QPushButton::keyPressEvent(e);
}

} // namespace ui
