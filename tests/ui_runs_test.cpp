// Runs in the real window on Qt's offscreen platform, driven by real key and
// mouse events; the ticks are delivered by hand, one at a time.
#include "ui_window.h"

#include <QAbstractItemView>
#include <QLineEdit>

using lesson::Ctl;
using lesson::Event;

namespace {

class Runs : public uitest::Window {
  protected:
    void keyWith(Qt::Key k, Qt::KeyboardModifiers mods) {
        QTest::keyClick(keyTarget(), k, mods);
        QApplication::processEvents();
    }
    // Picks an item of the dropped-down list with the mouse.
    void mousePick(Ctl c, int index) {
        auto* combo = list(c);
        focus(c);
        combo->showPopup();
        QApplication::processEvents();
        QModelIndex item = combo->model()->index(index, 0);
        combo->view()->scrollTo(item);
        QTest::mouseClick(combo->view()->viewport(), Qt::LeftButton, {},
                          combo->view()->visualRect(item).center());
        QApplication::processEvents();
    }
    // Clicks a button; the run it starts is then ticked by hand only.
    void press(Ctl button) {
        QTest::mouseClick(w(button), Qt::LeftButton);
        QApplication::processEvents();
        for (Ctl t : {Ctl::Timer1, Ctl::Timer2})
            form->toolkit().nativeTimer(t).stop();
    }
    // Delivers ticks while the timer is enabled; returns how many.
    int tick(Ctl timer, int limit) {
        int n = 0;
        for (; n < limit && form->toolkit().timerEnabled(timer); ++n)
            form->raise(timer, Event::OnTimer);
        QApplication::processEvents();
        return n;
    }
};

// Runner 1's time is emptied during the race, so it takes no part in the
// verification run; opening and closing its distance list during that run
// must not make the run wait for it.
TEST_F(Runs, ACloseUpDuringAVerificationRunDoesNotHoldItUp) {
    enter(Ctl::ComboBox1, "100");
    enter(Ctl::ComboBox2, "20");
    enter(Ctl::ComboBox3, "100");
    enter(Ctl::ComboBox4, "12");
    press(Ctl::RedyGoBtn);
    ASSERT_EQ(tick(Ctl::Timer1, 20), 20);
    mousePick(Ctl::ComboBox2, 0);
    ASSERT_EQ(state().Jikan[1], 0);
    EXPECT_EQ(tick(Ctl::Timer1, 1000), 220);
    ASSERT_TRUE(w(Ctl::TrialBitBtn)->isVisible());

    press(Ctl::TrialBitBtn);
    focus(Ctl::ComboBox7);
    key(Qt::Key_Down); // 距離
    QApplication::processEvents();
    enter(Ctl::ComboBox8, "100");
    ASSERT_EQ(state().SoroeKyori, 100);
    EXPECT_EQ(state().TrunBarLength[1], 0);
    EXPECT_EQ(state().TrunBarLength[2], 800);

    press(Ctl::StartBitBtn);
    ASSERT_EQ(tick(Ctl::Timer2, 50), 50);
    focus(Ctl::ComboBox1);
    keyWith(Qt::Key_Down, Qt::AltModifier); // drops the list down
    ASSERT_TRUE(list(Ctl::ComboBox1)->popupOpen());
    keyWith(Qt::Key_Up, Qt::AltModifier); // and closes it without a pick
    ASSERT_FALSE(list(Ctl::ComboBox1)->popupOpen());
    EXPECT_EQ(state().Goal[1], 0);

    EXPECT_EQ(tick(Ctl::Timer2, 1000), 190);
    EXPECT_EQ(form->toolkit().caption(Ctl::JikanLbl), "経過時間12.00秒");
    EXPECT_EQ(w(Ctl::TrunShape1)->width(), 0);
    EXPECT_EQ(w(Ctl::TrunShape2)->width(), 800);
    // Runner 1's row holds its two-pixel outline and nothing beside it.
    QImage img = form->grab().toImage();
    const QColor maroon(128, 0, 0), back(0x80, 0xFF, 0x80);
    EXPECT_EQ(img.pixelColor(103, 540), maroon);
    EXPECT_EQ(img.pixelColor(104, 540), maroon);
    for (int y = 536; y < 557; ++y)
        for (int x = 105; x < img.width(); ++x)
            ASSERT_EQ(img.pixelColor(x, y), back) << x << "," << y;
}

} // namespace

namespace {

// A press in a list's field only takes the focus: the list does not drop
// down, so leaving it raises no close-up that would draw the alignment
// again on the track its entering emptied.
TEST_F(Runs, APressInAListsFieldOnlyFocusesIt) {
    enter(Ctl::ComboBox1, "100");
    enter(Ctl::ComboBox2, "10");
    press(Ctl::RedyGoBtn);
    tick(Ctl::Timer1, 1000);
    press(Ctl::TrialBitBtn);
    focus(Ctl::ComboBox7);
    key(Qt::Key_Down);
    key(Qt::Key_Down); // 時間
    enter(Ctl::ComboBox8, "10");
    QImage aligned = grabClient();
    ASSERT_GT(countColor(aligned, QRect(103, 535, 700, 1), QColor(128, 0, 0)), 600);
    focus(Ctl::ComboBox1);
    raised.clear();
    QLineEdit* field = list(Ctl::ComboBox8)->lineEdit();
    QTest::mouseClick(field, Qt::LeftButton, {}, field->rect().center());
    QApplication::processEvents();
    EXPECT_FALSE(list(Ctl::ComboBox8)->popupOpen());
    QTest::mouseClick(form.get(), Qt::LeftButton, {}, QPoint(500, 700));
    focus(Ctl::ComboBox1);
    EXPECT_EQ(raised, (std::vector<uitest::Raised>{{Ctl::ComboBox8, Event::OnEnter},
                                                   {Ctl::ComboBox1, Event::OnEnter}}));
    QImage after = grabClient();
    EXPECT_EQ(countColor(after, QRect(103, 514, 900, 155), QColor(128, 255, 128)), 900 * 155)
        << "the verification track stays empty";
}

} // namespace
