// The toolkit services over the browser page: the controls are elements of
// the stage, the drawing surface is its canvas, the timers and the message
// box are the page's (web/page.js does the DOM side).
#pragma once

#include "controls.h"
#include "toolkit.h"

#include <array>
#include <cstddef>
#include <string>

namespace web {

class WebToolkit : public lesson::Toolkit {
  public:
    // Builds every control of the layout on the stage, as stored.
    WebToolkit();

    lesson::Rect bounds(lesson::Ctl c) const override;
    void setWidth(lesson::Ctl c, int width) override;
    void setVisible(lesson::Ctl c, bool visible) override;
    void setCaption(lesson::Ctl c, const std::string& text) override;

    int itemIndex(lesson::Ctl list) const override;
    void setItemIndex(lesson::Ctl list, int index) override;
    std::string itemText(lesson::Ctl list, int index) const override;

    void setShapeBrush(lesson::Ctl shape, lesson::Color color) override;

    void setTimerInterval(lesson::Ctl timer, int ms) override;
    void setTimerEnabled(lesson::Ctl timer, bool enabled) override;

    lesson::Color penColor() const override { return pen_; }
    void setPenColor(lesson::Color c) override { pen_ = c; }
    lesson::Color brushColor() const override { return brush_; }
    void setBrushColor(lesson::Color c) override { brush_ = c; }
    void setFontColor(lesson::Color c) override { font_ = c; }
    void setFontSize(int points) override;
    lesson::Rect textOut(int x, int y, const std::string& text) override;
    void fillRect(const lesson::Rect& r) override;
    void rectangle(const lesson::Rect& r) override;

    // The page is the window: its place and outer size are the browser's.
    void setWindowTop(int) override {}
    void setWindowLeft(int) override {}
    void setWindowHeight(int) override {}
    void setWindowWidth(int) override {}
    void setWindowColor(lesson::Color c) override;
    void refresh() override;

    // Shows the box and returns at once: see main.cpp for why that is sound.
    void messageBox(const std::string& text) override;
    // The same box with an error sign, for an error that escaped a handler.
    void errorBox(const std::string& text);
    void requestTermination() override;

  private:
    static std::size_t at(lesson::Ctl c) { return static_cast<std::size_t>(c); }
    void fill(const lesson::Rect& r, lesson::Color c);

    static constexpr std::size_t kCount = static_cast<std::size_t>(lesson::Ctl::Count);
    mutable std::array<lesson::Rect, kCount> bounds_{};
    mutable std::array<bool, kCount> widthStale_{};
    std::array<std::string, kCount> captions_;
    std::array<int, 2> interval_{{1000, 1000}};
    std::array<bool, 2> enabled_{{false, false}};
    lesson::Color pen_ = lesson::clBlack;
    lesson::Color brush_ = lesson::clBtnFace;
    lesson::Color font_ = lesson::clWindowText;
    lesson::Color windowColor_ = lesson::clBtnFace;
    int fontPixels_;
};

} // namespace web
