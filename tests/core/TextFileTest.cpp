#include "ui/TextFile.h"
#include "ui/Cp1252.h"
#include "ui/UserError.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace linvar;
using Lines = std::vector<std::string>;

TEST(TextFile, WritesCrLfReadsEitherLineEndAndReplacesWhole) {
    TempDir dir;
    const auto path = dir.path() / "a.txt";
    EXPECT_FALSE(TextFile::readLines(path).has_value());
    const Lines lines = {"one", "",
                         "thr\xE9"
                         "e"};
    TextFile::replace(path, lines);
    EXPECT_EQ(dir.read("a.txt"), "one\r\n\r\nthr\xE9"
                                 "e\r\n");
    EXPECT_EQ(*TextFile::readLines(path), lines);
    TextFile::replace(path, {"new"});
    EXPECT_EQ(dir.read("a.txt"), "new\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "a.txt.tmp"));

    dir.write("b.txt", "x\ny\r\nlast");
    EXPECT_EQ(*TextFile::readLines(dir.path() / "b.txt"), (Lines{"x", "y", "last"}));
    TextFile::append(dir.path() / "b.txt", {"z"});
    EXPECT_EQ(dir.read("b.txt"), "x\ny\r\nlastz\r\n");
}

TEST(TextFile, FailuresCarryTheSystemsTexts) {
    TempDir dir;
    std::string said;
    try {
        TextFile::replace(dir.path() / "missing" / "a.txt", {"x"});
    } catch (const UserError& e) {
        said = e.what();
    }
    EXPECT_EQ(said, "File not found");
    EXPECT_STREQ(UserError::fromErrno(ENOSPC).what(), "Disk full");
    EXPECT_STREQ(UserError::fromErrno(EIO).what(), "I/O error 5");
    EXPECT_STREQ(UserError::notInteger("12a").what(), "'12a' is not a valid integer value");
}

TEST(Cp1252, EveryByteGoesOutAsUtf8AndComesBack) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81\x9F\xA0\xFF"), "\u20AC\u0081\u0178\u00A0\u00FF");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?"); // cut inside a character
    EXPECT_EQ(Utf8ToCp1252("\xC3x\xE2\x82"), "?x??");
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD\xF0\x9F\x98\x80"), "??"); // no byte for these
}
