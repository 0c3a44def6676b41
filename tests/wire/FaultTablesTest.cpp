#include "wire/FaultTables.h"
#include "ui/Clock.h"

#include <gtest/gtest.h>

using namespace linvar;
using Texts = std::vector<std::string>;

namespace {

// Each code's fault text with its severity, as "text/severity".
// group: 'U'nit, 'T'x, 'R'x or 'O'pen network.
Texts Each(char group, const std::string& codes) {
    Texts out;
    for (char c : codes) {
        const FaultText f = group == 'U'   ? UnitFaultText(c)
                            : group == 'T' ? TxFaultText(c)
                            : group == 'R' ? RxFaultText(c)
                                           : OpenNetworkFaultText(c);
        out.push_back(f.text + "/" + std::to_string(f.severity));
    }
    return out;
}

} // namespace

TEST(FaultTables, GroupsByModelWithTheirSeverities) {
    ModelCodeScope model(371);
    EXPECT_EQ(Each('U', "01AFGa"),
              (Texts{"OK/1", "5V PSU/3", "FPGA main chain load/3", "Rx synth2/3",
                     "Invalid code rcvd: G/3", "Invalid code rcvd: a/3"}));
    EXPECT_EQ(UnitFaultText(""), (FaultText{"Invalid code rcvd: ", 3}));
    EXPECT_EQ(Each('O', "0126EF"),
              (Texts{"OK/1", "Loss of TX frame/3", "BER alarm/2", "IBS satellite alarm/2",
                     "IDR Tx BWA4/2", "Invalid code recvd: F/2"}));
    EXPECT_EQ((Texts{EventText("0"), EventText("4"), EventText("5"), EventText("Z")}),
              (Texts{"Power off", "Redundancy config change", "Invalid code recvd: 5",
                     "Invalid code recvd: Z"}));
    {
        ModelCodeScope m370(370);
        EXPECT_EQ(Each('U', "CF"), (Texts{"Modem card FPGA load/3", "No PLL lock/3"}));
    }
    EXPECT_EQ(CurrentModelCode(), 371);

    SetCurrentModelCode(350);
    EXPECT_EQ(Each('T', "05AB"), (Texts{"Tx traffic OK/1", "No Ext REF/3",
                                        "BUC temperature fault/3", "Invalid code recvd: B/3"}));
    EXPECT_EQ(Each('R', "04AF"), (Texts{"Rx traffic OK/1", "Buffer underflow/3",
                                        "LNB voltage fault/3", "Invalid code recvd: F/3"}));
    SetCurrentModelCode(370);
    EXPECT_EQ(Each('T', "5"), Texts{"REF activity fault/3"});
    EXPECT_EQ(Each('R', "56"), (Texts{"Buffer slip/3", "AIS detected on incoming data/3"}));
}

TEST(FaultTables, LogEntries) {
    ModelCodeScope model(350);
    FakeClock c;
    const std::pair<const char*, std::string> events[] = {
        {"F11150626134501", "15 Jun 2026  13:45:01  Unit fault, 5V PSU"},
        {"C11150626134501", "15 Jun 2026  13:45:01  Unit clear, 5V PSU"},
        {"F24010197000000", "01 Jan 1997  00:00:00  RX traffic fault, Buffer underflow"},
        {"I41010196080000", "01 Jan 2096  08:00:00  Power on"},
        {"F53010126080000", "01 Jan 2026  08:00:00  Open Network fault, Loss of Tx multiframe"},
        {"011150626134501", ""}, // an empty slot, however the rest reads
        {"", ""},
        {"F1G01xx26996060", "date    Unit fault, Invalid code rcvd: G"}, // blanks kept
        {"F11", "date    Unit fault, 5V PSU"}, // a cut record shows what it holds
    };
    for (const auto& [record, shown] : events)
        EXPECT_EQ(EventEntryText(record, c), shown) << record;
    SetCurrentModelCode(370);
    EXPECT_EQ(EventEntryText("F2515062613450199", c),
              "15 Jun 2026  13:45:01  RX traffic fault, Buffer slip");

    const std::pair<const char*, std::string> statistics[] = {
        {"12345678901234150626134501", "15 Jun 2026  13:45:01  1234 5678 901 234"},
        {" 9.9 8.7 65 43010197095900", "01 Jan 1997  09:59:00   9.9  8.7  65  43"},
        {"12045678901234150626134501", ""},
        {"12", ""},
        {"1234", "date    1234" + std::string(13, ' ')}, // missing values are blanks
    };
    for (const auto& [record, shown] : statistics)
        EXPECT_EQ(StatisticsEntryText(record, c), shown) << record;
}
