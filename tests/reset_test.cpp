#include "lesson_fixture.h"

namespace lesson {
namespace {

TEST(ResetState, ZeroFilledBeforeTheFirstReset) {
    LessonState fresh{};
    EXPECT_EQ(fresh.TickInterval, 0);
    EXPECT_EQ(fresh.Goal[1] + fresh.Goal[2] + fresh.Goal[3], 0);
    EXPECT_EQ(fresh.KyoriLabelPos[3], (Point{0, 0}));
    EXPECT_TRUE(fresh.Blank.empty());
    EXPECT_EQ(fresh.KeikaJikan, 0.0f);
}

class Reset : public LessonFixture {};

TEST_F(Reset, FirstStartState) {
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(s.Goal[i], 1);
        EXPECT_EQ(s.Kyori[i], 0);
        EXPECT_EQ(s.Jikan[i], 0);
        EXPECT_EQ(s.ScaleEnd[i], 0);
        EXPECT_EQ(s.BarLength[i], 0);
    }
    EXPECT_EQ(s.KyoriLabelPos[1], (Point{104, 178}));
    EXPECT_EQ(s.KyoriLabelPos[2], (Point{104, 234}));
    EXPECT_EQ(s.KyoriLabelPos[3], (Point{104, 290}));
    EXPECT_EQ(s.TickInterval, 20);
    EXPECT_EQ(s.Blank, "          ");
    EXPECT_EQ(s.FormColor, 0x80FF80u);
    EXPECT_EQ(s.BackColor, 0x80FF80u);
    EXPECT_EQ(tk.windowColor(), 0x80FF80u);
    EXPECT_EQ(tk.fontPixelHeight(), 21);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer1));
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
    auto w = tk.window();
    EXPECT_EQ(w.left, 0);
    EXPECT_EQ(w.top, 0);
    EXPECT_EQ(w.width, 1024);
    EXPECT_EQ(w.height, 768);
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "かかった時間：");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(tk.itemIndex(DistanceList(i)), 0);
        EXPECT_EQ(tk.itemIndex(TimeList(i)), 0);
        EXPECT_EQ(width(RunnerShape(i)), 0);
        EXPECT_EQ(width(TrunShape(i)), 0);
    }
    const Ctl hidden[] = {Ctl::TrialBitBtn, Ctl::ComboBox7,  Ctl::Label13,    Ctl::ComboBox8,
                          Ctl::Label14,     Ctl::TrunLbl1,   Ctl::TrunLbl2,   Ctl::TrunLbl3,
                          Ctl::TrunShape1,  Ctl::TrunShape2, Ctl::TrunShape3, Ctl::StartBitBtn};
    for (Ctl c : hidden)
        EXPECT_FALSE(tk.visible(c)) << NameOf(c);
    const Ctl shown[] = {Ctl::RunnerLbl1, Ctl::RunnerShape1, Ctl::RunnerLbl2,  Ctl::RunnerShape2,
                         Ctl::RunnerLbl3, Ctl::RunnerShape3, Ctl::OwaruBitBtn, Ctl::RetryBitBtn,
                         Ctl::RedyGoBtn,  Ctl::JikanLbl};
    for (Ctl c : shown)
        EXPECT_TRUE(tk.visible(c)) << NameOf(c);
    // The whole client area is the window colour: no drawing is left.
    EXPECT_TRUE(tk.uniform(Rect{0, 0, 1024, 768}, 0x80FF80));
    EXPECT_EQ(tk.brushColor(), 0x80FF80u);
}

TEST_F(Reset, TheResetLeavesVerificationMode) {
    // A verification run in progress, its track drawn and its controls shown.
    runner(1, "100", "10");
    click(Ctl::RedyGoBtn);
    tick(Ctl::Timer1);
    click(Ctl::TrialBitBtn);
    pick(Ctl::ComboBox7, "距離");
    pick(Ctl::ComboBox8, "100");
    click(Ctl::StartBitBtn);
    tick(Ctl::Timer2, 30);
    ASSERT_GT(width(Ctl::TrunShape1), 0);
    click(Ctl::RetryBitBtn);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer2));
    for (Ctl c :
         {Ctl::TrialBitBtn, Ctl::ComboBox7, Ctl::ComboBox8, Ctl::TrunShape1, Ctl::StartBitBtn})
        EXPECT_FALSE(tk.visible(c)) << NameOf(c);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(width(TrunShape(i)), 0);
    EXPECT_TRUE(tk.uniform(Rect{0, 0, ClientWidth, ClientHeight}, 0x80FF80));
    EXPECT_EQ(tk.brushColor(), 0x80FF80u);
}

TEST_F(Reset, TrunClearFillsOnlyTheVerificationArea) {
    tk.setBrushColor(clWhite);
    tk.fillRect(Rect{0, 0, 1024, 768});
    tk.setBrushColor(s.BackColor);
    tk.setPenColor(clBlue);
    tk.setFontColor(clRed);
    L.TrunClear();
    EXPECT_TRUE(tk.uniform(Rect{103, 514, 1024, 669}, 0x80FF80));
    EXPECT_EQ(tk.count(Rect{0, 0, 1024, 768}, 0x80FF80), 921 * 155);
    EXPECT_EQ(tk.pixel(102, 600), clWhite);
    EXPECT_EQ(tk.pixel(500, 513), clWhite);
    EXPECT_EQ(tk.pixel(500, 669), clWhite);
    EXPECT_EQ(tk.penColor(), clBlue);
    EXPECT_EQ(tk.fontColor(), clRed);
}

TEST_F(Reset, RetryDuringARaceStopsItAndKeepsVerificationFields) {
    runner(1, "100", "10");
    click(Ctl::RedyGoBtn);
    tick(Ctl::Timer1, 50);
    ASSERT_TRUE(tk.timerEnabled(Ctl::Timer1));
    s.SoroeKyori = 84;
    s.TrunBarLength[2] = 672;
    click(Ctl::RetryBitBtn);
    EXPECT_FALSE(tk.timerEnabled(Ctl::Timer1));
    EXPECT_EQ(width(Ctl::RunnerShape1), 0);
    EXPECT_EQ(tk.itemIndex(Ctl::ComboBox1), 0);
    EXPECT_EQ(s.Kyori[1], 0);
    EXPECT_EQ(s.Goal[1], 1);
    EXPECT_TRUE(tk.uniform(Rect{0, 0, 1024, 768}, 0x80FF80));
    EXPECT_EQ(tk.caption(Ctl::JikanLbl), "経過時間" + std::string(20, ' '));
    // Fields the reset leaves alone.
    EXPECT_EQ(s.SoroeKyori, 84);
    EXPECT_EQ(s.TrunBarLength[2], 672);
    EXPECT_NEAR(s.KeikaJikan, 2.5f, 1e-5);
    EXPECT_FLOAT_EQ(s.BarProgress[1], 200.0f);
}

TEST_F(Reset, RetryMovesTheWindowBack) {
    tk.setWindowLeft(448);
    tk.setWindowTop(156);
    tk.setWindowWidth(600);
    click(Ctl::RetryBitBtn);
    auto w = tk.window();
    EXPECT_EQ(w.left, 0);
    EXPECT_EQ(w.top, 0);
    EXPECT_EQ(w.width, 1024);
    EXPECT_EQ(w.height, 768);
}

TEST_F(Reset, FinishRequestsTermination) {
    EXPECT_FALSE(tk.terminationRequested);
    click(Ctl::OwaruBitBtn);
    EXPECT_TRUE(tk.terminationRequested);
}

TEST_F(Reset, OnlyBoundEventsHaveEffects) {
    // Events nobody is bound to change nothing at all.
    size_t before = tk.trace.size();
    const Ctl all[] = {Ctl::RunnerLbl1, Ctl::JikanLbl, Ctl::RunnerShape1, Ctl::Label13,
                       Ctl::RunnerBox1, Ctl::Syomei,   Ctl::ComboBox1,    Ctl::Timer1};
    for (Ctl c : all) {
        raise(c, Event::OnEnter);
        if (c != Ctl::ComboBox1)
            raise(c, Event::OnClick);
    }
    raise(Ctl::RedyGoBtn, Event::OnEnter);
    raise(Ctl::ComboBox7, Event::OnTimer);
    EXPECT_EQ(tk.trace.size(), before);
    // OnEnter of the verification lists empties the verification track.
    const Rect track{103, 514, 1024, 669};
    for (Ctl list : {Ctl::ComboBox7, Ctl::ComboBox8}) {
        tk.setBrushColor(clWhite);
        tk.fillRect(Rect{0, 0, ClientWidth, ClientHeight});
        tk.setBrushColor(s.BackColor);
        raise(list, Event::OnEnter);
        EXPECT_TRUE(tk.uniform(track, 0x80FF80)) << NameOf(list);
        EXPECT_EQ(tk.count(Rect{0, 0, ClientWidth, ClientHeight}, 0x80FF80),
                  track.width() * track.height());
    }
}

} // namespace
} // namespace lesson
