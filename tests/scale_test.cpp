// The window at a display scale above 100 % (QT_SCALE_FACTOR set by ctest):
// what the lesson draws stands on the same logical pixels as at 100 %, and
// the surface has the screen's resolution, so an outline is exactly as many
// device pixels wide as the scale, with no blur.
#include "form.h"
#include "label_image.h"
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

namespace {
// How much darker than white a control's caption is, drawn in black on white
// at a device pixel ratio, summed over the device pixels.
long CaptionInk(QWidget* w, qreal ratio) {
    QPalette pal = w->palette();
    for (auto role : {QPalette::Window, QPalette::Button})
        pal.setColor(role, Qt::white);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText})
        pal.setColor(role, Qt::black);
    w->setPalette(pal);
    QImage img(w->size() * ratio, QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::white);
    w->render(&img);
    long ink = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ink += 255 - qGray(img.pixel(x, y));
    return ink;
}
} // namespace

// The layout's faces have no bold face of their own, so bold is made by
// emboldening the regular one: at the display's scale it must thicken the
// strokes as much as at 100 %.
TEST(Scaling, BoldCaptionsStayBold) {
    ui::TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const qreal scale = form.devicePixelRatioF();
    for (Ctl c : {Ctl::RunnerLbl1, Ctl::Label3, Ctl::RedyGoBtn, Ctl::RetryBitBtn}) {
        SCOPED_TRACE(lesson::NameOf(c));
        QWidget* w = form.control(c);
        QFont bold = w->font(), regular = w->font();
        ASSERT_TRUE(bold.bold());
        regular.setBold(false);
        double ratio[2];
        for (int i = 0; i < 2; ++i) {
            const qreal at = i == 0 ? 1.0 : scale;
            long boldInk = CaptionInk(w, at);
            w->setFont(regular);
            ratio[i] = double(boldInk) / CaptionInk(w, at);
            w->setFont(bold);
        }
        EXPECT_GT(ratio[1], 0.95 * ratio[0])
            << "bold against regular: " << ratio[1] << " at the display's scale, " << ratio[0]
            << " at 100 %";
    }
}

// At 100 % the elapsed time keeps an image of itself; at a scaled display,
// where bold captions are drawn as outlines, it must still show what a plain
// label shows.
TEST(Scaling, TheElapsedTimeShowsWhatAPlainLabelDraws) {
    ui::TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* label = qobject_cast<QLabel*>(form.control(Ctl::JikanLbl));
    ASSERT_TRUE(label);
    const qreal scale = label->devicePixelRatioF();
    for (const char* caption :
         {"経過時間0.05秒", "経過時間0.10秒", "経過時間9.95秒", "経過時間10.00秒"}) {
        form.toolkit().setCaption(Ctl::JikanLbl, caption);
        QApplication::processEvents();
        EXPECT_EQ(RenderAt(label, scale), PlainLabelImage(label, scale)) << caption;
    }
}
