#pragma once
// The unit families the station opens a detail window for, one row a family: how the
// poll cycle recognises a unit of it (the model code of "EID?" or the text of "RET?"),
// its name, the window that shows it, its help topic and how its window is steered.
// The rows themselves are in detail/Families.cpp, beside the windows they create: a
// new family is one row there (and the simulator's model of it).

#include <memory>
#include <string>
#include <vector>

namespace linvar {

class DetailWindow;
struct DetailDeps;
struct DetailInputs;

// What the poll cycle asks to identify a unit, and what the operator double-clicks.
enum class UnitKind { Modem, Transceiver, Switch };

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
