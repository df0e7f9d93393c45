// The lesson core without a window: a 300 s race (6000 ticks) from the start
// button to the end of the race, with the framebuffer toolkit and with the
// pixels switched off. Prints "name value" lines in milliseconds.
#include "headless.h"
#include "lesson.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace lesson;

static double raceMs(bool render, int* ticks) {
    HeadlessToolkit tk;
    tk.recording = false;
    tk.render = render;
    Lesson L(tk);
    L.FormCreate();
    tk.setItemIndex(Ctl::ComboBox1, 19); // 100 m
    L.dispatch(Ctl::ComboBox1, Event::OnSelect);
    tk.setItemIndex(Ctl::ComboBox2, 280); // 300 s
    L.dispatch(Ctl::ComboBox2, Event::OnSelect);
    auto t0 = std::chrono::steady_clock::now();
    L.dispatch(Ctl::RedyGoBtn, Event::OnClick);
    int n = 0;
    while (tk.timerEnabled(Ctl::Timer1)) {
        L.dispatch(Ctl::Timer1, Event::OnTimer);
        ++n;
    }
    auto t1 = std::chrono::steady_clock::now();
    *ticks = n;
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

int main() {
    for (bool render : {true, false}) {
        std::vector<double> runs;
        int ticks = 0;
        for (int k = 0; k < 41; ++k)
            runs.push_back(raceMs(render, &ticks));
        std::sort(runs.begin(), runs.end());
        std::printf("core_race_%s_ms %.3f\n", render ? "framebuffer" : "no_pixels",
                    runs[runs.size() / 2]);
        if (!render)
            std::printf("core_race_ticks %d\n", ticks);
    }
}
