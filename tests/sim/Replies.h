#pragma once

#include "Unit.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>

namespace linvar::sim {

// One command to a unit and its expected payload; `why` names what the row shows.
struct Reply {
    std::string command, payload;
    const char* why = "";
};

// Replies{unit, nowMs} = {{command, payload}, ...}: each command in turn, each payload checked.
struct Replies {
    Unit& unit;
    int64_t nowMs;
    void operator=(std::initializer_list<Reply> rows) {
        for (const Reply& r : rows)
            EXPECT_EQ(unit.payload(r.command, nowMs), r.payload) << r.command << " " << r.why;
    }
};

// Each blank-separated command of `commands` answered with `payload`.
inline void AllAnswer(Unit& unit, const std::string& payload, const std::string& commands) {
    std::istringstream in(commands);
    for (std::string c; in >> c;)
        EXPECT_EQ(unit.payload(c, 0), payload) << unit.address() << " " << c;
}

} // namespace linvar::sim
