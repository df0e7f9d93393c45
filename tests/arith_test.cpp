#include "lesson_fixture.h"

#include <cmath>

namespace lesson {
namespace {

TEST(Arithmetic, RoundoffHalvesAwayFromZero) {
    struct Case {
        long double x;
        int expected;
    } cases[] = {{0, 0},           {0.5L, 1},   {2.5L, 3},          {2.4999L, 2},
                 {-0.4L, 0},       {-2.5L, -3}, {799.49L, 799},     {799.5L, 800},
                 {0.49999997f, 0}, {-0.5L, -1}, {1e12L, INT32_MAX}, {-1e12L, INT32_MIN},
                 {NAN, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Roundoff(c.x), c.expected) << static_cast<double>(c.x);
}

TEST(Arithmetic, DistanceChangeSteps) {
    struct Case {
        int a, expected;
    } cases[] = {{0, 0},       {1, 10},    {10, 10},   {11, 50},       {50, 50},      {51, 100},
                 {100, 100},   {101, 200}, {250, 300}, {301, 400},     {701, 800},    {999, 1000},
                 {1000, 1000}, {1001, 0},  {-1, 0},    {INT32_MIN, 0}, {INT32_MAX, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DistanceChange(c.a), c.expected) << c.a;
}

TEST(Arithmetic, Maxima) {
    EXPECT_EQ(Maxinteger(0, 0, 0), 0);
    EXPECT_EQ(Maxinteger(5, 9, 9), 9);
    EXPECT_EQ(Maxinteger(-3, -7, -5), -3);
    EXPECT_EQ(Maxinteger(1, 2, 3), 3);
    EXPECT_EQ(MaxSingle(1.5f, 2.5f, 0.5f), 2.5f);
    EXPECT_EQ(MaxSingle(3.0f, 1.0f, 2.0f), 3.0f);
    // A NaN first argument is replaced because the comparison is false.
    EXPECT_EQ(MaxSingle(NAN, 1.0f, 0.5f), 1.0f);
    // Equal values keep the earlier one: -0 stays -0.
    EXPECT_TRUE(std::signbit(MaxSingle(-0.0f, 0.0f, 0.0f)));
}

TEST(Arithmetic, BarLengthRule) {
    // The last four rows wrap at 32 bits before the division; a wider product
    // would give 2400000, 214748400, -2400000 and 85899360.
    struct Case {
        int value, scaleEnd, expected;
    } cases[] = {{100, 100, 800},
                 {30, 50, 480},
                 {7, 10, 560},
                 {10, 1000, 8},
                 {1, 800, 1},
                 {1, 900, 0},
                 {1, 1000, 0},
                 {84, 100, 672},
                 {101, 200, 404},
                 {11, 50, 176},
                 {1000, 1000, 800},
                 {3000000, 1000, -1894967},
                 {2684355, 10, -214748329},
                 {-3000000, 1000, 1894967},
                 {5368710, 50, 14}};
    for (const auto& c : cases)
        EXPECT_EQ(BarLengthFor(c.value, c.scaleEnd), c.expected) << c.value << "/" << c.scaleEnd;
    // The product is a 32-bit product: it wraps instead of widening.
    EXPECT_EQ(BarLengthFor(3000000, 1), static_cast<int>(static_cast<std::int32_t>(2400000000u)));
}

TEST(Arithmetic, WindowPlacementCentresAndClamps) {
    struct Case {
        int dw, dh, x, y;
    } cases[] = {{1024, 768, 0, 0}, {1280, 1024, 128, 128}, {1920, 1080, 448, 156},
                 {800, 600, 0, 0},  {1025, 769, 0, 0},      {1027, 771, 1, 1}};
    for (const auto& c : cases) {
        Point p = CentredPosition(c.dw, c.dh, 1024, 768);
        EXPECT_EQ(p, (Point{c.x, c.y})) << c.dw << "x" << c.dh;
    }
}

TEST(NumberText, FixedNotation) {
    struct Case {
        double value;
        const char* expected;
    } cases[] = {
        {0, "0.00"},          {0.05f, "0.05"},       {1, "1.00"},           {12.35f, "12.35"},
        {300, "300.00"},      {99.5, "99.50"},       {0.125, "0.13"},       {1234.567, "1234.60"},
        {123456, "1.2346E5"}, {300000, "3E5"},       {83.333336f, "83.33"}, {16.8f, "16.80"},
        {10.08f, "10.08"},    {0.004, "0.00"},       {0.005, "0.01"},       {-2.5, "-2.50"},
        {99999.5, "1E5"},     {12345.5, "12346.00"}, {999.995, "1000.00"},  {1e6, "1E6"},
        {0.015f, "0.01"}, // the float lies just below 0.015: printf's rounding is not used
        {1.005f, "1.00"},     {2.675f, "2.67"},      {-0.001, "0.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FixedText(c.value), c.expected) << c.value;
}

// The shortcut for floats must agree with the full expansion everywhere,
// rounding boundaries and the switch to five integer digits included.
TEST(NumberText, ShortcutAgreesWithTheFullExpansion) {
    std::vector<float> values;
    for (int k = -20000; k <= 200000; ++k)
        values.push_back(k * 0.005f); // every rounding boundary up to 1000
    for (float f = 0.5f; f < 2e5f; f = std::nextafter(f * 1.001f, 1e9f))
        values.push_back(f);
    for (float base : {999.995f, 9999.95f, 99999.5f, 0.005f, 0.015f, 1000.0f, 10000.0f})
        for (int k = -3; k <= 3; ++k) {
            float f = base;
            for (int n = 0; n < std::abs(k); ++n)
                f = std::nextafter(f, k < 0 ? 0.0f : 1e9f);
            values.push_back(f);
            values.push_back(-f);
        }
    for (float f : values)
        ASSERT_EQ(FixedText(f), FixedTextExact(f)) << std::hexfloat << f;
}

TEST(NumberText, ElapsedLabelAndIntegers) {
    EXPECT_EQ(ElapsedLabel(0.05f), "経過時間0.05秒");
    EXPECT_EQ(ElapsedLabel(12.35f), "経過時間12.35秒");
    EXPECT_EQ(ElapsedLabel(300.0f), "経過時間300.00秒");
    EXPECT_EQ(ClearedElapsedLabel("          "), "経過時間" + std::string(20, ' '));
    EXPECT_EQ(IntText(-42), "-42");
    EXPECT_EQ(IntText(1000), "1000");
    EXPECT_EQ(TextToInt("1000"), 1000);
}

TEST(Precision, ClockDriftOverLongRuns) {
    struct Reading {
        int tick;
        const char* shown;
    } readings[] = {
        {1, "0.05"}, {20, "1.00"}, {3149, "157.46"}, {4000, "200.01"}, {6000, "300.00"}};
    float clock = 0;
    int tick = 0;
    for (const auto& r : readings) {
        while (tick < r.tick) {
            clock = AdvanceClock(clock, 20);
            ++tick;
        }
        EXPECT_EQ(FixedText(clock), r.shown) << "tick " << r.tick;
    }
}

// The end tick of a time-aligned run: the first tick whose clock exceeds the
// aligned whole number of seconds.
TEST(Precision, TimeAlignedEndTicks) {
    struct Case {
        int seconds, endTick;
    } cases[] = {{1, 20},    {2, 41},     {5, 100},    {10, 200},    {30, 601},
                 {60, 1201}, {100, 2000}, {300, 6000}, {1000, 20004}};
    for (const auto& c : cases) {
        float clock = 0;
        int tick = 0;
        while (!(static_cast<long double>(c.seconds) < clock)) {
            clock = AdvanceClock(clock, 20);
            ++tick;
        }
        EXPECT_EQ(tick, c.endTick) << c.seconds << " s";
    }
}

// The race table, driven through the tick handler itself: runner 1 is measured;
// runner 2, when given, only sets the common scale and runs for 300 s.
class RaceTable : public LessonFixture {};

TEST_F(RaceTable, WidthsAndFullTick) {
    struct Row {
        const char *distance, *time, *scaleDistance;
        int length;
        int w1, w2, w3, fullTick;
        const char* shown;
    } rows[] = {
        {"100", "10", nullptr, 800, 4, 8, 12, 200, "10.00"},
        {"50", "8", "100", 400, 3, 5, 8, 160, "8.00"},
        {"100", "7", nullptr, 800, 6, 11, 17, 140, "7.00"},
        {"100", "1", nullptr, 800, 40, 80, 120, 20, "1.00"},
        {"10", "10", "1000", 8, 0, 0, 0, 188, "9.40"},
        {"1", "1", "800", 1, 0, 0, 0, 10, "0.50"},
        {"2", "300", "800", 2, 0, 0, 0, 4501, "225.06"},
        {"100", "300", nullptr, 800, 0, 0, 0, 5996, "299.80"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.distance) + " m in " + row.time + " s");
        click(Ctl::RetryBitBtn);
        runner(1, row.distance, row.time);
        if (row.scaleDistance)
            runner(2, row.scaleDistance, "300");
        click(Ctl::RedyGoBtn);
        ASSERT_EQ(s.BarLength[1], row.length);
        int widths[3];
        int fullTick = 0;
        std::string shownAtFull;
        for (int t = 1; t <= 6100 && fullTick == 0; ++t) {
            size_t mark = tk.trace.size();
            raise(Ctl::Timer1, Event::OnTimer);
            if (t <= 3)
                widths[t - 1] = width(Ctl::RunnerShape1);
            if (width(Ctl::RunnerShape1) == row.length) {
                fullTick = t;
                // The first caption of the tick is the counted clock.
                for (size_t k = mark; k < tk.trace.size(); ++k)
                    if (tk.trace[k].rfind("caption JikanLbl ", 0) == 0) {
                        shownAtFull = tk.trace[k].substr(17);
                        break;
                    }
            }
        }
        EXPECT_EQ(widths[0], row.w1);
        EXPECT_EQ(widths[1], row.w2);
        EXPECT_EQ(widths[2], row.w3);
        EXPECT_EQ(fullTick, row.fullTick);
        EXPECT_EQ(shownAtFull, ElapsedLabel(0).substr(0, 12) + row.shown + "秒");
    }
}

} // namespace
} // namespace lesson
