#pragma once
// What the modem windows share beyond the framework: the status readings every modem
// family shows alike, as reading steps, and the rules of their FEC and test-mode boxes.
// The MQX-350 and MQX-370 windows derive from it and add their own steps.

#include "detail/framework/DetailWindow.h"
#include "detail/modem/ModemCommon.h"
#include "wire/FaultReply.h"

#include <functional>

namespace linvar {

class ModemWindow : public DetailWindow {
public:
    using DetailWindow::DetailWindow;

protected:
    using Decoder = std::function<Reading(const std::string& value)>;

    // A value label from a reply: the reading of an "=" reply, else the reply's
    // characters 2 on (20 of them) on the reply's colour.
    void Show(const std::string& label, const std::string& reply, const Reading& reading);
    void OtherReply(const std::string& label, const std::string& reply, int length = 20);

    // Reading steps: `query` at `step`, shown in `label`.
    ReadStep Lrs(int step, int next);
    // A text of the identity: characters 2 on ("=", white) or 2-15 (yellow).
    ReadStep IdentityText(int step, const char* query, const char* label, int length, int next);
    // An unread log count, yellow from 221.
    ReadStep Count(int step, const char* query, const char* label, int next);
    ReadStep ReadingStep(int step, const char* query, const char* label, Decoder decode, int next,
                         int failNext = 0);
    // The status loop's serial number and circuit ID, the remote Eb/No and power increase.
    ReadStep SerialNumber(int step, int next);
    ReadStep CircuitId(int step, int next);
    ReadStep RemoteEbNo(int step, int next);
    ReadStep PowerIncrease(int step, int next);
    // "FLT?" read through the family's `shape`: the fault lines (the family's tables,
    // `decode`), the configuration-change mark and the printed fault line; a refusal shows
    // its text on the first line.
    ReadStep Faults(int step, const FaultReplyShape& shape,
                    std::function<void(const std::string& codes)> decode, int next);
    // A reading that is the reply's first `length` characters and a unit.
    static Decoder UnitText(int length, const char* unit);
    // The installed options: a box under its show/hide button, one read-only line an
    // option, its text chosen by one character of the identity. Hidden when a phase starts.
    struct OptionLine {
        std::string control;
        std::string caption;
        Entries texts;
        size_t position; // in the identity, from 0
    };
    void BuildOptions(const std::string& parent, std::vector<OptionLine> lines);
    void ShowOptions(const std::string& identity);
    void OnModeAdopted() override;
    // A reading step's decoder that fills boxes from an "=" reply (any other leaves them).
    static std::function<int(const std::string&)>
    WhenAccepted(std::function<void(const std::string& reply)> fill);
    // "View AU&PC" and "View &ODU param" in `parent`: each shows its group in place of the
    // unit group, and hides the other.
    void AddViewButtons(const std::string& parent);
    // "RED?": the redundancy state in the unit's words (also marking the on-line unit); the
    // phase buttons come on once it is known. `next` after it.
    ReadStep Redundancy(int step, const char* offline, const char* online,
                        std::function<int()> next);
    // "ESA?" after a change: the slave address into `box` from an "=" reply; without comms
    // the configuration is said to be unavailable and the boxes unlocked.
    ReadStep SlaveAddress(const char* box);
    // The carrier-on countdown; `next` after it.
    ReadStep Countdown(int step, std::function<int()> next);

    // The FEC boxes of one direction follow its FEC type: the entry indices of TCM with
    // Reed-Solomon, of no coding with the differential encoder and of LDPC.
    struct FecIndices {
        int tcmRs, uncoded, ldpc;
    };
    void FecRules(const char* type, const char* mod, const char* coding, FecIndices fec);
    // "TST=": at the DISTANT end only the I/O loopback keeps the management channel, any
    // other choice becomes " Normal".
    std::string TestModeCommand(const char* box, int ioLoopback);

private:
    std::vector<OptionLine> optionLines_;
};

} // namespace linvar
