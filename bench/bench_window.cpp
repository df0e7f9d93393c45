// The real window on the X server in DISPLAY: the wall time of a 10 s race
// from the start click to its end, and the CPU time of one race tick, the
// handler and the repaint it causes together. Prints "name value" lines.
#include "form.h"
#include "qt_toolkit.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

using lesson::Ctl;
using lesson::Event;

static double threadCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::SetUpApplication();
    ui::TForm1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    QTest::qWait(200);

    auto& tk = form.toolkit();
    auto enter = [&](Ctl list, int index) {
        tk.setItemIndex(list, index);
        form.raise(list, Event::OnSelect);
    };
    enter(Ctl::ComboBox1, 19); // 100 m
    enter(Ctl::ComboBox2, 10); // 10 s
    QWidget* start = form.control(Ctl::RedyGoBtn);

    // Wall time of real races driven by the real timer.
    std::vector<double> walls;
    for (int run = 0; run < 3; ++run) {
        QTest::qWait(100);
        auto t0 = std::chrono::steady_clock::now();
        QTest::mouseClick(start, Qt::LeftButton);
        while (form.timer(Ctl::Timer1)->enabled())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        auto t1 = std::chrono::steady_clock::now();
        walls.push_back(std::chrono::duration<double>(t1 - t0).count());
    }
    std::sort(walls.begin(), walls.end());
    std::printf("race_10s_wall_s %.3f\n", walls[1]);

    // CPU per tick: ticks delivered one by one, each followed by its repaint.
    enter(Ctl::ComboBox3, 19);
    enter(Ctl::ComboBox4, 8);
    enter(Ctl::ComboBox5, 14);
    enter(Ctl::ComboBox6, 7);
    std::vector<double> costs;
    for (int run = 0; run < 5; ++run) {
        QTest::mouseClick(start, Qt::LeftButton);
        form.timer(Ctl::Timer1)->timer().stop();
        QApplication::processEvents();
        while (form.timer(Ctl::Timer1)->enabled()) {
            double c0 = threadCpuMs();
            form.raise(Ctl::Timer1, Event::OnTimer);
            QApplication::processEvents();
            costs.push_back(threadCpuMs() - c0);
        }
    }
    std::sort(costs.begin(), costs.end());
    double sum = 0;
    for (double c : costs)
        sum += c;
    std::printf("tick_cpu_mean_ms %.4f\n", sum / costs.size());
    std::printf("tick_cpu_p99_ms %.4f\n", costs[costs.size() * 99 / 100]);
    std::printf("tick_count %zu\n", costs.size());
    return 0;
}
