// The real window on Qt's offscreen platform: layout, fonts, the lists' event
// model with real key and mouse events, the kept drawing surface, timers,
// message boxes and the exit code.
#include "form.h"
#include "qt_toolkit.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <string>
#include <vector>

using lesson::Ctl;
using lesson::Event;
using ui::TForm1;

namespace {

struct Raised {
    Ctl ctl;
    Event event;
    bool operator==(const Raised& o) const { return ctl == o.ctl && event == o.event; }
};

std::ostream& operator<<(std::ostream& os, const Raised& r) {
    static const char* names[] = {"OnClick", "OnSelect", "OnCloseUp", "OnEnter", "OnTimer"};
    return os << lesson::NameOf(r.ctl) << "." << names[static_cast<int>(r.event)];
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<TForm1>();
        form->eventObserver = [this](Ctl c, Event e) {
            if (e != Event::OnTimer)
                raised.push_back({c, e});
        };
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QApplication::processEvents();
        raised.clear();
    }
    void TearDown() override { form.reset(); }

    QWidget* w(Ctl c) { return form->control(c); }
    ui::DropDownList* list(Ctl c) { return form->list(c); }
    lesson::LessonState& state() { return form->lesson().state(); }

    // Keys go where the window system would send them: to an open popup first.
    static QWidget* keyTarget() {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup->focusWidget() ? popup->focusWidget() : popup;
        return QApplication::focusWidget();
    }
    void type(const char* keys) {
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(keyTarget(), *k);
    }
    void key(Qt::Key k) { QTest::keyClick(keyTarget(), k); }
    void focus(Ctl c) {
        // Closing a popup can leave the offscreen window inactive.
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        w(c)->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    void closePopups() {
        while (QApplication::activePopupWidget()) {
            QTest::keyClick(keyTarget(), Qt::Key_Escape);
            QApplication::processEvents();
        }
    }
    // Enters a runner's distance and time by typing into the closed lists.
    void enter(Ctl list, const char* text) {
        focus(list);
        type(text);
        closePopups();
    }
    QColor pixelAt(const QImage& img, int x, int y) { return img.pixelColor(x, y); }
    QImage grabClient() { return form->grab().toImage(); }
    int countColor(const QImage& img, const QRect& r, const QColor& c) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += img.pixelColor(x, y) == c;
        return n;
    }

    std::unique_ptr<TForm1> form;
    std::vector<Raised> raised;
};

// ---- Layout ----

TEST_F(Window, EveryControlStandsWhereTheLayoutPutsIt) {
    struct Expect {
        const char* name;
        const char* parent;
        int l, t, w, h;
        bool visible;
    } table[] = {
        {"RunnerLbl1", "Form1", 8, 200, 90, 21, true},
        {"RunnerLbl2", "Form1", 8, 256, 90, 21, true},
        {"RunnerLbl3", "Form1", 8, 312, 90, 21, true},
        {"RunnerShape1", "Form1", 104, 200, 0, 20, true},
        {"RunnerShape2", "Form1", 104, 256, 0, 20, true},
        {"RunnerShape3", "Form1", 104, 312, 0, 20, true},
        {"TrunLbl1", "Form1", 8, 536, 90, 21, false},
        {"TrunLbl2", "Form1", 8, 592, 90, 21, false},
        {"TrunLbl3", "Form1", 8, 648, 90, 21, false},
        {"TrunShape1", "Form1", 104, 536, 0, 20, false},
        {"TrunShape2", "Form1", 104, 592, 0, 20, false},
        {"TrunShape3", "Form1", 104, 648, 0, 20, false},
        {"Label13", "Form1", 88, 456, 27, 32, false},
        {"Label14", "Form1", 200, 456, 165, 32, false},
        {"RunnerBox1", "Form1", 8, 40, 193, 129, true},
        {"RunnerBox2", "Form1", 224, 40, 193, 129, true},
        {"RunnerBox3", "Form1", 440, 40, 193, 129, true},
        {"Label1", "RunnerBox1", 8, 34, 62, 27, true},
        {"Label2", "RunnerBox1", 146, 36, 20, 27, true},
        {"Label3", "RunnerBox1", 146, 86, 22, 21, true},
        {"Label4", "RunnerBox1", 8, 82, 62, 27, true},
        {"ComboBox1", "RunnerBox1", 72, 32, 73, 29, true},
        {"ComboBox2", "RunnerBox1", 72, 80, 73, 29, true},
        {"Label7", "RunnerBox2", 146, 86, 22, 21, true},
        {"ComboBox3", "RunnerBox2", 72, 32, 73, 29, true},
        {"ComboBox4", "RunnerBox2", 72, 80, 73, 29, true},
        {"Label12", "RunnerBox3", 8, 82, 62, 27, true},
        {"ComboBox5", "RunnerBox3", 72, 32, 73, 29, true},
        {"ComboBox6", "RunnerBox3", 72, 80, 73, 29, true},
        {"JikanLbl", "Form1", 656, 128, 207, 32, true},
        {"RedyGoBtn", "Form1", 656, 56, 201, 57, true},
        {"Syomei", "Form1", 848, 0, 150, 25, true},
        {"RetryBitBtn", "Form1", 872, 56, 129, 57, true},
        {"TrialBitBtn", "Form1", 0, 392, 193, 41, false},
        {"ComboBox7", "Form1", 0, 456, 85, 32, false},
        {"ComboBox8", "Form1", 120, 456, 73, 32, false},
        {"StartBitBtn", "Form1", 392, 448, 153, 41, false},
        {"OwaruBitBtn", "Form1", 872, 376, 129, 57, true},
    };
    for (const auto& e : table) {
        auto* c = form->findChild<QWidget*>(e.name);
        ASSERT_NE(c, nullptr) << e.name;
        EXPECT_EQ(c->parentWidget()->objectName(), e.parent) << e.name;
        EXPECT_EQ(c->geometry(), QRect(e.l, e.t, e.w, e.h)) << e.name;
        EXPECT_EQ(c->isVisible(), e.visible) << e.name;
    }
    EXPECT_EQ(form->frameGeometry().size(), QSize(1024, 768));
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("速さの比べ方"));
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->windowIcon().availableSizes().value(0), QSize(32, 32));
}

TEST_F(Window, CaptionsFontsAndColours) {
    struct Expect {
        Ctl ctl;
        const char* caption;
        const char* family;
        int pixels;
        bool bold, italic;
        QColor color;
    } table[] = {
        {Ctl::RedyGoBtn, "よ～い、ドン！", "IPAPGothic", 32, true, false, Qt::black},
        {Ctl::RetryBitBtn, "もう一度", "IPAPGothic", 27, true, true, QColor(0, 0, 128)},
        {Ctl::OwaruBitBtn, "お わ る", "IPAPGothic", 27, true, true, QColor(64, 0, 128)},
        {Ctl::TrialBitBtn, "確かめよう！", "IPAPGothic", 27, true, true, QColor(0, 128, 0)},
        {Ctl::StartBitBtn, "スタート！", "IPAPGothic", 27, true, true, QColor(255, 0, 0)},
        {Ctl::JikanLbl, "かかった時間：", "IPAPGothic", 32, true, false, QColor(255, 0, 0)},
        {Ctl::RunnerLbl1, "走 者 １", "IPAMincho", 21, true, false, QColor(128, 0, 0)},
        {Ctl::RunnerLbl3, "走 者 ３", "IPAMincho", 21, true, false, QColor(255, 0, 255)},
        {Ctl::Label3, "秒", "IPAPGothic", 21, true, false, Qt::black},
        {Ctl::Label2, "m", "IPAPGothic", 27, false, false, Qt::black},
        {Ctl::Syomei, nullptr, "C059", 21, false, true, QColor(0, 128, 0)},
        {Ctl::RunnerBox2, "２コースの走者", "IPAPGothic", 27, false, false, QColor(255, 0, 0)},
    };
    for (const auto& e : table) {
        QWidget* c = w(e.ctl);
        SCOPED_TRACE(lesson::NameOf(e.ctl));
        if (e.caption) {
            EXPECT_EQ(form->toolkit().caption(e.ctl), e.caption);
        }
        QFontInfo info(c->font());
        EXPECT_TRUE(info.family().startsWith(e.family)) << info.family().toStdString();
        EXPECT_EQ(c->font().pixelSize(), e.pixels);
        EXPECT_EQ(c->font().bold(), e.bold);
        EXPECT_EQ(c->font().italic(), e.italic);
        auto role = qobject_cast<QPushButton*>(c) ? QPalette::ButtonText : QPalette::WindowText;
        EXPECT_EQ(c->palette().color(role), e.color);
    }
    // "よ～い、ドン！" holds the full-width tilde.
    EXPECT_TRUE(qobject_cast<QPushButton*>(w(Ctl::RedyGoBtn))->text().contains(QChar(0xFF5E)));
    // Labels stand on the window colour; lists keep the field colour.
    QImage img = grabClient();
    EXPECT_EQ(pixelAt(img, 95, 205), QColor(0x80, 0xFF, 0x80));
    EXPECT_EQ(w(Ctl::Label1)->palette().color(QPalette::Window), QColor(0x80, 0xFF, 0x80));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0x80, 0xFF, 0x80));
}

// Bounding box of the pixels in the button's caption colour.
QRect inkOf(QPushButton* b) {
    QImage img = b->grab().toImage();
    QColor ink = b->palette().color(QPalette::ButtonText);
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == ink)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(Window, DrawnButtonsShiftTheirCaptionWhilePressed) {
    for (Ctl c : {Ctl::RetryBitBtn, Ctl::OwaruBitBtn}) {
        auto* b = qobject_cast<QPushButton*>(w(c));
        QRect up = inkOf(b);
        b->setDown(true);
        QRect down = inkOf(b);
        b->setDown(false);
        ASSERT_FALSE(up.isEmpty()) << lesson::NameOf(c);
        EXPECT_EQ(down.topLeft() - up.topLeft(), QPoint(1, 1)) << lesson::NameOf(c);
    }
    // The standard push button is the window system's own.
    auto* go = qobject_cast<QPushButton*>(w(Ctl::RedyGoBtn));
    QRect up = inkOf(go);
    go->setDown(true);
    EXPECT_EQ(inkOf(go).topLeft(), up.topLeft());
    go->setDown(false);
}

TEST_F(Window, ListsHoldTheirItems) {
    struct Expect {
        Ctl ctl;
        int count;
        int probe;
        const char* text;
        int current;
    } table[] = {
        {Ctl::ComboBox1, 110, 11, "20", 0},   {Ctl::ComboBox3, 110, 109, "1000", 0},
        {Ctl::ComboBox2, 281, 121, "131", 0}, {Ctl::ComboBox6, 281, 280, "300", 0},
        {Ctl::ComboBox7, 3, 2, "時間", -1},   {Ctl::ComboBox8, 1001, 1000, "1000", -1},
    };
    for (const auto& e : table) {
        SCOPED_TRACE(lesson::NameOf(e.ctl));
        EXPECT_EQ(list(e.ctl)->count(), e.count);
        EXPECT_EQ(list(e.ctl)->itemText(0), "");
        EXPECT_EQ(list(e.ctl)->itemText(e.probe), QString::fromUtf8(e.text));
        EXPECT_EQ(list(e.ctl)->currentIndex(), e.current);
        EXPECT_EQ(list(e.ctl)->maxVisibleItems(), 8);
    }
}

TEST_F(Window, TabVisitsTheControlsInTheLayoutsOrder) {
    auto walk = [&](Ctl from, int steps) {
        focus(from);
        std::vector<std::string> seen;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            lesson::Ctl c;
            seen.push_back(form->controlOf(QApplication::focusWidget(), &c) ? lesson::NameOf(c)
                                                                            : "?");
        }
        return seen;
    };
    EXPECT_EQ(
        walk(Ctl::ComboBox1, 9),
        (std::vector<std::string>{"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6",
                                  "RedyGoBtn", "RetryBitBtn", "OwaruBitBtn", "ComboBox1"}));
    form->lesson().TrialBitBtnClick();
    form->toolkit().setVisible(Ctl::TrialBitBtn, true);
    EXPECT_EQ(walk(Ctl::RedyGoBtn, 7),
              (std::vector<std::string>{"ComboBox8", "RetryBitBtn", "TrialBitBtn", "ComboBox7",
                                        "StartBitBtn", "OwaruBitBtn", "ComboBox1"}));
}

// ---- The lists' event model, with real key and mouse events ----

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
    EXPECT_TRUE(form->timer(Ctl::Timer1)->enabled()) << "runner 2 alone races";
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
    EXPECT_FALSE(form->timer(Ctl::Timer1)->enabled());
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
    list(Ctl::ComboBox2)->view()->setCurrentIndex(list(Ctl::ComboBox2)->model()->index(20, 0));
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
    // The offscreen platform ignores a click too soon after the popup opened.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
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

// ---- The drawing surface keeps what the lesson drew ----

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
    form->timer(Ctl::Timer1)->timer().stop(); // ticks are delivered by hand below
    auto* label = qobject_cast<QLabel*>(w(Ctl::JikanLbl));
    ASSERT_TRUE(label);
    ASSERT_TRUE(label->text().endsWith("  ")); // cleared: the width takes in the blanks
    ASSERT_EQ(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    auto image = [](QWidget* l) {
        QImage img(l->size(), QImage::Format_RGB32);
        l->render(&img);
        return img;
    };
    int ticks = 0;
    while (form->timer(Ctl::Timer1)->enabled()) {
        form->raise(Ctl::Timer1, Event::OnTimer);
        QApplication::processEvents();
        if (++ticks % 3 && ticks < 195)
            continue; // every third tick, and every one around 10.00
        QLabel plain(label->text());
        plain.setFont(label->font());
        QPalette pal; // the colours the label inherits, set outright
        pal.setColor(QPalette::Window, label->palette().color(QPalette::Window));
        pal.setColor(QPalette::WindowText, label->palette().color(QPalette::WindowText));
        plain.setPalette(pal);
        plain.setAutoFillBackground(true);
        plain.setAlignment(label->alignment());
        plain.resize(label->size());
        ASSERT_EQ(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        ASSERT_EQ(image(label), image(&plain)) << label->text().toStdString();
    }
    EXPECT_EQ(ticks, 400);
}

TEST_F(Window, ARaceRunsInTheRealWindow) {
    enter(Ctl::ComboBox1, "100");
    enter(Ctl::ComboBox2, "10");
    ASSERT_EQ(state().Kyori[1], 100);
    ASSERT_EQ(state().Jikan[1], 10);
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    EXPECT_TRUE(form->timer(Ctl::Timer1)->enabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->timer(Ctl::Timer1)->enabled(); }, 15000));
    QApplication::processEvents();
    QImage img = grabClient();
    EXPECT_EQ(countColor(img, QRect(104, 200, 800, 20), QColor(128, 0, 0)), 800 * 20);
    EXPECT_GT(countColor(img, QRect(936, 200, 60, 21), QColor(128, 0, 0)), 20);
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

// ---- Timers, message boxes, errors and the end ----

TEST_F(Window, TimersTickOnWhileTheMessageBoxIsOpen) {
    enter(Ctl::ComboBox1, "1000");
    enter(Ctl::ComboBox2, "10");
    form->lesson().RedyGoBtnClick();
    form->timer(Ctl::Timer1)->setEnabled(false);
    form->lesson().TrialBitBtnClick();
    form->toolkit().setItemIndex(Ctl::ComboBox7, 2);
    form->toolkit().setItemIndex(Ctl::ComboBox8, 5);
    form->lesson().ComboBox8Select();
    form->lesson().StartBitBtnClick();
    QString title, text;
    float clockWhenClosed = -1;
    QTimer::singleShot(400, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        // It stands in the middle of the screen, not of the window.
        QPoint off = box->frameGeometry().center() - box->screen()->availableGeometry().center();
        EXPECT_LE(off.manhattanLength(), 4) << off.x() << "," << off.y();
        clockWhenClosed = state().KeikaJikan;
        QTest::keyClick(box, Qt::Key_Enter);
    });
    form->toolkit().setItemIndex(Ctl::ComboBox8, 11);
    form->lesson().ComboBox8Select(); // 1100 m: out of range
    EXPECT_EQ(title, QString::fromUtf8("速さの比べ方"));
    EXPECT_EQ(text, QString::fromUtf8("範囲外です。再入力してください。"));
    EXPECT_GT(clockWhenClosed, 0.2f);
}

TEST_F(Window, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
    form->eventObserver = [](Ctl c, Event e) {
        if (c == Ctl::RedyGoBtn && e == Event::OnClick)
            throw std::runtime_error("タイマーを取得できません");
    };
    QString shown;
    QTimer::singleShot(200, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->accept();
    });
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    EXPECT_EQ(shown, QString::fromUtf8("タイマーを取得できません"));
    // The window goes on taking events.
    QTest::mouseClick(w(Ctl::RetryBitBtn), Qt::LeftButton);
    EXPECT_EQ(form->toolkit().caption(Ctl::JikanLbl), "経過時間" + std::string(20, ' '));
}

TEST_F(Window, FinishingEndsTheEventLoopWithCodeZero) {
    QTimer::singleShot(50, [&] { QTest::mouseClick(w(Ctl::OwaruBitBtn), Qt::LeftButton); });
    EXPECT_EQ(QApplication::exec(), 0);
    QTimer::singleShot(50, [&] { form->close(); });
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(Window, RetryPutsTheWindowBackAtTheOrigin) {
    form->move(300, 200);
    form->resize(700, 500);
    QTest::mouseClick(w(Ctl::RetryBitBtn), Qt::LeftButton);
    EXPECT_EQ(form->frameGeometry(), QRect(0, 0, 1024, 768));
}

} // namespace
