#pragma once
// The one exchange in flight: the wire form of requests, the matching of a framed reply
// to the request that was sent, and the result texts every outcome becomes.

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <string>

namespace linvar {

// An end's delay and time-out fields read as numbers. A field that is not a number would
// stop the end for good: the operator is told once for that end, field and text (whichever
// of the summary and the windows reads it first) and the default stands meanwhile.
class EndTimings {
public:
    enum Field { Delay, Timeout };
    int Read(int record, Field field, const std::string& text, int fallback,
             const std::function<void()>& report);

private:
    std::set<std::string> reported_;
};

// The state shared by the summary poll and whichever detail window is open, so that
// exactly one request is in flight in the whole station.
struct TransactionState {
    bool AwaitingReply = false;
    int TimeoutLeft = 0; // ms; goes on below zero after a timeout
    int DelayLeft = 0;   // ms; detail windows' pause after a matched reply
    std::string CurrentMode;
    std::string RequestedMode;
    // When a reply wait is over: the windows give up on the tick the time-out is reached,
    // the summary poll once it has passed.
    enum class WaitEnd { Reached, Passed };
    int64_t SendTimeMs = 0; // monotonic; when the request in flight was written
    int WaitMs = 0;         // how long its reply is awaited
    WaitEnd waitEnd = WaitEnd::Reached;
    EndTimings timings;

    // A request has been written at `nowMs`; its reply is awaited for `timeoutMs`.
    void Sent(int timeoutMs, int64_t nowMs, WaitEnd end) {
        AwaitingReply = true;
        TimeoutLeft = WaitMs = timeoutMs;
        SendTimeMs = nowMs;
        waitEnd = end;
    }
    // The wait is measured on the monotonic clock: a step of the time of day (daylight
    // saving, time synchronisation, midnight) neither cuts it short nor stretches it.
    int64_t WaitedMs(int64_t nowMs) const { return nowMs - SendTimeMs; }
    bool WaitedOut(int64_t nowMs) const {
        const int64_t waited = WaitedMs(nowMs);
        return waitEnd == WaitEnd::Reached ? waited >= WaitMs : waited > WaitMs;
    }

    // One tick of the reply wait. Below zero the count only says "timed out"; a station
    // left without a request for weeks must not run it over into a long wait.
    void CountDown(int ms) {
        if (TimeoutLeft >= std::numeric_limits<int>::min() + ms)
            TimeoutLeft -= ms;
    }
};

// Where requests go and where the last framed reply is found: the comms link on the
// serial port, or an in-process simulator in tests.
class RequestPort {
public:
    virtual ~RequestPort() = default;
    // Empties the received message, appends CR, traces and writes the request.
    virtual void WriteRequest(const std::string& text) = 0;
    virtual const std::string& ReceivedMessage() const = 0;
};

inline constexpr const char* kCountedOut = "counted out";
inline constexpr const char* kNoComms = "TNo comms";

// "<" + address + "/" + command.
std::string RequestText(const std::string& address, const std::string& command);

// The payload of a reply to `address`/`mnemonic`: address characters compared as numbers
// (so "12  " answers 0012), mnemonic exactly; nothing when the message does not match.
std::optional<std::string> MatchReply(const std::string& message, const std::string& address,
                                      const std::string& mnemonic);

// The classes of a reply payload, by its first character.
enum class ReplyClass {
    Value,          // "="
    Plus,           // "+": accepted by the families that answer so
    NotPermitted,   // "*"
    InvalidArgs,    // "?"
    OblixTimeout,   // "~"
    UnknownCommand, // "!"
    Other,          // anything else, also an empty payload
};
ReplyClass ClassOf(const std::string& payload);

// Whether a result says the unit took what was asked: "=", and "+" where `plusAccepted`.
bool Accepted(const std::string& result, bool plusAccepted = false);

// How a window names the refusal classes "~" and "!".
enum class ReplyDialect {
    Summary, // "~" -> "TOBLIX timeout", "!" left as it came
    Modem,   // "~" -> "TOblix timeout", "!" -> "TUnknown command"
};

// The result text of a matched payload.
std::string ClassifyPayload(const std::string& payload, ReplyDialect dialect);

} // namespace linvar
