// Any bytes through the fault decoders, the log entry formats and the print lines: no
// crash, no undefined behaviour, and an empty slot always gives an empty entry.
#include "logging/Print.h"
#include "ui/Clock.h"
#include "wire/FaultTables.h"
#include "wire/TextFormats.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the model code and the clock's time format.
    linvar::ModelCodeScope model(data[0] & 1 ? 370 : 350);
    linvar::FakeClock clock;
    if (data[0] & 2)
        clock.setFormats({"h:nn:ss AM/PM", "d/m/yy"});
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::string event = linvar::EventEntryText(text, clock);
    if (!text.empty() && text[0] == '0' && !event.empty())
        std::abort();
    const std::string stats = linvar::StatisticsEntryText(text, clock);
    if (text.size() >= 3 && text[2] == '0' && !stats.empty())
        std::abort();

    const std::string code = text.substr(0, 1);
    (void)linvar::UnitFaultText(code);
    (void)linvar::TxFaultText(code);
    (void)linvar::RxFaultText(code);
    (void)linvar::OpenNetworkFaultText(code);
    (void)linvar::EventText(text);
    (void)linvar::TimeText(text, clock);
    (void)linvar::DateTextDMY(text);
    (void)linvar::DateTextMDY(text);
    (void)linvar::IntOfText(text);
    (void)linvar::HexDigitValue(text);
    (void)linvar::RealField(text, 2, 9, 4, 9);

    linvar::PrintState print;
    size_t longest = 0;
    print.setSink([&](const std::string& line) {
        if (line.size() > longest)
            longest = line.size();
    });
    print.PrintToggle(clock);
    print.setFirstPass(data[0] & 4);
    print.PrintFaultLine(linvar::ReadFaultReply(text, linvar::ModemShapeOfReply(text)), "Mod1",
                         text, clock);
    print.PrintLine(text);
    if (longest > linvar::PrintState::kMaxLine)
        std::abort();
    return 0;
}
