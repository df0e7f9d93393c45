#include "verification_fixture.h"

#include <functional>

namespace lesson {
namespace {

TEST_F(Verification, OpeningShowsTheAlignmentRowAndAnEmptyTrack) {
    typicalRace();
    open();
    const Ctl shown[] = {Ctl::ComboBox7,  Ctl::Label13,    Ctl::ComboBox8,   Ctl::Label14,
                         Ctl::TrunLbl1,   Ctl::TrunLbl2,   Ctl::TrunLbl3,    Ctl::TrunShape1,
                         Ctl::TrunShape2, Ctl::TrunShape3, Ctl::StartBitBtn, Ctl::TrialBitBtn};
    for (Ctl c : shown)
        EXPECT_TRUE(tk.visible(c)) << NameOf(c);
    EXPECT_EQ(tk.itemIndex(Ctl::ComboBox7), 0);
    EXPECT_EQ(tk.itemIndex(Ctl::ComboBox8), 0);
    EXPECT_EQ(tk.caption(Ctl::Label14), "にそろえる。");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(width(TrunShape(i)), 0);
        EXPECT_EQ(s.TrunBarLength[i], 0);
    }
    EXPECT_TRUE(tk.uniform(kTrunArea, Back));
}

TEST_F(Verification, QuantityCaptions) {
    typicalRace();
    open();
    struct Case {
        int index;
        const char* caption;
    } cases[] = {{1, "ｍにそろえる。"}, {2, "秒にそろえる。"}, {0, "にそろえる。　　"}, {-1, ""}};
    for (const auto& c : cases) {
        tk.setItemIndex(Ctl::ComboBox8, 5);
        tk.setItemIndex(Ctl::ComboBox7, c.index);
        raise(Ctl::ComboBox7, Event::OnSelect);
        EXPECT_EQ(tk.caption(Ctl::Label14), c.caption) << c.index;
        EXPECT_EQ(tk.itemIndex(Ctl::ComboBox8), 0);
    }
}

TEST_F(Verification, DistanceAlignmentDrawsOutlinesAndOneLabel) {
    typicalRace();
    open();
    align("距離", "100");
    EXPECT_EQ(s.SoroeKyori, 100);
    EXPECT_EQ(s.TrunScaleEnd, 100);
    EXPECT_EQ(s.TrunBarLength[1], 800);
    EXPECT_EQ(s.TrunBarLength[2], 800);
    EXPECT_EQ(s.TrunBarLength[3], 0);
    expectOutline(false, 1, 800);
    expectOutline(false, 2, 800);
    expectOutline(false, 3, 0);
    EXPECT_TRUE(tk.uniform(Rect{103, 647, 105, 669}, clFuchsia));
    const TextRecord* label = lastTextAt(904, 514);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, "100m");
    EXPECT_EQ(label->font, clBlack);
    EXPECT_EQ(s.TrunLabelPos, (Point{904, 514}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(tk.shapeBrush(TrunShape(i)), RunnerColor(i));
    EXPECT_EQ(tk.penColor(), clFuchsia);
    EXPECT_EQ(tk.brushColor(), Back);
}

TEST_F(Verification, TimeAlignmentRoundsUpTheLongestDistance) {
    typicalRace();
    open();
    align("時間", "10");
    EXPECT_EQ(s.SoroeJikan, 10);
    EXPECT_EQ(s.SoroeJikanKyori[1], 50.0f);
    EXPECT_EQ(s.SoroeJikanKyori[2], 83.333336f);
    EXPECT_EQ(s.SoroeKyori, 84);
    EXPECT_EQ(s.TrunScaleEnd, 100);
    EXPECT_EQ(s.TrunBarLength[1], 672);
    EXPECT_EQ(s.TrunBarLength[2], 672);
    expectOutline(false, 1, 672);
    EXPECT_EQ(lastTextAt(776, 514)->text, "84m");
}

TEST_F(Verification, AlignedDistancesFromTimes) {
    struct Case {
        const char *distance, *time, *alignTo;
        int expected;
    } cases[] = {
        {"100", "20", "10", 50},                         // a whole number stays
        {"1000", "10", "10", 1000},                      // exactly the largest accepted
        {"1", "300", "1", 0},                            // a fraction below about 0.01 m is dropped
        {"3", "3", "1", 1},         {"10", "3", "1", 4}, // 3.33 m rounds up
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.distance) + "m/" + c.time + "s to " + c.alignTo + "s");
        click(Ctl::RetryBitBtn);
        runner(1, c.distance, c.time);
        raceToEnd();
        open();
        align("時間", c.alignTo);
        EXPECT_EQ(s.SoroeKyori, c.expected);
        EXPECT_TRUE(tk.messages.empty());
    }
}

TEST_F(Verification, OutOfRangeShowsTheMessageAndDrawsNothing) {
    runner(1, "1000", "10");
    raceToEnd();
    open();
    align("時間", "10");
    ASSERT_EQ(s.SoroeKyori, 1000);
    EXPECT_EQ(s.TrunBarLength[1], 800);
    pick(Ctl::ComboBox8, "11"); // the pick's close-up comes after the message
    EXPECT_EQ(s.SoroeKyori, 1100);
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0], "範囲外です。再入力してください。");
    EXPECT_EQ(s.TrunScaleEnd, 1000);
    EXPECT_EQ(s.TrunBarLength[1], 800);
    EXPECT_EQ(s.TrunLabelPos, (Point{904, 514}));
    EXPECT_TRUE(tk.uniform(kTrunArea, Back));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(tk.shapeBrush(TrunShape(i)), RunnerColor(i));
    for (const auto& t : tk.texts)
        EXPECT_NE(t.text, "1100m");
    // The list's close-up alone still draws nothing for an out-of-range value.
    raise(Ctl::ComboBox8, Event::OnCloseUp);
    EXPECT_TRUE(tk.uniform(kTrunArea, Back));
}

TEST_F(Verification, TimerTicksGoOnWhileTheMessageIsOpen) {
    runner(1, "1000", "10");
    raceToEnd();
    open();
    align("時間", "10");
    click(Ctl::RedyGoBtn); // a new race with the mode still open
    tick(Ctl::Timer1, 10);
    int delivered = 0;
    tk.whileMessageBoxOpen = [&] {
        for (int k = 0; k < 5; ++k, ++delivered)
            raise(Ctl::Timer1, Event::OnTimer);
    };
    pick(Ctl::ComboBox8, "12");
    EXPECT_EQ(delivered, 5);
    EXPECT_EQ(FixedText(s.KeikaJikan), "0.75");
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間0.75秒");
    EXPECT_TRUE(tk.timerEnabled(Ctl::Timer1));
}

TEST_F(Verification, EmptyValueAfterADistanceAlignment) {
    typicalRace();
    open();
    align("距離", "100");
    pick(Ctl::ComboBox8, "");
    EXPECT_EQ(s.SoroeKyori, 0);
    EXPECT_EQ(s.TrunScaleEnd, 0);
    EXPECT_EQ(s.TrunBarLength[1], 800);
    expectOutline(false, 1, 800);
    expectOutline(false, 2, 800);
    EXPECT_EQ(lastTextAt(904, 514)->text, "0m");
}

TEST_F(Verification, EmptyQuantityDrawsNothing) {
    typicalRace();
    open();
    align("距離", "100");
    tk.setShapeBrush(Ctl::TrunShape1, clWhite);
    pick(Ctl::ComboBox7, "");
    EXPECT_EQ(tk.caption(Ctl::Label14), "にそろえる。　　");
    EXPECT_EQ(tk.itemIndex(Ctl::ComboBox8), 0);
    choose(Ctl::ComboBox8, "30");
    EXPECT_EQ(s.SoroeKyori, 0);
    EXPECT_TRUE(tk.uniform(kTrunArea, Back));
    EXPECT_EQ(tk.shapeBrush(Ctl::TrunShape1), clWhite);
}

TEST_F(Verification, EnteringAListEmptiesAndItsCloseUpDrawsAgain) {
    typicalRace();
    open();
    align("距離", "100");
    raise(Ctl::ComboBox8, Event::OnEnter);
    EXPECT_TRUE(tk.uniform(kTrunArea, Back));
    raise(Ctl::ComboBox8, Event::OnCloseUp);
    expectOutline(false, 1, 800);
    EXPECT_EQ(lastTextAt(904, 514)->text, "100m");
}

TEST_F(Verification, ReopeningEmptiesTheTrackAndTheBars) {
    typicalRace();
    open();
    align("距離", "100");
    open();
    EXPECT_TRUE(tk.uniform(kTrunArea, Back));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(s.TrunBarLength[i], 0);
    EXPECT_EQ(s.SoroeKyori, 100);
}

TEST_F(Verification, EarlierAlignedValuesNeverStandInForARunnerWithoutEntries) {
    typicalRace();
    open();
    align("時間", "10");
    click(Ctl::StartBitBtn);
    tick(Ctl::Timer2);
    ASSERT_EQ(s.SoroeKyori, 84);
    // A new lesson with runner 1 alone: runner 2's old values must not count.
    click(Ctl::RetryBitBtn);
    runner(1, "100", "20");
    raceToEnd();
    open();
    align("時間", "10");
    EXPECT_EQ(s.SoroeJikanKyori[2], 0.0f);
    EXPECT_EQ(s.SoroeKyori, 50);
    pick(Ctl::ComboBox7, "距離");
    pick(Ctl::ComboBox8, "100");
    click(Ctl::StartBitBtn);
    EXPECT_EQ(s.SoroeKyoriJikan[2], 0.0f);
    EXPECT_EQ(tick(Ctl::Timer2), 400);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間20.00秒");
}

} // namespace
} // namespace lesson
