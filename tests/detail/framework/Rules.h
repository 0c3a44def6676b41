#pragma once
// The rules every family's window keeps (a refused change, "No" to a confirmation, an
// unchanged value, a time-out, an end delay that is not a number, closing), asked of each
// family by one row in its own test file:
//
//   INSTANTIATE_TEST_SUITE_P(Xtr, Rules, testing::Values(WindowRules{...}), Named);

#include "detail/DetailRig.h"

#include "detail/switch/SwitchWindow.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

namespace linvar::rules {

inline const char* const kRefused = "Command was not accepted; parameter re-read from unit...";
inline const char* const kNoComms = "Communications were timed out, check system";
inline const std::string kSetUp = std::string(kNoComms) + " set-up";

struct WindowRules {
    const char* name;
    std::function<void(DetailRig&, int record)> open;
    // A change: the box, an entry and its command, the value held written otherwise (null
    // where the family sends it again) and as the box shows it.
    const char *box, *entry, *wire, *same, *held;
    // A refusal: where it is told, in which colour and words, the ticks before the read
    // back and until the line is clear again, and the request that reads it back.
    const char *line, *colour, *refused, *timedOut;
    int pause, cleared;
    const char* reread;
    // A status reply that did not come: the notice, and the label that tells (or null).
    const char *noComms, *lostLabel, *lostText;
    // The record whose changes are confirmed, what sets it up, the box, entry, question.
    int asking;
    std::function<void(DetailRig&)> beforeAsk;
    const char *askBox, *askEntry, *question;
};

inline void OpenSwitch(DetailRig& r, int) {
    r.Place("420", 41, "1000").setRemoteState('1');
    r.Create<SwitchWindow>();
}
template <class W> auto OpenTransceiver(const char* model, const char* type) {
    return [=](DetailRig& r, int record) {
        r.Place(model, record, "0211");
        r.name = std::string("Transceiver 1, ") + (record % 2 ? "Local" : "Distant") + type;
        r.Create<W>();
    };
}

inline void PrintTo(const WindowRules& f, std::ostream* os) {
    *os << f.name;
}

// The family's window on its own record (41: the switch) or on `record`.
class Rules : public testing::TestWithParam<WindowRules> {
protected:
    const WindowRules& f = GetParam();
    DetailRig r;
    void Open(int record = 0) { Open(r, record); }
    void Open(DetailRig& rig, int record = 0) {
        f.open(rig, record ? record : f.asking == 41 ? 41 : 3);
    }
};

inline std::string Named(const testing::TestParamInfo<WindowRules>& f) {
    std::string n;
    for (const char c : std::string(f.param.name))
        if (std::isalnum(static_cast<unsigned char>(c)))
            n += c;
    return n;
}

} // namespace linvar::rules
