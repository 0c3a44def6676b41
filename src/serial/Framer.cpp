#include "serial/Framer.h"

namespace linvar {

void MessageFramer::reset() {
    state_ = msIdle;
    toAppend_ = 0;
    buffer_.clear();
}

void MessageFramer::add(char b) {
    if (buffer_.size() >= MaxMessage) {
        // Over-long: drop the frame and wait for the next start character.
        ++dropped_;
        reset();
        return;
    }
    buffer_ += b;
}

bool MessageFramer::feed(char b) {
    if (state_ == msAppending) {
        add(b);
        if (state_ != msAppending)
            return false;
        if (--toAppend_ == 0) {
            state_ = msComplete;
            return true;
        }
        return false;
    }
    if (b == start_) {
        state_ = msCollecting;
        buffer_.assign(1, b);
        return false;
    }
    if (b != end_) {
        if (state_ == msCollecting)
            add(b);
        return false;
    }
    if (state_ != msCollecting)
        return false;
    add(b);
    if (state_ != msCollecting)
        return false;
    if (appendCount_ > 0) {
        state_ = msAppending;
        toAppend_ = appendCount_;
        return false;
    }
    state_ = msComplete;
    return true;
}

} // namespace linvar
