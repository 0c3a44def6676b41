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

std::string ClassifyPayload(const std::string& payload, ReplyDialect dialect) {
    if (payload.empty())
        return payload;
    switch (payload[0]) {
    case '*':
        return "*Not permitted";
    case '?':
        return "?Invalid args";
    case '~':
        return dialect == ReplyDialect::Summary ? "TOBLIX timeout" : "TOblix timeout";
    case '!':
        return dialect == ReplyDialect::Summary ? payload : "TUnknown command";
    default:
        return payload;
    }
}

} // namespace linvar
