// A toolkit without a window: a table of the controls with their stored
// properties and a framebuffer of the client area that the drawing operations
// render into, so that handlers can be checked pixel by pixel.
#pragma once

#include "solid_cache.h"
#include "toolkit.h"

#include <functional>
#include <string>
#include <vector>

namespace lesson {

struct TextRecord {
    int x, y;
    std::string text;
    Color font, background;
    Rect cell;
};

class HeadlessToolkit : public Toolkit {
  public:
    HeadlessToolkit();

    Rect bounds(Ctl c) const override;
    void setWidth(Ctl c, int width) override;
    bool visible(Ctl c) const { return ctl(c).visible; }
    void setVisible(Ctl c, bool v) override;
    std::string caption(Ctl c) const { return ctl(c).caption; }
    void setCaption(Ctl c, const std::string& text) override;
    int itemIndex(Ctl list) const override { return ctl(list).itemIndex; }
    void setItemIndex(Ctl list, int index) override;
    std::string itemText(Ctl list, int index) const override;
    void setShapeBrush(Ctl shape, Color color) override;
    int timerInterval(Ctl timer) const { return ctl(timer).interval; }
    void setTimerInterval(Ctl timer, int ms) override;
    bool timerEnabled(Ctl timer) const { return ctl(timer).enabled; }
    void setTimerEnabled(Ctl timer, bool enabled) override;

    Color penColor() const override { return pen_; }
    void setPenColor(Color c) override { pen_ = c; }
    Color brushColor() const override { return brush_; }
    void setBrushColor(Color c) override { brush_ = c; }
    Color fontColor() const { return font_; }
    void setFontColor(Color c) override { font_ = c; }
    void setFontSize(int points) override;
    Rect textOut(int x, int y, const std::string& text) override;
    void fillRect(const Rect& r) override;
    void rectangle(const Rect& r) override;

    void setWindowTop(int top) override { window_.top = top; }
    void setWindowLeft(int left) override { window_.left = left; }
    void setWindowHeight(int height) override { window_.height = height; }
    void setWindowWidth(int width) override { window_.width = width; }
    Color windowColor() const { return windowColor_; }
    void setWindowColor(Color c) override;
    void refresh() override;
    void messageBox(const std::string& text) override;
    void requestTermination() override { terminationRequested = true; }

    // Inspection.
    Color pixel(int x, int y) const { return fb_[static_cast<size_t>(y) * ClientWidth + x]; }
    // Pixels of colour c inside r.
    int count(const Rect& r, Color c) const;
    bool uniform(const Rect& r, Color c) const { return count(r, c) == r.width() * r.height(); }
    Color shapeBrush(Ctl shape) const { return ctl(shape).brush; }
    int fontPixelHeight() const { return fontPixels_; }
    struct WindowBounds {
        int left = 0, top = 0, width = 0, height = 0;
    };
    WindowBounds window() const { return window_; }

    // Fixed metric of the surface font: a space is narrower than a digit, as in
    // the proportional face the real window uses.
    int textWidth(const std::string& text) const;

    // Off: no pixels are written (measures the lesson's own cost).
    bool render = true;
    // Long runs switch the records below off to keep memory flat.
    bool recording = true;
    std::vector<TextRecord> texts;     // every text output, in order
    std::vector<std::string> messages; // every message box shown
    std::vector<std::string> trace;    // every call that changes something
    int refreshes = 0;
    int messageBoxes = 0;
    bool terminationRequested = false;
    // Runs while a message box is "open", e.g. to deliver timer ticks.
    std::function<void()> whileMessageBoxOpen;

  private:
    struct Control {
        Rect bounds;
        bool visible = true;
        std::string caption;
        int itemIndex = -1;
        Color brush = clWhite;
        int interval = 1000;
        bool enabled = true;
    };
    Control& ctl(Ctl c) { return controls_[static_cast<size_t>(c)]; }
    const Control& ctl(Ctl c) const { return controls_[static_cast<size_t>(c)]; }
    void fill(const Rect& r, Color c);
    void log(const std::string& line) { trace.push_back(line); }

    std::vector<Control> controls_;
    std::vector<Color> fb_;
    SolidCache solid_;
    Color pen_ = clBlack;
    Color brush_;
    Color font_ = clWindowText;
    int fontPixels_ = SurfaceFontPixels;
    Color windowColor_;
    WindowBounds window_;
};

std::string ColorText(Color c);

} // namespace lesson
