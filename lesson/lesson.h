// Every event handler of the lesson window, written against the toolkit
// services so that the same code drives the real window and the headless one.
#pragma once

#include "controls.h"
#include "state.h"
#include "toolkit.h"

namespace lesson {

class Lesson {
  public:
    explicit Lesson(Toolkit& toolkit) : tk_(toolkit) {}

    LessonState& state() { return s_; }
    const LessonState& state() const { return s_; }

    // The event bindings of the layout: routes an event raised by a control to
    // its handler; unbound events are ignored.
    void dispatch(Ctl sender, Event event);

    // Start-up, reset and leaving verification mode.
    void FormCreate();
    void KakuninVisible();
    void TrunClear();
    void RetryBitBtnClick();
    void OwaruBitBtnClick();

    // Runner entry and the race track.
    void ComboBox1Select() { distanceSelect(1); }
    void ComboBox2Select() { timeSelect(1); }
    void ComboBox3Select() { distanceSelect(2); }
    void ComboBox4Select() { timeSelect(2); }
    void ComboBox5Select() { distanceSelect(3); }
    void ComboBox6Select() { timeSelect(3); }
    void ScaleHenko();

    // The race.
    void RedyGoBtnClick();
    void Timer1Timer();

    // Verification mode.
    void TrialBitBtnClick();
    void ComboBox7Select();
    void ComboBox8Select();
    void Kyorisoroe();
    void Jikansoroe();
    void SoroeAtoSyori();
    void StartBitBtnClick();
    void Timer2Timer();
    void Kyoritimer();
    void Jikantimer();

  private:
    void distanceSelect(int runner);
    void timeSelect(int runner);
    int width(Ctl c) const { return tk_.bounds(c).width(); }
    // Erases a label drawn earlier: ten blanks at its point, which is all the
    // program remembers of it, and then the whole cell the label really
    // covered, since a label such as "1000m" can be wider than ten blanks.
    void eraseLabel(const Point& at, Rect& cell);

    // A runner runs in the race when it has a bar and a time to run it in;
    // in verification it also needs a distance to work out its speed.
    bool hasRaceBar(int runner) const;
    bool takesPart(int runner) const;
    bool allArrived() const;
    // Starts the race (Timer1) or the verification run (Timer2) from 0 and
    // stops the other one.
    void startRun(Ctl timer);
    // One tick's growth of a bar of this full length that is to be covered in
    // ticksToRun ticks.
    void growBar(Ctl shape, int runner, int length, long double ticksToRun);
    // One tick of a verification bar; a runner that takes no part counts as
    // arrived instead.
    void growVerificationBar(int runner);

    Toolkit& tk_;
    LessonState s_{};
    // Cells covered by the labels last drawn at KyoriLabelPos and TrunLabelPos.
    PerRunner<Rect> kyoriLabelCell_;
    Rect trunLabelCell_;
    // Set by a new quantity and by an aligned distance the track cannot
    // show: スタート！ has no alignment to run until a value is aligned or
    // verification mode is opened again.
    bool nothingToRun_ = false;
    // The kind of the verification run, chosen when it starts.
    bool distanceRun_ = false;
};

} // namespace lesson
