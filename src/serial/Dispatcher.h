#pragma once
// Hands a call from the port's receive thread to the user-interface thread and waits
// until it has run there. Closing the port abandons a hand-off in flight, so that a
// close on the user-interface thread never waits for a call that thread cannot run.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace linvar {

class Dispatcher {
public:
    virtual ~Dispatcher() = default;
    // Runs fn on the user-interface thread and returns when it has run, or at once
    // (fn then never runs) after abandon().
    virtual void invoke(std::function<void()> fn) = 0;
    // From any thread: releases a waiting invoke; until reset() every invoke returns at
    // once without running its call.
    virtual void abandon() {}
    virtual void reset() {}

    // Where a failure of a handed-off call goes (the general error report). The call's
    // failure never reaches the receive thread or the event loop: the station goes on.
    using ErrorSink = std::function<void(const std::string&)>;
    void setErrorSink(ErrorSink sink) { sink_ = std::move(sink); }

protected:
    // Runs fn on the calling thread; a failure goes to the sink.
    static void runGuarded(const std::function<void()>& fn, const ErrorSink& sink);
    ErrorSink sink_;
};

// Runs the call on the calling thread (the receive thread itself): for tests and for
// programs without a user-interface thread.
class DirectDispatcher : public Dispatcher {
public:
    void invoke(std::function<void()> fn) override;
    void abandon() override;
    void reset() override;

private:
    std::mutex mutex_;
    bool abandoned_ = false;
};

// Posts the call to the user-interface thread's queue with `post` (which must not wait)
// and waits for it. A call abandoned before the queue reaches it is skipped there.
class PostingDispatcher : public Dispatcher {
public:
    using Post = std::function<void(std::function<void()>)>;
    explicit PostingDispatcher(Post post) : post_(std::move(post)) {}

    void invoke(std::function<void()> fn) override;
    void abandon() override;
    void reset() override;

private:
    struct Call {
        std::mutex mutex;
        std::condition_variable done;
        std::function<void()> fn;
        ErrorSink sink;
        bool finished = false;
        bool cancelled = false;
    };

    Post post_;
    std::mutex mutex_;
    bool abandoned_ = false;
    std::shared_ptr<Call> current_;
};

} // namespace linvar
