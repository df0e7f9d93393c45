// Drives the lesson through the headless toolkit the way the windows do:
// every event goes through the toolkit's dispatcher, and a user's pick in a
// list is made on the list itself, which raises what a real list raises.
#pragma once

#include "headless.h"
#include "lesson.h"
#include "numtext.h"

#include <gtest/gtest.h>

#include <string>

namespace lesson {

// A pick with the pointer: the list takes the focus, drops down and closes
// on the picked row (OnCloseUp, then OnClick and OnSelect if the item changed).
inline void pickWithPointer(HeadlessToolkit& tk, Ctl list, int index) {
    tk.focusMoved(list, false);
    if (!tk.list(list).isOpen())
        tk.listToggle(list);
    tk.listPick(list, index);
}

// A change of the current item as the arrow keys make it on a closed list:
// OnClick and OnSelect, no close-up.
inline void pickWithKeys(HeadlessToolkit& tk, Ctl list, int index) {
    tk.focusMoved(list, true);
    int before = tk.itemIndex(list);
    tk.setItemIndex(list, index);
    if (tk.itemIndex(list) != before) {
        tk.events().raise(list, Event::OnClick);
        tk.events().raise(list, Event::OnSelect);
    }
}

class LessonFixture : public ::testing::Test {
  protected:
    LessonFixture() {
        tk.events().setTarget([this](Ctl c, Event e) { L.dispatch(c, e); });
        tk.events().run([this] { L.FormCreate(); });
    }

    // Picks the item with this text, as a mouse pick in the dropped-down list.
    void pick(Ctl list, const std::string& text) {
        int index = indexOf(list, text);
        ASSERT_GE(index, 0) << "no item " << text << " in " << NameOf(list);
        pickIndex(list, index);
    }
    void pickIndex(Ctl list, int index) { pickWithPointer(tk, list, index); }
    // A change with the arrow keys while the list is closed: no close-up.
    void choose(Ctl list, const std::string& text) { pickWithKeys(tk, list, indexOf(list, text)); }
    static int indexOf(Ctl list, const std::string& text) {
        const auto& items = ListItems(list);
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i] == text)
                return static_cast<int>(i);
        return -1;
    }
    void runner(int i, const std::string& distance, const std::string& time) {
        pick(DistanceList(i), distance);
        pick(TimeList(i), time);
    }
    void click(Ctl button) { tk.events().raise(button, Event::OnClick); }
    void raise(Ctl c, Event e) { tk.events().raise(c, e); }
    // Delivers ticks while the timer is enabled; returns how many were delivered.
    int tick(Ctl timer, int limit = 100000) {
        int n = 0;
        while (tk.timerEnabled(timer) && n < limit) {
            tk.timerFired(timer);
            ++n;
        }
        return n;
    }
    int width(Ctl c) const { return tk.bounds(c).width(); }
    const TextRecord* lastTextAt(int x, int y) const {
        for (auto it = tk.texts.rbegin(); it != tk.texts.rend(); ++it)
            if (it->x == x && it->y == y)
                return &*it;
        return nullptr;
    }
    // Opens verification mode after a finished race with these entries.
    void raceToEnd() {
        click(Ctl::RedyGoBtn);
        tick(Ctl::Timer1);
    }

    // The outline of runner i's race or verification bar of this length:
    // border in the runner's colour, inside white, nothing of it past its end.
    void expectOutline(bool race, int runner, int length) {
        SCOPED_TRACE(std::string(race ? "race" : "verification") + " outline of runner " +
                     std::to_string(runner));
        Rect b = tk.bounds(race ? RunnerShape(runner) : TrunShape(runner));
        Rect outer{b.left - 1, b.top - 1, b.left + length + 1, b.bottom + 1};
        Color pen = RunnerColor(runner);
        EXPECT_EQ(tk.count(outer, pen) + tk.count(outer, clWhite), outer.width() * outer.height());
        EXPECT_TRUE(tk.uniform(Rect{outer.left, outer.top, outer.right, outer.top + 1}, pen));
        EXPECT_TRUE(tk.uniform(Rect{outer.left, outer.bottom - 1, outer.right, outer.bottom}, pen));
        EXPECT_TRUE(tk.uniform(Rect{outer.right - 1, outer.top, outer.right, outer.bottom}, pen));
        if (length > 0) {
            EXPECT_TRUE(tk.uniform(Rect{b.left, b.top, b.left + length, b.bottom}, clWhite));
        }
        // Nothing between the outline and where a label beside the bar starts.
        int labelLeft = b.left + length + TrunLabelGap;
        EXPECT_TRUE(tk.uniform(Rect{outer.right, outer.top, labelLeft, outer.bottom}, s.BackColor));
    }

    HeadlessToolkit tk;
    Lesson L{tk};
    LessonState& s = L.state();
};

} // namespace lesson
