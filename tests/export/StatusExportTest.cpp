// The status export through a real loopback socket, fed by the whole station polling the
// in-process simulator.

#include "StationHarness.h"

#include "export/StatusServer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdio>
#include <map>
#include <variant>

using namespace linvar;

namespace {

// Just enough JSON to read the export back: a parse failure fails the test.
struct JsonValue {
    std::variant<std::nullptr_t, bool, double, std::string, std::vector<JsonValue>,
                 std::map<std::string, JsonValue>>
        v;
    const JsonValue& operator[](const std::string& k) const {
        return std::get<std::map<std::string, JsonValue>>(v).at(k);
    }
    const std::vector<JsonValue>& list() const { return std::get<std::vector<JsonValue>>(v); }
    const std::string& str() const { return std::get<std::string>(v); }
    double num() const { return std::get<double>(v); }
    bool boolean() const { return std::get<bool>(v); }
};

// Anything malformed throws, failing the test.
JsonValue ParseValue(const std::string& s, size_t& i) {
    const auto peek = [&] {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
        return i < s.size() ? s[i] : '\0';
    };
    const auto take = [&](char c) {
        if (peek() != c)
            throw std::runtime_error(std::string("expected ") + c);
        ++i;
    };
    const auto string = [&] {
        take('"');
        std::string out;
        for (char c = s.at(i++); c != '"'; c = s.at(i++)) {
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::runtime_error("control character in a string");
            if (c != '\\') {
                out += c;
            } else if (const char e = s.at(i++); e == 'u') {
                out += static_cast<char>(std::stoi(s.substr(i, 4), nullptr, 16));
                i += 4;
            } else {
                out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
            }
        }
        return out;
    };
    const char c = peek();
    if (c == '{' || c == '[') {
        ++i;
        std::map<std::string, JsonValue> m;
        std::vector<JsonValue> l;
        const char close = c == '{' ? '}' : ']';
        if (peek() != close) {
            do {
                if (c == '[') {
                    l.push_back(ParseValue(s, i));
                    continue;
                }
                std::string k = string();
                take(':');
                m[k] = ParseValue(s, i);
            } while (peek() == ',' && ++i);
        }
        take(close);
        return c == '{' ? JsonValue{m} : JsonValue{l};
    }
    if (c == '"')
        return {string()};
    for (const auto& [word, value] : {std::pair<std::string, JsonValue>{"true", {true}},
                                      {"false", {false}},
                                      {"null", {nullptr}}})
        if (s.compare(i, word.size(), word) == 0)
            return i += word.size(), value;
    size_t used = 0;
    const double d = std::stod(s.substr(i), &used);
    i += used;
    return {d};
}

JsonValue ParseJson(const std::string& text) {
    size_t i = 0;
    JsonValue v = ParseValue(text, i);
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i != text.size())
        throw std::runtime_error("trailing text");
    return v;
}

// A set-up with three units: a faulty modem, a silent one and a good one. The link IDs
// are in the set-up files' 8-bit code page, one of them cut inside a UTF-8 character.
struct ExportRig : StationHarness {
    StatusServer server;
    int port = -1;

    ExportRig() {
        std::string f;
        for (int line = 1; line <= 440; ++line) {
            f += line == 1 ? "0012" : line == 11 ? "0020" : line == 21 ? "0030" : "";
            f += line == 5 ? "Z\xFCrich \x80" : line == 15 ? "Gen\xC3" : "";
            f += "\r\n";
        }
        dir.write("SysSetup.txt", f + "0,0,0\r\n");
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
    const JsonValue status = ParseJson(res->body);
    EXPECT_EQ(status["title"].str(), s.Main().Title());
    EXPECT_TRUE(status["portUp"].boolean());
    const auto& ends = status["ends"].list();
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends[0]["colour"].str(), colourName(s.Main().at("EndL1").background()));
    EXPECT_EQ(ends[0]["colour"].str(), "red");
    EXPECT_EQ(ends[1]["end"].str(), "DISTANT");
    EXPECT_EQ(ends[1]["colour"].str(), colourName(s.Main().at("EndD1").background()));
    const auto& units = status["units"].list();
    ASSERT_EQ(units.size(), 3u);
    std::map<std::string, std::string> colours;
    for (const JsonValue& u : units)
        colours[u["address"].str()] = u["colour"].str();
    EXPECT_EQ(colours["0012"], colourName(s.top->Setup().rec(1).Mod1Colour));
    EXPECT_EQ(colours["0012"], "red");
    EXPECT_EQ(colours["0020"], "blue");
    EXPECT_EQ(colours["0030"], "lime");
    EXPECT_EQ(units[0]["link"].num(), 1);
    EXPECT_EQ(units[0]["end"].str(), "LOCAL");
    EXPECT_EQ(units[0]["unit"].str(), "Modem 1");
    EXPECT_EQ(units[0]["state"].num(), 3);
    EXPECT_EQ(units[1]["lastAnswer"].v.index(), 0u); // never answered: null
    EXPECT_EQ(units[0]["linkId"].str(), "Z\u00FCrich \u20AC");
    EXPECT_EQ(ends[1]["linkId"].str(), "Gen\u00C3");

    s.top->Journal().Acknowledge({{1, Modem1}});
    s.Tick(25);
    const JsonValue alarms = ParseJson(s.Get("/alarms")->body);
    EXPECT_EQ(alarms["unacknowledged"].num(), 1);
    const auto& active = alarms["active"].list();
    ASSERT_EQ(active.size(), 2u);
    EXPECT_EQ(active[0]["address"].str(), "0012");
    EXPECT_EQ(active[0]["state"].str(), "Fault");
    EXPECT_TRUE(active[0]["acknowledged"].boolean());
    EXPECT_EQ(active[1]["state"].str(), "No communication");
    EXPECT_EQ(alarms["recent"].list().back()["event"].str(), "Acknowledged");
}

TEST(StatusExport, MetricsPassPromtoolAndCarryTheRedUnit) {
    ExportRig s;
    auto res = s.Get("/metrics");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_NE(res->body.find("linvar_unit_state{link=\"1\",end=\"LOCAL\",slot=\"Modem 1\","
                             "address=\"0012\",link_id=\"Z\u00FCrich \u20AC\"} 3\n"),
              std::string::npos);
    EXPECT_NE(res->body.find("linvar_port_up 1\n"), std::string::npos);
    EXPECT_NE(res->body.find("linvar_alarms_unacknowledged 2\n"), std::string::npos);
    EXPECT_NE(res->body.find("linvar_timeouts_total "), std::string::npos);
    // Replies come in the way the program's port hands them over: every one counts.
    const auto value = [&](const std::string& name) {
        const size_t at = res->body.find("\n" + name + " ");
        return at == std::string::npos ? -1.0 : std::stod(res->body.substr(at + name.size() + 2));
    };
    EXPECT_GT(value("linvar_answers_total"), 0);
    EXPECT_LT(value("linvar_answers_total"), value("linvar_requests_total")); // one is silent

    if (std::system("command -v promtool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "promtool is not installed";
    const auto file = s.dir.path() / "metrics.txt";
    {
        std::FILE* f = std::fopen(file.c_str(), "w");
        std::fputs(res->body.c_str(), f);
        std::fclose(f);
    }
    const std::string cmd = "promtool check metrics < " + file.string() + " 2>&1";
    std::FILE* p = ::popen(cmd.c_str(), "r");
    std::string said;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p))
        said += buf;
    EXPECT_EQ(::pclose(p), 0) << said;
}

TEST(StatusExport, NothingButReadingTheThreePaths) {
    ExportRig s;
    httplib::Client c("127.0.0.1", s.port);
    EXPECT_EQ(c.Get("/")->status, 404);
    EXPECT_EQ(c.Get("/status/../etc")->status, 404);
    auto post = c.Post("/status", "x", "text/plain");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 405);
    EXPECT_EQ(post->get_header_value("Allow"), "GET, HEAD");
    EXPECT_EQ(c.Put("/metrics", "x", "text/plain")->status, 405);
    EXPECT_EQ(c.Delete("/alarms")->status, 405);
    EXPECT_EQ(c.Post("/nothing", "x", "text/plain")->status, 404);
    // Stopped at once after the start: it ends rather than hang.
    {
        StatusServer brief;
        std::string error;
        EXPECT_GT(brief.Start("127.0.0.1", 0, error), 0);
    }
    // A port already taken is said, not a crash.
    StatusServer second;
    std::string error;
    EXPECT_EQ(second.Start("127.0.0.1", s.port, error), -1);
    EXPECT_EQ(error,
              "The status export could not listen on 127.0.0.1:" + std::to_string(s.port) + ".");
}

TEST(StatusExport, APortAlreadyTakenIsReportedAndThePollingGoesOn) {
    ExportRig taken;
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
    ASSERT_FALSE(s.wire.empty());
    EXPECT_EQ(s.wire[0], "<0012/FLT?\r");
}
