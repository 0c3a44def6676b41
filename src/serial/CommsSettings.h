#pragma once
// The comms settings: the dialog's three lists and the settings file "comms.txt".

#include "serial/SerialTypes.h"
#include "ui/UserError.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

inline constexpr const char* CommsSettingsFileName = "comms.txt";

// The dialog's lists: "1".."99"; "1200".."57600"; "8N1", "7E2", "7O2".
const std::vector<std::string>& CommsPortEntries();
const std::vector<std::string>& CommsSpeedEntries();
const std::vector<std::string>& CommsFormatEntries();

struct CommsFormat {
    eParity parity;
    eDataBits dataBits;
    eStopBits stopBits;
};
// The character format of entry 0..2 of the format list.
CommsFormat CommsFormatAt(int index);

// The three list selections, as indexes into the lists; -1 is no selection.
struct CommsSelection {
    int port = -1;
    int speed = -1;
    int format = -1;

    // The list texts ("" without a selection).
    std::string portText() const;
    std::string speedText() const;
    friend bool operator==(const CommsSelection&, const CommsSelection&) = default;
};

// Reads "comms.txt" in programDir into `selection` (last line wins; no file: port 1,
// 9600 baud, "8N1") and remembers the result in `remembered`. A format character that
// is not a digit keeps the previous format and comes back as the report to show; the
// rest of the file is still taken. A file that cannot be read raises UserError and
// changes nothing.
std::optional<UserError> ReadCommsSettings(const std::filesystem::path& programDir,
                                           CommsSelection& selection, CommsSelection& remembered);

// Writes the one settings line anew when the selection differs from `remembered`, and
// then remembers it. Returns whether the file was written.
bool SaveCommsSettings(const std::filesystem::path& programDir, const CommsSelection& selection,
                       CommsSelection& remembered);

} // namespace linvar
