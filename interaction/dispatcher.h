// How control events reach the lesson's handlers, the same in every
// edition: one handler at a time, each to its end. An event that a control
// raises while a handler runs (the focus moving on from a control the
// handler hid, say) waits its turn and is handled right after it; only a
// modal wait inside a handler (the message box) goes on delivering events
// meanwhile, ticks among them, as the event loop itself would.
#pragma once

#include "controls.h"

#include <functional>
#include <string>
#include <vector>

namespace interaction {

using lesson::Ctl;
using lesson::Event;

class Dispatcher {
  public:
    using Target = std::function<void(Ctl, Event)>;

    // Where the events go: the lesson's event bindings.
    void setTarget(Target target) { target_ = std::move(target); }

    // A control raised an event.
    void raise(Ctl sender, Event event);
    // A handler the program runs itself (the window's creation), under the
    // same rules as one an event starts.
    void run(const std::function<void()>& handler);
    // Runs `wait` (a modal box) from inside the handler now running; events
    // raised meanwhile are handled as they come.
    void modalWait(const std::function<void()>& wait);
    // Termination requested: nothing more is handled, queued events neither.
    void stop() { stopped_ = true; }
    bool stopped() const { return stopped_; }

    // Events handled so far, for tests that wait until input has been handled.
    unsigned long handled() const { return handled_; }

    // Around every handler: the edition shows what the handler changed.
    std::function<void()> handlerStarted, handlerEnded;
    // An error that escaped a handler: shown, and the program goes on.
    std::function<void(const std::string&)> errorEscaped;
    // Sees every event before its handler (tests watch the event model).
    std::function<void(Ctl, Event)> observer;

  private:
    // Runs one handler to its end, then the events it raised meanwhile.
    template <class Handler> void deliver(Handler&& handler);
    void begin();
    void end();

    Target target_;
    int depth_ = 0;
    int waitDepth_ = 0;
    std::vector<std::vector<std::pair<Ctl, Event>>> queues_;
    bool stopped_ = false;
    unsigned long handled_ = 0;
};

} // namespace interaction
