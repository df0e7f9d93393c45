// The program's modal message box.
#pragma once

#include <QMessageBox>

namespace ui {

// A modal message box with the application's title and one OK button,
// centred on the screen's available area, frame included.
void ShowMessage(const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon);

} // namespace ui
