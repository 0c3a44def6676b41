#include "wire/FaultTables.h"
#include "ui/Clock.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(FaultTables, UnitGroupWithModelRows) {
    ModelCodeScope model(371);
    EXPECT_EQ(UnitFaultText('0'), (FaultText{"OK", 1}));
    EXPECT_EQ(UnitFaultText('1'), (FaultText{"5V PSU", 3}));
    EXPECT_EQ(UnitFaultText('A'), (FaultText{"FPGA main chain load", 3}));
    EXPECT_EQ(UnitFaultText('F').text, "Rx synth2");
    EXPECT_EQ(UnitFaultText('G'), (FaultText{"Invalid code rcvd: G", 3}));
    EXPECT_EQ(UnitFaultText("a"), (FaultText{"Invalid code rcvd: a", 3}));
    EXPECT_EQ(UnitFaultText(""), (FaultText{"Invalid code rcvd: ", 3}));
    {
        ModelCodeScope m370(370);
        EXPECT_EQ(UnitFaultText('C'), (FaultText{"Modem card FPGA load", 3}));
        EXPECT_EQ(UnitFaultText('F').text, "No PLL lock");
    }
    EXPECT_EQ(CurrentModelCode(), 371);
}

TEST(FaultTables, TrafficGroups) {
    ModelCodeScope model(350);
    EXPECT_EQ(TxFaultText('0'), (FaultText{"Tx traffic OK", 1}));
    EXPECT_EQ(TxFaultText('5').text, "No Ext REF");
    EXPECT_EQ(TxFaultText('A'), (FaultText{"BUC temperature fault", 3}));
    EXPECT_EQ(TxFaultText('B'), (FaultText{"Invalid code recvd: B", 3}));
    EXPECT_EQ(RxFaultText('0'), (FaultText{"Rx traffic OK", 1}));
    EXPECT_EQ(RxFaultText('4').text, "Buffer underflow");
    EXPECT_EQ(RxFaultText('A'), (FaultText{"LNB voltage fault", 3}));
    EXPECT_EQ(RxFaultText('F'), (FaultText{"Invalid code recvd: F", 3}));

    SetCurrentModelCode(370);
    EXPECT_EQ(TxFaultText('5'), (FaultText{"REF activity fault", 3}));
    EXPECT_EQ(RxFaultText('5').text, "Buffer slip");
    EXPECT_EQ(RxFaultText('6').text, "AIS detected on incoming data");
}

TEST(FaultTables, OpenNetworkSeverities) {
    EXPECT_EQ(OpenNetworkFaultText('0'), (FaultText{"OK", 1}));
    EXPECT_EQ(OpenNetworkFaultText('1'), (FaultText{"Loss of TX frame", 3}));
    EXPECT_EQ(OpenNetworkFaultText('2'), (FaultText{"BER alarm", 2}));
    EXPECT_EQ(OpenNetworkFaultText('6'), (FaultText{"IBS satellite alarm", 2}));
    EXPECT_EQ(OpenNetworkFaultText('E'), (FaultText{"IDR Tx BWA4", 2}));
    EXPECT_EQ(OpenNetworkFaultText('F'), (FaultText{"Invalid code recvd: F", 2}));
}

TEST(FaultTables, StoredEvents) {
    EXPECT_EQ(EventText("0"), "Power off");
    EXPECT_EQ(EventText("4"), "Redundancy config change");
    EXPECT_EQ(EventText("5"), "Invalid code recvd: 5");
    EXPECT_EQ(EventText("Z"), "Invalid code recvd: Z");
}

TEST(FaultTables, EventLogEntries) {
    ModelCodeScope model(350);
    FakeClock c;
    EXPECT_EQ(EventEntryText("F11150626134501", c), "15 Jun 2026  13:45:01  Unit fault, 5V PSU");
    EXPECT_EQ(EventEntryText("C11150626134501", c), "15 Jun 2026  13:45:01  Unit clear, 5V PSU");
    EXPECT_EQ(EventEntryText("F24010197000000", c),
              "01 Jan 1997  00:00:00  RX traffic fault, Buffer underflow");
    EXPECT_EQ(EventEntryText("I41010196080000", c), "01 Jan 2096  08:00:00  Power on");
    EXPECT_EQ(EventEntryText("F53010126080000", c),
              "01 Jan 2026  08:00:00  Open Network fault, Loss of Tx multiframe");
    // An empty slot, however the rest reads.
    EXPECT_EQ(EventEntryText("011150626134501", c), "");
    EXPECT_EQ(EventEntryText("", c), "");
    // Unreadable date and time keep their columns' blanks.
    EXPECT_EQ(EventEntryText("F1G01xx26996060", c), "date    Unit fault, Invalid code rcvd: G");
    // A cut record still shows what it holds.
    EXPECT_EQ(EventEntryText("F11", c), "date    Unit fault, 5V PSU");

    SetCurrentModelCode(370);
    EXPECT_EQ(EventEntryText("F2515062613450199", c),
              "15 Jun 2026  13:45:01  RX traffic fault, Buffer slip");
}

TEST(FaultTables, StatisticsLogEntries) {
    FakeClock c;
    EXPECT_EQ(StatisticsEntryText("12345678901234150626134501", c),
              "15 Jun 2026  13:45:01  1234 5678 901 234");
    EXPECT_EQ(StatisticsEntryText(" 9.9 8.7 65 43010197095900", c),
              "01 Jan 1997  09:59:00   9.9  8.7  65  43");
    EXPECT_EQ(StatisticsEntryText("12045678901234150626134501", c), "");
    EXPECT_EQ(StatisticsEntryText("12", c), "");
    // A cut record: the missing values are blanks in their groups.
    EXPECT_EQ(StatisticsEntryText("1234", c), "date    1234" + std::string(13, ' '));
}
