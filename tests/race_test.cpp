#include "lesson_fixture.h"

#include <cmath>

namespace lesson {
namespace {

constexpr Color Back = 0x80FF80;

class Track : public LessonFixture {
  protected:
    // The last text drawn at (x, y) is this distance label, black on the window.
    void expectLabel(int x, int y, const std::string& text) {
        const TextRecord* t = lastTextAt(x, y);
        ASSERT_NE(t, nullptr) << text;
        EXPECT_EQ(t->text, text);
        EXPECT_EQ(t->font, clBlack);
        EXPECT_EQ(t->background, Back);
    }
};

TEST_F(Track, FirstDistanceDrawsOutlineAndLabel) {
    pick(Ctl::ComboBox1, "100");
    EXPECT_EQ(s.Kyori[1], 100);
    EXPECT_EQ(s.ScaleEnd[1], 100);
    EXPECT_EQ(s.BarLength[1], 800);
    expectOutline(true, 1, 800);
    EXPECT_EQ(tk.pixel(103, 199), clMaroon);
    EXPECT_EQ(tk.pixel(904, 220), clMaroon);
    EXPECT_EQ(tk.pixel(905, 210), Back);
    expectLabel(904, 178, "100m");
    EXPECT_EQ(s.KyoriLabelPos[1], (Point{904, 178}));
    EXPECT_EQ(s.Goal[1], 0);
    EXPECT_EQ(s.Goal[2], 1);
    EXPECT_EQ(s.Goal[3], 1);
    // Runners without a distance have an empty track row.
    EXPECT_TRUE(tk.uniform(Rect{103, 222, 1024, 333}, Back));
}

TEST_F(Track, CommonScaleFollowsTheLongestDistance) {
    pick(Ctl::ComboBox1, "100");
    pick(Ctl::ComboBox3, "50");
    EXPECT_EQ(s.BarLength[1], 800);
    EXPECT_EQ(s.BarLength[2], 400);
    EXPECT_EQ(s.BarLength[3], 0);
    expectOutline(true, 2, 400);
    EXPECT_EQ(tk.pixel(504, 276), clBlue);
    expectLabel(504, 234, "50m");

    size_t mark = tk.trace.size();
    pick(Ctl::ComboBox5, "1000");
    EXPECT_EQ(s.BarLength[1], 80);
    EXPECT_EQ(s.BarLength[2], 40);
    EXPECT_EQ(s.BarLength[3], 800);
    expectOutline(true, 1, 80);
    expectOutline(true, 2, 40);
    expectOutline(true, 3, 800);
    expectLabel(184, 178, "100m");
    expectLabel(144, 234, "50m");
    expectLabel(904, 290, "1000m");
    // The old label 100m above the former end of runner 1's track is erased
    // by ten blanks at its point, and nothing of it is left.
    bool blanked = false;
    for (size_t k = mark; k < tk.trace.size(); ++k)
        blanked |= tk.trace[k] == "text 904,178 '          ' $000000 on $80FF80";
    EXPECT_TRUE(blanked);
    EXPECT_TRUE(tk.uniform(Rect{904, 178, 1024, 199}, Back));
}

TEST_F(Track, LabelWiderThanTenBlanksLeavesNoRemnant) {
    // "1000m" is wider than ten blanks, and runner 1's label row lies above
    // the wiped track area, so only the erase of the label itself can clear it.
    pick(Ctl::ComboBox1, "1000");
    ASSERT_GT(tk.textWidth("1000m"), tk.textWidth(s.Blank));
    Rect old = lastTextAt(904, 178)->cell;
    EXPECT_GT(tk.count(old, clBlack), 0);
    pick(Ctl::ComboBox3, "1000");
    pick(Ctl::ComboBox1, "10");
    EXPECT_EQ(lastTextAt(112, 178)->text, "10m");
    EXPECT_TRUE(tk.uniform(old, Back));
    EXPECT_TRUE(tk.uniform(Rect{900, 170, 1024, 199}, Back));
}

TEST_F(Track, TooShortForAPixelStillHasAnOutlineAndLabel) {
    pick(Ctl::ComboBox1, "1");
    pick(Ctl::ComboBox3, "1000");
    EXPECT_EQ(s.BarLength[1], 0);
    EXPECT_EQ(s.Goal[1], 0);
    expectOutline(true, 1, 0);
    EXPECT_TRUE(tk.uniform(Rect{103, 199, 105, 221}, clMaroon));
    expectLabel(104, 178, "1m");
}

TEST_F(Track, EmptyItemsWipeWithoutTouchingGoalsOrLengths) {
    pick(Ctl::ComboBox1, "100");
    pick(Ctl::ComboBox3, "50");
    s.Goal[2] = 1; // as after an arrival
    // With the arrow keys: a pick's close-up would redraw the track first,
    // with runner 2 still on it.
    choose(Ctl::ComboBox3, "");
    EXPECT_EQ(s.Kyori[2], 0);
    EXPECT_EQ(s.ScaleEnd[2], 0);
    EXPECT_EQ(s.BarLength[2], 0);
    EXPECT_EQ(s.Goal[2], 1);
    EXPECT_TRUE(tk.uniform(Rect{103, 222, 1024, 333}, Back));
    expectOutline(true, 1, 800);

    pick(Ctl::ComboBox1, "");
    // No runner has a distance: the lengths keep their values, the track is wiped.
    EXPECT_EQ(s.BarLength[1], 800);
    EXPECT_TRUE(tk.uniform(Rect{103, 170, 1024, 340}, Back));
}

TEST_F(Track, ATimeRedrawsAndClearsTheFinishedRace) {
    runner(1, "100", "10");
    raceToEnd();
    ASSERT_TRUE(tk.visible(Ctl::TrialBitBtn));
    pick(Ctl::ComboBox4, "5");
    EXPECT_EQ(s.Jikan[2], 5);
    EXPECT_FALSE(tk.visible(Ctl::TrialBitBtn));
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), ClearedElapsedLabel(s.Blank));
    EXPECT_EQ(width(Ctl::RunnerShape1), 0);
    expectOutline(true, 1, 800);
    // The arrival label beside the bar is gone.
    EXPECT_TRUE(tk.uniform(Rect{936, 200, 1024, 221}, Back));
}

TEST_F(Track, CloseUpAloneEndsTheFinishedDisplay) {
    runner(1, "100", "10");
    raceToEnd();
    raise(Ctl::ComboBox6, Event::OnCloseUp);
    EXPECT_FALSE(tk.visible(Ctl::TrialBitBtn));
    EXPECT_EQ(width(Ctl::RunnerShape1), 0);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer1));
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), ClearedElapsedLabel(s.Blank));
    EXPECT_EQ(s.Goal[1], 0);
}

class Race : public LessonFixture {};

TEST_F(Race, OneRunnerArrivesAndTheRaceEnds) {
    runner(1, "100", "10");
    click(Ctl::RedyGoBtn);
    EXPECT_TRUE(tk.timerEnabled(Ctl::Timer1));
    EXPECT_EQ(tk.timerInterval(Ctl::Timer1), 20);
    EXPECT_EQ(tk.shapeBrush(Ctl::RunnerShape1), clMaroon);
    EXPECT_EQ(tk.shapeBrush(Ctl::RunnerShape2), clBlue);
    EXPECT_EQ(tk.shapeBrush(Ctl::RunnerShape3), clFuchsia);
    EXPECT_EQ(s.Goal[2], 1);
    EXPECT_EQ(tick(Ctl::Timer1, 199), 199);
    EXPECT_EQ(width(Ctl::RunnerShape1), 796);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間9.95秒");
    EXPECT_FALSE(tk.visible(Ctl::TrialBitBtn));
    EXPECT_EQ(tick(Ctl::Timer1), 1);
    EXPECT_EQ(width(Ctl::RunnerShape1), 800);
    const TextRecord* label = lastTextAt(936, 200);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, "10秒");
    EXPECT_EQ(label->font, clMaroon);
    EXPECT_EQ(label->background, Back);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間10.00秒");
    EXPECT_TRUE(tk.visible(Ctl::TrialBitBtn));
    EXPECT_EQ(s.Goal[1] + s.Goal[2] + s.Goal[3], 3);
    EXPECT_EQ(s.KeikaJikan, 10.0f);
    // The whole bar area is white beneath the bar; the bar shape covers it.
    EXPECT_TRUE(tk.uniform(Rect{104, 200, 904, 220}, clWhite));
    EXPECT_EQ(tk.brushColor(), Back);
}

TEST_F(Race, TwoRunnersArriveInTurn) {
    runner(1, "100", "10");
    runner(2, "50", "8");
    click(Ctl::RedyGoBtn);
    tick(Ctl::Timer1, 159);
    EXPECT_EQ(s.Goal[2], 0);
    tick(Ctl::Timer1, 1);
    EXPECT_EQ(s.Goal[2], 1);
    const TextRecord* label = lastTextAt(536, 256);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, "8秒");
    EXPECT_EQ(label->font, clBlue);
    EXPECT_EQ(tick(Ctl::Timer1), 40);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間10.00秒");
}

TEST_F(Race, ARunnerWithoutABarDoesNotHoldUpTheEndButSetsTheTime) {
    runner(1, "1", "300");
    runner(2, "1000", "10");
    click(Ctl::RedyGoBtn);
    EXPECT_EQ(s.Goal[1], 1);
    EXPECT_EQ(tick(Ctl::Timer1), 200);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間300.00秒");
    for (const auto& t : tk.texts)
        EXPECT_NE(t.text, "300秒");
}

TEST_F(Race, StartRulesRefuseIncompleteEntries) {
    struct Case {
        const char* name;
        std::vector<std::pair<Ctl, const char*>> picks;
    } cases[] = {
        {"nothing entered", {}},
        {"runner 2 without a time",
         {{Ctl::ComboBox1, "100"}, {Ctl::ComboBox2, "10"}, {Ctl::ComboBox3, "50"}}},
        {"runner 3 without a distance",
         {{Ctl::ComboBox1, "100"}, {Ctl::ComboBox2, "10"}, {Ctl::ComboBox6, "10"}}},
        {"runner 1 without a distance", {{Ctl::ComboBox2, "10"}}},
        {"runner 1 without a time", {{Ctl::ComboBox1, "10"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        click(Ctl::RetryBitBtn);
        for (const auto& p : c.picks)
            pick(p.first, p.second);
        size_t mark = tk.trace.size();
        click(Ctl::RedyGoBtn);
        EXPECT_EQ(tk.trace.size(), mark) << "the start button must do nothing";
        EXPECT_FALSE(tk.timerEnabled(Ctl::Timer1));
    }
}

TEST_F(Race, AnEditedTimeListWithoutAStoredTimeIsRefused) {
    pick(Ctl::ComboBox1, "100");
    // "0" typed into the time list matches no item; Backspace then leaves the
    // list without a current item while the runner's stored time is still 0.
    tk.setItemIndex(Ctl::ComboBox2, -1);
    ASSERT_EQ(s.Jikan[1], 0);
    size_t mark = tk.trace.size();
    click(Ctl::RedyGoBtn);
    EXPECT_EQ(tk.trace.size(), mark);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer1));
    // With a stored time the same list state passes: the runner has a time to
    // run in, though its list shows none.
    pick(Ctl::ComboBox2, "10");
    tk.setItemIndex(Ctl::ComboBox2, -1);
    click(Ctl::RedyGoBtn);
    EXPECT_TRUE(tk.timerEnabled(Ctl::Timer1));
    EXPECT_EQ(tick(Ctl::Timer1), 200);
}

TEST_F(Race, StartingAgainDuringARaceRestartsFromZero) {
    runner(1, "100", "10");
    click(Ctl::RedyGoBtn);
    tick(Ctl::Timer1, 120);
    ASSERT_EQ(width(Ctl::RunnerShape1), 480);
    click(Ctl::RedyGoBtn);
    EXPECT_EQ(width(Ctl::RunnerShape1), 0);
    EXPECT_EQ(s.KeikaJikan, 0.0f);
    EXPECT_EQ(s.BarProgress[1], 0.0f);
    EXPECT_TRUE(tk.timerEnabled(Ctl::Timer1));
    EXPECT_EQ(tick(Ctl::Timer1), 200);
}

TEST_F(Race, AListChangedDuringARaceGoesOnFromTheKeptProgress) {
    runner(1, "100", "10");
    click(Ctl::RedyGoBtn);
    tick(Ctl::Timer1, 100);
    ASSERT_EQ(width(Ctl::RunnerShape1), 400);
    pick(Ctl::ComboBox2, "20");
    EXPECT_EQ(width(Ctl::RunnerShape1), 0);
    EXPECT_TRUE(tk.timerEnabled(Ctl::Timer1));
    tick(Ctl::Timer1, 1);
    EXPECT_EQ(width(Ctl::RunnerShape1), 402);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間5.05秒");
    tick(Ctl::Timer1);
    EXPECT_EQ(lastTextAt(936, 200)->text, "20秒");
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間20.00秒");
}

TEST_F(Race, AShorterTrackDuringARaceArrivesAtOnce) {
    runner(1, "100", "10");
    click(Ctl::RedyGoBtn);
    tick(Ctl::Timer1, 150);
    pick(Ctl::ComboBox3, "200"); // runner 1's track halves to 400 px
    EXPECT_EQ(s.BarLength[1], 400);
    EXPECT_EQ(s.Goal[2], 0);
    tick(Ctl::Timer1, 1);
    EXPECT_EQ(width(Ctl::RunnerShape1), 400);
    EXPECT_EQ(s.Goal[1], 1);
    EXPECT_EQ(lastTextAt(536, 200)->text, "10秒");
}

// A runner that loses its bar or its time while it runs can no longer arrive;
// the race must still end by itself.
TEST_F(Race, ARunnerThatCannotArriveNoLongerHoldsUpTheEnd) {
    struct Case {
        const char* name;
        Ctl list;
        const char* item;
    } cases[] = {
        {"distance set to the empty item", Ctl::ComboBox1, ""},
        {"time set to the empty item", Ctl::ComboBox2, ""},
        {"a scale too large for its bar", Ctl::ComboBox5, "1000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        click(Ctl::RetryBitBtn);
        runner(1, "1", "300");
        runner(2, "1", "10");
        click(Ctl::RedyGoBtn);
        tick(Ctl::Timer1, 10);
        ASSERT_TRUE(tk.timerEnabled(Ctl::Timer1));
        pick(c.list, c.item);
        size_t mark = tk.texts.size();
        int ticks = tick(Ctl::Timer1, 10000);
        EXPECT_LT(ticks, 10000) << "the race never ended";
        EXPECT_FALSE(tk.timerEnabled(Ctl::Timer1));
        EXPECT_TRUE(tk.visible(Ctl::TrialBitBtn));
        for (int i = 1; i <= 3; ++i)
            EXPECT_LE(width(RunnerShape(i)), s.BarLength[i]);
        // Runner 1 runs no further: no bar and no arrival label.
        EXPECT_EQ(width(Ctl::RunnerShape1), 0);
        EXPECT_TRUE(std::isfinite(s.BarProgress[1]));
        for (size_t k = mark; k < tk.texts.size(); ++k)
            EXPECT_NE(tk.texts[k].y, tk.bounds(Ctl::RunnerShape1).top) << tk.texts[k].text;
    }
}

} // namespace
} // namespace lesson
