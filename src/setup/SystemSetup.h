#pragma once
// The system model: 44 end records (20 links of a LOCAL and a DISTANT end, two 1:N
// switches with their redundant modems), the auto-log settings and the name of the
// set-up file in use. One process-wide object, used only on the user-interface thread.

#include "ui/Colour.h"

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace linvar {

// A text of fixed capacity: whatever is assigned is cut to N characters, so a field
// never holds more than the set-up file keeps of it.
template <std::size_t N> class FixedText {
public:
    static constexpr std::size_t capacity = N;

    FixedText() = default;
    FixedText(const std::string& text) : text_(text.substr(0, N)) {}
    FixedText(const char* text) : FixedText(std::string(text)) {}

    FixedText& operator=(const std::string& text) {
        text_ = text.substr(0, N);
        return *this;
    }
    FixedText& operator=(const char* text) { return *this = std::string(text); }

    operator const std::string&() const { return text_; }
    const std::string& str() const { return text_; }
    const char* c_str() const { return text_.c_str(); }
    bool empty() const { return text_.empty(); }
    std::size_t size() const { return text_.size(); }
    void clear() { text_.clear(); }

private:
    std::string text_;
};

template <std::size_t N> bool operator==(const FixedText<N>& a, std::string_view b) {
    return a.str() == b;
}
template <std::size_t N, std::size_t M>
bool operator==(const FixedText<N>& a, const FixedText<M>& b) {
    return a.str() == b.str();
}
template <std::size_t N> std::string operator+(const FixedText<N>& a, const std::string& b) {
    return a.str() + b;
}
template <std::size_t N> std::string operator+(const std::string& a, const FixedText<N>& b) {
    return a + b.str();
}
template <std::size_t N> std::string operator+(const FixedText<N>& a, const char* b) {
    return a.str() + b;
}
template <std::size_t N> std::string operator+(const char* a, const FixedText<N>& b) {
    return a + b.str();
}
template <std::size_t N, std::size_t M>
std::string operator+(const FixedText<N>& a, const FixedText<M>& b) {
    return a.str() + b.str();
}
template <std::size_t N> std::ostream& operator<<(std::ostream& out, const FixedText<N>& t) {
    return out << t.str();
}

// The unit slots of an end, always in this order on every screen, loop and file.
enum UnitSlot : int { Modem1 = 0, Modem2 = 1, Transceiver1 = 2, Transceiver2 = 3 };
inline constexpr int UnitSlotCount = 4;

// One link end, switch or redundant modem. Addresses are four digits or empty (unit not
// present). The colours and PollMark are display state and never reach the file.
struct EndRecord {
    FixedText<4> Mod1Addr;
    FixedText<4> Mod2Addr;
    FixedText<4> Tr1Addr;
    FixedText<4> Tr2Addr;
    Colour Mod1Colour = Colours::silver;
    Colour Mod2Colour = Colours::silver;
    Colour Tr1Colour = Colours::silver;
    Colour Tr2Colour = Colours::silver;
    Colour EndColour = Colours::gray;
    FixedText<12> IdText;
    FixedText<250> InfoText;
    FixedText<1> PollMark = " ";
    FixedText<6> DelayText = "50";
    FixedText<6> TimeoutText = "5";
    FixedText<2> AddrSpec = "90";
    FixedText<1> PairFlag;

    // Slot 0..3 (Modem 1, Modem 2, Transceiver 1, Transceiver 2); std::out_of_range else.
    FixedText<4>& addr(int slot);
    const FixedText<4>& addr(int slot) const;
    Colour& unitColour(int slot);
    Colour unitColour(int slot) const;

    // The record a missing set-up file gives: no units, "50" ms, "5" s, addressing "90".
    void SetDefaults();
};

class SystemSetup {
public:
    static constexpr int RecordCount = 44;
    static constexpr int LinkCount = 20;
    // The selected index of a list that has no entry selected.
    static constexpr int NoEntry = -1;

    SystemSetup();

    // Record r = 1..44; std::out_of_range otherwise.
    EndRecord& rec(int r);
    const EndRecord& rec(int r) const;

    // Modem 1 or Transceiver 1 present. The second units of a 1:1 pair never make an
    // end active on their own.
    bool EndActive(int r) const;
    bool UnitEnabled(int r, int slot) const { return !rec(r).addr(slot).empty(); }
    const std::string& AddressText(int r, int slot) const { return rec(r).addr(slot); }

    // Whether any of the 44 records is active; recomputed after every load and whenever
    // link or switch editing ends.
    bool AnyEndActive = false;
    void RecomputeAnyEndActive();

    // Unit colours aqua for a present address, silver for an empty one; EndColour green
    // when the end is active, gray otherwise.
    void ResetDisplayColours(int r);
    void ResetDisplayColours();
    // On leaving switch edit: EndColour green when active, gray otherwise; every unit
    // colour silver until the next poll.
    void ResetColoursAfterSwitchEdit();

    // Record arithmetic. Link n = 1..20, switch s = 1..2; std::out_of_range otherwise.
    static int LinkOfRecord(int r); // 0 for the switch records 41..44
    static int LocalRecord(int n) { return 2 * checkLink(n) - 1; }
    static int DistantRecord(int n) { return 2 * checkLink(n); }
    static int SwitchRecord(int s) { return 2 * checkSwitch(s) + 39; }
    static int RedundantModemRecord(int s) { return 2 * checkSwitch(s) + 40; }
    static int SwitchOfRedundantModemRecord(int r); // r = 42 or 44
    static int SwitchOfLink(int n) { return checkLink(n) <= 10 ? 1 : 2; }
    // Traffic modem k = 1..10 of switch s is Modem 1 of this LOCAL record.
    static int TrafficModemRecord(int s, int k);

    // The addresses a switch may have besides empty (disabled).
    static const std::array<std::string, 5>& SwitchAddresses();
    // Traffic modem k at A + 100k, the redundant modem at A + 1100, as four digits;
    // empty when the switch address is empty or not a number.
    static std::string TrafficModemAddress(const std::string& switchAddr, int k);
    static std::string RedundantModemAddress(const std::string& switchAddr);

    // The DISTANT record's InfoText holds exactly this when the link is logged.
    static constexpr std::string_view LogMarker = "Log";
    bool LinkLogged(int n) const { return rec(DistantRecord(n)).InfoText == LogMarker; }

    // Auto-log settings. The two indices are the selected entries of the dialog's
    // interval and offset lists; AutoLogIntervalMinutes is set only when an interval is
    // read from a file or chosen, so it stays 23 until then.
    bool AutoLogEnabled = false;
    int AutoLogIntervalIndex = NoEntry;
    int AutoLogIntervalMinutes = 23;
    int AutoLogOffsetIndex = 1;

    static const std::array<std::string, 11>& AutoLogIntervalEntries();
    // Minutes of interval entry 0..10; 0 for any other index.
    static int AutoLogMinutesOf(int intervalIndex);
    // " 0" .. " 9" for interval index 0, " 0" .. " 19" for every other.
    static std::vector<std::string> AutoLogOffsetEntries(int intervalIndex);
    // Entry k of that list (" 5"); empty when the list has no such entry.
    static std::string AutoLogOffsetText(int intervalIndex, int entry);
    std::vector<std::string> AutoLogOffsetList() const {
        return AutoLogOffsetEntries(AutoLogIntervalIndex);
    }
    // The selected entry of the offset list (NoEntry before the list was first filled).
    int AutoLogOffsetEntry() const { return offsetEntry_; }

    // The dialog's choices; both act at once on the running settings. An index outside
    // its list is ignored.
    void ChooseAutoLogInterval(int index);
    void ChooseAutoLogOffset(int index);
    // The loader's selection steps: select the first entry of a list with none selected
    // (the minutes stay), rebuild the offset list for the interval keeping the offset,
    // except that one above 9 falls back to 0 with interval 0.
    void SettleAutoLogLists(int offsetEntry);

    // The set-up file in use, with its leading blank.
    static constexpr std::string_view DefaultSetupFileName = " SysSetup.txt";
    std::string SetupFileName{DefaultSetupFileName};
    static const std::array<std::string, 4>& SetupFileEntries();

private:
    static int checkLink(int n);
    static int checkSwitch(int s);
    void rebuildOffsetList();

    std::array<EndRecord, RecordCount> records_{};
    int offsetEntry_ = NoEntry;
};

} // namespace linvar
