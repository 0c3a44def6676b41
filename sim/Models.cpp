// One row a model. A family's file supplies its behaviour; a new model of a known family
// is one more row here.

#include "Models.h"

#include "Mqx330.h"
#include "Mqx350.h"
#include "Mqx370.h"
#include "Pld.h"
#include "Switch.h"
#include "Unit.h"
#include "Vorn.h"

#include <cctype>

namespace linvar::sim {

namespace {

using Kind = Commands::Kind;
using Tail = Commands::FaultTail;

// The MQX-350 and MQX-370 are the wide modems: a 40-character circuit, three event digits.
// clang-format off
//                              kind              FLT ends with      CID NUE statistics
constexpr Commands mqx310   {Kind::Modem,       Tail::Mark,         24, 2, 0};
constexpr Commands mqx330   {Kind::Modem,       Tail::SpareAndMark, 24, 2, 10};
constexpr Commands wideModem{Kind::Modem,       Tail::SpareAndMark, 40, 3, 10};
constexpr Commands xcvr     {Kind::Transceiver, Tail::None,         24, 2, 0};
constexpr Commands trv4xx   {Kind::Switch,      Tail::None,         24, 2, 0};
// clang-format on

template <class B> std::unique_ptr<FamilyBehaviour> make(Unit& unit) {
    return std::make_unique<B>(unit);
}

std::unique_ptr<FamilyBehaviour> vorn(Unit& unit) {
    return std::make_unique<VornBehaviour>(unit, false);
}

std::unique_ptr<FamilyBehaviour> yran(Unit& unit) {
    return std::make_unique<VornBehaviour>(unit, true);
}

// Identity: MQX-310 1-4 model, 5 IF band (1 = 70 MHz); MQX-330 1 options (2 and up =
// AUPC), 2-4 model, 5 IF band, 6 Tx+Rx; MQX-350 1 turbo, 2-4 model, 5 R-S card, 6 rate
// option, 7 modulation, 8-9 options, 10 G.703; MQX-370 1 turbo, 2-4 model, 5 rate,
// 6 modulation, 7 framing, 8 D+I and audio, 9 specials, 10 reference module (MQX-370) or
// attenuator (L-band); PLD 1 HPA type, 2-21 identity text starting with PLD.
// clang-format off
const Model models[] = {
    {"310",     nullptr, "MQX-310",   "MQX-310", 310,  "0310100000", "000",  mqx310, make<Mqx330Behaviour>},
    {"7010",    nullptr, "RDX-7010",  "MQX-310", 7010, "7010100000", "000",  mqx310, make<Mqx330Behaviour>},
    {"330",     nullptr, "MQX-330",   "MQX-330", 330,  "0330110000", "000",  mqx330, make<Mqx330Behaviour>},
    {"331",     "330T",  "MQX-330T",  "MQX-330", 331,  "2330110000", "000",  mqx330, make<Mqx330Behaviour>},
    {"350",     nullptr, "MQX-350",   "MQX-350", 350,  "0350110000", "0000", wideModem, make<Mqx350Behaviour>},
    {"351",     "350L",  "MQX-350L",  "MQX-350", 351,  "0351110000", "0000", wideModem, make<Mqx350Behaviour>},
    {"370",     nullptr, "MQX-370",   "MQX-370", 370,  "2370235301", "0000", wideModem, mqx370::MakeBehaviour},
    {"371",     "370L",  "MQX-370L",  "MQX-370", 371,  "2371235301", "0000", wideModem, mqx370::MakeBehaviour},
    {"372",     "7370L", "BLQ-7370L", "MQX-370", 372,  "2372235301", "0000", wideModem, mqx370::MakeBehaviour},
    {"373",     nullptr, "MQX-370",   "MQX-370", 373,  "2373235301", "0000", wideModem, mqx370::MakeBehaviour},
    {"VORN",    nullptr, "VORN",      "VORN",    0,    "VORN-C 10W XCVR     ",  "0", xcvr, vorn},
    {"YRAN",    nullptr, "YRAN",      "YRAN",    0,    "YRAN-KU 8W XCVR     ",  "0", xcvr, yran},
    {"PLD",     nullptr, "PLD",       "PLD",     0,    "1PLD-KU 25W OEM SSPA ", "0", xcvr, make<PldBehaviour>},
    {"PLD-LNB", nullptr, "PLD",       "PLD",     1,    "1PLD-KU 25W OEM SSPA ", "0", xcvr, make<PldBehaviour>},
    {"420",     nullptr, "TRV-420",   "TRV-4xx", 420,  "0420000000", "0000000000000",  trv4xx, make<SwitchBehaviour>},
    {"430",     nullptr, "TRV-430",   "TRV-4xx", 430,  "0430000000", "00000000000000", trv4xx, make<SwitchBehaviour>},
};
// clang-format on

} // namespace

const Model* FindModel(const std::string& name) {
    std::string m;
    for (char c : name)
        m += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* prefix : {"MQX-", "TRV-", "RDX-", "BLQ-"})
        if (m.rfind(prefix, 0) == 0)
            m = m.substr(4);
    for (const Model& row : models)
        if (m == row.name || (row.alias && m == row.alias))
            return &row;
    return nullptr;
}

} // namespace linvar::sim
