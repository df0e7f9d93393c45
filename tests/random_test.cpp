// Seeded, reproducible random event sequences through the headless toolkit:
// picks in all eight lists, edits that leave no item current, close-ups,
// focus, clicks on every button and ticks of both timers, in any order. After
// every event the lesson's invariants must hold: one run at a time, labels only
// for runners that run, no bar run over a distance the track cannot show. Every
// race and verification run must end within a bound taken from the state it
// started from, and every run is drained to its end, however long.
//
// HAYASA_RANDOM_SEEDS=first:count and HAYASA_RANDOM_LENGTH=n override the run.
#include "lesson_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace lesson {
namespace {

enum class Action { Pick, ArrowPick, Edit, CloseUp, Enter, ListClick, Button, Tick1, Tick2, Drain };

struct Step {
    Action action;
    Ctl ctl;
    int index;
};

const Ctl kLists[] = {Ctl::ComboBox1, Ctl::ComboBox2, Ctl::ComboBox3, Ctl::ComboBox4,
                      Ctl::ComboBox5, Ctl::ComboBox6, Ctl::ComboBox7, Ctl::ComboBox8};
const Ctl kButtons[] = {Ctl::RedyGoBtn, Ctl::RetryBitBtn, Ctl::TrialBitBtn, Ctl::StartBitBtn,
                        Ctl::OwaruBitBtn};

bool isEntryList(Ctl c) {
    for (int i = 1; i <= 3; ++i)
        if (c == DistanceList(i) || c == TimeList(i))
            return true;
    return false;
}

// The next event, drawn among the controls a user can reach at this moment, so
// that the sequences get through races into verification mode and back.
class Generator {
  public:
    explicit Generator(std::uint64_t seed) : rng_(seed) {}

    Step next(const HeadlessToolkit& tk) {
        Step step = draw(tk);
        bool started = last_.action == Action::Button &&
                       (last_.ctl == Ctl::StartBitBtn || last_.ctl == Ctl::RedyGoBtn);
        // A run left to itself right after its start must end by itself too.
        if (started && below(3) == 0)
            step = {Action::Drain, Ctl::Timer1, 0};
        // Right after the out-of-range message a user may well press start.
        if (tk.messageBoxes > boxesSeen_ && tk.visible(Ctl::StartBitBtn) && below(2) == 0)
            step = {Action::Button, Ctl::StartBitBtn, 0};
        boxesSeen_ = tk.messageBoxes;
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
            return {Action::Pick, list, index};
        if (roll < 22)
            return {Action::ArrowPick, list, index};
        if (roll < 25)
            return {Action::Edit, list, -1};
        if (roll < 29)
            return {Action::CloseUp, list, 0};
        if (roll < 32 && verifying)
            return {Action::Enter, verificationList, 0};
        if (roll < 34 && verifying)
            return {Action::ListClick, verificationList, 0};
        if (roll < 52)
            return {Action::Button, button, 0};
        if (roll < 66)
            return {Action::Tick1, Ctl::Timer1, 1 + below(40)};
        if (roll < 76) // only ticks from here on, until every run has ended
            return {Action::Drain, Ctl::Timer1, 0};
        return {Action::Tick2, Ctl::Timer2, 1 + below(40)};
    }

    int below(std::uint64_t n) { return static_cast<int>(rng_() % n); }
    std::mt19937_64 rng_;
    Step last_{Action::Tick1, Ctl::Timer1, 0};
    int boxesSeen_ = 0;
};

std::string describe(const Step& s) {
    static const char* actions[] = {"pick",  "arrow", "edit",  "closeup", "enter",
                                    "click", "press", "tick1", "tick2",   "drain"};
    std::ostringstream os;
    os << actions[static_cast<int>(s.action)] << " " << NameOf(s.ctl) << " " << s.index;
    return os.str();
}

// A runner runs in the race with a bar and a time, and in verification only
// with a distance as well.
bool racing(const LessonState& s, int i) {
    return s.BarLength[i] > 0 && s.Jikan[i] > 0;
}
bool verifying(const LessonState& s, int i) {
    return racing(s, i) && s.Kyori[i] > 0;
}

// Checks every label drawn beside a bar: only a runner that runs gets one.
class CheckingToolkit : public HeadlessToolkit {
  public:
    Rect textOut(int x, int y, const std::string& text) override {
        for (int i = 1; i <= 3 && state; ++i) {
            Rect race = bounds(RunnerShape(i));
            if (y == race.top && x > race.left && !racing(*state, i))
                faults << "race label " << text << " for runner " << i << " without a bar; ";
            Rect trun = bounds(TrunShape(i));
            if (y == trun.top && x > trun.left &&
                (!verifying(*state, i) || state->TrunBarLength[i] <= 0))
                faults << "verification label " << text << " for runner " << i
                       << ", which takes no part; ";
        }
        return HeadlessToolkit::textOut(x, y, text);
    }
    const LessonState* state = nullptr;
    std::ostringstream faults;
};

class Player {
  public:
    explicit Player(bool render = true) : render_(render) { start(); }

    // The program from its start, as after お わ る the page starts it again.
    void start() {
        program_ = std::make_unique<Program>();
        tk().recording = false;
        tk().render = render_;
        tk().state = &L().state();
        // While a message box is open its own loop goes on delivering ticks.
        tk().whileMessageBoxOpen = [this] {
            for (int k = 0; k < 3; ++k)
                deliverTicks();
        };
        tk().events().setTarget([this](Ctl c, Event e) { L().dispatch(c, e); });
        tk().events().run([this] { L().FormCreate(); });
    }

    void play(const Step& s) {
        if (tk().terminationRequested)
            start();
        // Nobody can pick in, enter or click a hidden control.
        if (s.action != Action::Tick1 && s.action != Action::Tick2 && s.action != Action::Drain &&
            !tk().visible(s.ctl))
            return;
        switch (s.action) {
        case Action::Pick:
        case Action::ArrowPick: {
            int before = tk().itemIndex(s.ctl);
            if (s.action == Action::Pick)
                pickWithPointer(tk(), s.ctl, s.index);
            else
                pickWithKeys(tk(), s.ctl, s.index);
            // The race goes on from the changed entries.
            if (isEntryList(s.ctl) && tk().itemIndex(s.ctl) != before &&
                tk().timerEnabled(Ctl::Timer1))
                raceFrom(L().state());
            break;
        }
        case Action::Edit: // a text matching no item, erased with Backspace
            tk().focusMoved(s.ctl, true);
            if (tk().list(s.ctl).textLength() == 0)
                tk().listType(s.ctl, U"x");
            tk().listKey(s.ctl, interaction::Key::Backspace, {});
            tk().listKey(s.ctl, interaction::Key::Escape, {});
            break;
        case Action::CloseUp: // dropped down and closed again
            tk().focusMoved(s.ctl, false);
            tk().listToggle(s.ctl);
            tk().listToggle(s.ctl);
            break;
        case Action::Enter:
            tk().focusMoved(s.ctl, true);
            break;
        case Action::ListClick:
        case Action::Button:
            tk().events().raise(s.ctl, Event::OnClick);
            // A start sets the clock to 0; a refused one leaves it.
            if (L().state().KeikaJikan == 0.0f) {
                if (s.ctl == Ctl::RedyGoBtn && tk().timerEnabled(Ctl::Timer1))
                    raceFrom(L().state());
                if (s.ctl == Ctl::StartBitBtn && tk().timerEnabled(Ctl::Timer2))
                    verificationFrom(L().state());
            }
            break;
        case Action::Drain: // played by the test itself
            break;
        case Action::Tick1:
        case Action::Tick2:
            for (int k = 0; k < s.index && tk().timerEnabled(s.ctl); ++k)
                tickOnce(s.ctl);
            break;
        }
    }

    void tickOnce(Ctl timer) {
        tk().timerFired(timer);
        bool race = timer == Ctl::Timer1;
        ++(race ? raceTicks : verificationTicks);
        long n = ++(race ? race_.ticks : run_.ticks);
        long bound = race ? race_.bound : run_.bound;
        if (tk().timerEnabled(timer) && n == bound)
            tk().faults << (race ? "race" : "verification run") << " still running after " << n
                        << " ticks, bound " << bound << "; ";
    }

    void deliverTicks() {
        for (Ctl t : {Ctl::Timer1, Ctl::Timer2})
            if (tk().timerEnabled(t))
                tickOnce(t);
    }

    // Empty when every invariant holds.
    std::string check() const {
        const LessonState& s = L().state();
        std::ostringstream why;
        why << tk().faults.str();
        for (int i = 1; i <= 3; ++i) {
            if (s.Goal[i] != 0 && s.Goal[i] != 1)
                why << "Goal[" << i << "]=" << s.Goal[i] << "; ";
            int w = tk().bounds(RunnerShape(i)).width();
            if (w < 0 || w > s.BarLength[i] || s.BarLength[i] > TrackWidth)
                why << "race bar " << i << " width " << w << " of " << s.BarLength[i] << "; ";
            int tw = tk().bounds(TrunShape(i)).width();
            if (tw < 0 || tw > s.TrunBarLength[i] || s.TrunBarLength[i] > TrackWidth)
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
        if (tk().timerEnabled(Ctl::Timer1) && tk().timerEnabled(Ctl::Timer2))
            why << "race and verification run tick at once; ";
        // Bars of an earlier alignment must not run under a distance the track
        // cannot show.
        if (tk().timerEnabled(Ctl::Timer2) && s.SoroeKyori > MaxDistance)
            for (int i = 1; i <= 3; ++i)
                if (s.TrunBarLength[i] > 0)
                    why << "verification bar " << i << " runs over " << s.SoroeKyori << " m; ";
        return why.str();
    }

    // Ticks every run still running to its end; empty when all end in time.
    std::string drain() {
        while (tk().timerEnabled(Ctl::Timer1) || tk().timerEnabled(Ctl::Timer2)) {
            deliverTicks();
            std::string why = check();
            if (!why.empty())
                return "while draining: " + why;
        }
        return {};
    }

    CheckingToolkit& tk() { return program_->tk; }
    const CheckingToolkit& tk() const { return program_->tk; }
    Lesson& L() { return program_->L; }
    const Lesson& L() const { return program_->L; }
    long raceTicks = 0, verificationTicks = 0;

  private:
    // The slowest runner with a bar, and two ticks for the half-pixel rounding.
    void raceFrom(const LessonState& s) {
        int longest = 0;
        for (int i = 1; i <= 3; ++i)
            if (racing(s, i))
                longest = std::max(longest, s.Jikan[i]);
        race_ = {0, static_cast<long>(longest) * 20 + 2};
    }
    // A time-aligned run ends with the aligned time, a few ticks late through
    // the single-precision clock; a distance-aligned one when its slowest
    // runner arrives, which single-precision sums can delay, on very slow bars
    // by far more than a tick.
    void verificationFrom(const LessonState& s) {
        if (tk().itemIndex(Ctl::ComboBox7) != 1) {
            run_ = {0, static_cast<long>(s.SoroeJikan) * 20 + 5};
            return;
        }
        long double slowest = 0;
        for (int i = 1; i <= 3; ++i)
            if (verifying(s, i))
                slowest = std::max<long double>(slowest, s.SoroeKyoriJikan[i]);
        run_ = {0, static_cast<long>(std::ceil(2 * slowest * 20)) + 20};
    }
    struct Run {
        long ticks, bound;
    };
    Run race_{0, 0}, run_{0, 0};
    struct Program {
        CheckingToolkit tk;
        Lesson L{tk};
    };
    std::unique_ptr<Program> program_;
    bool render_;
};

// Plays a sequence, draining at every Drain step and at its end; returns the
// first broken invariant, with the number of events played until then.
std::string replay(const std::vector<Step>& steps, size_t* played, Player& p) {
    for (size_t k = 0; k < steps.size(); ++k) {
        *played = k + 1;
        p.play(steps[k]);
        std::string why = steps[k].action == Action::Drain ? p.drain() : std::string{};
        if (why.empty())
            why = p.check();
        if (!why.empty())
            return why;
    }
    return p.drain();
}

// The shortest prefix of a failing sequence that fails when drained.
std::vector<Step> shortestFailingPrefix(const std::vector<Step>& steps) {
    for (size_t n = 1; n <= steps.size(); ++n) {
        std::vector<Step> prefix(steps.begin(), steps.begin() + static_cast<long>(n));
        Player p;
        size_t played = 0;
        if (!replay(prefix, &played, p).empty())
            return prefix;
    }
    return steps;
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

    long events = 0, boxes = 0, raceTicks = 0, verificationTicks = 0;
    for (std::uint64_t seed = first; seed < first + count; ++seed) {
        Generator gen(seed);
        // Pixels cost most of the time and no check here reads them: every
        // tenth sequence renders, to keep the drawing under the sanitizers.
        Player p(seed % 10 == 0);
        std::vector<Step> steps;
        std::string why;
        for (int k = 0; k < length && why.empty(); ++k) {
            steps.push_back(gen.next(p.tk()));
            p.play(steps.back());
            ++events;
            if (steps.back().action == Action::Drain)
                why = p.drain();
            if (why.empty())
                why = p.check();
        }
        if (why.empty())
            why = p.drain();
        if (!why.empty()) {
            std::vector<Step> prefix = shortestFailingPrefix(steps);
            std::ostringstream os;
            for (size_t k = prefix.size() > 40 ? prefix.size() - 40 : 0; k < prefix.size(); ++k)
                os << "\n  " << k + 1 << ": " << describe(prefix[k]);
            FAIL() << "seed " << seed << ": " << why << "\nshortest failing prefix, "
                   << prefix.size() << " events (the last 40 at most):" << os.str();
        }
        boxes += p.tk().messageBoxes;
        raceTicks += p.raceTicks;
        verificationTicks += p.verificationTicks;
    }
    std::printf("%ld events, %llu seeds from %llu; %ld race ticks, %ld verification ticks, "
                "%ld message boxes\n",
                events, static_cast<unsigned long long>(count),
                static_cast<unsigned long long>(first), raceTicks, verificationTicks, boxes);
    EXPECT_GE(events, static_cast<long>(count) * length);
}

} // namespace
} // namespace lesson
