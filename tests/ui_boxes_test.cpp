// Message boxes, errors in handlers, the end of the program and the window's
// place after もう一度.
#include "ui_window.h"

#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <functional>
#include <stdexcept>
#include <utility>

using lesson::Ctl;
using lesson::Event;
using uitest::Window;

namespace {

// What a message box showed while it was open.
struct BoxSeen {
    int count = 0; // boxes answered
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QPoint offCentre; // from the middle of the screen
    bool closedByEnter = false;
};

// Answers the message boxes that open while it lives: reads each one, lets
// `look` do its part while the box is open, then presses Enter. A box that
// Enter leaves open is closed all the same, so no test waits forever behind a
// modal box; checks belong after the handler has returned, on what was seen.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(std::function<void()> look = {}) : look_(std::move(look)) {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] { answer(); });
        poll_.start();
    }
    BoxSeen seen;

  private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        ++seen.count;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.offCentre =
            box->frameGeometry().center() - box->screen()->availableGeometry().center();
        if (look_)
            look_();
        QTest::keyClick(box, Qt::Key_Enter);
        seen.closedByEnter = !box->isVisible();
        if (!seen.closedByEnter)
            box->done(QMessageBox::Ok);
    }
    std::function<void()> look_;
    QTimer poll_;
};

TEST_F(Window, TimersTickOnWhileTheMessageBoxIsOpen) {
    enter(Ctl::ComboBox1, "1000");
    enter(Ctl::ComboBox2, "10");
    form->lesson().RedyGoBtnClick();
    form->toolkit().setTimerEnabled(Ctl::Timer1, false);
    form->lesson().TrialBitBtnClick();
    form->toolkit().setItemIndex(Ctl::ComboBox7, 2);
    form->toolkit().setItemIndex(Ctl::ComboBox8, 5);
    form->lesson().ComboBox8Select();
    form->lesson().StartBitBtnClick();
    // While the box is open the verification run's timer goes on, and a tick
    // it delivers moves the run on.
    QTimer& run = form->toolkit().nativeTimer(Ctl::Timer2);
    bool running = false;
    float clockBefore = -1, clockAfter = -1;
    BoxAnswerer answerer([&] {
        running = form->toolkit().timerEnabled(Ctl::Timer2) && run.isActive();
        clockBefore = state().KeikaJikan;
        QTimerEvent tick(run.timerId());
        QCoreApplication::sendEvent(&run, &tick);
        clockAfter = state().KeikaJikan;
    });
    form->toolkit().setItemIndex(Ctl::ComboBox8, 11);
    // Through the dispatcher, as a pick would: the box's wait delivers the
    // tick while the handler waits in it.
    form->raise(Ctl::ComboBox8, Event::OnSelect); // 1100 m: out of range
    ASSERT_EQ(answerer.seen.count, 1);
    EXPECT_EQ(answerer.seen.title, QString::fromUtf8("速さの比べ方"));
    EXPECT_EQ(answerer.seen.text, QString::fromUtf8("範囲外です。再入力してください。"));
    EXPECT_TRUE(answerer.seen.closedByEnter);
    // It stands in the middle of the screen, not of the window.
    EXPECT_LE(answerer.seen.offCentre.manhattanLength(), 4)
        << answerer.seen.offCentre.x() << "," << answerer.seen.offCentre.y();
    EXPECT_TRUE(running);
    EXPECT_GT(clockAfter, clockBefore);
    EXPECT_TRUE(form->toolkit().timerEnabled(Ctl::Timer2)) << "the run goes on after the box";
}

TEST_F(Window, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
    form->toolkit().events().observer = [](Ctl c, Event e) {
        if (c == Ctl::RedyGoBtn && e == Event::OnClick)
            throw std::runtime_error("タイマーを取得できません");
    };
    BoxAnswerer answerer;
    QTest::mouseClick(w(Ctl::RedyGoBtn), Qt::LeftButton);
    ASSERT_EQ(answerer.seen.count, 1);
    EXPECT_EQ(answerer.seen.text, QString::fromUtf8("タイマーを取得できません"));
    EXPECT_EQ(answerer.seen.icon, QMessageBox::Critical);
    // The window goes on taking events.
    QTest::mouseClick(w(Ctl::RetryBitBtn), Qt::LeftButton);
    EXPECT_EQ(form->toolkit().caption(Ctl::JikanLbl), "経過時間" + std::string(20, ' '));
}

TEST_F(Window, FinishingEndsTheEventLoopWithCodeZero) {
    QTimer::singleShot(0, [&] { QTest::mouseClick(w(Ctl::OwaruBitBtn), Qt::LeftButton); });
    EXPECT_EQ(QApplication::exec(), 0);
    QTimer::singleShot(0, [&] { form->close(); });
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(Window, RetryPutsTheWindowBackAtTheOrigin) {
    form->move(300, 200);
    form->resize(700, 500);
    QTest::mouseClick(w(Ctl::RetryBitBtn), Qt::LeftButton);
    EXPECT_EQ(form->frameGeometry(), QRect(0, 0, lesson::WindowWidth, lesson::WindowHeight));
}

} // namespace
