// The window at a display scale above 100 % (QT_SCALE_FACTOR set by ctest):
// what the lesson draws stands on the same logical pixels as at 100 %, and
// the surface has the screen's resolution, so an outline is exactly as many
// device pixels wide as the scale, with no blur.
#include "form.h"
#include "qt_toolkit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <cmath>

using lesson::Ctl;
using lesson::Event;

TEST(Scaling, OutlinesStandOnTheirLogicalPixelsAndStayCrisp) {
    ui::TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.toolkit().setItemIndex(Ctl::ComboBox1, 19); // 100 m: a track of 800 px
    form.raise(Ctl::ComboBox1, Event::OnSelect);
    QApplication::processEvents();
    QImage img = form.grab().toImage();
    const double scale = img.devicePixelRatio();
    ASSERT_GT(scale, 1.0);
    EXPECT_EQ(form.surface().devicePixelRatio(), scale);
    auto at = [&](double x, double y) {
        return img.pixelColor(static_cast<int>(std::floor(x * scale)),
                              static_cast<int>(std::floor(y * scale)));
    };
    const QColor maroon(128, 0, 0), white(Qt::white), green(0x80, 0xFF, 0x80);
    // The centre of each logical pixel across the outline's left edge.
    EXPECT_EQ(at(102.5, 210.5), green);
    EXPECT_EQ(at(103.5, 210.5), maroon);
    EXPECT_EQ(at(104.5, 210.5), white);
    EXPECT_EQ(at(904.5, 210.5), maroon);
    EXPECT_EQ(at(905.5, 210.5), green);
    EXPECT_EQ(at(500.5, 199.5), maroon);
    EXPECT_EQ(at(500.5, 198.5), green);
    if (scale == 2.0) {
        // Device pixels: the one-pixel outline is exactly two wide, no blur.
        const int y = 420;
        EXPECT_EQ(img.pixelColor(205, y), green);
        EXPECT_EQ(img.pixelColor(206, y), maroon);
        EXPECT_EQ(img.pixelColor(207, y), maroon);
        EXPECT_EQ(img.pixelColor(208, y), white);
    }
}

// The elapsed time keeps an image of itself, at the screen's resolution where
// the scale is a whole number: it must show what a plain label shows.
TEST(Scaling, TheElapsedTimeShowsWhatAPlainLabelDraws) {
    ui::TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* label = qobject_cast<QLabel*>(form.control(Ctl::JikanLbl));
    ASSERT_TRUE(label);
    const qreal scale = label->devicePixelRatioF();
    auto image = [scale](QWidget* l) {
        QImage img(l->size() * scale, QImage::Format_RGB32);
        img.setDevicePixelRatio(scale);
        l->render(&img);
        return img;
    };
    for (const char* caption :
         {"経過時間0.05秒", "経過時間0.10秒", "経過時間9.95秒", "経過時間10.00秒"}) {
        form.toolkit().setCaption(Ctl::JikanLbl, caption);
        QApplication::processEvents();
        QLabel plain(label->text());
        plain.setFont(label->font());
        QPalette pal;
        pal.setColor(QPalette::Window, label->palette().color(QPalette::Window));
        pal.setColor(QPalette::WindowText, label->palette().color(QPalette::WindowText));
        plain.setPalette(pal);
        plain.setAutoFillBackground(true);
        plain.setAlignment(label->alignment());
        plain.resize(label->size());
        EXPECT_EQ(image(label), image(&plain)) << caption;
    }
}
