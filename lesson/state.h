// The one record of lesson and run state, and the small pure computations the
// handlers share. No window code may be included here: the lesson must run and
// be tested without one.
#pragma once

#include <cstdint>
#include <string>

namespace lesson {

// Runner-indexed value, addressed 1, 2, 3 as the lesson speaks of runners.
template <typename T> struct PerRunner {
    T v[3]{};
    T& operator[](int i) { return v[i - 1]; }
    const T& operator[](int i) const { return v[i - 1]; }
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom lie outside
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Colours are $BBGGRR: red in the low byte, blue in the high byte.
using Color = std::uint32_t;

constexpr Color clBlack = 0x000000;
constexpr Color clMaroon = 0x000080;
constexpr Color clBlue = 0xFF0000;
constexpr Color clFuchsia = 0xFF00FF;
constexpr Color clRed = 0x0000FF;
constexpr Color clGreen = 0x008000;
constexpr Color clNavy = 0x800000;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clDarkViolet = 0x800040;
constexpr Color clLightGreen = 0x80FF80;

inline Color RunnerColor(int runner) {
    static const Color colors[3] = {clMaroon, clBlue, clFuchsia};
    return colors[runner - 1];
}

inline int colorRed(Color c) {
    return c & 0xFF;
}
inline int colorGreen(Color c) {
    return (c >> 8) & 0xFF;
}
inline int colorBlue(Color c) {
    return (c >> 16) & 0xFF;
}

// Everything the lesson computes and remembers, in one record that every
// handler reads and writes; a value-initialised record is the zero-filled
// state the program has before its first reset.
struct LessonState {
    float KeikaJikan = 0;
    int TickInterval = 0;
    PerRunner<int> ScaleEnd;
    int TrunScaleEnd = 0;
    PerRunner<int> Kyori;
    int SoroeKyori = 0;
    PerRunner<float> SoroeJikanKyori;
    PerRunner<float> BarProgress;
    PerRunner<float> SoroeKyoriJikan;
    PerRunner<int> Jikan;
    int SoroeJikan = 0;
    PerRunner<Point> KyoriLabelPos;
    Point TrunLabelPos;
    PerRunner<int> BarLength;
    PerRunner<int> TrunBarLength;
    PerRunner<int> Goal;
    Color BackColor = 0;
    Color FormColor = 0;
    std::string Blank;
};

// Every single-precision field is computed in extended precision and rounded
// once when stored; accumulations tick by tick depend on exactly this rounding.
inline float StoreSingle(long double value) {
    return static_cast<float>(value);
}

// One tick of the simulated clock: 1/tickInterval seconds, stored as single.
inline float AdvanceClock(float elapsed, int tickInterval) {
    return StoreSingle(elapsed + 1.0L / tickInterval);
}

// Halves go away from zero. The sum is formed in extended precision so that
// 0.49999997f stays below one half.
int Roundoff(long double x);

// The scale end of a track: 10, 50, 100, 200, ..., 1000; 0 outside 1..1000.
int DistanceChange(int a);

int Maxinteger(int a, int b, int c);

// Equal values keep the earlier argument.
float MaxSingle(float a, float b, float c);

// value * 800 div scaleEnd with a 32-bit product; callers skip scaleEnd 0.
int BarLengthFor(int value, int scaleEnd);

// Top-left position that centres a window on a desktop; never negative.
Point CentredPosition(int desktopWidth, int desktopHeight, int windowWidth, int windowHeight);

} // namespace lesson
