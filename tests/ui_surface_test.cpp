// The drawing surface keeps what the lesson drew, and the race shows on it
// tick by tick.
#include "label_image.h"
#include "ui_window.h"
#include "auto_size_label.h"

#include <QBackingStore>
#include <QLabel>

using lesson::Ctl;
using lesson::Event;
using uitest::Window;

namespace {

TEST_F(Window, DrawingsSurviveExposesAndShrinkingBars) {
    enter(Ctl::ComboBox1, "100");
    QApplication::processEvents();
    QImage before = grabClient();
    ASSERT_EQ(pixelAt(before, 103, 199), QColor(128, 0, 0));
    ASSERT_EQ(pixelAt(before, 500, 210), QColor(Qt::white));
    // A bar grows over the track and shrinks again; then the window is exposed.
    form->toolkit().setShapeBrush(Ctl::RunnerShape1, lesson::clMaroon);
    form->toolkit().setWidth(Ctl::RunnerShape1, 600);
    QApplication::processEvents();
    EXPECT_EQ(pixelAt(grabClient(), 500, 210), QColor(128, 0, 0));
    form->toolkit().setWidth(Ctl::RunnerShape1, 0);
    form->hide();
    form->show();
    form->repaint();
    QImage after = grabClient();
    EXPECT_EQ(pixelAt(after, 500, 210), QColor(Qt::white));
    EXPECT_EQ(pixelAt(after, 103, 199), QColor(128, 0, 0));
    QRect track(103, 170, 921, 170);
    EXPECT_EQ(before.copy(track), after.copy(track));
}

TEST_F(Window, TheRunPartOfABarShowsOnEveryTick) {
    enter(Ctl::ComboBox1, "100");
    enter(Ctl::ComboBox2, "300"); // 0.13 pixels a tick
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    form->toolkit().nativeTimer(Ctl::Timer1).stop(); // ticks are delivered by hand below
    for (int t = 1; t <= 30; ++t) {
        form->raise(Ctl::Timer1, Event::OnTimer);
        QApplication::processEvents();
        int width = w(Ctl::RunnerShape1)->width();
        if (t >= 8) {
            ASSERT_GT(width, 0) << "tick " << t;
        }
        QImage img = grabClient();
        EXPECT_EQ(countColor(img, QRect(104, 200, 10, 20), QColor(128, 0, 0)), width * 20)
            << "tick " << t;
    }
}

// The race's caption and bars are painted into the window's backing store by
// the toolkit, not by Qt's repaint: what the window shows must still be what
// its controls draw, through the caption's width changes and the arrivals.
TEST_F(Window, TheWindowShowsWhatItsControlsDraw) {
    const char* runners[][2] = {{"100", "10"}, {"100", "8"}, {"70", "7"}};
    const Ctl lists[] = {Ctl::ComboBox1, Ctl::ComboBox2, Ctl::ComboBox3,
                         Ctl::ComboBox4, Ctl::ComboBox5, Ctl::ComboBox6};
    for (int i = 0; i < 3; ++i) {
        enter(lists[2 * i], runners[i][0]);
        enter(lists[2 * i + 1], runners[i][1]);
    }
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    form->toolkit().nativeTimer(Ctl::Timer1).stop(); // ticks are delivered by hand below
    auto shown = [this] {
        QApplication::processEvents(); // anything Qt itself repaints
        auto* store = static_cast<QImage*>(form->backingStore()->paintDevice());
        return store->convertToFormat(QImage::Format_RGB32).copy(form->rect());
    };
    ASSERT_EQ(form->backingStore()->paintDevice()->devType(), QInternal::Image);
    int ticks = 0;
    while (form->toolkit().timerEnabled(Ctl::Timer1) && ticks < 1000) {
        form->raise(Ctl::Timer1, Event::OnTimer);
        if (++ticks % 9 && ticks < 195)
            continue;
        ASSERT_EQ(shown(), grabClient().convertToFormat(QImage::Format_RGB32)) << "tick " << ticks;
    }
    EXPECT_EQ(ticks, 200);
    EXPECT_EQ(form->toolkit().caption(Ctl::JikanLbl), "経過時間10.00秒");
}

// A new elapsed time must not make Qt lay the window out again: that request
// woke the event loop a second time on every race tick.
TEST_F(Window, ARaceTickAsksForNoNewLayout) {
    struct LayoutRequests : QObject {
        int seen = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            seen += e->type() == QEvent::LayoutRequest;
            return false;
        }
    } requests;
    enter(Ctl::ComboBox1, "100");
    enter(Ctl::ComboBox2, "10");
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    form->toolkit().nativeTimer(Ctl::Timer1).stop(); // ticks are delivered by hand below
    QApplication::processEvents();
    form->installEventFilter(&requests);
    for (int t = 0; t < 150; ++t) {
        form->raise(Ctl::Timer1, Event::OnTimer);
        QApplication::processEvents();
    }
    // Once, when the first time replaced the blank caption and the width changed.
    EXPECT_LE(requests.seen, 1);
    EXPECT_EQ(form->toolkit().caption(Ctl::JikanLbl), "経過時間7.50秒");
}

TEST_F(Window, ARaceRunsInTheRealWindow) {
    enter(Ctl::ComboBox1, "100");
    enter(Ctl::ComboBox2, "10");
    ASSERT_EQ(state().Kyori[1], 100);
    ASSERT_EQ(state().Jikan[1], 10);
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    ASSERT_TRUE(form->toolkit().timerEnabled(Ctl::Timer1));
    form->toolkit().nativeTimer(Ctl::Timer1).stop(); // ticks are delivered by hand below
    int ticks = 0;
    while (form->toolkit().timerEnabled(Ctl::Timer1) && ticks < 1000) {
        form->raise(Ctl::Timer1, Event::OnTimer);
        ++ticks;
    }
    EXPECT_EQ(ticks, 10 * state().TickInterval) << "10 s of the race clock";
    QApplication::processEvents();
    QImage img = grabClient();
    EXPECT_EQ(countColor(img, QRect(104, 200, lesson::TrackWidth, 20), QColor(128, 0, 0)),
              lesson::TrackWidth * 20);
    EXPECT_GT(countColor(img, QRect(936, 200, 60, 21), QColor(128, 0, 0)), 20);
    EXPECT_EQ(form->toolkit().description(Ctl::Form1), "100m、10秒");
    EXPECT_TRUE(w(Ctl::TrialBitBtn)->isVisible());
    EXPECT_EQ(form->toolkit().caption(Ctl::JikanLbl), "経過時間10.00秒");
}

TEST_F(Window, CaptionedLabelsAreAsWideAsTheirText) {
    const char* captions[] = {
        "にそろえる。",   "にそろえる。　　", "ｍにそろえる。", "", "経過時間                    ",
        "経過時間10.00秒"};
    for (Ctl c : {Ctl::Label14, Ctl::JikanLbl})
        for (const char* caption : captions) {
            form->toolkit().setCaption(c, caption);
            EXPECT_EQ(w(c)->width(),
                      w(c)->fontMetrics().horizontalAdvance(QString::fromUtf8(caption)))
                << lesson::NameOf(c) << " '" << caption << "'";
        }
}

// The elapsed time is redrawn from its first changed character on; on every
// tick, and past the width changes (9.95 to 10.00), it must show exactly
// what a plain label shows with that caption.
TEST_F(Window, TheElapsedTimeShowsWhatAPlainLabelDraws) {
    enter(Ctl::ComboBox1, "100");
    enter(Ctl::ComboBox2, "20");
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    form->toolkit().nativeTimer(Ctl::Timer1).stop(); // ticks are delivered by hand below
    auto* label = qobject_cast<QLabel*>(w(Ctl::JikanLbl));
    ASSERT_TRUE(label);
    ASSERT_TRUE(label->text().endsWith("  ")); // cleared: the width takes in the blanks
    ASSERT_EQ(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    int ticks = 0;
    while (form->toolkit().timerEnabled(Ctl::Timer1)) {
        form->raise(Ctl::Timer1, Event::OnTimer);
        QApplication::processEvents();
        if (++ticks % 3 && ticks < 195)
            continue; // every third tick, and every one around 10.00
        ASSERT_EQ(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        ASSERT_EQ(RenderAt(label), PlainLabelImage(label)) << label->text().toStdString();
    }
    EXPECT_EQ(ticks, 400);
}

// Captions placed from glyphs shaped one character at a time must have the
// width and the pixels of the caption shaped whole: every caption of a 100 s
// race, set in turn as the race sets them; captions the cache must leave to
// the text engine (a ligature, a combining mark, a character outside the
// BMP) are drawn and measured as a plain label's all the same.
TEST_F(Window, CaptionsPlacedFromShapedCharactersMatchTheTextEngine) {
    auto* label = dynamic_cast<ui::AutoSizeLabel*>(w(Ctl::JikanLbl));
    ASSERT_TRUE(label);
    struct Row {
        QString caption;
        bool cached;
    };
    std::vector<Row> rows = {{"かかった時間：", true},
                             {"経過時間" + QString(20, QLatin1Char(' ')), true},
                             {"経過時間fi秒", false},
                             {QString::fromUtf8("か\u3099かった"), false},
                             {QString::fromUtf8("経過\U00020B9F時間"), false}};
    for (int h = 0; h <= 10000; h += 5)
        rows.push_back(
            {QString("経過時間%1.%2秒").arg(h / 100).arg(h % 100, 2, 10, QLatin1Char('0')), true});
    for (const Row& r : rows) {
        form->toolkit().setCaption(Ctl::JikanLbl, r.caption.toStdString());
        ASSERT_EQ(label->text(), r.caption);
        EXPECT_EQ(label->placedFromCache(), r.cached) << r.caption.toStdString();
        ASSERT_EQ(label->width(), label->fontMetrics().horizontalAdvance(r.caption))
            << r.caption.toStdString();
        ASSERT_EQ(RenderAt(label), PlainLabelImage(label)) << r.caption.toStdString();
    }
}

} // namespace
