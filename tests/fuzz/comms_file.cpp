// Any bytes as "comms.txt": the settings load without a crash, every selection is an
// entry of its list or none, and saving then loading again gives the same selection.
#include "serial/CommsDialog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

const std::filesystem::path& folder() {
    static const std::filesystem::path dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "linvar-fuzz-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    return dir;
}

bool inRange(int index, size_t size) {
    return index >= -1 && index < static_cast<int>(size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = folder() / linvar::CommsSettingsFileName;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    linvar::CommsSelection s, remembered;
    (void)linvar::ReadCommsSettings(folder(), s, remembered);
    if (!inRange(s.port, linvar::CommsPortEntries().size()) ||
        !inRange(s.speed, linvar::CommsSpeedEntries().size()) ||
        !inRange(s.format, linvar::CommsFormatEntries().size()))
        std::abort();
    // Written anew and read back, the selection is the same.
    linvar::CommsSelection none{-2, -2, -2};
    linvar::SaveCommsSettings(folder(), s, none);
    linvar::CommsSelection again{0, 0, 2}, r2;
    if (linvar::ReadCommsSettings(folder(), again, r2).has_value())
        std::abort();
    if (again.port != s.port || again.speed != s.speed ||
        again.format != (s.format < 0 ? 0 : s.format))
        std::abort();
    return 0;
}
