#include "wire/FaultReply.h"

namespace linvar {

bool FaultReply::Clear(const FaultReplyShape& shape) const {
    return codes.size() == static_cast<size_t>(shape.groups) &&
           codes.find_first_not_of('0') == std::string::npos;
}

FaultReply ReadFaultReply(const std::string& result, const FaultReplyShape& shape) {
    FaultReply f;
    if (result.size() > 1)
        f.codes = result.substr(1, static_cast<size_t>(shape.groups));
    const size_t mark = static_cast<size_t>(shape.markAt);
    f.changeMark = mark > 0 && result.size() > mark && result[mark] == '1';
    return f;
}

const FaultReplyShape& ModemShapeOfReply(const std::string& result) {
    switch (result.size()) {
    case 7:
        return FaultShapes::Mqx370;
    case 5:
        return FaultShapes::Mqx310;
    case 13:
        return FaultShapes::Wide;
    default:
        return FaultShapes::Mqx330;
    }
}

} // namespace linvar
