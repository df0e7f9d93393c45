// Seeded, reproducible random event sequences through the headless toolkit:
// picks in all eight lists, edits that leave no item current, close-ups,
// focus, clicks on every button and ticks of both timers, in any order. After
// every event the lesson's invariants must hold, and once only ticks follow,
// every started race or verification run must end within its bound.
//
// HAYASA_RANDOM_SEEDS=first:count and HAYASA_RANDOM_LENGTH=n override the run.
#include "headless.h"
#include "lesson.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace lesson {
namespace {

enum class Kind { Pick, ArrowPick, Edit, CloseUp, Enter, ListClick, Button, Tick1, Tick2, Drain };

struct Step {
    Kind kind;
    Ctl ctl;
    int index;
};

const Ctl kLists[] = {Ctl::ComboBox1, Ctl::ComboBox2, Ctl::ComboBox3, Ctl::ComboBox4,
                      Ctl::ComboBox5, Ctl::ComboBox6, Ctl::ComboBox7, Ctl::ComboBox8};
const Ctl kButtons[] = {Ctl::RedyGoBtn, Ctl::RetryBitBtn, Ctl::TrialBitBtn, Ctl::StartBitBtn,
                        Ctl::OwaruBitBtn};

// The next event, drawn among the controls a user can reach at this moment, so
// that the sequences get through races into verification mode and back.
class Generator {
  public:
    explicit Generator(std::uint64_t seed) : rng_(seed) {}

    Step next(const HeadlessToolkit& tk) {
        Step step = draw(tk);
        bool started = last_.kind == Kind::Button &&
                       (last_.ctl == Ctl::StartBitBtn || last_.ctl == Ctl::RedyGoBtn);
        // A run left to itself right after its start must end by itself too.
        if (started && below(3) == 0)
            step = {Kind::Drain, Ctl::Timer1, 0};
        last_ = step;
        return step;
    }

  private:
    Step draw(const HeadlessToolkit& tk) {
        std::vector<Ctl> lists, buttons;
        for (Ctl c : kLists)
            if (tk.visible(c))
                lists.push_back(c);
        for (Ctl c : kButtons)
            if (tk.visible(c))
                buttons.push_back(c);
        int roll = below(100);
        bool verifying = tk.visible(Ctl::ComboBox8);
        Ctl verificationList = below(2) ? Ctl::ComboBox7 : Ctl::ComboBox8;
        // Once there, stay in verification mode for a while: mostly the
        // alignment lists, now and then an entry list that leaves the mode.
        Ctl list = verifying && below(100) < 85 ? verificationList : lists[below(lists.size())];
        Ctl button = buttons[below(buttons.size())];
        if (tk.visible(Ctl::TrialBitBtn) && below(3) != 0)
            button = verifying ? Ctl::StartBitBtn : Ctl::TrialBitBtn;
        int count = static_cast<int>(ListItems(list).size());
        // Short values matter most: favour the first items of every list.
        int index = below(4) == 0 ? below(count + 1) - 1 : below(std::min(count, 12) + 1) - 1;
        if (roll < 16)
            return {Kind::Pick, list, index};
        if (roll < 22)
            return {Kind::ArrowPick, list, index};
        if (roll < 25)
            return {Kind::Edit, list, -1};
        if (roll < 29)
            return {Kind::CloseUp, list, 0};
        if (roll < 32 && verifying)
            return {Kind::Enter, verificationList, 0};
        if (roll < 34 && verifying)
            return {Kind::ListClick, verificationList, 0};
        if (roll < 52)
            return {Kind::Button, button, 0};
        if (roll < 66)
            return {Kind::Tick1, Ctl::Timer1, 1 + below(40)};
        if (roll < 76) // only ticks from here on, until every run has ended
            return {Kind::Drain, Ctl::Timer1, 0};
        return {Kind::Tick2, Ctl::Timer2, 1 + below(40)};
    }

    int below(std::uint64_t n) { return static_cast<int>(rng_() % n); }
    std::mt19937_64 rng_;
    Step last_{Kind::Tick1, Ctl::Timer1, 0};
};

std::string describe(const Step& s) {
    static const char* kinds[] = {"pick",  "arrow", "edit",  "closeup", "enter",
                                  "click", "press", "tick1", "tick2",   "drain"};
    std::ostringstream os;
    os << kinds[static_cast<int>(s.kind)] << " " << NameOf(s.ctl) << " " << s.index;
    return os.str();
}

class Player {
  public:
    Player() {
        tk.recording = false;
        // While a message box is open its own loop goes on delivering ticks.
        tk.whileMessageBoxOpen = [this] {
            for (int k = 0; k < 3; ++k)
                deliverTicks();
        };
        L.FormCreate();
    }

    void play(const Step& s) {
        // Nobody can pick in, enter or click a hidden control.
        if (s.kind != Kind::Tick1 && s.kind != Kind::Tick2 && s.kind != Kind::Drain &&
            !tk.visible(s.ctl))
            return;
        switch (s.kind) {
        case Kind::Pick:
        case Kind::ArrowPick: {
            int before = tk.itemIndex(s.ctl);
            tk.setItemIndex(s.ctl, s.index);
            if (tk.itemIndex(s.ctl) != before) {
                L.dispatch(s.ctl, Event::OnClick);
                L.dispatch(s.ctl, Event::OnSelect);
            }
            if (s.kind == Kind::Pick)
                L.dispatch(s.ctl, Event::OnCloseUp);
            break;
        }
        case Kind::Edit: // Backspace or a typed text matching no item
            tk.setItemIndex(s.ctl, -1);
            break;
        case Kind::CloseUp:
            L.dispatch(s.ctl, Event::OnCloseUp);
            break;
        case Kind::Enter:
            L.dispatch(s.ctl, Event::OnEnter);
            break;
        case Kind::ListClick:
        case Kind::Button:
            L.dispatch(s.ctl, Event::OnClick);
            break;
        case Kind::Drain: // played by the test itself, which checks the bound
            break;
        case Kind::Tick1:
        case Kind::Tick2:
            for (int k = 0; k < s.index && tk.timerEnabled(s.ctl); ++k)
                tickOnce(s.ctl);
            break;
        }
    }

    void tickOnce(Ctl timer) {
        L.dispatch(timer, Event::OnTimer);
        ++(timer == Ctl::Timer1 ? raceTicks : verificationTicks);
    }

    void deliverTicks() {
        for (Ctl t : {Ctl::Timer1, Ctl::Timer2})
            if (tk.timerEnabled(t))
                tickOnce(t);
    }

    // Empty when every invariant holds.
    std::string check() const {
        const LessonState& s = L.state();
        std::ostringstream why;
        for (int i = 1; i <= 3; ++i) {
            if (s.Goal[i] != 0 && s.Goal[i] != 1)
                why << "Goal[" << i << "]=" << s.Goal[i] << "; ";
            int w = tk.bounds(RunnerShape(i)).width();
            if (w < 0 || w > s.BarLength[i] || s.BarLength[i] > 800)
                why << "race bar " << i << " width " << w << " of " << s.BarLength[i] << "; ";
            int tw = tk.bounds(TrunShape(i)).width();
            if (tw < 0 || tw > s.TrunBarLength[i] || s.TrunBarLength[i] > 800)
                why << "verification bar " << i << " width " << tw << " of " << s.TrunBarLength[i]
                    << "; ";
            if (s.ScaleEnd[i] != DistanceChange(s.Kyori[i]))
                why << "ScaleEnd[" << i << "]; ";
            for (float f : {s.BarProgress[i], s.SoroeJikanKyori[i], s.SoroeKyoriJikan[i]})
                if (!std::isfinite(f))
                    why << "non-finite value for runner " << i << "; ";
        }
        if (!std::isfinite(s.KeikaJikan))
            why << "non-finite KeikaJikan; ";
        return why.str();
    }

    // Ticks a running race or verification run may still need: the slowest
    // runner's time, with a little slack for the half-pixel rounding.
    long bound(Ctl timer) const {
        const LessonState& s = L.state();
        if (timer == Ctl::Timer1) {
            int longest = Maxinteger(s.Jikan[1], s.Jikan[2], s.Jikan[3]);
            return static_cast<long>(longest) * 20 + 2;
        }
        if (tk.itemIndex(Ctl::ComboBox7) != 1)
            return static_cast<long>(std::max(s.SoroeJikan, 0)) * 20 + 10;
        float slowest = MaxSingle(s.SoroeKyoriJikan[1], s.SoroeKyoriJikan[2], s.SoroeKyoriJikan[3]);
        return static_cast<long>(std::ceil(slowest * 20.0f)) + 2;
    }

    // Empty when every run ends by itself within its bound; runs too long to
    // wait for are counted instead.
    std::string drain(long cap, long* skipped) {
        for (Ctl timer : {Ctl::Timer1, Ctl::Timer2}) {
            if (!tk.timerEnabled(timer))
                continue;
            long limit = bound(timer);
            if (limit > cap) {
                ++*skipped;
                tk.setTimerEnabled(timer, false);
                continue;
            }
            long n = 0;
            while (tk.timerEnabled(timer) && n <= limit) {
                tickOnce(timer);
                ++n;
                std::string why = check();
                if (!why.empty())
                    return "while draining: " + why;
            }
            if (tk.timerEnabled(timer))
                return std::string(NameOf(timer)) + " still running after " + std::to_string(n) +
                       " ticks";
        }
        return {};
    }

    HeadlessToolkit tk;
    Lesson L{tk};
    long raceTicks = 0, verificationTicks = 0;
};

// Replays prefixes of a failing sequence to find the shortest that fails.
size_t shortestFailingPrefix(const std::vector<Step>& steps, size_t failedAt, bool drainFailure) {
    if (!drainFailure)
        return failedAt + 1; // invariants are checked after every event
    for (size_t n = 0; n <= steps.size(); ++n) {
        Player p;
        for (size_t k = 0; k < n; ++k)
            p.play(steps[k]);
        long skipped = 0;
        if (!p.drain(1L << 40, &skipped).empty())
            return n;
    }
    return steps.size();
}

TEST(RandomSequences, InvariantsHoldAndRunsEnd) {
    std::uint64_t first = 1, count = 1000;
    int length = 1000;
    if (const char* env = std::getenv("HAYASA_RANDOM_SEEDS")) {
        std::string v(env);
        auto colon = v.find(':');
        first = std::stoull(v.substr(0, colon));
        count = colon == std::string::npos ? 1 : std::stoull(v.substr(colon + 1));
    }
    if (const char* env = std::getenv("HAYASA_RANDOM_LENGTH"))
        length = std::atoi(env);

    long events = 0, skipped = 0, boxes = 0, raceTicks = 0, verificationTicks = 0;
    for (std::uint64_t seed = first; seed < first + count; ++seed) {
        Generator gen(seed);
        std::vector<Step> steps;
        Player p;
        for (size_t k = 0; k < static_cast<size_t>(length); ++k) {
            steps.push_back(gen.next(p.tk));
            p.play(steps[k]);
            ++events;
            if (steps[k].kind == Kind::Drain) {
                std::string why = p.drain(30000, &skipped);
                if (!why.empty())
                    FAIL() << "seed " << seed << ", shortest failing prefix " << k + 1
                           << " events, last: " << describe(steps[k]) << ": " << why;
            }
            std::string why = p.check();
            if (!why.empty()) {
                size_t prefix = shortestFailingPrefix(steps, k, false);
                FAIL() << "seed " << seed << ", shortest failing prefix " << prefix
                       << " events, last: " << describe(steps[prefix - 1]) << ": " << why;
            }
        }
        std::string why = p.drain(30000, &skipped);
        if (!why.empty()) {
            size_t prefix = shortestFailingPrefix(steps, steps.size(), true);
            FAIL() << "seed " << seed << ", shortest failing prefix " << prefix
                   << " events: " << why;
        }
        boxes += p.tk.messageBoxes;
        raceTicks += p.raceTicks;
        verificationTicks += p.verificationTicks;
    }
    std::printf("%ld events, %llu seeds from %llu; %ld race ticks, %ld verification ticks, "
                "%ld message boxes; %ld runs too long to drain\n",
                events, static_cast<unsigned long long>(count),
                static_cast<unsigned long long>(first), raceTicks, verificationTicks, boxes,
                skipped);
    EXPECT_GE(events, static_cast<long>(count) * length);
}

} // namespace
} // namespace lesson
