// One row a unit family: see poll/Families.h.

#include "poll/Families.h"

#include "detail/mqx310/Mqx310Window.h"
#include "detail/mqx330/Mqx330Window.h"
#include "detail/mqx350/Mqx350Window.h"
#include "detail/mqx370/Mqx370Tables.h"
#include "detail/mqx370/Mqx370Window.h"
#include "detail/pld/PldWindow.h"
#include "detail/switch/SwitchWindow.h"
#include "detail/vorn/VornTables.h"
#include "detail/vorn/VornWindow.h"
#include "wire/TextFormats.h"

namespace linvar {

namespace {

template <class Window>
std::unique_ptr<DetailWindow> Make(const DetailDeps& deps, const DetailInputs& inputs) {
    return std::make_unique<Window>(deps, inputs);
}

template <int Low, int High = Low, int Also = -1> bool Models(const std::string& identity) {
    const int m = ModelCode(identity);
    return m >= 0 && ((m >= Low && m <= High) || m == Also);
}

std::string AsShown(const std::string& caption, const std::string&) {
    return caption;
}

bool IsPld(const std::string& ret) {
    return Chars(ret, 3, 3) == "PLD";
}

bool IsVorn(const std::string& ret) {
    const std::string family = Chars(ret, 2, 4);
    return family == "VORN" || family == "YRAN";
}

// The caption says which of the two families the converter is.
std::string WithFamily(const std::string& caption, const std::string& ret) {
    return caption + ",  " + Chars(ret, 2, 4);
}

bool Never(const std::string&) {
    return false;
}

// The readings history takes the number of the status panel's own decoder.
template <Reading (*Decode)(const std::string&)>
std::optional<double> ValueOf(const std::string& v) {
    return Decode(v).value;
}

template <int K> std::optional<double> Cms(const std::string& v) {
    return vorn::CmsValue(v, K);
}

const ReadingRow kEbNo{"ebno_db", "Eb/No", "dB", ValueOf<EbNoReading>};
const ReadingRow kBer{"ber", "BER", "", ValueOf<BerReading>};
const ReadingRow kTemperature{"temp_c", "Temperature",
                              "\xB0"
                              "C",
                              ValueOf<TemperatureReading>};

const std::vector<ReadingRequest> kMqx330Readings{
    {"EBN?", {kEbNo}},
    {"BER?", {kBer}},
    {"RFO?", {{"offset_khz", "Frequency offset", "kHz", ValueOf<Mqx330FreqOffsetReading>}}},
};

const std::vector<ReadingRequest> kMqx350Readings{
    {"EBN?", {kEbNo}},
    {"BER?", {kBer}},
    {"RSL?", {{"rsl_dbm", "Receive level", "dBm", ValueOf<RslReading>}}},
    {"RFO?", {{"offset_khz", "Frequency offset", "kHz", ValueOf<FreqOffsetReading>}}},
    {"TMP?", {kTemperature}},
};

const std::vector<ReadingRequest> kMqx370Readings{
    {"EBN?", {kEbNo}},
    {"BER?", {kBer}},
    {"RSL?", {{"rsl_dbm", "Receive level", "dBm", ValueOf<Mqx370RslReading>}}},
    {"RFO?", {{"offset_khz", "Frequency offset", "kHz", ValueOf<Mqx370FreqOffsetReading>}}},
    {"TMP?", {kTemperature}},
};

const std::vector<ReadingRequest> kVornReadings{
    {"CMS?",
     {{"txpower_db", "Output power", "dB", Cms<15>},
      {"temp_c", "Temperature",
       "\xB0"
       "C",
       Cms<14>},
      {"lna_ma", "LNA current", "mA", Cms<12>}}},
};

const std::vector<FamilyRow> kFamilies = {
    {"MQX-310", UnitKind::Modem, Models<310, 310, 7010>, AsShown, 5, "phases", Make<Mqx310Window>,
     &kMqx330Readings},
    {"MQX-330", UnitKind::Modem, Models<330>, AsShown, 5, "phases", Make<Mqx330Window>,
     &kMqx330Readings},
    {"MQX-350", UnitKind::Modem, Models<350, 351>, AsShown, 5, "phases", Make<Mqx350Window>,
     &kMqx350Readings},
    {"MQX-370", UnitKind::Modem, Models<370, 373>, AsShown, 5, "phases", Make<Mqx370Window>,
     &kMqx370Readings},
    {"VORN/YRAN", UnitKind::Transceiver, IsVorn, WithFamily, 6, "reading sequence",
     Make<VornWindow>, &kVornReadings},
    {"PLD", UnitKind::Transceiver, IsPld, AsShown, 6, "reading sequence", Make<PldWindow>, nullptr},
    {"switch", UnitKind::Switch, Never, AsShown, 7, "steps", Make<SwitchWindow>, nullptr},
};

} // namespace

const std::vector<FamilyRow>& Families() {
    return kFamilies;
}

const FamilyRow& FamilyOfKind(UnitKind kind) {
    for (const FamilyRow& f : kFamilies)
        if (f.kind == kind)
            return f;
    return kFamilies.back(); // every kind has a family (tested)
}

const FamilyRow* FindFamily(const std::string& name) {
    for (const FamilyRow& f : kFamilies)
        if (name == f.name)
            return &f;
    return nullptr;
}

const FamilyRow* Recognise(UnitKind kind, const std::string& identity) {
    for (const FamilyRow& f : kFamilies)
        if (f.kind == kind && f.recognises(identity))
            return &f;
    return nullptr;
}

int ModelCode(const std::string& identity) {
    const ParsedInt number = ParseIntStrict(Chars(identity, 1, 4));
    if (!number.ok)
        return -1;
    return number.value == 7010 || number.value < 0 ? number.value : number.value % 1000;
}

} // namespace linvar
