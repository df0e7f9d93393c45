// Reads a text the program drew on its window: the screen's pixels at a text
// cell are compared with a rendering of the expected text made here, in the
// layout's gothic face at the given size, in the given ink on a cell of the
// given colour, as wide as the text and one character high.
//   glyphprobe X Y POINTS INK CELL TEXT
// X, Y: the cell's top left on the screen; INK, CELL: RRGGBB.
// Prints "same" and exits 0, or how many pixels differ and exits 1.
#include "controls.h"
#include "application.h"
#include "fonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: glyphprobe X Y POINTS INK CELL TEXT\n");
        return 2;
    }
    QApplication app(argc, argv);
    ui::SetUpApplication();
    const int x = QString(argv[1]).toInt(), y = QString(argv[2]).toInt();
    const int pixels = qRound(QString(argv[3]).toInt() * 96 / 72.0);
    const QColor ink(QString("#") + argv[4]), cell(QString("#") + argv[5]);
    const QString text = QString::fromUtf8(argv[6]);

    QFont font = ui::LayoutFont(lesson::Face::Gothic, pixels, false, false);
    QFontMetrics fm(font);
    QImage expected(fm.horizontalAdvance(text), pixels, QImage::Format_RGB32);
    expected.fill(cell);
    QPainter p(&expected);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(0, fm.ascent(), text);
    p.end();

    QImage screen = QGuiApplication::primaryScreen()
                        ->grabWindow(0, x, y, expected.width(), expected.height())
                        .toImage()
                        .convertToFormat(QImage::Format_RGB32);
    if (screen.size() != expected.size()) {
        std::printf("the screen has no %dx%d cell at %d,%d\n", expected.width(), expected.height(),
                    x, y);
        return 1;
    }
    int differ = 0, inked = 0;
    for (int r = 0; r < expected.height(); ++r)
        for (int c = 0; c < expected.width(); ++c) {
            QRgb want = expected.pixel(c, r) & 0xFFFFFF;
            differ += want != (screen.pixel(c, r) & 0xFFFFFF);
            inked += want != (cell.rgb() & 0xFFFFFF);
        }
    if (inked == 0) {
        std::printf("the text draws no ink\n");
        return 2;
    }
    if (differ == 0) {
        std::printf("same\n");
        return 0;
    }
    std::printf("%d of %d pixels differ\n", differ, expected.width() * expected.height());
    return 1;
}
