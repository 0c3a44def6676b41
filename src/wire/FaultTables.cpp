#include "wire/FaultTables.h"

#include "wire/TextFormats.h"

#include <array>

namespace linvar {

namespace {

uint16_t gModelCode = 0;

// The code as an index 0-15 for "0"-"9", "A"-"F"; -1 for anything else.
int codeIndex(const std::string& code) {
    if (code.size() != 1)
        return -1;
    const char c = code[0];
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return 10 + (c - 'A');
    return -1;
}

FaultText simple(const std::string& text, int index) {
    return {text, index == 0 ? sevNoFault : sevFault};
}

} // namespace

uint16_t CurrentModelCode() {
    return gModelCode;
}

void SetCurrentModelCode(uint16_t code) {
    gModelCode = code;
}

FaultText UnitFaultText(const std::string& code, uint16_t model) {
    const bool is370 = model == 370;
    static const std::array<const char*, 16> texts = {
        "OK",
        "5V PSU",
        "12V PSU",
        "-5V PSU",
        "18V PSU",
        "-12V PSU",
        "RAM load",
        "Tx synthesizer lock",
        "Rx synthesizer",
        "Power cal checksum",
        "FPGA main chain load",
        "Turbo FPGA load",
        nullptr, // C: by model
        "Mux FPGA load",
        "Demux FPGA load",
        nullptr, // F: by model
    };
    const int i = codeIndex(code);
    if (i < 0)
        return {"Invalid code rcvd: " + code, sevFault};
    if (i == 0xC)
        return simple(is370 ? "Modem card FPGA load" : "PiV IP module", i);
    if (i == 0xF)
        return simple(is370 ? "No PLL lock" : "Rx synth2", i);
    return simple(texts[i], i);
}

FaultText TxFaultText(const std::string& code, uint16_t model) {
    const bool is370 = model == 370;
    static const std::array<const char*, 11> texts = {
        "Tx traffic OK",
        "No clock from terr. interface",
        "Tx FIFO slip",
        "AIS detected on incoming data",
        "AUPC upper limit reached",
        nullptr, // 5: by model
        "BUC current fault",
        "BUC voltage fault",
        "BUC checksum fault",
        "BUC PLL fault",
        "BUC temperature fault",
    };
    const int i = codeIndex(code);
    if (i < 0 || i >= static_cast<int>(texts.size()))
        return {"Invalid code recvd: " + code, sevFault};
    if (i == 5)
        return simple(is370 ? "REF activity fault" : "No Ext REF", i);
    return simple(texts[i], i);
}

FaultText RxFaultText(const std::string& code, uint16_t model) {
    const bool is370 = model == 370;
    const int i = codeIndex(code);
    switch (i) {
    case 0:
        return simple("Rx traffic OK", i);
    case 1:
        return simple("Demodulator unlocked", i);
    case 2:
        return simple(
            is370 ? "AGC Alarm - signal level out of range" : "AGC Alarm - high signal level", i);
    case 3:
        return simple(is370 ? "Demux" : "Frame sync lost (OBLIX or RS)", i);
    case 4:
        return simple(is370 ? "spare" : "Buffer underflow", i);
    case 5:
        return simple(is370 ? "Buffer slip" : "Buffer overflow", i);
    case 6:
        return simple("AIS detected on incoming data", i);
    case 7:
        return simple("Eb/No threshold exceeded", i);
    case 8:
        return simple("Buffer clock activity", i);
    case 9:
        return simple("LNB current fault", i);
    case 0xA:
        return simple("LNB voltage fault", i);
    default:
        return {"Invalid code recvd: " + code, sevFault};
    }
}

FaultText OpenNetworkFaultText(const std::string& code) {
    static const std::array<const char*, 15> texts = {
        "OK",
        "Loss of TX frame",
        "BER alarm",
        "Loss of Tx multiframe",
        "Tx signalling AIS",
        "Tx remote alarm",
        "IBS satellite alarm",
        "IDR Rx BWA1",
        "IDR Rx BWA2",
        "IDR Rx BWA3",
        "IDR Rx BWA4",
        "IDR Tx BWA1",
        "IDR Tx BWA2",
        "IDR Tx BWA3",
        "IDR Tx BWA4",
    };
    const int i = codeIndex(code);
    // Losing the frame is a fault; the alarms and anything unreadable are warnings.
    const int severity = i == 0 ? sevNoFault : (i == 1 || i == 3) ? sevFault : sevWarning;
    if (i < 0 || i >= static_cast<int>(texts.size()))
        return {"Invalid code recvd: " + code, severity};
    return {texts[i], severity};
}

std::string EventText(const std::string& code) {
    static const std::array<const char*, 5> texts = {
        "Power off", "Power on", "Log cleared", "Global config change", "Redundancy config change",
    };
    int v = -1;
    if (ReadIntText(code, v) && v >= 0 && v < static_cast<int>(texts.size()))
        return texts[v];
    return "Invalid code recvd: " + code;
}

std::string EventEntryText(const std::string& record, const Clock& clock) {
    if (record.empty() || record[0] == '0')
        return "";
    // A short record (a cut reply) still shows what it holds.
    std::string r = record;
    if (r.size() < 15)
        r.resize(15, ' ');
    const char kind = r[0];
    const std::string prefix = kind == 'F' ? "fault, " : kind == 'C' ? "clear, " : "";
    const std::string code = r.substr(2, 1);
    std::string description;
    switch (r[1]) {
    case '1':
        description = "Unit " + prefix + UnitFaultText(code).text;
        break;
    case '2':
        description = "RX traffic " + prefix + RxFaultText(code).text;
        break;
    case '3':
        description = "TX traffic " + prefix + TxFaultText(code).text;
        break;
    case '4':
        description = prefix + EventText(code);
        break;
    case '5':
        description = "Open Network " + prefix + OpenNetworkFaultText(code).text;
        break;
    default:
        break;
    }
    return DateTextDMY(r.substr(3, 6)) + "  " + TimeText(r.substr(9, 6), clock) + "  " +
           description;
}

std::string StatisticsEntryText(const std::string& record, const Clock& clock) {
    if (record.size() < 3 || record[2] == '0')
        return "";
    std::string r = record;
    if (r.size() < 26)
        r.resize(26, ' ');
    const std::string values =
        r.substr(0, 4) + " " + r.substr(4, 4) + " " + r.substr(8, 3) + " " + r.substr(11, 3);
    return DateTextDMY(r.substr(14, 6)) + "  " + TimeText(r.substr(20, 6), clock) + "  " + values;
}

} // namespace linvar
