// Prints a digest of every number the lesson computes from what its lists
// offer: the clock and its label after each tick, every bar length a race can
// give against every time (the width after each tick and the tick it is full),
// and every alignment (covered distance, aligned distance, needed time, the
// verification bar and the tick a run ends). The native build and the
// WebAssembly build must print the same lines: wasm's long double is a 128-bit
// IEEE quad, the desktop's the x87's 64-bit mantissa, and single-precision
// fields rounded from either must not differ.
//
// Usage: digest [part [shard count]]   part: clock, race, align, runs
// Prints "part shard/count values hash" per part run.
//
// The big tables use the lesson's own arithmetic helpers; "runs" drives the
// real handlers through a toolkit that draws nothing and checks that the
// tables follow the handlers tick by tick, so the tables cannot drift from
// the handlers unnoticed.
#include "controls.h"
#include "lesson.h"
#include "numtext.h"
#include "state.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numeric>
#include <set>
#include <string>
#include <vector>

using namespace lesson;

namespace {

constexpr int Ticks = 20; // the lesson's tick interval, ticks per simulated second

struct Digest {
    std::uint64_t h = 1469598103934665603ull; // FNV-1a, 64 bits
    std::uint64_t n = 0;
    void bytes(const void* p, std::size_t len) {
        auto b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < len; ++i)
            h = (h ^ b[i]) * 1099511628211ull;
    }
    void add(std::int32_t v) {
        bytes(&v, sizeof v);
        ++n;
    }
    void add(float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, sizeof u);
        bytes(&u, sizeof u);
        ++n;
    }
    void add(const std::string& s) {
        bytes(s.data(), s.size() + 1);
        ++n;
    }
};

std::vector<int> listValues(Ctl list) {
    std::vector<int> v;
    const auto& items = ListItems(list);
    for (std::size_t i = 1; i < items.size(); ++i)
        v.push_back(TextToInt(items[i]));
    return v;
}

// Every bar length above 0 a race can give: a listed distance drawn against the
// scale end of any listed distance at least as far.
std::vector<int> reachableBarLengths() {
    auto distances = listValues(DistanceList(1));
    std::vector<bool> seen(TrackWidth + 1);
    for (int d : distances)
        for (int other : distances) {
            int scaleEnd = DistanceChange(other);
            if (scaleEnd >= DistanceChange(d) && BarLengthFor(d, scaleEnd) > 0)
                seen[BarLengthFor(d, scaleEnd)] = true;
        }
    std::vector<int> lengths;
    for (int l = 1; l <= TrackWidth; ++l)
        if (seen[l])
            lengths.push_back(l);
    return lengths;
}

// A bar of this length growing by this step a tick: calls back with the width
// after each tick until it is full; returns that tick (0 if it never fills).
int growBar(int length, long double step, const std::function<void(int)>& width) {
    float progress = 0.0f;
    int limit = 1 << 24;
    for (int tick = 1; tick <= limit; ++tick) {
        progress = StoreSingle(progress + step);
        int w = Roundoff(progress);
        if (w > length)
            w = length;
        if (width)
            width(w);
        if (w == length)
            return tick;
    }
    return 0;
}

long double raceStep(int length, int time) {
    return static_cast<long double>(length) / (time * Ticks);
}
long double verificationStep(int length, float neededTime) {
    return static_cast<long double>(length) / (static_cast<long double>(Ticks) * neededTime);
}
float coveredDistance(int alignedTime, int distance, int time) {
    return StoreSingle(static_cast<long double>(alignedTime * distance) / time);
}
float neededTime(int alignedDistance, int distance, int time) {
    return StoreSingle(static_cast<long double>(alignedDistance * time) / distance);
}
int roundedUp(float covered) {
    return Roundoff(StoreSingle(covered + 0.49L));
}
int verificationBarLength(int alignedDistance) {
    return BarLengthFor(alignedDistance, DistanceChange(alignedDistance));
}
// The tick on which a time-aligned run stops: the first whose clock is past it.
int timeAlignedEnd(int alignedTime) {
    float clock = 0.0f;
    for (int tick = 1;; ++tick) {
        clock = AdvanceClock(clock, Ticks);
        if (static_cast<long double>(alignedTime) < clock)
            return tick;
    }
}

void clockPart(Digest& d) {
    int longest = MaxDistance * Ticks + Ticks; // past the longest time alignment
    float clock = 0.0f;
    for (int tick = 1; tick <= longest; ++tick) {
        clock = AdvanceClock(clock, Ticks);
        d.add(clock);
        d.add(ElapsedLabel(clock));
    }
    for (int t : listValues(TimeList(1)))
        d.add(ElapsedLabel(static_cast<float>(t)));
    for (int t = 1; t <= MaxDistance; ++t) {
        d.add(timeAlignedEnd(t));
        d.add(ElapsedLabel(StoreSingle(t / 1.0L)));
    }
}

void racePart(Digest& d, int shard, int count) {
    auto lengths = reachableBarLengths();
    auto times = listValues(TimeList(1));
    for (std::size_t k = 0; k < times.size(); ++k) {
        if (static_cast<int>(k % count) != shard)
            continue;
        for (int l : lengths) {
            d.add(growBar(l, raceStep(l, times[k]), [&](int w) { d.add(w); }));
        }
    }
}

// Every runner entry against every aligned value, both ways of aligning.
// Entries with the same speed give the same quotients: both divisions are of
// exact integers, rounded once to the long double and once to single, so one
// entry per speed stands for all of them.
void alignPart(Digest& d, int shard, int count) {
    std::vector<std::pair<int, int>> entries;
    std::set<std::pair<int, int>> speeds;
    for (int dist : listValues(DistanceList(1)))
        for (int t : listValues(TimeList(1))) {
            int g = std::gcd(dist, t);
            if (speeds.insert({dist / g, t / g}).second)
                entries.emplace_back(dist, t);
        }
    for (int v = 1; v <= MaxDistance; ++v) {
        if (v % count != shard)
            continue;
        d.add(verificationBarLength(v));
        for (auto [dist, t] : entries) {
            float covered = coveredDistance(v, dist, t);
            d.add(covered);
            d.add(roundedUp(covered));
            float needed = neededTime(v, dist, t);
            d.add(needed);
            // Result labels: every covered distance an aligned run can show,
            // the needed times of runs up to 1000 s long, and those of 100000 s
            // or more, whose text comes from the C library's full expansion.
            if (roundedUp(covered) <= MaxDistance)
                d.add(FixedText(covered));
            if (needed <= MaxDistance || needed >= 100000.0f)
                d.add(FixedText(needed));
        }
    }
}

// ---- The real handlers, through a toolkit that draws nothing ----

class QuietToolkit : public Toolkit {
  public:
    explicit QuietToolkit(Digest& d) : d_(d) {
        for (const auto& def : Layout())
            at(def.id).bounds = Rect{def.left, def.top, def.left + def.width, def.top + def.height};
    }
    Rect bounds(Ctl c) const override { return at(c).bounds; }
    void setWidth(Ctl c, int width) override { at(c).bounds.right = at(c).bounds.left + width; }
    void setVisible(Ctl c, bool v) override { at(c).visible = v; }
    void setCaption(Ctl c, const std::string& text) override {
        if (c == Ctl::JikanLbl)
            d_.add(text);
    }
    int itemIndex(Ctl list) const override { return at(list).item; }
    void setItemIndex(Ctl list, int index) override { at(list).item = index; }
    std::string itemText(Ctl list, int index) const override { return ListItems(list)[index]; }
    void setShapeBrush(Ctl, Color) override {}
    void setTimerInterval(Ctl, int) override {}
    void setTimerEnabled(Ctl timer, bool enabled) override { at(timer).visible = enabled; }
    bool timerEnabled(Ctl timer) const { return at(timer).visible; }
    Color penColor() const override { return pen_; }
    void setPenColor(Color c) override { pen_ = c; }
    Color brushColor() const override { return brush_; }
    void setBrushColor(Color c) override { brush_ = c; }
    void setFontColor(Color) override {}
    void setFontSize(int) override {}
    Rect textOut(int x, int y, const std::string& text) override {
        if (text.find_first_not_of(' ') != std::string::npos) {
            d_.add(x);
            d_.add(y);
            d_.add(text);
            texts.push_back(text);
        }
        return Rect{x, y, x + 10 * static_cast<int>(text.size()), y + 21};
    }
    void fillRect(const Rect&) override {}
    void rectangle(const Rect&) override {}
    void setWindowTop(int) override {}
    void setWindowLeft(int) override {}
    void setWindowHeight(int) override {}
    void setWindowWidth(int) override {}
    void setWindowColor(Color c) override { brush_ = c; }
    void refresh() override {}
    void messageBox(const std::string& text) override { d_.add(text); }
    void requestTermination() override {}
    void announce(const std::string&) override {}

    std::vector<std::string> texts;

  private:
    struct State {
        Rect bounds;
        bool visible = true;
        int item = -1;
    };
    State& at(Ctl c) { return ctls_[static_cast<int>(c)]; }
    const State& at(Ctl c) const { return ctls_[static_cast<int>(c)]; }
    Digest& d_;
    State ctls_[static_cast<int>(Ctl::Count)];
    Color pen_ = clBlack, brush_ = clBtnFace;
};

struct Session {
    explicit Session(Digest& d) : tk(d), L(tk) { L.FormCreate(); }
    void pick(Ctl list, int value) {
        const auto& items = ListItems(list);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (i > 0 && TextToInt(items[i]) == value) {
                tk.setItemIndex(list, static_cast<int>(i));
                L.dispatch(list, Event::OnClick);
                L.dispatch(list, Event::OnSelect);
                L.dispatch(list, Event::OnCloseUp);
                return;
            }
    }
    void pickIndex(Ctl list, int index) {
        tk.setItemIndex(list, index);
        L.dispatch(list, Event::OnClick);
        L.dispatch(list, Event::OnSelect);
        L.dispatch(list, Event::OnCloseUp);
    }
    // Ticks the timer until it stops; calls back after each tick.
    int run(Ctl timer, const std::function<void()>& each) {
        int n = 0;
        while (tk.timerEnabled(timer)) {
            L.dispatch(timer, Event::OnTimer);
            ++n;
            each();
        }
        return n;
    }
    int width(Ctl c) const { return tk.bounds(c).width(); }
    QuietToolkit tk;
    Lesson L;
};

int failures = 0;
void expectSame(const char* what, int handlers, int table, const std::string& where) {
    if (handlers != table && failures++ < 10)
        std::fprintf(stderr, "%s: handlers %d, table %d (%s)\n", what, handlers, table,
                     where.c_str());
}

// Widths of runner i's bar after each tick, from the table.
std::vector<int> tableWidths(int length, long double step) {
    std::vector<int> w;
    growBar(length, step, [&](int x) { w.push_back(x); });
    return w;
}

// Races through the handlers: every listed time, three runners.
void raceRuns(Digest& d, int shard, int count) {
    auto distances = listValues(DistanceList(1));
    auto times = listValues(TimeList(1));
    for (std::size_t k = 0; k < times.size(); ++k) {
        if (static_cast<int>(k % count) != shard)
            continue;
        Session s(d);
        // Spread over the scales: runner 1's distance sets it most often.
        int entries[3][2] = {{distances[(k * 3) % distances.size()], times[k]},
                             {distances[k % distances.size()], times[(k * 7) % times.size()]},
                             {distances[(k * 13 + 5) % distances.size()], times[k / 2]}};
        for (int i = 1; i <= 3; ++i) {
            s.pick(DistanceList(i), entries[i - 1][0]);
            s.pick(TimeList(i), entries[i - 1][1]);
        }
        s.L.dispatch(Ctl::RedyGoBtn, Event::OnClick);
        std::vector<int> expected[3];
        for (int i = 1; i <= 3; ++i)
            expected[i - 1] = tableWidths(s.L.state().BarLength[i],
                                          raceStep(s.L.state().BarLength[i], entries[i - 1][1]));
        int tick = 0;
        s.run(Ctl::Timer1, [&] {
            for (int i = 1; i <= 3; ++i) {
                const auto& e = expected[i - 1];
                int w = s.width(RunnerShape(i));
                int table = tick < static_cast<int>(e.size()) ? e[tick] : e.back();
                d.add(w);
                expectSame("race width", w, table,
                           "runner " + std::to_string(i) + " tick " + std::to_string(tick + 1));
            }
            ++tick;
        });
    }
}

// Verification runs through the handlers: the worked example's two runners and
// a 1000 m runner in 100 s, aligned by time to every value (beyond 100 s they
// run out of range) and by distance to every value up to 200 and every tenth
// beyond (a 1000 m alignment runs 4000 ticks).
void verificationRuns(Digest& d, int shard, int count) {
    const int entries[3][2] = {{100, 20}, {100, 12}, {1000, 100}};
    for (int quantity = 1; quantity <= 2; ++quantity)
        for (int v = 1; v <= MaxDistance; ++v) {
            if (v % count != shard || (quantity == 1 && v > 200 && v % 10 != 0))
                continue;
            Session s(d);
            for (int i = 1; i <= 3; ++i) {
                s.pick(DistanceList(i), entries[i - 1][0]);
                s.pick(TimeList(i), entries[i - 1][1]);
            }
            s.L.dispatch(Ctl::RedyGoBtn, Event::OnClick);
            s.run(Ctl::Timer1, [] {});
            s.L.dispatch(Ctl::TrialBitBtn, Event::OnClick);
            s.pickIndex(Ctl::ComboBox7, quantity);
            s.pick(Ctl::ComboBox8, v);
            const LessonState& st = s.L.state();
            d.add(st.SoroeKyori);
            std::string where = (quantity == 1 ? "distance " : "time ") + std::to_string(v);
            int aligned = v;
            if (quantity == 2) {
                aligned = 0;
                for (int i = 1; i <= 3; ++i) {
                    float covered = coveredDistance(v, entries[i - 1][0], entries[i - 1][1]);
                    expectSame("covered distance bits", st.SoroeJikanKyori[i] == covered, 1, where);
                    aligned = std::max(aligned, roundedUp(covered));
                }
            }
            expectSame("aligned distance", st.SoroeKyori, aligned, where);
            if (st.SoroeKyori > MaxDistance)
                continue; // the out-of-range box: no run
            s.L.dispatch(Ctl::StartBitBtn, Event::OnClick);
            std::vector<int> expected[3];
            for (int i = 1; i <= 3; ++i) {
                int length = verificationBarLength(st.SoroeKyori);
                expectSame("verification bar", st.TrunBarLength[i], length, where);
                float needed = neededTime(st.SoroeKyori, entries[i - 1][0], entries[i - 1][1]);
                expectSame("needed time bits", st.SoroeKyoriJikan[i] == needed, 1, where);
                expected[i - 1] = tableWidths(length, verificationStep(length, needed));
            }
            int tick = 0;
            int end = s.run(Ctl::Timer2, [&] {
                for (int i = 1; i <= 3; ++i) {
                    const auto& e = expected[i - 1];
                    int w = s.width(TrunShape(i));
                    d.add(w);
                    expectSame("verification width", w,
                               tick < static_cast<int>(e.size()) ? e[tick] : e.back(),
                               where + " runner " + std::to_string(i));
                }
                ++tick;
            });
            d.add(end);
            if (quantity == 2)
                expectSame("end tick", end, timeAlignedEnd(v), where);
            else
                expectSame("end tick", end,
                           static_cast<int>(std::max(
                               {expected[0].size(), expected[1].size(), expected[2].size()})),
                           where);
        }
}

} // namespace

int main(int argc, char** argv) {
    std::string only = argc > 1 ? argv[1] : "";
    int shard = argc > 3 ? std::atoi(argv[2]) : 0;
    int count = argc > 3 ? std::atoi(argv[3]) : 1;
    if (count < 1 || shard < 0 || shard >= count) {
        std::fprintf(stderr, "usage: digest [clock|race|align|runs [shard count]]\n");
        return 2;
    }
    struct Part {
        const char* name;
        std::function<void(Digest&)> run;
    };
    const Part parts[] = {
        {"clock", [](Digest& d) { clockPart(d); }},
        {"race", [&](Digest& d) { racePart(d, shard, count); }},
        {"align", [&](Digest& d) { alignPart(d, shard, count); }},
        {"runs",
         [&](Digest& d) {
             raceRuns(d, shard, count);
             verificationRuns(d, shard, count);
         }},
    };
    bool any = false;
    for (const auto& p : parts) {
        if (!only.empty() && only != p.name)
            continue;
        any = true;
        Digest d;
        p.run(d);
        std::printf("%s %d/%d %llu %016llx\n", p.name, shard, count,
                    static_cast<unsigned long long>(d.n), static_cast<unsigned long long>(d.h));
    }
    if (!any) {
        std::fprintf(stderr, "no part %s\n", only.c_str());
        return 2;
    }
    if (failures > 0) {
        std::fprintf(stderr, "%d differences between the handlers and the tables\n", failures);
        return 1;
    }
    return 0;
}
