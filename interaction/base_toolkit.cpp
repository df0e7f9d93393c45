#include "base_toolkit.h"

#include <stdexcept>

namespace interaction {

using lesson::Kind;
using lesson::LayoutOf;

namespace {

bool isLabel(Ctl c) {
    Kind k = LayoutOf(c).kind;
    return k == Kind::Label || k == Kind::StaticText;
}

// The bars, each told to screen readers with the texts of its own row.
constexpr Ctl kBars[] = {Ctl::RunnerShape1, Ctl::RunnerShape2, Ctl::RunnerShape3,
                         Ctl::TrunShape1,   Ctl::TrunShape2,   Ctl::TrunShape3};

} // namespace

BaseToolkit::BaseToolkit() : canvas_(*this) {
    at(bounds_, Ctl::Form1) = Rect{0, 0, lesson::ClientWidth, lesson::ClientHeight};
    at(visible_, Ctl::Form1) = true;
    for (const lesson::ControlDef& d : lesson::Layout()) {
        at(bounds_, d.id) = Rect{d.left, d.top, d.left + d.width, d.top + d.height};
        at(visible_, d.id) = d.visible;
        at(captions_, d.id) = d.caption;
        at(brushes_, d.id) = lesson::clWhite;
        if (d.kind == Kind::ComboBox)
            at(lists_, d.id) = std::make_unique<ListModel>(lesson::ListItems(d.id));
    }
    events_.handlerStarted = [this] { beforeHandler(); };
    events_.handlerEnded = [this] {
        publishTexts();
        afterHandler();
    };
    events_.errorEscaped = [this](const std::string& text) {
        events_.modalWait([&] { showMessage(text, true); });
    };
}

Rect BaseToolkit::bounds(Ctl c) const {
    // A label's width follows its text, measured only when asked for: the
    // elapsed time changes on every tick and nobody asks for its width.
    if (at(widthStale_, c)) {
        at(widthStale_, c) = false;
        Rect& b = at(bounds_, c);
        b.right = b.left + captionWidth(c);
    }
    return at(bounds_, c);
}

void BaseToolkit::setWidth(Ctl c, int width) {
    Rect& b = at(bounds_, c);
    if (b.width() == width && !at(widthStale_, c))
        return;
    at(widthStale_, c) = false;
    b.right = b.left + width;
    showWidth(c, width);
}

void BaseToolkit::setVisible(Ctl c, bool visible) {
    if (at(visible_, c) == visible)
        return;
    at(visible_, c) = visible;
    if (!visible && at(lists_, c)) {
        model(c).hide();
        apply(c, {});
    }
    showVisible(c, visible);
}

void BaseToolkit::setCaption(Ctl c, const std::string& text) {
    // Set again all the same: a label sizes itself to its caption whenever
    // the caption is set, the one it has included.
    at(captions_, c) = text;
    showCaption(c, text);
    if (isLabel(c))
        at(widthStale_, c) = true;
}

int BaseToolkit::itemIndex(Ctl c) const {
    return at(lists_, c) ? at(lists_, c)->index() : -1;
}

void BaseToolkit::setItemIndex(Ctl list, int index) {
    if (!at(lists_, list))
        return;
    model(list).setIndex(index);
    apply(list, {});
}

std::string BaseToolkit::itemText(Ctl list, int index) const {
    const auto& items = lesson::ListItems(list);
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)]
                                                                : std::string();
}

void BaseToolkit::setShapeBrush(Ctl shape, Color color) {
    if (at(brushes_, shape) == color)
        return;
    at(brushes_, shape) = color;
    showShapeBrush(shape, color);
}

void BaseToolkit::runTimer(Ctl timer, TimerState::Action action) {
    if (action == TimerState::Action::Stop)
        stopTimer(timer);
    if (action != TimerState::Action::Start)
        return;
    if (!startTimer(timer, timerOf(timer).interval())) {
        timerOf(timer).failed();
        throw std::runtime_error("タイマーを取得できません");
    }
}

void BaseToolkit::setTimerInterval(Ctl timer, int ms) {
    runTimer(timer, timerOf(timer).setInterval(ms));
}

void BaseToolkit::setTimerEnabled(Ctl timer, bool enabled) {
    runTimer(timer, timerOf(timer).setEnabled(enabled));
}

void BaseToolkit::timerFired(Ctl timer) {
    // A tick that was already due when the timer stopped is not delivered.
    if (timerEnabled(timer))
        events_.raise(timer, Event::OnTimer);
}

Rect BaseToolkit::textOut(int x, int y, const std::string& text) {
    return canvas_.textOut(x, y, text);
}

void BaseToolkit::setWindowColor(Color c) {
    // Setting the colour the window has changes nothing, the brush included.
    if (c == windowColor_)
        return;
    windowColor_ = c;
    canvas_.setBrushColor(c);
    showWindowColor(c);
    canvas_.clear(c);
}

void BaseToolkit::refresh() {
    canvas_.clear(windowColor_);
    repaintWindow();
}

void BaseToolkit::messageBox(const std::string& text) {
    events_.modalWait([&] { showMessage(text, false); });
}

void BaseToolkit::requestTermination() {
    events_.stop();
    terminate();
}

void BaseToolkit::announce(const std::string& text) {
    voice(text);
}

void BaseToolkit::publishTexts() {
    if (!canvas_.takeChange())
        return;
    auto tell = [this](Ctl c, const std::string& text) {
        if (at(descriptions_, c) == text)
            return;
        at(descriptions_, c) = text;
        describe(c, text);
    };
    const std::vector<StandingText> texts = canvas_.texts();
    std::string all;
    for (const auto& t : texts)
        all += (all.empty() ? "" : "、") + t.text;
    tell(Ctl::Form1, all);
    for (Ctl bar : kBars) {
        // A bar's row: its distance label above it and the labels beside it.
        const Rect b = bounds(bar);
        std::string row;
        for (const auto& t : texts)
            if (t.cell.top >= b.top - lesson::LabelRise && t.cell.top < b.bottom)
                row += (row.empty() ? "" : " ") + t.text;
        tell(bar, row);
    }
}

// ---- Lists ----

void BaseToolkit::apply(Ctl list, const Events& raised) {
    const ListModel& m = model(list);
    if (m.revision() != at(shownRevision_, list)) {
        at(shownRevision_, list) = m.revision();
        showList(list, m);
    }
    for (Event e : raised)
        events_.raise(list, e);
}

bool BaseToolkit::listKey(Ctl list, Key key, Modifiers m, char32_t character) {
    KeyResult r = model(list).key(key, m, character);
    apply(list, r.events);
    return r.handled;
}

void BaseToolkit::listType(Ctl list, const std::u32string& text) {
    for (char32_t ch : text)
        apply(list, model(list).type(ch));
}

void BaseToolkit::listPick(Ctl list, int row) {
    apply(list, model(list).pick(row));
}

void BaseToolkit::listHover(Ctl list, int row) {
    model(list).hover(row);
    apply(list, {});
}

void BaseToolkit::listToggle(Ctl list) {
    apply(list, model(list).toggle());
}

void BaseToolkit::listClosed(Ctl list) {
    apply(list, model(list).close());
}

bool BaseToolkit::listWheel(Ctl list, double notches) {
    const ListModel& m = model(list);
    if (!m.hasFocus() || m.isOpen())
        return false;
    apply(list, model(list).wheel(notches));
    return true;
}

void BaseToolkit::listSelect(Ctl list, int anchor, int caret) {
    model(list).select(anchor, caret);
    apply(list, {});
}

void BaseToolkit::listEdited(Ctl list, const std::u32string& text, int caret) {
    model(list).edited(text, caret);
    apply(list, {});
}

void BaseToolkit::focusMoved(Ctl control, bool byKeyboard) {
    if (control == focused_)
        return;
    const Ctl left = focused_;
    focused_ = control;
    if (at(lists_, left))
        apply(left, model(left).focusOut());
    if (at(lists_, control)) {
        model(control).focusIn(byKeyboard);
        apply(control, {});
    }
    // Entering a control; the focus coming back to the control it left
    // (from a dropped-down list, a message box or another window) is none.
    events_.raise(control, Event::OnEnter);
}

Ctl BaseToolkit::nextInTabChain(Ctl from) const {
    const std::vector<Ctl> chain = lesson::TabChain();
    size_t start = 0;
    for (size_t i = 0; i < chain.size(); ++i)
        if (chain[i] == from)
            start = i + 1;
    for (size_t k = 0; k < chain.size(); ++k) {
        Ctl c = chain[(start + k) % chain.size()];
        Ctl parent = LayoutOf(c).parent;
        if (visible(c) && (parent == Ctl::Form1 || visible(parent)))
            return c;
    }
    return Ctl::Form1;
}

} // namespace interaction
