// The MQX-330 status panel: the identity steps and the status loop as reading tables.

#include "detail/mqx330/Mqx330Window.h"

#include "logging/Print.h"
#include "poll/PollCycle.h"
#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

namespace linvar {

ReadStep Mqx330Window::Reading(int step, const char* request, const char* label,
                               std::function<std::string(const std::string&)> form, int next) {
    return {step, request,
            [this, label, form](const std::string& r) {
                SetValue(label, StartsWith(r, "=") ? form(r.substr(1)) : r, Colours::white);
                return 0;
            },
            next};
}

bool Mqx330Window::ShowFaults(const std::string& r, const FaultReplyShape& shape) {
    if (!StartsWith(r, "=")) {
        SetValue("UnitFault", Chars(r, 2, 21), Colours::yellow);
        SetValue("TXfault", "", Colours::gray);
        SetValue("RXfault", "", Colours::gray);
        return false;
    }
    const FaultReply reply = ReadFaultReply(r, shape);
    if (reply.changeMark)
        state().DetailConfigChanged = true;
    deps().print.PrintFaultLine(reply, UnitName, IdText(), clock());
    const FaultText faults[] = {UnitFaultText(Chars(r, 2, 1)), TxFaultText(Chars(r, 3, 1)),
                                RxFaultText(Chars(r, 4, 1))};
    const char* labels[] = {"UnitFault", "TXfault", "RXfault"};
    for (size_t i = 0; i < 3; ++i)
        SetValue(labels[i], faults[i].text, StatusColour(faults[i].severity));
    return true;
}

std::vector<ReadStep> Mqx330Window::IdentitySteps() {
    return {{1, "LRS?",
             [this](const std::string& r) {
                 DecodeLrs(r, "StaLRS");
                 return 3;
             }},
            {3, "CID?",
             [this](const std::string& r) {
                 SetValue("CircuitID2", Chars(r, 2, 30), Colours::white);
                 return 7;
             }},
            {7, "SWR?",
             [this](const std::string& r) {
                 std::string text = Chars(r, 2, 8);
                 if (StartsWith(r, "="))
                     text = Chars(r, 2, 1) == "V" ? "1.10" : Chars(r, 2, 4);
                 SetValue("StaSWR", text, Colours::white);
                 version_ = ParseReal(text).value;
                 return 9;
             }},
            {9, "ESN?",
             [this](const std::string& r) {
                 if (!StartsWith(r, "="))
                     return 11;
                 SetValue("SerialNo", Chars(r, 2, 9), Colours::white);
                 return 21;
             }},
            {11, "SNO?", [this](const std::string& r) {
                 SetValue("SerialNo", Chars(r, 2, 8), Colours::white);
                 return 21;
             }}};
}

// The loop: LRS, the log counts, faults and readings, redundancy, AGC and carrier, then
// the AUPC readings of model 331. A reply that failed restarts it.
std::vector<ReadStep> Mqx330Window::StatusSteps() {
    const auto count = [this](const char* label, int digits, int warnFrom, const char* refused) {
        return [=, this](const std::string& r) {
            if (StartsWith(r, "=")) {
                const int n = IntOfText(Chars(r, 2, digits));
                SetValue(label, std::to_string(n), n < warnFrom ? Colours::white : Colours::yellow);
            } else {
                SetValue(label, refused ? refused : Chars(r, 2, 15), Colours::white);
            }
            return 0;
        };
    };
    return {
        {1, "LRS?",
         [this](const std::string& r) {
             ShowInstruction("");
             DecodeLrs(r, "StaLRS");
             return 3;
         }},
        {3, "NUE?", count("NrLogEvents", 2, 88, nullptr), 103},
        {103, "NUS?",
         [this, count](const std::string& r) {
             statsLogPresent_ = StartsWith(r, "=");
             count("NrLogStats", 3, 221, "none")(r);
             return at("IpStatus").visible() ? 105 : 5;
         }},
        {105, "IPA?",
         [this](const std::string& r) {
             SetValue("StaIPA", Chars(r, 2, 21), Colours::white);
             return 5;
         }},
        {5, "FLT?",
         [this](const std::string& r) {
             ShowFaults(r, FaultShapes::Mqx330);
             return 7;
         }},
        Reading(
            7, "EBN?", "StaEbNo", [](const std::string& v) { return EbNoReading(v).text; }, 9),
        Reading(
            9, "RFO?", "StaRFO",
            [](const std::string& v) { return Mqx330FreqOffsetReading(v).text; }, 11),
        Reading(
            11, "BER?", "StaBER", [](const std::string& v) { return BerReading(v).text; }, 13),
        Reading(
            13, "BFS?", "StaBFS", [](const std::string& v) { return BufferFillReading(v).text; },
            15),
        {15, "RED?",
         [this](const std::string& r) {
             state().OnlineUnit = false;
             const std::string v = Chars(r, 2, 1);
             if (!StartsWith(r, "="))
                 SetValue("StaRED", r, Colours::yellow);
             else if (v == "0")
                 SetValue("StaRED", "Off line", Colours::yellow);
             else if (v == "1") {
                 SetValue("StaRED", "On line", Colours::white);
                 state().OnlineUnit = true;
             } else
                 SetValue("StaRED", "Invalid code received: " + r, Colours::white);
             EnableButtons(false, true, true, true);
             return 21;
         }},
        {21, "AGC?",
         [this](const std::string& r) {
             SetValue("StaAGC", Chars(r, 2, 21) + (StartsWith(r, "=") ? " %" : ""), Colours::white);
             return 23;
         }},
        {23, "TXO?",
         [this](const std::string& r) {
             const std::string c = Chars(r, 2, 1);
             if (!StartsWith(r, "="))
                 SetValue("StaTXO", Chars(r, 2, 31), Colours::white);
             else if (c == "0")
                 SetValue("StaTXO", "Off", Colours::yellow);
             else if (c == "1")
                 SetValue("StaTXO", "On", Colours::lime);
             else if (c == "2")
                 SetValue("StaTXO", "Off by External Control", Colours::red);
             else if (c == "3")
                 SetValue("StaTXO", "Under RTI control", Colours::yellow);
             else
                 SetValue("StaTXO", "Other: " + c, Colours::red);
             return model_ == 331 ? 27 : 1;
         }},
        Reading(
            27, "REB?", "StaREB", [](const std::string& v) { return RemoteEbNoReading(v).text; },
            29),
        Reading(
            29, "PLI?", "StaPLI", [](const std::string& v) { return PowerIncreaseReading(v).text; },
            1),
    };
}

Reading Mqx330FreqOffsetReading(const std::string& v) {
    std::string t = Chars(v, 1, 5);
    if (t == "99999")
        return {"Unlocked"};
    if (t.size() > 1 && t[1] == '0')
        t.erase(1, 1); // +0123 is +123
    const ParsedReal khz = ParseReal(t);
    return {t + " kHz", Colours::white, khz.ok ? std::optional<double>(khz.value) : std::nullopt};
}

} // namespace linvar
