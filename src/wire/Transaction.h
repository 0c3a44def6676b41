#pragma once
// The one exchange in flight: the wire form of requests, the matching of a framed reply
// to the request that was sent, and the result texts every outcome becomes.

#include <limits>
#include <optional>
#include <string>

namespace linvar {

// The state shared by the summary poll and whichever detail window is open, so that
// exactly one request is in flight in the whole station.
struct TransactionState {
    bool AwaitingReply = false;
    int TimeoutLeft = 0; // ms; goes on below zero after a timeout
    int DelayLeft = 0;   // ms; detail windows' pause after a matched reply
    std::string CurrentMode;
    std::string RequestedMode;

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

// How a window names the refusal classes "~" and "!".
enum class ReplyDialect {
    Summary, // "~" -> "TOBLIX timeout", "!" left as it came
    Modem,   // "~" -> "TOblix timeout", "!" -> "TUnknown command"
};

// The result text of a matched payload.
std::string ClassifyPayload(const std::string& payload, ReplyDialect dialect);

} // namespace linvar
