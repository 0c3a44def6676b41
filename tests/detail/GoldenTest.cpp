// The wire of one configuration change at the DISTANT end of an MQX-350, tick by tick, kept
// in tests/detail/golden and compared exactly: the order of every request and reply of the
// phase steering. After a change of the window's traffic that is meant, rewrite it with
//     LINVAR_REGOLD=1 build/test_detail --gtest_filter='Golden*'
// and read the difference in the commit before keeping it.

#include "detail/DetailRig.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace linvar;

TEST(Golden350, DistantChangesGoOutOnlyOnceConfirmed) {
    DetailRig r;
    r.Open350("0350110000", 4, "0450");
    r.unit->setDistant(true);
    r.unit->setAnswer("LRS", "=0"); // a slave to its partner
    r.unit->setAnswer("MGC", "");
    r.unit->setConfig(KnownConfig());
    ASSERT_TRUE(r.UntilSent("RED?"));
    r.Tick(3);
    ASSERT_FALSE(r.tx.AwaitingReply);
    // "t=12 > <0450/LRS?", "t=13 < >0450/LRS=0" and the operator's doings ("t=40 # ...").
    std::string wire, reply = r.port.ReceivedMessage();
    size_t seen = r.port.sent.size();
    int tick = 0;
    const auto line = [&](const char* what, const std::string& text) {
        wire += "t=" + std::to_string(tick) + " " + what + " " + text + "\n";
    };
    const auto requests = [&] {
        for (; seen < r.port.sent.size(); ++seen, reply.clear())
            line(">", r.port.sent[seen]);
    };
    r.watch = [&](bool ticked) {
        requests();
        tick += ticked ? 0 : 1;
        const std::string& m = r.port.ReceivedMessage();
        if (!m.empty() && m != reply)
            line("<", (reply = m).substr(0, m.find("\r\n")));
    };
    const auto note = [&](const std::string& text) {
        requests();
        line("#", text);
    };
    const auto change = [&](const std::string& what, Answer answer,
                            const std::function<void()>& action) {
        r.op.answers.push_back(answer);
        note(what);
        action();
        r.Tick(3); // the question comes 100 ms later
        ASSERT_TRUE(r.op.answers.empty());
        ASSERT_TRUE(r.Settle());
        r.Tick(2);
    };
    note("click BtnConfig");
    r.w->click("BtnConfig");
    ASSERT_TRUE(r.Until([&] { return r.w->StepNo == ConfigSteps::Idle; }));
    EXPECT_EQ(r.Text("StaLRS"), "SLAVE");
    change("edit ConfTFQ 71, Yes", Answer::Yes, [&] { r.Edit("ConfTFQ", "71"); });
    EXPECT_EQ(r.Text("ConfTFQ"), " 71.0000");
    change("edit ConfTFQ 72, No", Answer::No, [&] { r.Edit("ConfTFQ", "72"); });
    EXPECT_EQ(r.Text("ConfTFQ"), " 71.0000");
    // Only the I/O loopback keeps the management channel: Normal goes out instead.
    change("choose ConfTST Tx CW, Yes", Answer::Yes, [&] { r.w->choose("ConfTST", 5); });
    Lines asked;
    for (const auto& q : r.op.questions)
        asked.push_back(q.text);
    EXPECT_EQ(asked, (Lines{"Change Tx frequency to 71.0000 MHz. Comms may be affected.",
                            "Change Tx frequency to 72.0000 MHz. Comms may be affected.",
                            "Change Unit Test Mode to Normal. Comms may be affected."}));

    const auto path = std::filesystem::path(LINVAR_TEST_DATA).parent_path() / "detail" / "golden" /
                      "350-distant-config.txt";
    const char* regold = std::getenv("LINVAR_REGOLD");
    if (regold && std::string(regold) == "1") {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << wire;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(wire, golden.str()) << "the wire no longer matches " << path;
}
