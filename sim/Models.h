#pragma once
// The models the simulator knows, one row a model: the names a set-up gives it, its
// family, its model code, what a new unit of it reports and the behaviour that answers
// its family's own commands. Unit reads its row and asks nothing else about its model.

#include <memory>
#include <string>

namespace linvar::sim {

class Unit;
class FamilyBehaviour;

// What a family has in common with its kind, as the commands every unit answers see it.
struct Commands {
    enum class Kind { Modem, Transceiver, Switch };
    // What follows the fault groups in the FLT value: nothing, the configuration-change
    // mark, or a spare "0" and then the mark.
    enum class FaultTail { None, Mark, SpareAndMark };

    Kind kind;
    FaultTail faultTail;
    int circuitWidth;      // CID characters
    int eventCountDigits;  // NUE value
    int statisticsMinutes; // a new unit's statistics interval; 0 = no statistics log
};

struct Model {
    const char* name;     // as a set-up names it, without its "MQX-" or "TRV-" prefix
    const char* alias;    // another name of the same model, or nullptr
    const char* display;  // "MQX-350L"
    const char* family;   // "MQX-310": the models one behaviour answers for
    int code;             // EID? model code; 0 for transceivers, 1 for a PLD with an LNB
    const char* identity; // EID? (RET? for transceivers) of a new unit
    const char* faults;   // its fault characters, all clear
    Commands commands;
    // The family's own commands and the defaults behind them (configuration, readings).
    std::unique_ptr<FamilyBehaviour> (*behaviour)(Unit& unit);
};

// The row of a model name ("350L", "MQX-350", "TRV-420"...), or nullptr.
const Model* FindModel(const std::string& name);

} // namespace linvar::sim
