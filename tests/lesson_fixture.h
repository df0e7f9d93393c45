// Drives the lesson through the headless toolkit the way the window does:
// a user's pick sets the item and raises OnClick, OnSelect and OnCloseUp.
#pragma once

#include "headless.h"
#include "lesson.h"
#include "numtext.h"

#include <gtest/gtest.h>

#include <string>

namespace lesson {

// A user's change of a list's current item: a changed item raises OnClick and
// OnSelect, and a pick in the dropped-down list then closes it up.
inline void userSelect(HeadlessToolkit& tk, Lesson& L, Ctl list, int index, bool closeUp) {
    int before = tk.itemIndex(list);
    tk.setItemIndex(list, index);
    if (tk.itemIndex(list) != before) {
        L.dispatch(list, Event::OnClick);
        L.dispatch(list, Event::OnSelect);
    }
    if (closeUp)
        L.dispatch(list, Event::OnCloseUp);
}

class LessonFixture : public ::testing::Test {
  protected:
    LessonFixture() { L.FormCreate(); }

    // Picks the item with this text, as a mouse pick in the dropped-down list.
    void pick(Ctl list, const std::string& text) {
        int index = indexOf(list, text);
        ASSERT_GE(index, 0) << "no item " << text << " in " << NameOf(list);
        pickIndex(list, index);
    }
    void pickIndex(Ctl list, int index) { userSelect(tk, L, list, index, true); }
    // A change with the arrow keys while the list is closed: no close-up.
    void choose(Ctl list, const std::string& text) {
        tk.setItemIndex(list, indexOf(list, text));
        L.dispatch(list, Event::OnClick);
        L.dispatch(list, Event::OnSelect);
    }
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
    void click(Ctl button) { L.dispatch(button, Event::OnClick); }
    // Delivers ticks while the timer is enabled; returns how many were delivered.
    int tick(Ctl timer, int limit = 100000) {
        int n = 0;
        while (tk.timerEnabled(timer) && n < limit) {
            L.dispatch(timer, Event::OnTimer);
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
