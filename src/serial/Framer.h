#pragma once
// Cuts a received byte stream into messages: from a start character to an end
// character, plus a set number of bytes after the end. Pure, so that the simulator
// and the fuzz target use the very same framing as the port.

#include <cstddef>
#include <cstdint>
#include <string>

namespace linvar {

class MessageFramer {
public:
    enum State { msIdle, msCollecting, msAppending, msComplete };

    // Far above any reply of the equipment: a frame that grows past this is noise
    // (a stream without an end character) and is dropped.
    static constexpr size_t MaxMessage = 4096;

    MessageFramer(char startChar = '\x02', char endChar = '\x03', uint16_t appendCount = 0)
        : start_(startChar), end_(endChar), appendCount_(appendCount) {}

    void setRule(char startChar, char endChar, uint16_t appendCount) {
        start_ = startChar;
        end_ = endChar;
        appendCount_ = appendCount;
    }

    // One received byte; true when it completes a message (then message() holds it,
    // start and end characters and appended bytes included).
    bool feed(char b);

    const std::string& message() const { return buffer_; }
    State state() const { return state_; }
    // Frames dropped for growing past MaxMessage.
    uint64_t dropped() const { return dropped_; }
    void reset();

private:
    void add(char b);

    char start_;
    char end_;
    uint16_t appendCount_;
    State state_ = msIdle;
    uint16_t toAppend_ = 0;
    std::string buffer_;
    uint64_t dropped_ = 0;
};

} // namespace linvar
