// Verification mode after a finished race, for the alignment and run tests.
#pragma once

#include "lesson_fixture.h"

namespace lesson {

constexpr Color Back = 0x80FF80;
const Rect kTrunArea{103, 514, 1024, 669};

class Verification : public LessonFixture {
  protected:
    // Two runners over the same distance, the second faster: 100 m in 20 s and
    // 100 m in 12 s, raced to the end.
    void typicalRace() {
        runner(1, "100", "20");
        runner(2, "100", "12");
        raceToEnd();
        ASSERT_TRUE(tk.visible(Ctl::TrialBitBtn));
    }
    void open() { click(Ctl::TrialBitBtn); }
    void align(const char* quantity, const char* value) {
        pick(Ctl::ComboBox7, quantity);
        pick(Ctl::ComboBox8, value);
    }
};

} // namespace lesson
