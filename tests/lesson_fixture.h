// Drives the lesson through the headless toolkit the way the window does:
// a user's pick sets the item and raises OnClick, OnSelect and OnCloseUp.
#pragma once

#include "headless.h"
#include "lesson.h"
#include "numtext.h"

#include <gtest/gtest.h>

#include <string>

namespace lesson {

class LessonFixture : public ::testing::Test {
  protected:
    LessonFixture() { L.FormCreate(); }

    // Picks the item with this text, as a mouse pick in the dropped-down list.
    void pick(Ctl list, const std::string& text) {
        int index = indexOf(list, text);
        ASSERT_GE(index, 0) << "no item " << text << " in " << NameOf(list);
        pickIndex(list, index);
    }
    void pickIndex(Ctl list, int index) {
        int before = tk.itemIndex(list);
        tk.setItemIndex(list, index);
        if (tk.itemIndex(list) != before) {
            L.dispatch(list, Event::OnClick);
            L.dispatch(list, Event::OnSelect);
        }
        L.dispatch(list, Event::OnCloseUp);
    }
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

    HeadlessToolkit tk;
    Lesson L{tk};
    LessonState& s = L.state();
};

} // namespace lesson
