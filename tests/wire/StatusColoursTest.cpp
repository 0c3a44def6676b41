#include "wire/StatusColours.h"

#include <gtest/gtest.h>

using namespace linvar;

namespace {

// The five columns of a map as palette names: "0", "1", "2", "X", other.
std::string row(Colour (*map)(char)) {
    std::string out;
    for (char c : {'0', '1', '2', 'X', '3'})
        out += colourName(map(c)) + " ";
    return out;
}

} // namespace

TEST(StatusColours, MapsOfOneStatusCharacter) {
    EXPECT_EQ(row(StateColour), "green lime yellow gray fuchsia ");
    EXPECT_EQ(row(AlarmColour), "lime red gray gray fuchsia ");
    EXPECT_EQ(row(OnOffColour), "yellow lime fuchsia gray fuchsia ");
    EXPECT_EQ(StateColour('x'), Colours::fuchsia);
    EXPECT_EQ(AlarmColour(std::string("1")), Colours::red);
    EXPECT_EQ(OnOffColour(std::string("X")), Colours::gray);
    EXPECT_EQ(StateColour(std::string("")), Colours::fuchsia);
    EXPECT_EQ(StateColour(std::string("10")), Colours::fuchsia);
}

TEST(StatusColours, MapsOfTextAndFlag) {
    EXPECT_EQ(LampColour("On"), Colours::lime);
    EXPECT_EQ(LampColour(" "), Colours::lime);
    EXPECT_EQ(LampColour(""), Colours::green);
    EXPECT_EQ(SelectColour("x"), Colours::aqua);
    EXPECT_EQ(SelectColour(""), Colours::silver);
    EXPECT_EQ(DisabledColour(true), Colours::gray);
    EXPECT_EQ(DisabledColour(false), Colours::black);
}
