// Any bytes through the shared number readers: no crash, no undefined behaviour.
#include "wire/TextFormats.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)linvar::ParseInt(text);
    (void)linvar::ParseReal(text);
    (void)linvar::RealTextZeroPad(text, 9, 4);
    (void)linvar::SubInt(text, 2, 5);
    (void)linvar::CleanNumber(text);
    return 0;
}
