// The window's look, fixed by the program rather than by the desktop: the
// fonts and colours the layout names, the controls drawn as the layout
// describes them, and Qt's own texts in Japanese.
#pragma once

#include <QFont>
#include <QGroupBox>
#include <QMessageBox>
#include <QPalette>
#include <QProxyStyle>

class QWidget;

namespace ui {

// Maps the layout's font faces to installed ones of the same metrics.
void InstallFontSubstitutes();
// The application-wide look every window of the program is built for: the
// style, palette, translation and font substitutes. Call after creating the
// QApplication.
void SetUpApplication();
// A font as the layout gives it: face, character height in pixels, style.
QFont LayoutFont(const char* face, int pixels, bool bold, bool italic);

// The system colours the layout names (button face, window, window text)
// and the rest of a palette to match, in every colour group, so that no
// desktop theme recolours a control.
QPalette LayoutPalette();

// Fusion, with the program's own touches: captions in a synthesised bold
// keep their weight at any display scale, and a list's field leaves its
// whole text room beside a narrower arrow button.
class LookStyle : public QProxyStyle {
  public:
    LookStyle();
    void drawItemText(QPainter* p, const QRect& rect, int flags, const QPalette& pal, bool enabled,
                      const QString& text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* widget) const override;
};

// Style, palette and Qt's Japanese translation for the whole application.
// Call once, after creating the QApplication.
void SetUpLook();

// A group box with an etched frame whose top edge runs at half the
// caption's text height, and the caption drawn over that edge, 8 pixels
// from the left, on the box's colour.
class GroupBox : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;
    // The row of the frame's top edge, in box coordinates.
    int frameTop() const;
    static constexpr int CaptionLeft = 8;

  protected:
    void paintEvent(QPaintEvent* e) override;
};

// A modal message box with the application's title and one OK button,
// centred on the screen's available area, frame included.
void ShowMessage(const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon);

// Ends the event loop with code 0 when the window system destroys this
// window from outside, as its close box would.
void EndWhenDestroyed(QWidget& window);

} // namespace ui
