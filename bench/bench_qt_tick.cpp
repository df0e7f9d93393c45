// What Qt itself costs a 20 ms timer tick on this machine and X server, for
// comparison with the program's race tick: a bare window shown as the program
// shows its own (no shared memory for the pixels), and the CPU time of all
// the process's threads over 200 ticks of a precise 20 ms timer that
//   - does nothing (the wake-up and the timer's dispatch),
//   - flushes a 3 x 20 pixel rectangle of the backing store to the X server,
//   - sets a new elapsed-time caption on a plain 32 px bold QLabel.
// Prints "name value" lines. Needs DISPLAY.
#include <QApplication>
#include <QBackingStore>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Warmup = 50, Ticks = 200;

double processCpuMs() {
    double ms = 0;
    const QString tasks = QStringLiteral("/proc/self/task");
    for (const QString& t : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks + "/" + t + "/schedstat");
        if (f.open(QIODevice::ReadOnly))
            ms += QString::fromLatin1(f.readAll()).section(' ', 0, 0).toDouble() / 1e6;
    }
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_XCB_NO_MITSHM", "1"); // as the program runs
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1024, 768);
    auto* label = new QLabel(&window);
    label->setGeometry(656, 128, 207, 32);
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(32);
    font.setBold(true);
    label->setFont(font);
    window.show();

    int tick = 0;
    const QRect column(104, 200, 3, 20);
    struct Mode {
        const char* name;
        std::function<void()> step;
    };
    const std::vector<Mode> modes = {
        {"qt_tick_idle_ms", [] {}},
        {"qt_tick_flush_ms",
         [&] {
             QBackingStore* store = window.backingStore();
             store->beginPaint(column);
             store->endPaint();
             store->flush(column, window.windowHandle());
         }},
        {"qt_tick_label_ms",
         [&] { label->setText(QStringLiteral("経過時間%1秒").arg(tick * 0.05, 0, 'f', 2)); }},
    };
    size_t mode = 0;
    double start = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (tick == Warmup)
            start = processCpuMs();
        if (tick == Warmup + Ticks) {
            std::printf("%s %.4f\n", modes[mode].name, (processCpuMs() - start) / Ticks);
            tick = 0;
            if (++mode == modes.size()) {
                app.quit();
                return;
            }
        }
        ++tick;
        modes[mode].step();
    });
    QTimer::singleShot(500, [&] { timer.start(20); }); // once the window is up
    return app.exec();
}
