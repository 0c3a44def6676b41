#pragma once
// The unit families the station opens a detail window for, one row a family: how the
// poll cycle recognises a unit of it (the model code of "EID?" or the text of "RET?"),
// its name, the window that shows it, its help topic and how its window is steered.
// The rows themselves are in detail/Families.cpp, beside the windows they create: a
// new family is one row there (and the simulator's model of it).

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace linvar {

class DetailWindow;
struct DetailDeps;
struct DetailInputs;

// What the poll cycle asks to identify a unit, and what the operator double-clicks.
enum class UnitKind { Modem, Transceiver, Switch };

// One value a status request gives, as the readings history keeps it.
struct ReadingRow {
    const char* id;    // "ebno_db"
    const char* label; // "Eb/No"
    const char* unit;  // "dB"
    // The value from the reply's characters after "=" (the status panel's own decoder);
    // none when the unit has none to give now (an unlocked demodulator).
    std::optional<double> (*value)(const std::string& replyValue);
};

// A status request of the detail window's status panel and the readings its reply gives.
struct ReadingRequest {
    const char* query; // "EBN?"
    std::vector<ReadingRow> readings;
};

struct FamilyRow {
    const char* name; // as field staff name it: "MQX-370"
    UnitKind kind;
    // Modems: the model code of "EID?" (its first four digits; thousands are variants,
    // but for 7010). Transceivers: the "RET?" reply. Switches are opened by position.
    bool (*recognises)(const std::string& identity);
    // The caption the window names the unit by, from the summary's and the identity.
    std::string (*unitName)(const std::string& caption, const std::string& identity);
    int helpTopic;
    const char* steering; // "phases", "steps" or "reading sequence": docs and tests
    std::unique_ptr<DetailWindow> (*make)(const DetailDeps& deps, const DetailInputs& inputs);
    // What the readings pass asks a unit of the family; empty: nothing.
    const std::vector<ReadingRequest>* readings = nullptr;
};

const std::vector<FamilyRow>& Families();
// The family of a unit opened by its position rather than its identity (the switch).
const FamilyRow& FamilyOfKind(UnitKind kind);
// The row of a family by its name ("MQX-350"), or none.
const FamilyRow* FindFamily(const std::string& name);
// The family of a unit of this kind that gave this identity; none: the model is unknown.
const FamilyRow* Recognise(UnitKind kind, const std::string& identity);
// The model code of an "EID?" identity (-1: not a number).
int ModelCode(const std::string& identity);

} // namespace linvar
