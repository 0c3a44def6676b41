// Any byte stream through the message framing: no crash, every message starts with the
// start character, holds an end character and stays within the limit.
#include "serial/Framer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const char start = static_cast<char>(data[0]);
    const char end = static_cast<char>(data[1]);
    const uint16_t append = data[2] % 8;
    linvar::MessageFramer f(start, end, append);
    for (size_t i = 3; i < size; ++i) {
        if (!f.feed(static_cast<char>(data[i])))
            continue;
        const std::string& m = f.message();
        if (m.empty() || m.front() != start || m.size() > linvar::MessageFramer::MaxMessage ||
            m.size() < 2u + append || m[m.size() - 1 - append] != end)
            std::abort();
    }
    if (f.message().size() > linvar::MessageFramer::MaxMessage)
        std::abort();
    return 0;
}
