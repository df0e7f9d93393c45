// The toolkit services of every edition, written once: the controls' state
// as the lesson sets it, the lists as models, the drawing surface as a
// canvas, the timers' rule, the one way events reach the handlers, and what
// screen readers are told. An edition (the desktop window, the page, the
// headless framebuffer) derives from it and supplies only the primitives
// that show these on its own widgets, elements or pixels.
#pragma once

#include "canvas.h"
#include "dispatcher.h"
#include "list_model.h"
#include "timer_state.h"
#include "toolkit.h"

#include <array>
#include <memory>
#include <string>

namespace interaction {

using lesson::Ctl;
using lesson::Event;

class BaseToolkit : public lesson::Toolkit, protected Surface {
  public:
    BaseToolkit();

    // ---- The lesson's services ----
    Rect bounds(Ctl c) const override;
    void setWidth(Ctl c, int width) override;
    void setVisible(Ctl c, bool visible) override;
    void setCaption(Ctl c, const std::string& text) override;
    int itemIndex(Ctl list) const override;
    void setItemIndex(Ctl list, int index) override;
    std::string itemText(Ctl list, int index) const override;
    void setShapeBrush(Ctl shape, Color color) override;
    void setTimerInterval(Ctl timer, int ms) override;
    void setTimerEnabled(Ctl timer, bool enabled) override;
    Color penColor() const override { return canvas_.penColor(); }
    void setPenColor(Color c) override { canvas_.setPenColor(c); }
    Color brushColor() const override { return canvas_.brushColor(); }
    void setBrushColor(Color c) override { canvas_.setBrushColor(c); }
    void setFontColor(Color c) override { canvas_.setFontColor(c); }
    void setFontSize(int points) override { canvas_.setFontSize(points); }
    Rect textOut(int x, int y, const std::string& text) override;
    void fillRect(const Rect& r) override { canvas_.fillRect(r); }
    void rectangle(const Rect& r) override { canvas_.rectangle(r); }
    void setWindowColor(Color c) override;
    void refresh() override;
    void messageBox(const std::string& text) override;
    void requestTermination() override;
    void announce(const std::string& text) override;

    // ---- What the controls show, as the lesson set it ----
    bool visible(Ctl c) const { return at(visible_, c); }
    const std::string& caption(Ctl c) const { return at(captions_, c); }
    Color shapeBrush(Ctl shape) const { return at(brushes_, shape); }
    int timerInterval(Ctl timer) const { return timerOf(timer).interval(); }
    bool timerEnabled(Ctl timer) const { return timerOf(timer).enabled(); }
    Color windowColor() const { return windowColor_; }
    Color fontColor() const { return canvas_.fontColor(); }
    int fontPixelHeight() const { return canvas_.fontPixels(); }
    const ListModel& list(Ctl c) const { return *at(lists_, c); }
    // What screen readers were last told of a control (Form1: the window).
    const std::string& description(Ctl c) const { return at(descriptions_, c); }
    Canvas& canvas() { return canvas_; }
    Dispatcher& events() { return events_; }

    // ---- Input, as an edition's widgets report it ----
    // A key to a list that has the focus; false leaves it to the window.
    bool listKey(Ctl list, Key key, Modifiers m, char32_t character = 0);
    // Text typed at once (an input method's), character by character.
    void listType(Ctl list, const std::u32string& text);
    void listPick(Ctl list, int row);
    void listHover(Ctl list, int row);
    // The arrow button, or a tap on the field with a coarse pointer.
    void listToggle(Ctl list);
    // The dropped-down part closed by the window system (a press elsewhere).
    void listClosed(Ctl list);
    // Returns whether the list took the wheel.
    bool listWheel(Ctl list, double notches);
    void listSelect(Ctl list, int anchor, int caret);
    void listEdited(Ctl list, const std::u32string& text, int caret);
    // The keyboard focus moved to a control (by the keyboard: Tab).
    void focusMoved(Ctl control, bool byKeyboard);
    // The edition's timer for `timer` came due.
    void timerFired(Ctl timer);

    // The control the Tab key goes to from `from`, among those shown.
    Ctl nextInTabChain(Ctl from) const;

  protected:
    // ---- The primitives an edition supplies ----
    virtual void showWidth(Ctl c, int width) = 0;
    virtual void showVisible(Ctl c, bool visible) = 0;
    virtual void showCaption(Ctl c, const std::string& text) = 0;
    // The width a label takes for its caption.
    virtual int captionWidth(Ctl label) const = 0;
    virtual void showShapeBrush(Ctl shape, Color color) = 0;
    virtual void showList(Ctl list, const ListModel& model) = 0;
    // Starts (or restarts) the edition's timer to tick every `ms`; false
    // when no timer could be had.
    virtual bool startTimer(Ctl timer, int ms) = 0;
    virtual void stopTimer(Ctl timer) = 0;
    virtual void showWindowColor(Color c) = 0;
    // The whole window shows again as it stands, after the canvas was wiped.
    virtual void repaintWindow() = 0;
    // Modal where the edition can wait; `error` adds the error sign.
    virtual void showMessage(const std::string& text, bool error) = 0;
    virtual void terminate() = 0;
    // Said by a screen reader now, without moving the focus.
    virtual void voice(const std::string& text) = 0;
    // Tells screen readers what stands drawn by a control (Form1: the window).
    virtual void describe(Ctl c, const std::string& text) = 0;
    // Around every handler.
    virtual void beforeHandler() {}
    virtual void afterHandler() {}

  private:
    static constexpr size_t kCount = static_cast<size_t>(Ctl::Count);
    template <class T> static T& at(std::array<T, kCount>& a, Ctl c) {
        return a[static_cast<size_t>(c)];
    }
    template <class T> static const T& at(const std::array<T, kCount>& a, Ctl c) {
        return a[static_cast<size_t>(c)];
    }
    ListModel& model(Ctl list) { return *at(lists_, list); }
    TimerState& timerOf(Ctl timer) { return timers_[timer == Ctl::Timer1 ? 0 : 1]; }
    const TimerState& timerOf(Ctl timer) const { return timers_[timer == Ctl::Timer1 ? 0 : 1]; }
    // Shows what the model changed, then raises the list's events.
    void apply(Ctl list, const Events& raised);
    void runTimer(Ctl timer, TimerState::Action action);
    void publishTexts();

    mutable std::array<Rect, kCount> bounds_{};
    mutable std::array<bool, kCount> widthStale_{};
    std::array<bool, kCount> visible_{};
    std::array<std::string, kCount> captions_;
    std::array<Color, kCount> brushes_{};
    std::array<std::unique_ptr<ListModel>, kCount> lists_;
    std::array<unsigned, kCount> shownRevision_{};
    std::array<std::string, kCount> descriptions_;
    std::array<TimerState, 2> timers_;
    Color windowColor_ = lesson::clBtnFace;
    Ctl focused_ = Ctl::Form1;
    Canvas canvas_;
    Dispatcher events_;
};

} // namespace interaction
