// The verification run: the aligned race, its end and what stops it.
#include "verification_fixture.h"

#include <functional>

namespace lesson {
namespace {

class VerificationRun : public Verification {};

TEST_F(VerificationRun, DistanceAlignedRunLabelsArrivalTimes) {
    typicalRace();
    open();
    align("距離", "100");
    click(Ctl::StartBitBtn);
    EXPECT_EQ(s.SoroeKyoriJikan[1], 20.0f);
    EXPECT_EQ(s.SoroeKyoriJikan[2], 12.0f);
    EXPECT_EQ(s.Goal[3], 1);
    EXPECT_EQ(tk.timerInterval(Ctl::Timer2), 20);
    tick(Ctl::Timer2, 1);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間0.05秒");
    EXPECT_EQ(width(Ctl::TrunShape1), 2);
    EXPECT_EQ(width(Ctl::TrunShape2), 3);
    tick(Ctl::Timer2, 238);
    EXPECT_EQ(s.Goal[2], 0);
    tick(Ctl::Timer2, 1);
    EXPECT_EQ(s.Goal[2], 1);
    const TextRecord* r2 = lastTextAt(920, 592);
    ASSERT_NE(r2, nullptr);
    EXPECT_EQ(r2->text, "12.00秒");
    EXPECT_EQ(r2->font, clBlue);
    EXPECT_EQ(tick(Ctl::Timer2), 160);
    const TextRecord* r1 = lastTextAt(920, 536);
    ASSERT_NE(r1, nullptr);
    EXPECT_EQ(r1->text, "20.00秒");
    EXPECT_EQ(r1->font, clMaroon);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間20.00秒");
    // Outlines and label of the alignment stay on the track.
    EXPECT_EQ(lastTextAt(904, 514)->text, "100m");
    EXPECT_EQ(tk.pixel(103, 535), clMaroon);
}

TEST_F(VerificationRun, TimeAlignedRunLabelsCoveredDistances) {
    typicalRace();
    open();
    align("時間", "10");
    click(Ctl::StartBitBtn);
    EXPECT_EQ(s.SoroeKyoriJikan[1], 16.8f);
    EXPECT_EQ(s.SoroeKyoriJikan[2], 10.08f);
    EXPECT_EQ(tick(Ctl::Timer2), 200);
    EXPECT_EQ(width(Ctl::TrunShape1), 400);
    EXPECT_EQ(width(Ctl::TrunShape2), 667);
    const TextRecord* r1 = lastTextAt(792, 536);
    const TextRecord* r2 = lastTextAt(792, 592);
    ASSERT_NE(r1, nullptr);
    ASSERT_NE(r2, nullptr);
    EXPECT_EQ(r1->text, "50.00ｍ");
    EXPECT_EQ(r2->text, "83.33ｍ");
    EXPECT_EQ(r2->font, clBlue);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間10.00秒");
    // The white track ahead of each bar.
    EXPECT_TRUE(tk.uniform(Rect{104, 536, 776, 556}, clWhite));
}

TEST_F(VerificationRun, StartRightAfterOpeningEndsOnTheFirstTick) {
    typicalRace();
    open();
    click(Ctl::StartBitBtn);
    EXPECT_EQ(tick(Ctl::Timer2), 1);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間0.00秒");
    EXPECT_TRUE(tk.uniform(kTrunArea, Back));
}

TEST_F(VerificationRun, ARunnerWithoutAVerificationBarDoesNotHoldUpTheEnd) {
    typicalRace();
    open();
    pick(Ctl::ComboBox7, "距離");
    tk.setItemIndex(Ctl::ComboBox8, -1); // as after editing its text
    pick(Ctl::ComboBox8, "");            // aligned to no distance: no verification bars
    click(Ctl::StartBitBtn);
    EXPECT_EQ(tick(Ctl::Timer2, 1000), 1);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(width(TrunShape(i)), 0);
}

TEST_F(VerificationRun, ZeroAlignedDistanceIsCoveredAtOnce) {
    typicalRace();
    open();
    align("距離", "100");
    pick(Ctl::ComboBox8, ""); // 0 m, with the bars of the alignment before
    click(Ctl::StartBitBtn);
    EXPECT_EQ(tick(Ctl::Timer2, 1000), 1);
    EXPECT_EQ(width(Ctl::TrunShape1), 800);
    EXPECT_EQ(width(Ctl::TrunShape2), 800);
    EXPECT_EQ(lastTextAt(920, 536)->text, "0.00秒");
    EXPECT_EQ(lastTextAt(920, 592)->text, "0.00秒");
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間0.00秒");
    // The same in a time-aligned run whose distance came out as 0 m.
    pick(Ctl::ComboBox7, "時間");
    pick(Ctl::ComboBox8, "");
    s.SoroeKyori = 0;
    click(Ctl::StartBitBtn);
    EXPECT_LE(tick(Ctl::Timer2, 1000), 2);
}

// A runner whose time was emptied during the race has no speed: it takes no
// part in a verification run, in either kind of alignment.
TEST_F(VerificationRun, ARunnerWithoutATimeTakesNoPart) {
    for (const char* quantity : {"距離", "時間"}) {
        SCOPED_TRACE(quantity);
        click(Ctl::RetryBitBtn);
        runner(1, "100", "20");
        runner(2, "100", "12");
        click(Ctl::RedyGoBtn);
        tick(Ctl::Timer1, 20);
        pick(Ctl::ComboBox2, "");
        ASSERT_LT(tick(Ctl::Timer1), 1000);
        ASSERT_EQ(s.BarLength[1], 800);
        open();
        align(quantity, "10");
        click(Ctl::StartBitBtn);
        EXPECT_EQ(s.Goal[1], 1);
        tick(Ctl::Timer2);
        EXPECT_EQ(width(Ctl::TrunShape1), 0);
        EXPECT_GT(width(Ctl::TrunShape2), 0);
        for (const auto& t : tk.texts)
            EXPECT_FALSE(t.y == 536 && t.x > 104) << t.text;
    }
}

TEST_F(VerificationRun, LeavingTheModeStopsTheRun) {
    typicalRace();
    open();
    align("時間", "10");
    click(Ctl::StartBitBtn);
    tick(Ctl::Timer2, 50);
    pick(Ctl::ComboBox1, "50");
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
    EXPECT_FALSE(tk.visible(Ctl::TrunShape1));
    EXPECT_TRUE(tk.uniform(kTrunArea, Back));
    // The reset stops it too.
    open();
    align("時間", "10");
    click(Ctl::StartBitBtn);
    click(Ctl::RetryBitBtn);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
}

// Editing the quantity list's text can leave it without a current item, and
// no event tells the lesson: the run goes on as the kind it was started as.
TEST_F(VerificationRun, TheKindOfRunIsTheOneItStartedAs) {
    struct Case {
        const char *quantity, *value;
        int indexDuringTheRun, ticks;
        Point at;
        const char* label;
    } cases[] = {
        {"距離", "100", -1, 400, {920, 536}, "20.00秒"},
        {"時間", "10", 1, 200, {792, 592}, "83.33ｍ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quantity);
        click(Ctl::RetryBitBtn);
        typicalRace();
        open();
        align(c.quantity, c.value);
        click(Ctl::StartBitBtn);
        tick(Ctl::Timer2, 20);
        tk.setItemIndex(Ctl::ComboBox7, c.indexDuringTheRun);
        EXPECT_EQ(tick(Ctl::Timer2), c.ticks - 20);
        const TextRecord* label = lastTextAt(c.at.x, c.at.y);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text, c.label);
    }
}

TEST_F(VerificationRun, RepeatedClicksDuringRunsOnlyRestartThem) {
    typicalRace();
    click(Ctl::RedyGoBtn); // a new race over the finished one
    for (int k = 0; k < 5; ++k) {
        tick(Ctl::Timer1, 7);
        click(Ctl::RedyGoBtn);
    }
    EXPECT_EQ(tick(Ctl::Timer1), 400);
    open();
    align("距離", "100");
    for (int k = 0; k < 5; ++k) {
        click(Ctl::StartBitBtn);
        tick(Ctl::Timer2, 3);
    }
    EXPECT_EQ(tick(Ctl::Timer2), 400 - 3);
    click(Ctl::StartBitBtn);
    tick(Ctl::Timer2, 5);
    open(); // reopening during a run leaves no bars to grow
    open();
    EXPECT_LT(tick(Ctl::Timer2, 10000), 10000);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer1));
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
}

TEST_F(VerificationRun, RetryWhileTheMessageBoxIsOpen) {
    runner(1, "1000", "10");
    raceToEnd();
    open();
    align("時間", "10");
    click(Ctl::StartBitBtn);
    tk.whileMessageBoxOpen = [&] { click(Ctl::RetryBitBtn); };
    pick(Ctl::ComboBox8, "11");
    EXPECT_EQ(tk.messages.size(), 1u);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer1));
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
    EXPECT_FALSE(tk.visible(Ctl::ComboBox8));
    EXPECT_TRUE(tk.uniform(Rect{0, 170, 1024, 768}, Back));
}

TEST_F(VerificationRun, AfterResetTheRunValuesRemain) {
    typicalRace();
    open();
    align("距離", "100");
    click(Ctl::StartBitBtn);
    tick(Ctl::Timer2);
    click(Ctl::RetryBitBtn);
    EXPECT_EQ(s.SoroeKyori, 100);
    EXPECT_EQ(s.TrunBarLength[1], 800);
    EXPECT_EQ(s.BarProgress[1], 800.0f);
    EXPECT_EQ(s.KeikaJikan, 20.0f);
}

// Runners that cannot run in verification: a time or every distance emptied
// during the race, and a close-up of an entry list right after the start,
// which marks every runner with a distance as still running.
TEST_F(VerificationRun, OnlyRunnersWithABarADistanceAndATimeTakePart) {
    struct Case {
        const char* name;
        bool secondRunner;
        Ctl emptiedList;
        const char *quantity, *value;
        int ticks;
        const char* runner2Label; // nullptr: none
        Point runner2At;
    } cases[] = {
        {"time emptied, distance aligned",
         true,
         Ctl::ComboBox2,
         "距離",
         "100",
         240,
         "12.00秒",
         {920, 592}},
        {"time emptied, time aligned",
         true,
         Ctl::ComboBox2,
         "時間",
         "10",
         200,
         "83.33ｍ",
         {792, 592}},
        {"every distance emptied", false, Ctl::ComboBox1, "距離", "100", 1, nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        click(Ctl::RetryBitBtn);
        runner(1, "100", "20");
        if (c.secondRunner)
            runner(2, "100", "12");
        click(Ctl::RedyGoBtn);
        tick(Ctl::Timer1, 20);
        pick(c.emptiedList, "");
        ASSERT_LT(tick(Ctl::Timer1, 10000), 10000);
        open();
        align(c.quantity, c.value);
        EXPECT_EQ(s.TrunBarLength[1], 0);
        expectOutline(false, 1, 0);
        // The distance label stands at the end of runner 1's outline.
        EXPECT_EQ(s.TrunLabelPos, (Point{104, 514}));
        click(Ctl::StartBitBtn);
        raise(Ctl::ComboBox1, Event::OnCloseUp);
        size_t mark = tk.texts.size();
        EXPECT_EQ(tick(Ctl::Timer2, 10000), c.ticks);
        EXPECT_EQ(width(Ctl::TrunShape1), 0);
        for (size_t k = mark; k < tk.texts.size(); ++k)
            EXPECT_NE(tk.texts[k].y, 536) << tk.texts[k].text;
        if (c.runner2Label) {
            const TextRecord* label = lastTextAt(c.runner2At.x, c.runner2At.y);
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text, c.runner2Label);
        }
    }
}

// Whatever empties the verification track also ends a run on it.
TEST_F(VerificationRun, EmptyingTheTrackStopsTheRun) {
    struct Case {
        const char* name;
        std::function<void()> act;
    } cases[] = {
        {"click in the quantity list", [&] { raise(Ctl::ComboBox7, Event::OnClick); }},
        {"focus into the quantity list", [&] { raise(Ctl::ComboBox7, Event::OnEnter); }},
        {"click in the value list", [&] { raise(Ctl::ComboBox8, Event::OnClick); }},
        {"focus into the value list", [&] { raise(Ctl::ComboBox8, Event::OnEnter); }},
        {"quantity switched", [&] { pick(Ctl::ComboBox7, "時間"); }},
        {"value chosen", [&] { pick(Ctl::ComboBox8, "50"); }},
        {"mode reopened", [&] { open(); }},
        {"an entry changed", [&] { pick(Ctl::ComboBox1, "50"); }},
        {"reset", [&] { click(Ctl::RetryBitBtn); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        click(Ctl::RetryBitBtn);
        typicalRace();
        open();
        align("距離", "100");
        click(Ctl::StartBitBtn);
        tick(Ctl::Timer2, 20);
        c.act();
        EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(width(TrunShape(i)), 0);
    }
}

// Both runs share the progress fields and the clock: starting one stops the
// other, and the one started runs as it would alone.
TEST_F(VerificationRun, OneRunAtATime) {
    struct Case {
        Ctl first, second, runs, stopped;
        int ticks;
        Point at;
        const char* label;
    } cases[] = {
        {Ctl::RedyGoBtn, Ctl::StartBitBtn, Ctl::Timer2, Ctl::Timer1, 400, {920, 536}, "20.00秒"},
        {Ctl::StartBitBtn, Ctl::RedyGoBtn, Ctl::Timer1, Ctl::Timer2, 400, {936, 200}, "20秒"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(NameOf(c.second));
        click(Ctl::RetryBitBtn);
        typicalRace();
        open();
        align("距離", "100");
        click(c.first);
        tick(c.first == Ctl::RedyGoBtn ? Ctl::Timer1 : Ctl::Timer2, 30);
        click(c.second);
        EXPECT_FALSE(tk.timerEnabled(c.stopped));
        EXPECT_EQ(tick(c.runs), c.ticks);
        const TextRecord* label = lastTextAt(c.at.x, c.at.y);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text, c.label);
    }
}

// After the out-of-range message the start button neither starts nor stops
// anything until a value is chosen again or the mode is opened again.
TEST_F(VerificationRun, NothingToRunAfterAnOutOfRangeAlignment) {
    struct Case {
        const char* name;
        std::function<void()> act;
        bool unblocks;
    } cases[] = {
        {"close-up of the value list", [&] { raise(Ctl::ComboBox8, Event::OnCloseUp); }, false},
        {"focus into the value list", [&] { raise(Ctl::ComboBox8, Event::OnEnter); }, false},
        {"value chosen", [&] { pick(Ctl::ComboBox8, "10"); }, true},
        {"quantity chosen", [&] { pick(Ctl::ComboBox7, "距離"); }, false},
        {"mode reopened", [&] { open(); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        click(Ctl::RetryBitBtn);
        runner(1, "1000", "10");
        raceToEnd();
        open();
        align("時間", "10");
        pick(Ctl::ComboBox8, "11");
        ASSERT_EQ(s.SoroeKyori, 1100);
        size_t mark = tk.texts.size();
        click(Ctl::StartBitBtn);
        EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
        click(Ctl::RedyGoBtn);
        tick(Ctl::Timer1, 10);
        click(Ctl::StartBitBtn);
        EXPECT_TRUE(tk.timerEnabled(Ctl::Timer1));
        EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
        tick(Ctl::Timer1);
        EXPECT_TRUE(tk.uniform(kTrunArea, Back));
        for (size_t k = mark; k < tk.texts.size(); ++k)
            EXPECT_LT(tk.texts[k].y, 514) << tk.texts[k].text;
        c.act();
        click(Ctl::StartBitBtn);
        EXPECT_EQ(tk.timerEnabled(Ctl::Timer2), c.unblocks);
    }
}

// A new quantity voids the alignment before: スタート！ then does nothing
// (no clock jumping to the old alignment's time) until a value is chosen.
TEST_F(VerificationRun, ANewQuantityLeavesNothingToRun) {
    const char* cases[][2] = {{"時間", "距離"}, {"距離", "時間"}, {"時間", ""}};
    for (const auto& c : cases) {
        const char* quantity = c[1];
        SCOPED_TRACE(quantity);
        click(Ctl::RetryBitBtn);
        typicalRace();
        open();
        align(c[0], "10");
        const std::string shown = tk.caption(Ctl::JikanLbl);
        pick(Ctl::ComboBox7, quantity);
        click(Ctl::StartBitBtn);
        EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
        EXPECT_EQ(tk.caption(Ctl::JikanLbl), shown);
        EXPECT_TRUE(tk.uniform(kTrunArea, Back));
        if (*quantity) {
            pick(Ctl::ComboBox8, "100");
            click(Ctl::StartBitBtn);
            EXPECT_TRUE(tk.timerEnabled(Ctl::Timer2));
        }
    }
}

} // namespace
} // namespace lesson
