// A timer as the lesson sets it, kept apart from the toolkit's timer so that
// every edition follows one rule: setting a value the timer already has
// changes nothing (a running timer is not restarted), and a new interval
// restarts a running timer one new interval from now.
#pragma once

namespace interaction {

class TimerState {
  public:
    enum class Action { None, Start, Stop };

    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }

    // What the toolkit's timer must do now. Start: (re)start it to tick one
    // interval from now.
    Action setInterval(int ms) {
        if (ms == interval_)
            return Action::None;
        interval_ = ms;
        return enabled_ ? Action::Start : Action::None;
    }
    Action setEnabled(bool on) {
        if (on == enabled_)
            return Action::None;
        enabled_ = on;
        return on ? Action::Start : Action::Stop;
    }
    // The toolkit could not get a timer: it stays off.
    void failed() { enabled_ = false; }

  private:
    // Created enabled at 1000 ms, as the layout stores the timers. Start-up
    // stops them before any event is handled, so no tick ever comes of it
    // and the toolkit's timer need not run meanwhile.
    int interval_ = 1000;
    bool enabled_ = true;
};

} // namespace interaction
