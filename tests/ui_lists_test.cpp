// The lists' event model, with real key and mouse events: what a pupil's
// typing, arrows, wheel and clicks pick, and which events each raises.
#include "ui_window.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>

using lesson::Ctl;
using lesson::Event;
using uitest::Raised;
using uitest::Window;

namespace {

TEST_F(Window, TypingIntoADistanceListCompletesToItems) {
    focus(Ctl::ComboBox1);
    raised.clear();
    type("1");
    EXPECT_TRUE(list(Ctl::ComboBox1)->popupOpen());
    EXPECT_EQ(list(Ctl::ComboBox1)->currentIndex(), 1);
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox1, Event::OnClick},
                                           {Ctl::ComboBox1, Event::OnSelect}}));
    raised.clear();
    type("5"); // the list is dropped down now and holds the keyboard
    QLineEdit* edit = list(Ctl::ComboBox1)->lineEdit();
    EXPECT_EQ(list(Ctl::ComboBox1)->currentText(), "150");
    EXPECT_EQ(edit->text(), "150");
    EXPECT_EQ(edit->selectedText(), "0");
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox1, Event::OnClick},
                                           {Ctl::ComboBox1, Event::OnSelect}}));
    EXPECT_EQ(state().Kyori[1], 150);
    raised.clear();
    type("0");
    EXPECT_EQ(list(Ctl::ComboBox1)->currentText(), "150");
    EXPECT_TRUE(raised.empty());
    closePopups();
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox1, Event::OnCloseUp}}));
}

TEST_F(Window, TypingIntoATimeListStopsAtTheMissingItems) {
    focus(Ctl::ComboBox2);
    raised.clear();
    type("12");
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), 12);
    EXPECT_EQ(raised.size(), 4u);
    raised.clear();
    type("5"); // 121..130 are not offered
    EXPECT_EQ(list(Ctl::ComboBox2)->lineEdit()->text(), "125");
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), 12);
    EXPECT_TRUE(raised.empty());
    // Backspace leaves no item current and raises nothing; the runner keeps
    // the time of its last pick.
    key(Qt::Key_Backspace);
    EXPECT_EQ(list(Ctl::ComboBox2)->lineEdit()->text(), "12");
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), -1);
    EXPECT_TRUE(raised.empty());
    EXPECT_EQ(state().Jikan[1], 12);
    closePopups();
    raised.clear();
    // Leaving the list does not make the matching item current behind our back.
    focus(Ctl::ComboBox3);
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), -1);
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox3, Event::OnEnter}}));
}

TEST_F(Window, TextMatchingNoItemAndEmptiedListsAreHarmless) {
    enter(Ctl::ComboBox3, "50");
    enter(Ctl::ComboBox4, "5");
    raised.clear();
    // "0" begins no item: it stands in the field, the empty item stays current.
    focus(Ctl::ComboBox1);
    type("0");
    EXPECT_EQ(list(Ctl::ComboBox1)->lineEdit()->text(), "0");
    EXPECT_EQ(list(Ctl::ComboBox1)->currentIndex(), 0);
    closePopups();
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    EXPECT_TRUE(form->toolkit().timerEnabled(Ctl::Timer1)) << "runner 2 alone races";
    QTest::mouseClick(w(Ctl::RetryBitBtn), Qt::LeftButton);
    // A distance, and a time list emptied with Backspace after a text that
    // matched nothing: the start button refuses, nothing divides by zero.
    enter(Ctl::ComboBox1, "100");
    focus(Ctl::ComboBox2);
    type("0");
    key(Qt::Key_Backspace);
    closePopups();
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), -1);
    EXPECT_EQ(list(Ctl::ComboBox2)->lineEdit()->text(), "");
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    EXPECT_FALSE(form->toolkit().timerEnabled(Ctl::Timer1));
    // Backspace in an empty field changes nothing.
    focus(Ctl::ComboBox2);
    key(Qt::Key_Backspace);
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), -1);
}

TEST_F(Window, ArrowKeysOnAClosedListPickWithoutACloseUp) {
    focus(Ctl::ComboBox1);
    raised.clear();
    key(Qt::Key_Down);
    EXPECT_EQ(list(Ctl::ComboBox1)->currentIndex(), 1);
    EXPECT_FALSE(list(Ctl::ComboBox1)->popupOpen());
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox1, Event::OnClick},
                                           {Ctl::ComboBox1, Event::OnSelect}}));
    EXPECT_EQ(state().Kyori[1], 1);
}

TEST_F(Window, MoveKeysOpenCloseAndStepFromTheHighlight) {
    focus(Ctl::ComboBox2);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    ASSERT_EQ(list(Ctl::ComboBox2)->currentIndex(), 2);
    raised.clear();
    // Alt+Down and Alt+Up drop the list down and close it, changing nothing.
    QTest::keyClick(keyTarget(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(list(Ctl::ComboBox2)->popupOpen());
    QTest::keyClick(keyTarget(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(list(Ctl::ComboBox2)->popupOpen());
    QTest::keyClick(keyTarget(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), 2);
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox2, Event::OnCloseUp}}));
    // In the open list, page keys pick like the arrows, and a move starts
    // from the highlighted row.
    QTest::keyClick(keyTarget(), Qt::Key_F4);
    ASSERT_TRUE(list(Ctl::ComboBox2)->popupOpen());
    key(Qt::Key_PageDown);
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), 9);
    // The pointer over row 20.
    QAbstractItemView* view = list(Ctl::ComboBox2)->view();
    const QModelIndex row20 = list(Ctl::ComboBox2)->model()->index(20, 0);
    view->scrollTo(row20);
    const QPointF at = view->visualRect(row20).center();
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    key(Qt::Key_Down);
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), 21);
    key(Qt::Key_End);
    EXPECT_EQ(list(Ctl::ComboBox2)->currentIndex(), 280);
    EXPECT_EQ(state().Jikan[1], 300);
    // Tab closes the open list and moves on.
    key(Qt::Key_Tab);
    EXPECT_FALSE(list(Ctl::ComboBox2)->popupOpen());
    Ctl now;
    ASSERT_TRUE(form->controlOf(QApplication::focusWidget(), &now));
    EXPECT_EQ(now, Ctl::ComboBox3);
}

TEST_F(Window, TheWheelOverAListWithoutFocusChangesNothing) {
    focus(Ctl::ComboBox3);
    raised.clear();
    QWidget* other = w(Ctl::ComboBox1);
    QWheelEvent wheel(QPointF(20, 10), other->mapToGlobal(QPointF(20, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(other, &wheel);
    EXPECT_EQ(list(Ctl::ComboBox1)->currentIndex(), 0);
    EXPECT_TRUE(raised.empty());
}

TEST_F(Window, ClosingTheWindowWithAListOpenReachesNoHandler) {
    focus(Ctl::ComboBox1);
    type("5");
    ASSERT_TRUE(list(Ctl::ComboBox1)->popupOpen());
    form.reset(); // the sanitizer build reports any call into the destroyed window
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(Window, AMousePickRaisesCloseUpClickAndSelect) {
    auto* combo = list(Ctl::ComboBox3);
    focus(Ctl::ComboBox3);
    raised.clear();
    combo->showPopup();
    QApplication::processEvents();
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(view->isVisible());
    QModelIndex item = combo->model()->index(3, 0);
    view->scrollTo(item);
    QRect r = view->visualRect(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QApplication::processEvents();
    EXPECT_EQ(combo->currentIndex(), 3);
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox3, Event::OnCloseUp},
                                           {Ctl::ComboBox3, Event::OnClick},
                                           {Ctl::ComboBox3, Event::OnSelect}}));
    EXPECT_EQ(state().Kyori[2], 3);
}

TEST_F(Window, EnteringAListRaisesOnEnterOnce) {
    form->lesson().TrialBitBtnClick();
    focus(Ctl::ComboBox1);
    raised.clear();
    focus(Ctl::ComboBox8);
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox8, Event::OnEnter}}));
    raised.clear();
    list(Ctl::ComboBox8)->showPopup();
    QApplication::processEvents();
    closePopups();
    EXPECT_EQ(raised, (std::vector<Raised>{{Ctl::ComboBox8, Event::OnCloseUp}}));
}

TEST_F(Window, ProgramSelectionsAndHidingRaiseNothing) {
    form->lesson().TrialBitBtnClick();
    raised.clear();
    form->toolkit().setItemIndex(Ctl::ComboBox8, 40);
    form->toolkit().setItemIndex(Ctl::ComboBox1, 3);
    form->lesson().KakuninVisible();
    QApplication::processEvents();
    EXPECT_TRUE(raised.empty());
    EXPECT_EQ(list(Ctl::ComboBox8)->currentIndex(), 40);
}

} // namespace
