#include "wire/Transaction.h"

#include "wire/TextFormats.h"

namespace linvar {

std::string RequestText(const std::string& address, const std::string& command) {
    return "<" + address + "/" + command;
}

std::optional<std::string> MatchReply(const std::string& message, const std::string& address,
                                      const std::string& mnemonic) {
    if (message.size() < 9)
        return std::nullopt;
    const ParsedInt got = ParseInt(message.substr(1, 4));
    const ParsedInt sent = ParseInt(address);
    if (!got.ok || !sent.ok || got.value != sent.value)
        return std::nullopt;
    if (message.compare(6, 3, mnemonic) != 0)
        return std::nullopt;
    if (message.size() < 11)
        return std::string();
    return message.substr(9, message.size() - 2 - 9);
}

ReplyClass ClassOf(const std::string& payload) {
    switch (payload.empty() ? ' ' : payload[0]) {
    case '=':
        return ReplyClass::Value;
    case '+':
        return ReplyClass::Plus;
    case '*':
        return ReplyClass::NotPermitted;
    case '?':
        return ReplyClass::InvalidArgs;
    case '~':
        return ReplyClass::OblixTimeout;
    case '!':
        return ReplyClass::UnknownCommand;
    default:
        return ReplyClass::Other;
    }
}

bool Accepted(const std::string& result, bool plusAccepted) {
    const ReplyClass c = ClassOf(result);
    return c == ReplyClass::Value || (plusAccepted && c == ReplyClass::Plus);
}

std::string ClassifyPayload(const std::string& payload, ReplyDialect dialect) {
    switch (ClassOf(payload)) {
    case ReplyClass::NotPermitted:
        return "*Not permitted";
    case ReplyClass::InvalidArgs:
        return "?Invalid args";
    case ReplyClass::OblixTimeout:
        return dialect == ReplyDialect::Summary ? "TOBLIX timeout" : "TOblix timeout";
    case ReplyClass::UnknownCommand:
        return dialect == ReplyDialect::Summary ? payload : "TUnknown command";
    default:
        return payload;
    }
}

int EndTimings::Read(int record, Field field, const std::string& text, int fallback,
                     const std::function<void()>& report) {
    const ParsedInt v = ParseInt(text);
    if (v.ok)
        return v.value;
    const std::string key = std::to_string(record) + (field == Delay ? "D" : "T") + text;
    if (reported_.insert(key).second && report)
        report();
    return fallback;
}

} // namespace linvar
