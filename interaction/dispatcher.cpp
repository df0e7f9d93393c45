#include "dispatcher.h"

#include <exception>
#include <utility>

namespace interaction {

void Dispatcher::raise(Ctl sender, Event event) {
    if (stopped_ || !target_)
        return;
    if (depth_ > waitDepth_) {
        queues_.back().emplace_back(sender, event);
        return;
    }
    deliver([&] {
        if (observer)
            observer(sender, event);
        target_(sender, event);
    });
}

void Dispatcher::run(const std::function<void()>& handler) {
    if (stopped_)
        return;
    if (depth_ > waitDepth_) {
        handler(); // part of the handler now running
        return;
    }
    deliver(handler);
}

template <class Handler> void Dispatcher::deliver(Handler&& handler) {
    begin();
    try {
        handler();
    } catch (const std::exception& e) {
        if (errorEscaped)
            errorEscaped(e.what());
    } catch (...) {
        if (errorEscaped)
            errorEscaped("予期しないエラーが発生しました");
    }
    end();
}

void Dispatcher::begin() {
    queues_.emplace_back();
    ++depth_;
    if (handlerStarted)
        handlerStarted();
}

void Dispatcher::end() {
    ++handled_;
    if (handlerEnded)
        handlerEnded();
    --depth_;
    if (queues_.back().empty()) {
        queues_.pop_back();
        return;
    }
    std::vector<std::pair<Ctl, Event>> waiting = std::move(queues_.back());
    queues_.pop_back();
    for (const auto& [sender, event] : waiting)
        raise(sender, event);
}

void Dispatcher::modalWait(const std::function<void()>& wait) {
    const int outer = waitDepth_;
    waitDepth_ = depth_;
    struct Restore {
        int& depth;
        int value;
        ~Restore() { depth = value; }
    } restore{waitDepth_, outer};
    wait();
}

} // namespace interaction
