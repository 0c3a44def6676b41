// The status export through a real loopback socket, fed by the whole station polling the
// in-process simulator.

#include "StationHarness.h"

#include "export/StatusServer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdio>

using namespace linvar;

namespace {

// A set-up with three units: a faulty modem, a silent one and a good one. The link IDs
// are in the set-up files' 8-bit code page, one of them cut inside a UTF-8 character.
struct ExportRig : StationHarness {
    StatusServer server;
    int port = -1;

    ExportRig() {
        dir.write(
            "SysSetup.txt",
            SetupFile(
                {{1, "0012"}, {11, "0020"}, {21, "0030"}, {5, "Z\xFCrich \x80"}, {15, "Gen\xC3"}}));
        bus.add("0012", "350")->setFaults("100");
        bus.add("0030", "350");
        Make();
        top->onSnapshot = [this](std::shared_ptr<const StatusSnapshot> s) {
            server.Publish(std::move(s));
        };
        std::string error;
        port = server.Start("127.0.0.1", 0, error);
        top->Activate(true);
        Tick(400); // the silent one times out too
    }
    httplib::Result Get(const std::string& path) {
        httplib::Client c("127.0.0.1", port);
        return c.Get(path);
    }
};

} // namespace

TEST(StatusExport, StatusAndAlarmsAnswerWithTheSummarysColours) {
    ExportRig s;
    ASSERT_GT(s.port, 0);
    auto res = s.Get("/status");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->get_header_value("Content-Type"), "application/json");
    EXPECT_EQ(res->body,
              R"({"time":"2026-12-06T09:00:19","title":"Linvar:FAULT","polling":true,)"
              R"("portUp":true,"ends":[{"link":1,"end":"LOCAL","linkId":"Zürich €",)"
              R"("colour":"red"},{"link":1,"end":"DISTANT","linkId":"GenÃ","colour":"blue"},)"
              R"({"link":2,"end":"LOCAL","linkId":"","colour":"lime"}],"units":[{"link":1,)"
              R"("end":"LOCAL","unit":"Modem 1","address":"0012","linkId":"Zürich €","state":3,)"
              R"("stateName":"Fault","colour":"red","lastAnswer":"2026-12-06T09:00:18"},)"
              R"({"link":1,"end":"DISTANT","unit":"Modem 1","address":"0020","linkId":"GenÃ",)"
              R"("state":4,"stateName":"No communication","colour":"blue","lastAnswer":null},)"
              R"({"link":2,"end":"LOCAL","unit":"Modem 1","address":"0030","linkId":"","state":1,)"
              R"("stateName":"No fault","colour":"lime","lastAnswer":"2026-12-06T09:00:18"}]})"
              "\n");
    s.top->Journal().Acknowledge({{1, Modem1}});
    s.Tick(25);
    EXPECT_EQ(s.Get("/alarms")->body,
              R"({"unacknowledged":1,"active":[{"link":1,"end":"LOCAL","unit":"Modem 1",)"
              R"("address":"0012","linkId":"Zürich €","state":"Fault",)"
              R"("since":"2026-12-06T09:00:00","acknowledged":true},{"link":1,"end":"DISTANT",)"
              R"("unit":"Modem 1","address":"0020","linkId":"GenÃ","state":"No communication",)"
              R"("since":"2026-12-06T09:00:02","acknowledged":false}],)"
              R"("recent":[{"time":"2026-12-06T09:00:00","event":"State","link":1,"end":"LOCAL",)"
              R"("unit":"Modem 1","address":"0012","linkId":"Zürich €","from":"","to":"Fault",)"
              R"("detail":"5V PSU"},{"time":"2026-12-06T09:00:02","event":"State","link":1,)"
              R"("end":"DISTANT","unit":"Modem 1","address":"0020","linkId":"GenÃ","from":"",)"
              R"("to":"No communication","detail":""},{"time":"2026-12-06T09:00:20",)"
              R"("event":"Acknowledged","link":1,"end":"LOCAL","unit":"Modem 1","address":"0012",)"
              R"("linkId":"Zürich €","from":"Fault","to":"Fault","detail":""}]})"
              "\n");
}

TEST(StatusExport, MetricsPassPromtoolAndCarryTheRedUnit) {
    ExportRig s;
    auto res = s.Get("/metrics");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    for (const char* line :
         {"linvar_unit_state{link=\"1\",end=\"LOCAL\",slot=\"Modem 1\","
          "address=\"0012\",link_id=\"Z\u00FCrich \u20AC\"} 3\n",
          "\nlinvar_port_up 1\n", "\nlinvar_alarms_unacknowledged 2\n", "\nlinvar_timeouts_total "})
        EXPECT_NE(res->body.find(line), std::string::npos) << line;
    // Replies come in the way the program's port hands them over: every one counts.
    const auto value = [&](const std::string& name) {
        const size_t at = res->body.find("\n" + name + " ");
        return at == std::string::npos ? -1.0 : std::stod(res->body.substr(at + name.size() + 2));
    };
    EXPECT_GT(value("linvar_answers_total"), 0);
    EXPECT_LT(value("linvar_answers_total"), value("linvar_requests_total")); // one is silent

    if (std::system("command -v promtool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "promtool is not installed";
    s.dir.write("metrics.txt", res->body);
    const std::string in = (s.dir.path() / "metrics.txt").string();
    EXPECT_EQ(std::system(("promtool check metrics < " + in + " > " + in + ".out 2>&1").c_str()), 0)
        << s.dir.read("metrics.txt.out");
}

TEST(StatusExport, NothingButReadingTheThreePathsAndATakenPortIsReported) {
    ExportRig taken;
    httplib::Client c("127.0.0.1", taken.port);
    EXPECT_EQ(c.Get("/")->status, 404);
    EXPECT_EQ(c.Get("/status/../etc")->status, 404);
    auto post = c.Post("/status", "x", "text/plain");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 405);
    EXPECT_EQ(post->get_header_value("Allow"), "GET, HEAD");
    EXPECT_EQ(c.Put("/metrics", "x", "text/plain")->status, 405);
    EXPECT_EQ(c.Delete("/alarms")->status, 405);
    EXPECT_EQ(c.Post("/nothing", "x", "text/plain")->status, 404);
    {
        StatusServer brief; // stopped at once after the start: it ends rather than hang
        std::string error;
        EXPECT_GT(brief.Start("127.0.0.1", 0, error), 0);
        EXPECT_EQ(StatusServer().Start("127.0.0.1", taken.port, error), -1);
    }
    // A port already taken is said, not a crash, and the polling goes on.
    StationHarness s;
    s.dir.write("SysSetup.txt", "0012\r\n");
    s.bus.add("0012", "350");
    s.Make();
    StatusServer server;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(s.top->StartStatusExport(server, "127.0.0.1", taken.port));
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string text =
        "The status export could not listen on 127.0.0.1:" + std::to_string(taken.port) + ".";
    EXPECT_EQ(s.person.reports, std::vector<std::string>{text});
    EXPECT_EQ(said, "linvar: " + text + "\n");
    s.top->Activate(true);
    s.Tick(3);
    EXPECT_EQ(s.wire, std::vector<std::string>{"<0012/FLT?\r"});
}
