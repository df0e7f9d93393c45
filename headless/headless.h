// A toolkit without a window: the controls' state as the lesson sets it and
// a framebuffer of the client area that the drawing surface renders into,
// so that handlers can be checked pixel by pixel. Every call that changes
// something is also written to a trace.
#pragma once

#include "base_toolkit.h"

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

class HeadlessToolkit : public interaction::BaseToolkit {
  public:
    HeadlessToolkit();

    // The services, traced.
    void setWidth(Ctl c, int width) override;
    void setVisible(Ctl c, bool v) override;
    void setCaption(Ctl c, const std::string& text) override;
    void setItemIndex(Ctl list, int index) override;
    void setShapeBrush(Ctl shape, Color color) override;
    void setTimerInterval(Ctl timer, int ms) override;
    void setTimerEnabled(Ctl timer, bool enabled) override;
    Rect textOut(int x, int y, const std::string& text) override;
    void fillRect(const Rect& r) override;
    void rectangle(const Rect& r) override;
    void setWindowTop(int top) override { window_.top = top; }
    void setWindowLeft(int left) override { window_.left = left; }
    void setWindowHeight(int height) override { window_.height = height; }
    void setWindowWidth(int width) override { window_.width = width; }
    void setWindowColor(Color c) override;
    void refresh() override;

    // Inspection.
    Color pixel(int x, int y) const { return fb_[static_cast<size_t>(y) * ClientWidth + x]; }
    // Pixels of colour c inside r.
    int count(const Rect& r, Color c) const;
    bool uniform(const Rect& r, Color c) const { return count(r, c) == r.width() * r.height(); }
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
    std::vector<TextRecord> texts;          // every text output, in order
    std::vector<std::string> messages;      // every message box shown
    std::vector<std::string> trace;         // every call that changes something
    std::vector<std::string> announcements; // everything said to screen readers
    int refreshes = 0;
    int messageBoxes = 0;
    bool terminationRequested = false;
    // Runs while a message box is "open", e.g. to deliver timer ticks.
    std::function<void()> whileMessageBoxOpen;

  protected:
    void showWidth(Ctl, int) override {}
    void showVisible(Ctl, bool) override {}
    void showCaption(Ctl, const std::string&) override {}
    int captionWidth(Ctl label) const override;
    void showShapeBrush(Ctl, Color) override {}
    void showList(Ctl, const interaction::ListModel&) override {}
    bool startTimer(Ctl, int) override { return true; }
    void stopTimer(Ctl) override {}
    void showWindowColor(Color) override {}
    void repaintWindow() override { ++refreshes; }
    void showMessage(const std::string& text, bool error) override;
    void terminate() override { terminationRequested = true; }
    void voice(const std::string& text) override;
    void describe(Ctl, const std::string&) override {}

    int textWidth(const std::string& text, int pixels) override;
    void fill(const Rect& r, Color c) override;
    void text(const interaction::TextRun& run) override;

  private:
    // Only while recording: a trace line costs more than the call it records.
    void log(const std::string& line) { trace.push_back(line); }
    std::vector<Color> fb_;
    WindowBounds window_;
};

std::string ColorText(Color c);

} // namespace lesson
