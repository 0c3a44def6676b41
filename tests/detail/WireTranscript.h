#pragma once
// What went over the line, tick by tick: "t=12 > <0350/LRS?", "t=13 < >0350/LRS=1" and
// the test's notes of what the operator did ("t=40 # click BtnConfig").

#include "poll/PollHarness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

class WireTranscript {
public:
    // Starts at tick 0; what the port sent or received before is left out.
    explicit WireTranscript(const SimPort& port)
        : port_(port), seen_(port.sent.size()), lastReply_(port.ReceivedMessage()) {}

    // The tick's reply bytes were handed over: what the operator made the window send
    // since the last tick belongs to that tick; a reply to this one.
    void Pumped() {
        TakeRequests();
        ++tick_;
        TakeReply();
    }
    void Ticked() {
        TakeRequests();
        TakeReply();
    }
    std::function<void(bool)> Watcher() {
        return [this](bool ticked) { ticked ? Ticked() : Pumped(); };
    }
    void Note(const std::string& text) {
        TakeRequests();
        Add("#", text);
    }
    std::string Text() const {
        std::string t;
        for (const std::string& l : lines_)
            t += l + "\n";
        return t;
    }

private:
    void TakeRequests() {
        for (; seen_ < port_.sent.size(); ++seen_) {
            Add(">", port_.sent[seen_]);
            lastReply_.clear(); // writing a request empties the received message
        }
    }
    void TakeReply() {
        const std::string& m = port_.ReceivedMessage();
        if (m.empty() || m == lastReply_)
            return;
        lastReply_ = m;
        Add("<", Printable(m));
    }
    void Add(const char* what, const std::string& text) {
        lines_.push_back("t=" + std::to_string(tick_) + " " + what + " " + text);
    }
    // The line end every reply carries is left out; other control bytes show as \xNN.
    static std::string Printable(std::string m) {
        if (m.size() >= 2 && m.compare(m.size() - 2, 2, "\r\n") == 0)
            m.resize(m.size() - 2);
        std::string out;
        for (unsigned char c : m) {
            if (c >= 0x20 && c < 0x7f && c != '\\') {
                out += static_cast<char>(c);
            } else {
                char b[8];
                std::snprintf(b, sizeof b, "\\x%02X", c);
                out += b;
            }
        }
        return out;
    }

    const SimPort& port_;
    size_t seen_;
    int tick_ = 0;
    std::string lastReply_;
    std::vector<std::string> lines_;
};

inline std::filesystem::path GoldenDir() {
    return std::filesystem::path(LINVAR_TEST_DATA).parent_path() / "detail" / "golden";
}

// Compares the text with the golden file of that name exactly; with LINVAR_REGOLD=1 in
// the environment the file is rewritten instead.
inline void ExpectGolden(const std::string& name, const std::string& text) {
    const std::filesystem::path path = GoldenDir() / name;
    const char* regold = std::getenv("LINVAR_REGOLD");
    if (regold && std::string(regold) == "1") {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        ASSERT_TRUE(out) << "could not write " << path;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "no golden file " << path << "; run with LINVAR_REGOLD=1 to write it";
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(text, golden.str()) << "the transcript no longer matches " << path
                                  << " (LINVAR_REGOLD=1 rewrites it, on purpose only)";
}
