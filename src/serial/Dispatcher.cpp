#include "serial/Dispatcher.h"

namespace linvar {

void Dispatcher::runGuarded(const std::function<void()>& fn, const ErrorSink& sink) {
    try {
        fn();
    } catch (const std::exception& e) {
        if (sink)
            sink(e.what());
    }
}

void DirectDispatcher::invoke(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        if (abandoned_)
            return;
    }
    runGuarded(fn, sink_);
}

void DirectDispatcher::abandon() {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
}

void DirectDispatcher::reset() {
    std::lock_guard lock(mutex_);
    abandoned_ = false;
}

void PostingDispatcher::invoke(std::function<void()> fn) {
    auto call = std::make_shared<Call>();
    call->fn = std::move(fn);
    call->sink = sink_;
    {
        std::lock_guard lock(mutex_);
        if (abandoned_)
            return;
        current_ = call;
    }
    // The queued task holds the call, not the dispatcher: it may run after both the
    // wait and the dispatcher are gone.
    post_([call] {
        std::function<void()> fn;
        {
            std::lock_guard lock(call->mutex);
            if (call->cancelled)
                return;
            fn = std::move(call->fn);
        }
        // A call that fails has still finished: the receive thread goes on.
        runGuarded(fn, call->sink);
        std::lock_guard lock(call->mutex);
        call->finished = true;
        call->done.notify_all();
    });
    {
        std::unique_lock lock(call->mutex);
        call->done.wait(lock, [&] { return call->finished || call->cancelled; });
    }
    std::lock_guard lock(mutex_);
    if (current_ == call)
        current_.reset();
}

void PostingDispatcher::abandon() {
    std::shared_ptr<Call> call;
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
        call = current_;
    }
    if (call) {
        std::lock_guard lock(call->mutex);
        call->cancelled = true;
        call->done.notify_all();
    }
}

void PostingDispatcher::reset() {
    std::lock_guard lock(mutex_);
    abandoned_ = false;
}

} // namespace linvar
