// The toolkit services over the browser page: the controls are elements of
// the stage, the drawing surface is its canvas, the timers and the message
// box are the page's. The page's script (web/*.js) does the DOM side and
// hands its input back through web/main.cpp.
#pragma once

#include "base_toolkit.h"

#include <array>
#include <string>

namespace web {

class WebToolkit : public interaction::BaseToolkit {
  public:
    // Builds every control of the layout on the stage, as stored.
    WebToolkit();

    // The page is the window: its place and outer size are the browser's.
    void setWindowTop(int) override {}
    void setWindowLeft(int) override {}
    void setWindowHeight(int) override {}
    void setWindowWidth(int) override {}

    // The surface and the bars' canvases made anew at another scale: all
    // drawn again.
    void rescaled();

  protected:
    void showWidth(lesson::Ctl c, int width) override;
    void showVisible(lesson::Ctl c, bool visible) override;
    void showCaption(lesson::Ctl c, const std::string& text) override;
    int captionWidth(lesson::Ctl label) const override;
    void showShapeBrush(lesson::Ctl shape, lesson::Color color) override;
    void showList(lesson::Ctl list, const interaction::ListModel& model) override;
    bool startTimer(lesson::Ctl timer, int ms) override;
    void stopTimer(lesson::Ctl timer) override;
    void showWindowColor(lesson::Color c) override;
    void repaintWindow() override {}
    // Shows the box and returns at once: see main.cpp for why that is sound.
    void showMessage(const std::string& text, bool error) override;
    void terminate() override;
    void voice(const std::string& text) override;
    void describe(lesson::Ctl c, const std::string& text) override;

    int textWidth(const std::string& text, int pixels) override;
    void fill(const lesson::Rect& r, lesson::Color c) override;
    void text(const interaction::TextRun& run) override;

  private:
    // Paints a bar on its canvas with the fills that show it, from the
    // width already painted on, or anew.
    void paintBar(lesson::Ctl bar, bool anew);

    static constexpr size_t kCount = static_cast<size_t>(lesson::Ctl::Count);
    std::array<std::string, kCount> shownCaptions_;
    std::array<int, kCount> painted_{};
};

} // namespace web
