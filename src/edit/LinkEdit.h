#pragma once
// Link edit mode: the screen on which the operator sets up one link (both ends) or one
// redundant modem. Every entry is checked and stored into the system model when its box
// is left; polling is suspended while the screen is open and resumes when it is left.
//
// The screen hooks itself into the poll cycle: the summary's "Edit" buttons of the links
// and redundant modems, the single-link view's "&Close", and the start of the mode "Edit".

#include "ui/Screen.h"

#include <functional>
#include <string>

namespace linvar {

class PollCycle;
class SystemSetup;
struct EndRecord;

class LinkEdit : public Screen {
public:
    explicit LinkEdit(PollCycle& cycle);

    // The mode "Edit" has started: edit the link whose LOCAL record is `item` (odd, 1-39)
    // or the redundant modem of record 42 or 44. Stops the poll timer.
    void Enter(int item);
    // Ends editing (both ways out): restarts the poll timer, recolours and redraws the
    // summary and hides the screen. Does nothing when not editing.
    void EndEditing();

    bool Editing() const { return editing_; }
    int Item() const { return item_; }
    bool IsLink() const { return item_ >= 1 && item_ <= 40; }
    // The block addressing of a link (AddrSpec "52" of the LOCAL record).
    bool NewSpec() const { return newSpec_; }

    // Shows (true) or hides (false) the screen's window.
    std::function<void(bool)> onShown;

    // The address box of a unit slot at the LOCAL or DISTANT end.
    static std::string AddressBoxName(int slot, bool distant);

    static constexpr int HelpTopic = 4;

private:
    void Build();
    void Fill();
    void FillOriginal();
    void FillNew();
    void ShowBox(int slot, bool distant, const std::string& text, bool typeable);

    int SwitchNumber() const;
    bool SwitchOn() const;
    std::string SwitchAddress() const;
    EndRecord& Local();
    EndRecord& Distant();
    EndRecord& RecordOf(bool distant) { return distant ? Distant() : Local(); }

    void LeaveAddress(int slot, bool distant);
    void LeaveLocalModem1();
    void LeaveLocalTransceiver1();
    void ClickAddress(int slot, bool distant);
    // Normalises an address entry into `out`; false (with the message on the error line)
    // when the entry is refused.
    bool Normalise(const std::string& text, std::string& out);
    void LeaveTiming(const std::string& box, bool distant, bool delay);
    void ShowError(const std::string& text);
    void Exit();

    PollCycle& cycle_;
    SystemSetup& setup_;
    bool editing_ = false;
    int item_ = 0;
    bool newSpec_ = false;
};

} // namespace linvar
