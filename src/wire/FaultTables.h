#pragma once
// The equipment's fault, event and log codes as the operator reads them. Every window,
// the poll cycle and automatic logging decode through these tables; none keeps a copy.

#include <cstdint>
#include <string>

namespace linvar {

class Clock;

// The model code of the unit whose detail window identified it last (310, 330, 331, 350,
// 351, 370, 371, 372; 0 before any). Several texts differ for 370 exactly.
uint16_t CurrentModelCode();
void SetCurrentModelCode(uint16_t code);

// Sets the model code for a scope and puts the previous one back (tests, one-off decodes).
class ModelCodeScope {
public:
    explicit ModelCodeScope(uint16_t code) : saved_(CurrentModelCode()) {
        SetCurrentModelCode(code);
    }
    ~ModelCodeScope() { SetCurrentModelCode(saved_); }
    ModelCodeScope(const ModelCodeScope&) = delete;
    ModelCodeScope& operator=(const ModelCodeScope&) = delete;

private:
    uint16_t saved_;
};

// Severity beside a fault text; it indexes the status colours.
enum Severity : int { sevNoFault = 1, sevWarning = 2, sevFault = 3 };

struct FaultText {
    std::string text;
    int severity = sevFault;
    friend bool operator==(const FaultText&, const FaultText&) = default;
};

// Each decoder takes the one-character code of its fault group; any other text (also an
// empty one or a longer one) is an invalid code and is shown as received. The texts are
// those of `model` (by default the unit whose window identified it last).
FaultText UnitFaultText(const std::string& code, uint16_t model = CurrentModelCode());
FaultText TxFaultText(const std::string& code, uint16_t model = CurrentModelCode());
FaultText RxFaultText(const std::string& code, uint16_t model = CurrentModelCode());
FaultText OpenNetworkFaultText(const std::string& code);
inline FaultText UnitFaultText(char code, uint16_t model = CurrentModelCode()) {
    return UnitFaultText(std::string(1, code), model);
}
inline FaultText TxFaultText(char code, uint16_t model = CurrentModelCode()) {
    return TxFaultText(std::string(1, code), model);
}
inline FaultText RxFaultText(char code, uint16_t model = CurrentModelCode()) {
    return RxFaultText(std::string(1, code), model);
}
inline FaultText OpenNetworkFaultText(char code) {
    return OpenNetworkFaultText(std::string(1, code));
}

// A stored event code, read as a number.
std::string EventText(const std::string& code);

// One stored event record (kind, group, code, DDMMYY, HHMMSS) as a log line: date, two
// blanks, time, two blanks, description. Empty for an empty slot (kind "0") or no record.
std::string EventEntryText(const std::string& record, const Clock& clock);
// One stored statistics record (14 value characters, DDMMYY, HHMMSS) as a log line: date,
// two blanks, time, two blanks, the values in groups of 4, 4, 3 and 3. Empty when the
// third character is "0" or there is no record.
std::string StatisticsEntryText(const std::string& record, const Clock& clock);

} // namespace linvar
