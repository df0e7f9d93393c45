// The drawing surface keeps what the lesson drew, and the race shows on it
// tick by tick; what is drawn is also told to assistive technology.
#include "ui_window.h"

#include <QAccessible>

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
    form->timer(Ctl::Timer1)->timer().stop(); // ticks are delivered by hand below
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

TEST_F(Window, ARaceRunsInTheRealWindow) {
    enter(Ctl::ComboBox1, "100");
    enter(Ctl::ComboBox2, "10");
    ASSERT_EQ(state().Kyori[1], 100);
    ASSERT_EQ(state().Jikan[1], 10);
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    ASSERT_TRUE(form->timer(Ctl::Timer1)->enabled());
    form->timer(Ctl::Timer1)->timer().stop(); // ticks are delivered by hand below
    int ticks = 0;
    while (form->timer(Ctl::Timer1)->enabled() && ticks < 1000) {
        form->raise(Ctl::Timer1, Event::OnTimer);
        ++ticks;
    }
    EXPECT_EQ(ticks, 10 * state().TickInterval) << "10 s of the race clock";
    QApplication::processEvents();
    QImage img = grabClient();
    EXPECT_EQ(countColor(img, QRect(104, 200, lesson::TrackWidth, 20), QColor(128, 0, 0)),
              lesson::TrackWidth * 20);
    EXPECT_GT(countColor(img, QRect(936, 200, 60, 21), QColor(128, 0, 0)), 20);
    EXPECT_EQ(form->toolkit().surfaceTexts(), (QStringList{"100m", "10秒"}));
    EXPECT_TRUE(w(Ctl::TrialBitBtn)->isVisible());
    EXPECT_EQ(form->toolkit().caption(Ctl::JikanLbl), "経過時間10.00秒");
}

// ---- Accessibility ----

QString accessibleText(QWidget* w, QAccessible::Text what) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(what) : QString();
}

TEST_F(Window, EveryControlHasAnAccessibleName) {
    struct Named {
        Ctl ctl;
        const char* name;
    } named[] = {
        {Ctl::ComboBox1, "走者１の距離"},
        {Ctl::ComboBox2, "走者１の時間"},
        {Ctl::ComboBox6, "走者３の時間"},
        {Ctl::ComboBox7, "そろえるもの"},
        {Ctl::ComboBox8, "そろえる値"},
        {Ctl::RedyGoBtn, "よ～い、ドン！"},
        {Ctl::OwaruBitBtn, "お わ る"},
        {Ctl::RunnerShape2, "走者２のバー"},
        {Ctl::TrunShape3, "確かめる走者３のバー"},
        {Ctl::RunnerLbl1, "走 者 １"},
        {Ctl::JikanLbl, "かかった時間："},
    };
    for (const auto& n : named)
        EXPECT_EQ(accessibleText(w(n.ctl), QAccessible::Name), QString::fromUtf8(n.name))
            << lesson::NameOf(n.ctl);
    for (const auto& control : lesson::Layout()) {
        if (control.kind == lesson::Kind::Timer)
            continue;
        EXPECT_FALSE(accessibleText(w(control.id), QAccessible::Name).isEmpty()) << control.name;
    }
}

TEST_F(Window, DrawnResultsAreExposedAsAccessibleText) {
    auto description = [&](Ctl c) {
        return accessibleText(w(c), QAccessible::Description).toStdString();
    };
    auto pickSilently = [&](Ctl list, int index) {
        form->toolkit().setItemIndex(list, index);
        form->raise(list, Event::OnSelect);
    };
    pickSilently(Ctl::ComboBox1, 19); // 100 m
    pickSilently(Ctl::ComboBox2, 20); // 20 s
    pickSilently(Ctl::ComboBox3, 19);
    pickSilently(Ctl::ComboBox4, 12);
    EXPECT_EQ(description(Ctl::RunnerShape1), "100m");
    form->lesson().RedyGoBtnClick();
    form->timer(Ctl::Timer1)->timer().stop();
    while (form->timer(Ctl::Timer1)->enabled())
        form->raise(Ctl::Timer1, Event::OnTimer);
    EXPECT_EQ(description(Ctl::RunnerShape1), "100m 20秒");
    EXPECT_EQ(description(Ctl::RunnerShape2), "100m 12秒");
    EXPECT_EQ(accessibleText(form.get(), QAccessible::Description).toStdString(),
              "100m、20秒、100m、12秒");
    EXPECT_EQ(accessibleText(w(Ctl::JikanLbl), QAccessible::Name).toStdString(), "経過時間20.00秒");

    form->lesson().TrialBitBtnClick();
    form->toolkit().setItemIndex(Ctl::ComboBox7, 2);
    pickSilently(Ctl::ComboBox8, 10);
    form->lesson().StartBitBtnClick();
    form->timer(Ctl::Timer2)->timer().stop();
    while (form->timer(Ctl::Timer2)->enabled())
        form->raise(Ctl::Timer2, Event::OnTimer);
    EXPECT_EQ(description(Ctl::TrunShape1), "84m 50.00ｍ");
    EXPECT_EQ(description(Ctl::TrunShape2), "83.33ｍ");

    QTest::mouseClick(w(Ctl::RetryBitBtn), Qt::LeftButton);
    EXPECT_EQ(description(Ctl::RunnerShape1), "");
    EXPECT_EQ(description(Ctl::TrunShape1), "");
    EXPECT_EQ(accessibleText(form.get(), QAccessible::Description).toStdString(), "");
}

} // namespace
