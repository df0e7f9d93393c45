// The lesson core without a window: a 300 s race (6000 ticks) from the start
// button to the end of the race, through the toolkit's dispatcher, with the
// framebuffer toolkit, with the pixels switched off, and on the plain path
// that draws every fill the lesson asks for. Prints "name value" lines in
// milliseconds.
#include "headless.h"
#include "lesson.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace lesson;

static double raceMs(bool render, bool plain, int* ticks) {
    HeadlessToolkit tk;
    tk.recording = false;
    tk.render = render;
    tk.canvas().skipRepeatedFills = !plain;
    Lesson L(tk);
    tk.events().setTarget([&](Ctl c, Event e) { L.dispatch(c, e); });
    tk.events().run([&] { L.FormCreate(); });
    tk.setItemIndex(Ctl::ComboBox1, 19); // 100 m
    tk.events().raise(Ctl::ComboBox1, Event::OnSelect);
    tk.setItemIndex(Ctl::ComboBox2, 280); // 300 s
    tk.events().raise(Ctl::ComboBox2, Event::OnSelect);
    auto t0 = std::chrono::steady_clock::now();
    tk.events().raise(Ctl::RedyGoBtn, Event::OnClick);
    int n = 0;
    while (tk.timerEnabled(Ctl::Timer1)) {
        tk.timerFired(Ctl::Timer1);
        ++n;
    }
    auto t1 = std::chrono::steady_clock::now();
    *ticks = n;
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

int main() {
    const struct {
        const char* name;
        bool render, plain;
    } kinds[] = {{"framebuffer", true, false}, {"no_pixels", false, false}, {"plain", true, true}};
    for (const auto& kind : kinds) {
        std::vector<double> runs;
        int ticks = 0;
        for (int k = 0; k < 41; ++k)
            runs.push_back(raceMs(kind.render, kind.plain, &ticks));
        std::sort(runs.begin(), runs.end());
        std::printf("core_race_%s_ms %.3f\n", kind.name, runs[runs.size() / 2]);
        if (!kind.render)
            std::printf("core_race_ticks %d\n", ticks);
    }
}
