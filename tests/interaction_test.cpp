// What a user touches, without a toolkit: the list's rules for every gesture
// and the events each raises, the drawing surface's primitives and what it
// keeps, and the one rule by which events reach the handlers. Both editions
// are views of these, so what holds here holds on the desktop and the page.
#include "base_toolkit.h"
#include "canvas.h"
#include "dispatcher.h"
#include "list_model.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace interaction {
namespace {

using lesson::Color;
using lesson::Ctl;
using lesson::Event;
using lesson::Rect;

const Events None{};
const Events Pick{Event::OnClick, Event::OnSelect};
const Events CloseUp{Event::OnCloseUp};
const Events CloseAndPick{Event::OnCloseUp, Event::OnClick, Event::OnSelect};

ListModel distances() {
    return ListModel(lesson::ListItems(Ctl::ComboBox1));
}
ListModel times() {
    return ListModel(lesson::ListItems(Ctl::ComboBox2));
}

// Typing drops the list down and completes the text before the selection
// plus the new character to the first item beginning with it.
TEST(ListModel, TypingCompletesToItems) {
    struct Row {
        ListModel list;
        const char32_t* typed;
        int index;
        const char* text;
        int selStart;
        std::vector<Events> raised; // one per character
    } rows[] = {
        {distances(), U"150", 24, "150", 3, {Pick, Pick, None}}, // "10" is followed by "20"
        {times(), U"125", 12, "125", 3, {Pick, Pick, None}},     // 121..130 are not offered
        {times(), U"x", 0, "x", 1, {None}},                      // no item: stands as typed
    };
    for (auto& r : rows) {
        SCOPED_TRACE(Utf8(r.typed));
        r.list.setIndex(0);
        for (size_t k = 0; r.typed[k]; ++k)
            EXPECT_EQ(r.list.type(r.typed[k]), r.raised[k]) << k;
        EXPECT_TRUE(r.list.isOpen());
        EXPECT_EQ(r.list.index(), r.index);
        EXPECT_EQ(r.list.text(), r.text);
        EXPECT_EQ(r.list.selectionStart(), r.selStart);
        EXPECT_EQ(r.list.selectionEnd(), r.list.textLength());
    }
}

TEST(ListModel, BackspaceLeavesNoItemAndRaisesNothing) {
    ListModel l = times();
    l.type(U'1');
    l.type(U'2');
    ASSERT_EQ(l.text(), "12"); // "12" with nothing left to select
    EXPECT_EQ(l.backspace(), None);
    EXPECT_EQ(l.text(), "1");
    EXPECT_EQ(l.index(), -1);
    EXPECT_EQ(l.highlight(), -1);
    l.setIndex(0);
    EXPECT_EQ(l.backspace(), None); // an empty field changes nothing
    EXPECT_EQ(l.index(), 0);
}

TEST(ListModel, KeysOpenCloseAndStep) {
    const Modifiers none, alt{false, false, true, false}, ctrl{false, true, false, false};
    struct Row {
        const char* what;
        bool open;
        Key key;
        Modifiers mods;
        bool handled;
        Events raised;
        int index;
        bool openAfter;
    } rows[] = {
        {"down, closed", false, Key::Down, none, true, Pick, 3, false},
        {"down, open", true, Key::Down, none, true, Pick, 3, true},
        {"page down", false, Key::PageDown, none, true, Pick, 9, false},
        {"alt+down opens", false, Key::Down, alt, true, None, 2, true},
        {"alt+up closes", true, Key::Up, alt, true, CloseUp, 2, false},
        {"ctrl+up changes nothing", false, Key::Up, ctrl, true, None, 2, false},
        {"F4 opens", false, Key::F4, none, true, None, 2, true},
        {"end, open", true, Key::End, none, true, Pick, 280, true},
        {"end, closed: the caret", false, Key::End, none, true, None, 2, false},
        {"escape, open", true, Key::Escape, none, true, CloseUp, 2, false},
        {"escape, closed", false, Key::Escape, none, false, None, 2, false},
        {"enter, open", true, Key::Enter, none, true, CloseUp, 2, false},
        {"tab, open: closes and moves on", true, Key::Tab, none, false, CloseUp, 2, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ListModel l = times();
        l.setIndex(2);
        if (r.open)
            l.open();
        KeyResult got = l.key(r.key, r.mods);
        EXPECT_EQ(got.handled, r.handled);
        EXPECT_EQ(got.events, r.raised);
        EXPECT_EQ(l.index(), r.index);
        EXPECT_EQ(l.isOpen(), r.openAfter);
    }
}

TEST(ListModel, OpenMovesStartFromTheHighlightAndEnterPicksIt) {
    ListModel l = times();
    l.setIndex(2);
    l.open();
    l.hover(20);
    EXPECT_EQ(l.index(), 2);
    EXPECT_EQ(l.key(Key::Down, {}).events, Pick);
    EXPECT_EQ(l.index(), 21);
    l.hover(30);
    EXPECT_EQ(l.key(Key::Enter, {}).events, CloseAndPick);
    EXPECT_EQ(l.index(), 30);
}

TEST(ListModel, PointerPickClosesThenPicks) {
    ListModel l = distances();
    l.setIndex(0);
    EXPECT_EQ(l.toggle(), None);
    EXPECT_EQ(l.pick(3), CloseAndPick);
    EXPECT_EQ(l.text(), "3");
    l.open();
    EXPECT_EQ(l.pick(3), CloseUp); // the same item again: only the close-up
    EXPECT_EQ(l.toggle(), None);
    EXPECT_EQ(l.toggle(), CloseUp);
}

TEST(ListModel, TheWheelMovesOnlyTheFocusedClosedList) {
    ListModel l = distances();
    l.setIndex(0);
    EXPECT_EQ(l.wheel(1), None); // over a list without the focus
    l.focusIn(false);
    EXPECT_EQ(l.wheel(0.5), None); // half a notch of a fine wheel
    EXPECT_EQ(l.wheel(0.5), Pick);
    EXPECT_EQ(l.index(), 1);
    EXPECT_EQ(l.wheel(-3), (Events{Event::OnClick, Event::OnSelect}));
    EXPECT_EQ(l.index(), 0); // no item before the first
    l.open();
    EXPECT_EQ(l.wheel(1), None);
}

TEST(ListModel, FocusAndProgramChanges) {
    ListModel l = distances();
    l.setIndex(11);
    l.focusIn(true); // Tab selects the text
    EXPECT_EQ(l.selectionStart(), 0);
    EXPECT_EQ(l.selectionEnd(), 2);
    l.open();
    l.setIndex(5); // the program: shown, nothing raised, highlighted
    EXPECT_EQ(l.highlight(), 5);
    l.hide();
    EXPECT_FALSE(l.isOpen()); // quietly: its close-up handler is not wanted
    l.open();
    EXPECT_EQ(l.focusOut(), CloseUp);
}

TEST(ListGeometry, TheArrowTakesWhatTheWidestItemLeaves) {
    EXPECT_EQ(ListGeometry::For(73, 40).arrowWidth, 17);
    EXPECT_EQ(ListGeometry::For(73, 55).arrowWidth, 14);
    EXPECT_EQ(ListGeometry::For(73, 70).arrowWidth, 9);
    EXPECT_EQ(ListGeometry::For(73, 55).fieldWidth, 56);
}

// A surface of pixels, to compare what two canvases draw.
class Pixels : public Surface {
  public:
    Pixels() : px(lesson::ClientWidth * lesson::ClientHeight, 0) {}
    int textWidth(const std::string& t, int pixels) override {
        return static_cast<int>(t.size()) * pixels / 2;
    }
    void fill(const Rect& r, Color c) override {
        ++fills;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                px[static_cast<size_t>(y * lesson::ClientWidth + x)] = c;
    }
    void text(const TextRun& run) override {
        fill(Rect{run.clip.left + 1, run.clip.top + 1, run.clip.right - 1, run.clip.bottom - 1},
             run.color);
    }
    std::vector<Color> px;
    int fills = 0;
};

void draw(Canvas& c) {
    c.clear(0x80FF80);
    c.setPenColor(0x000080);
    c.setBrushColor(0xFFFFFF);
    c.rectangle(Rect{103, 199, 905, 221});
    c.setBrushColor(0x80FF80);
    c.setFontColor(0);
    c.textOut(904, 178, "100m");
    for (int tick = 0; tick < 5; ++tick) { // a race whitening the bar area
        c.setBrushColor(0xFFFFFF);
        c.fillRect(Rect{104, 200, 904, 220});
    }
    c.setBrushColor(0x80FF80);
    c.textOut(904, 178, "          ");
    c.textOut(1000, 740, "past the right edge");
}

TEST(Canvas, SkippingRepeatsAndReplayingGiveThePlainPixels) {
    Pixels plain, quick, again;
    Canvas a(plain), b(quick);
    a.skipRepeatedFills = false;
    draw(a);
    draw(b);
    EXPECT_EQ(quick.px, plain.px);
    EXPECT_LT(quick.fills, plain.fills);
    b.replay(again);
    EXPECT_EQ(again.px, plain.px);
}

TEST(Canvas, TextsStandUntilSomethingIsDrawnOverThem) {
    Pixels p;
    Canvas c(p);
    c.clear(0);
    EXPECT_EQ(c.textOut(10, 40, "12秒").right, 10 + p.textWidth("12秒", c.fontPixels()));
    c.textOut(10, 5, "100m");
    c.textOut(10, 60, "   "); // blanks erase, they stand for nothing
    c.takeChange();
    std::vector<StandingText> t = c.texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, "100m");
    c.fillRect(Rect{12, 45, 13, 46}); // one pixel of the lower text
    EXPECT_TRUE(c.takeChange());
    ASSERT_EQ(c.texts().size(), 1u);
    EXPECT_EQ(c.texts()[0].text, "100m");
}

TEST(ShapeFills, GrowingFromTheShownWidthGivesTheWholeBar) {
    for (int shown : {0, 1, 2, 3, 40}) {
        Pixels whole, grown;
        for (const auto& [r, c] : ShapeFills(60, 20, 1, 2))
            whole.fill(r, c);
        for (const auto& [r, c] : ShapeFills(shown, 20, 1, 2))
            grown.fill(r, c);
        for (const auto& [r, c] : ShapeFills(60, 20, 1, 2, shown))
            grown.fill(r, c);
        EXPECT_EQ(grown.px, whole.px) << shown;
    }
}

// Events raised while a handler runs wait their turn; a modal wait delivers
// meanwhile; termination drops what is left; an error is shown and the
// events after it are handled.
TEST(Dispatcher, OneHandlerAtATime) {
    Dispatcher d;
    std::vector<std::string> log;
    auto name = [](Ctl c, Event e) {
        return std::string(lesson::NameOf(c)) + "." + std::to_string(static_cast<int>(e));
    };
    d.setTarget([&](Ctl c, Event e) {
        log.push_back("begin " + name(c, e));
        if (c == Ctl::RetryBitBtn) {
            d.raise(Ctl::ComboBox8, Event::OnCloseUp);
            d.raise(Ctl::ComboBox7, Event::OnEnter);
        }
        if (c == Ctl::ComboBox8 && e == Event::OnSelect)
            d.modalWait([&] { d.raise(Ctl::Timer1, Event::OnTimer); });
        if (c == Ctl::OwaruBitBtn) {
            d.raise(Ctl::Timer1, Event::OnTimer);
            d.stop();
        }
        if (c == Ctl::StartBitBtn)
            throw std::runtime_error("タイマーを取得できません");
        log.push_back("end " + name(c, e));
    });
    std::vector<std::string> errors;
    d.errorEscaped = [&](const std::string& e) { errors.push_back(e); };
    d.raise(Ctl::RetryBitBtn, Event::OnClick);
    d.raise(Ctl::ComboBox8, Event::OnSelect);
    d.raise(Ctl::StartBitBtn, Event::OnClick);
    d.raise(Ctl::RedyGoBtn, Event::OnClick);
    d.raise(Ctl::OwaruBitBtn, Event::OnClick);
    d.raise(Ctl::RedyGoBtn, Event::OnClick);
    EXPECT_EQ(
        log, (std::vector<std::string>{
                 "begin RetryBitBtn.0", "end RetryBitBtn.0", "begin ComboBox8.2", "end ComboBox8.2",
                 "begin ComboBox7.3", "end ComboBox7.3", "begin ComboBox8.1", "begin Timer1.4",
                 "end Timer1.4", "end ComboBox8.1", "begin StartBitBtn.0", "begin RedyGoBtn.0",
                 "end RedyGoBtn.0", "begin OwaruBitBtn.0", "end OwaruBitBtn.0"}));
    EXPECT_EQ(errors, std::vector<std::string>{"タイマーを取得できません"});
    EXPECT_EQ(d.handled(), 8u);
}

} // namespace
} // namespace interaction
