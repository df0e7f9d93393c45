// How the window and its controls present themselves to screen readers.
#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

namespace ui {

// Installs the accessible views of the window and its controls. Call once,
// after creating the QApplication and before any window is built.
void InstallAccessibility();

// Names a control for screen readers; a list's typing field carries the
// list's name too, as the field is where the keyboard focus stands.
void NameForScreenReaders(QWidget* control, const QString& name);

// A widget's role as it declares it itself (the lesson's window is a frame,
// not a filler).
void DeclareRole(QWidget* widget, QAccessible::Role role);

} // namespace ui
