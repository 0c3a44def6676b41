// The readings in the status export: the gauges of /metrics and the history's CSV over
// HTTP, with what a scraper or a person is told of a query it cannot have.

#include "export/StatusServer.h"
#include "export/StatusSnapshot.h"

#include <gtest/gtest.h>
#include <httplib.h>

using namespace linvar;

TEST(ReadingsExport, GaugesCarryTheUnitAndTheReading) {
    StatusSnapshot s;
    EXPECT_EQ(MetricsText(s).find("linvar_reading"), std::string::npos) << "readings off";
    s.readings = {{"0101", 1, "LOCAL", "ebno_db", 12.3}, {"4200", 0, "", "ber", 1e-7}};
    const std::string m = MetricsText(s);
    EXPECT_NE(
        m.find("# TYPE linvar_reading gauge\n"
               "linvar_reading{address=\"0101\",link=\"1\",end=\"LOCAL\",reading=\"ebno_db\"} "
               "12.3\n"
               "linvar_reading{address=\"4200\",link=\"0\",end=\"\",reading=\"ber\"} 1e-07\n"),
        std::string::npos)
        << m;
}

TEST(ReadingsExport, QueryInstantsAreUtcOrSeconds) {
    struct Case {
        const char* text;
        std::optional<int64_t> ms;
    } cases[] = {
        {"0", 0},
        {"1765011600", 1765011600000},
        {"2026-12-06T09:00:00Z", 20793LL * 86400000 + 9 * 3600000},
        {"2026-12-06T09:00", 20793LL * 86400000 + 9 * 3600000},
        {"2026-12-06T09:00:30", 20793LL * 86400000 + 9 * 3600000 + 30000},
        {"", std::nullopt},
        {"yesterday", std::nullopt},
        {"2026-13-06T09:00", std::nullopt},
        {"2026-12-06T09:00+01", std::nullopt},
        {"99999999999999", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseUtcMs(c.text), c.ms) << c.text;
}

TEST(ReadingsExport, TheCsvIsServedWithItsQueryAndRefusedWithoutIt) {
    StatusServer server;
    std::string error;
    const int port = server.Start("127.0.0.1", 0, error);
    ASSERT_GT(port, 0) << error;
    httplib::Client client("127.0.0.1", port);
    auto off = client.Get("/readings?address=0101");
    ASSERT_TRUE(off);
    EXPECT_EQ(std::to_string(off->status) + " " + off->body,
              "404 The station keeps no readings (readings are off).\n");

    std::string asked;
    server.SetReadings([&](const std::string& a, const std::string& r, int64_t from, int64_t to) {
        asked = a + " " + r + " " + std::to_string(from) + " " + std::to_string(to);
        return std::string("time_utc,address,link,end,reading,value,unit\n");
    });
    auto ok = client.Get(
        "/readings?address=0101&reading=ebno_db&from=2026-12-06T00:00:00Z&to=1796601600");
    ASSERT_TRUE(ok);
    EXPECT_EQ(std::to_string(ok->status) + " " + ok->get_header_value("Content-Type") + " " + asked,
              "200 text/csv; charset=utf-8 0101 ebno_db 1796515200000 1796601600000");
    for (const char* bad : {"/readings?reading=ebno_db", "/readings?address=0101&from=soon"}) {
        auto r = client.Get(bad);
        EXPECT_EQ(r ? r->status : 0, 400) << bad;
    }
    auto post = client.Post("/readings", "", "text/plain");
    EXPECT_EQ(post ? post->status : 0, 405);
    server.Stop();
}
