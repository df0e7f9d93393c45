#include "state.h"

#include "controls.h"

namespace lesson {

int Roundoff(long double x) {
    long double t = (x >= 0.0L) ? x + 0.5L : x - 0.5L;
    // Never reached by the lesson's own values, but a conversion out of range
    // would be undefined: saturate instead.
    if (!(t == t))
        return 0;
    if (t >= 2147483648.0L)
        return INT32_MAX;
    if (t <= -2147483649.0L)
        return INT32_MIN;
    return static_cast<int>(t); // truncates toward zero
}

int DistanceChange(int a) {
    if (a < 1 || a > MaxDistance)
        return 0;
    if (a <= 10)
        return 10;
    if (a <= 50)
        return 50;
    return (a + 99) / 100 * 100;
}

int Maxinteger(int a, int b, int c) {
    int r = a;
    if (b > r)
        r = b;
    if (c > r)
        r = c;
    return r;
}

float MaxSingle(float a, float b, float c) {
    float r = a;
    if (!(r >= b))
        r = b;
    if (!(r >= c))
        r = c;
    return r;
}

int BarLengthFor(int value, int scaleEnd) {
    // The product wraps as a 32-bit product would, without signed overflow.
    auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) *
                                             static_cast<std::uint32_t>(TrackWidth));
    return product / scaleEnd;
}

Point CentredPosition(int desktopWidth, int desktopHeight, int windowWidth, int windowHeight) {
    Point p{(desktopWidth - windowWidth) / 2, (desktopHeight - windowHeight) / 2};
    if (p.x < 0)
        p.x = 0;
    if (p.y < 0)
        p.y = 0;
    return p;
}

} // namespace lesson
