// The toolkit services over Qt, for the real window.
#pragma once

#include "solid_cache.h"
#include "toolkit.h"

#include <QFont>
#include <QMargins>
#include <QRect>
#include <QStringList>

#include <vector>

namespace ui {

class TForm1;

class QtToolkit : public lesson::Toolkit {
  public:
    explicit QtToolkit(TForm1& form);

    lesson::Rect bounds(lesson::Ctl c) const override;
    void setWidth(lesson::Ctl c, int width) override;
    bool visible(lesson::Ctl c) const;
    void setVisible(lesson::Ctl c, bool visible) override;
    std::string caption(lesson::Ctl c) const;
    void setCaption(lesson::Ctl c, const std::string& text) override;
    int itemIndex(lesson::Ctl list) const override;
    void setItemIndex(lesson::Ctl list, int index) override;
    std::string itemText(lesson::Ctl list, int index) const override;
    void setShapeBrush(lesson::Ctl shape, lesson::Color color) override;
    int timerInterval(lesson::Ctl timer) const;
    void setTimerInterval(lesson::Ctl timer, int ms) override;
    bool timerEnabled(lesson::Ctl timer) const;
    void setTimerEnabled(lesson::Ctl timer, bool enabled) override;

    lesson::Color penColor() const override { return pen_; }
    void setPenColor(lesson::Color c) override { pen_ = c; }
    lesson::Color brushColor() const override { return brush_; }
    void setBrushColor(lesson::Color c) override { brush_ = c; }
    lesson::Color fontColor() const { return font_; }
    void setFontColor(lesson::Color c) override { font_ = c; }
    void setFontSize(int points) override;
    lesson::Rect textOut(int x, int y, const std::string& text) override;
    void fillRect(const lesson::Rect& r) override;
    void rectangle(const lesson::Rect& r) override;

    void setWindowTop(int top) override;
    void setWindowLeft(int left) override;
    void setWindowHeight(int height) override;
    void setWindowWidth(int width) override;
    lesson::Color windowColor() const { return windowColor_; }
    void setWindowColor(lesson::Color c) override;
    void refresh() override;
    void messageBox(const std::string& text) override;
    void requestTermination() override;

    // The window's outer bounds as last set, frame included.
    QRect outerBounds() const { return outer_; }
    // Moves the window's frame to this point, keeping the outer size.
    void placeAt(const QPoint& topLeft);
    // Applies the outer bounds again, once the frame's size is known.
    void applyOuterBounds();
    // The window manager's frame around the client area (none without one).
    QMargins frameMargins();
    const QFont& surfaceFont() const { return surfaceFont_; }

    // Texts now standing on the drawing surface, top to bottom, left to right.
    QStringList surfaceTexts() const;

  private:
    void fill(const QRect& r, lesson::Color c);
    // What the lesson draws as text is also told to assistive technology: the
    // window describes every text on its surface, and each bar the texts of
    // its own row (its distance, its arrival time or its result).
    void forgetTextsUnder(const QRect& r);
    void publishTexts();
    struct DrawnText {
        QRect cell;
        QString text;
    };
    std::vector<DrawnText> sortedTexts() const;
    std::vector<DrawnText> texts_;

    TForm1& form_;
    lesson::Color pen_ = lesson::clBlack;
    lesson::Color brush_;
    lesson::Color font_ = lesson::clWindowText;
    lesson::Color windowColor_;
    QFont surfaceFont_;
    QRect outer_;
    QMargins frame_;
    lesson::SolidCache solid_;
};

} // namespace ui
