#pragma once
// What the two transceiver windows share. They are steered as one reading sequence:
// numbered reading steps (each a request and its reply) read the unit once and then loop
// over its status; the configuration panel is a wait inside that loop, and after a change
// the first steps re-read what it affects and come back to the wait. Shared here: that
// sequence and its buttons, the time-out line, the wait and its instruction, the limits
// read under factory access, the status replies as field tables, and the boxes and
// limits both families word the same way.

#include "detail/framework/DetailWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace linvar {

using Entries = std::vector<std::string>;

namespace TrxEntries {
extern const Entries kOffOn;           // " Off", " On"
extern const Entries kDisabledEnabled; // " Disabled", " Enabled"
} // namespace TrxEntries

// One field of a status reply shown in a label: characters pos..pos+len-1 of the value.
struct ReplyField {
    enum class Form {
        Text,    // the characters + `unit`, on the colour of the map (white without one)
        Lamp,    // the label keeps its text; the map colours it
        Word,    // words[the character as a digit] (the last word for any other)
        Leading, // an assembly or firmware number: a first digit below 7 gets "1" in front
        Version, // six digits as dd.dd.dd
    };
    std::string label{};
    int pos = 1;
    int len = 1;
    Form form = Form::Text;
    Colour (*colour)(char) = nullptr;
    std::string unit{};
    Entries words{};
};
using ReplyFields = std::vector<ReplyField>;

class TransceiverWindow : public DetailWindow {
public:
    TransceiverWindow(DetailDeps deps, DetailInputs inputs, std::string screenName);

    // The reading steps are numbered as the unit's sequence numbers them; each takes two
    // steps of the window (the request, then its reply).
    static constexpr int S(int k) { return 2 * k - 1; }
    // A box's re-read: the sequence again from its k-th reading.
    static consteval Reread ReadFrom(int k) { return Reread::At(S(k)); }
    static constexpr int kStatusButton = 92; // "Read &Status": the status panel, then step 8
    static constexpr int kConfigButton = 94; // "Con&figuration": the panel, or re-read 1-8
    static constexpr int kWait = 96;         // the configuration wait: its instruction
    static constexpr int kIdle = ConfigSteps::Idle;

    // Limits read from the unit under factory access; 0 until read.
    int UpFreqMin = 0, UpFreqMax = 0, DownFreqMin = 0, DownFreqMax = 0;
    int UpAttenMax = 0, DownAttenMax = 0;
    // Con&figuration pressed while its panel is shown: steps 1-8 read everything again.
    bool RereadAll = false;
    // The two transceivers of the end form a 1:1 pair.
    bool IsPair() const { return ModemPairPresent; }

    // The shared description: the transceivers' reply classes, rejection and steering.
    static FamilyDescription TransceiverFamily();

    // One reading step: `decode` gives the next step number (0: `next`); with
    // `backToWait`, an accepted reply while the configuration panel waits (and is not
    // being read anew) goes back to the wait instead.
    struct Reading {
        int k = 0;
        std::string request;
        std::function<int(const std::string& reply)> decode;
        int next = 0;
        bool backToWait = false;
    };

protected:
    std::vector<ReadStep> Readings(const std::vector<Reading>& rows);
    // The table of the reading sequence, and of the family's other numbered exchanges.
    void SetSequence(std::vector<ReadStep> readings, std::vector<ReadStep> others = {});

    void Step() override;
    bool InConfiguration() const override;
    bool EffectiveLock(bool requested) const override { return requested; }
    int FullReadStep() const override { return S(8); }
    bool UnitHeld() const override { return factoryAccess_; }

    // The window opens: status panel cleared and shown, buttons off.
    virtual void Opening() = 0;
    // Step 23: the buttons and the enabling once a pass has read the limits and modes.
    virtual void EndOfPass() = 0;
    // The instruction of the configuration wait.
    virtual std::string WaitInstruction() const {
        return "Click on a box to change the information";
    }
    // A step of the family's own (utilities, commands) before the reading table runs;
    // true when it took the step.
    virtual bool OwnStep() { return false; }

    // The configuration wait takes a reply's step back to it now.
    bool BackToWait() const { return shown("PanelConfig") && !RereadAll; }
    void ShowFields(const std::string& value, const ReplyFields& fields, bool gray = false);
    // Label texts emptied and colours back to the window's; lamps keep their text.
    void ClearFields(const ReplyFields& fields);
    // "UIF?" / "DIF?": the limits of one direction (the frequencies only when `freq`).
    void TakeLimits(const std::string& reply, bool up, bool freq = true);
    std::vector<Range> FreqRange(bool up) const;
    std::vector<Range> AttenRange(bool up) const;
    bool LimitsKnown(bool up) const { return (up ? UpFreqMax : DownFreqMax) > 0; }
    // A result line of a command: a blue progress or result, a red problem.
    void ShowResult(const std::string& label, const std::string& text, bool ok);

    // Rows both windows word the same way.
    BoxRow CircuitIdBox(const std::string& group) const;
    BoxRow RefBox(const std::string& group) const;
    static constexpr const char* kFreqLow =
        "Note: have corrected freq value to lowest permitted value";
    static constexpr const char* kFreqHigh =
        "Note: have corrected freq value to top permitted value";
    static constexpr const char* kAttenLow =
        "Note: have corrected atten value to lowest permitted value";
    static constexpr const char* kAttenHigh =
        "Note: have corrected atten value to top permitted value";

private:
    void TimeoutLine(const std::string& reply);

    std::vector<ReadStep> readings_;
    std::vector<ReadStep> others_;
    // "FAC=E " was sent and "FAC=D " not yet answered.
    bool factoryAccess_ = false;
};

} // namespace linvar
