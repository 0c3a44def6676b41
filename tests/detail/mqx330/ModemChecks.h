#pragma once
// Table-driven checks on a modem detail window: what its boxes show and what a setting sends.

#include "detail/ModemRig.h"

#include <string>
#include <vector>

// What the boxes show, as "box=shown|box=shown": a list its chosen entry, another box its text.
template <class Rig> void ExpectShown(const Rig& r, const std::string& table) {
    for (size_t at = 0; at < table.size();) {
        const size_t bar = std::min(table.find('|', at), table.size()), eq = table.find('=', at);
        const std::string box = table.substr(at, eq - at);
        const linvar::Control& c = r.at(box);
        EXPECT_EQ(c.kind() == linvar::ControlKind::Combo ? c.selectedText() : c.text(),
                  table.substr(eq + 1, bar - eq - 1))
            << box;
        at = bar + 1;
    }
}

// The settings sent for an entry in a box: a list's entry is chosen, other boxes are typed in.
template <class Rig>
std::vector<std::string> Set(Rig& r, const std::string& box, const std::string& value) {
    return r.Settings([&] {
        if (r.at(box).kind() == linvar::ControlKind::Combo) {
            r.Choose(box, value);
        } else {
            r.Edit(box, value);
        }
    });
}

// One character a box: 1 where `flag` holds.
template <class Rig>
std::string Flags(const Rig& r, bool (linvar::Control::*flag)() const,
                  const std::vector<const char*>& boxes) {
    std::string out;
    for (const char* box : boxes)
        out += (r.at(box).*flag)() ? '1' : '0';
    return out;
}
