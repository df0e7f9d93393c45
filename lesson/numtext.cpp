#include "numtext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>

namespace lesson {

std::string IntText(int value) {
    return std::to_string(value);
}

int TextToInt(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

namespace {

// Rounds the decimal digit string (value 0.d1d2... x 10^exp10) to keep digits.
void roundDigits(std::string& digits, int& exp10, int keep) {
    if (keep < 0) {
        digits.clear();
        return;
    }
    if (static_cast<int>(digits.size()) <= keep)
        return;
    bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (!up)
        return;
    int i = keep - 1;
    while (i >= 0 && digits[i] == '9') {
        digits[i] = '0';
        --i;
    }
    if (i >= 0) {
        ++digits[i];
    } else {
        digits.insert(digits.begin(), '1');
        digits.resize(keep > 0 ? keep : 1);
        ++exp10;
    }
}

} // namespace

std::string FixedText(double value) {
    // NaN and infinities fail the range test below and take the general path.
    bool negative = value < 0;
    double magnitude = std::fabs(value);
    if (magnitude < 100000.0) {
        // Below 5 integer digits the rounding falls at the hundredths, tenths
        // or units. A float times 100 is exact in a double, so its fraction
        // tells the first dropped digit exactly: no decimal expansion needed.
        // Values that are no float take the general path below.
        int decimals = magnitude < 1000.0 ? 2 : magnitude < 10000.0 ? 1 : 0;
        double scaled = magnitude * (decimals == 2 ? 100.0 : decimals == 1 ? 10.0 : 1.0);
        if (value == static_cast<float>(value)) {
            double whole = std::floor(scaled);
            auto n = static_cast<long long>(whole) + (scaled - whole >= 0.5 ? 1 : 0);
            for (int d = decimals; d < 2; ++d)
                n *= 10;
            if (n < 10000000) { // still at most 5 integer digits after rounding
                char buf[32];
                std::snprintf(buf, sizeof buf, "%s%lld.%02lld", negative && n != 0 ? "-" : "",
                              n / 100, n % 100);
                return buf;
            }
        }
    }
    return FixedTextExact(value);
}

std::string FixedTextExact(double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    bool negative = value < 0;
    std::string digits;
    int exp10 = 0;
    if (value != 0) {
        // glibc prints the exact binary value when asked for enough digits, so
        // the rounding below sees the true first dropped digit.
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.300e", std::fabs(value));
        std::string s(buf);
        auto e = s.find('e');
        digits = s.substr(0, 1) + s.substr(2, e - 2);
        exp10 = std::atoi(s.c_str() + e + 1) + 1;
    }

    int keep = std::min(5, exp10 + 2);
    roundDigits(digits, exp10, keep);
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty())
        return "0.00";

    std::string out = negative ? "-" : "";
    if (exp10 > 5) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        out += "E" + std::to_string(exp10 - 1);
        return out;
    }
    auto digitAt = [&](int pos) { // pos 0 is the first digit after 10^exp10
        return (pos >= 0 && pos < static_cast<int>(digits.size())) ? digits[pos] : '0';
    };
    if (exp10 <= 0) {
        out += "0";
    } else {
        for (int p = 0; p < exp10; ++p)
            out += digitAt(p);
    }
    out += ".";
    out += digitAt(exp10);
    out += digitAt(exp10 + 1);
    return out;
}

std::string ElapsedLabel(float value) {
    return "経過時間" + FixedText(value) + "秒";
}

std::string ClearedElapsedLabel(const std::string& blank) {
    return "経過時間" + blank + blank;
}

} // namespace lesson
