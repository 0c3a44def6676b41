#pragma once
// The detail window of the MQX-330 family: the MQX-330 (model code 330), the MQX-330T
// with automatic uplink power control and the PiV-330 with an IP interface (both 331),
// each also as the receive-only MQX-330R DEMOD. Its tables (Mqx330Tables.cpp) give the
// configuration string's layout, one row a box, the AUPC command, the masks and the
// memory preview; Mqx330Status.cpp the reading steps; Mqx330Window.cpp what rows cannot say
// (the FEC list by option and version, the coding rules, the lock).
//
// The MQX-310 window (Mqx310Window.h) is this window with its differences: it takes these
// rows, steps and preview lines and changes what its units do otherwise.

#include "detail/framework/DetailWindow.h"
#include "detail/modem/ModemCommon.h"
#include "wire/FaultReply.h"

#include <array>

namespace linvar {

// The fields of a configuration string ("MGC?", and "CST?" for a memory).
enum class Field {
    TxFreq,
    TxRate,
    TxFecType,
    TxFecRate,
    TxMod,
    TxSpectrum,
    TxScrambler,
    TxPower,
    TxClock,
    TxCarrier,
    RxFreq,
    RxRate,
    RxFecType,
    RxFecRate,
    RxMod,
    RxSpectrum,
    RxDescrambler,
    RxSweep,
    RxClockMode,
    EbNoAlarm,
    RxBuffer,
    Interface,
    Framing,
    TestMode,
    Impedance,
    Masks,
    OduComms,
    OblixAddress,
    AupcEnable,
    AupcAtMax,
    AupcAtUnlock,
    AupcTarget,
    AupcIncrease,
    StatsInterval,
    Count
};

struct Place {
    int pos = 0; // 0: the string has no such field
    int len = 1;
};
using StringLayout = std::array<Place, static_cast<size_t>(Field::Count)>;

// The MQX-330's offset: five characters, "+0123" is +123 kHz, "99999" unlocked.
Reading Mqx330FreqOffsetReading(const std::string& value); // "RFO"

namespace u330 {
extern const Entries kFecTypes; // by code 0-9
extern const Entries kFecRates, kModulations, kClockSources, kClockModes, kBuffers, kInterfaces,
    kFraming, kTestModes, kImpedances, kRemoteStates;
} // namespace u330

class Mqx330Window : public DetailWindow {
public:
    Mqx330Window(DetailDeps deps, DetailInputs inputs, std::string screenName = "Detail330");

    int ModelCode() const { return model_; }
    // The configuration read from "LNB?" on.
    static constexpr int kLnbRead = 7;
    bool RxOnly() const { return rxOnly_; }
    bool Framed() const { return framed_; }
    double SoftwareVersion() const { return version_; }
    Range FrequencyRange() const { return freq_; }
    // The data-rate limits of a direction, as its coding boxes now stand.
    Range RateLimits(bool tx) const { return tx ? txRate_ : rxRate_; }

    // The models masks of the rows: one bit for each mix of the three features.
    static constexpr unsigned kAupc = 1, kRx = 2, kIp = 4;
    static constexpr unsigned Having(unsigned features, unsigned lacking = 0) {
        unsigned mask = 0;
        for (unsigned mix = 0; mix < 8; ++mix)
            if ((mix & features) == features && (mix & lacking) == 0)
                mask |= 1u << mix;
        return mask;
    }

protected:
    struct Options {
        bool reedSolomon = false;
        bool aupc = false;
        bool turbo = false;     // either set
        bool turboBoth = false; // the second set too
        bool ip = false;
    };

    std::string Identify() override;
    FamilyDescription Describe() const override;
    std::vector<BoxRow> ConfigBoxes() const override;
    std::vector<CompositeRow> Composites() const override;
    MaskLayout Masks() const override;
    unsigned ModelBits() const override {
        return 1u << ((opt_.aupc ? kAupc : 0) | (rxOnly_ ? kRx : 0) | (opt_.ip ? kIp : 0));
    }
    void BuildFamily() override;
    void ActivateFamily() override;
    void ClearStatus() override;
    void ClearConfigExtra() override;
    bool EffectiveLock(bool requested) const override;
    void LockExtra(bool effectiveLock, bool requested) override;
    void ShowEditGate() override;
    bool InLoopback() const override;
    int RereadStep(const std::string& mnemonic, bool accepted) const override;
    int LrsReadStep() const override { return 11; }
    void AfterAccepted(const std::string& mnemonic) override;
    void AfterFill(Source source) override;
    bool OnComboChange(const BoxRow& box) override;

    // ---- what the MQX-310 window changes ------------------------------------------
    virtual const StringLayout& Layout() const;
    // The highest data rate of a direction coded by FEC type `fec` (-1: none chosen)
    // with modulation `mod` (0 BPSK, 1 QPSK, 2 OQPSK, -1 none).
    virtual double RateCeiling(int fec, int mod) const;
    // The step the status loop goes on at after a reply that failed ("T...").
    virtual std::vector<ReadStep> IdentitySteps();
    virtual std::vector<ReadStep> StatusSteps();
    virtual std::vector<ReadStep> ConfigReadSteps();
    // The memory preview: the three columns of the stored string (and AUPC).
    struct PreviewStyle {
        std::string tx = "Tx", rx = "Rx", unit = "Unit";
        bool fecTypeField = true; // else the type is always "Viterbi"
        std::string powerUnit = " dBm";
        std::string sweep = "Sweep width +/-";
        bool aupc = true;
    };
    std::vector<PreviewMemo> ConfigPreview(const PreviewStyle& style) const;
    static std::vector<StatusGroup> StatusPanel();

    // Parts for the reading steps.
    Place At(Field f) const { return Layout()[static_cast<size_t>(f)]; }
    // "=" replies as the status panel shows them; any other reply's text on white.
    ReadStep Reading(int step, const char* request, const char* label,
                     std::function<std::string(const std::string& value)> form, int next);
    // The FLT reply, read through the family's shape, on the fault labels. True for an "="
    // reply.
    bool ShowFaults(const std::string& reply, const FaultReplyShape& shape);
    int FecCode(const char* typeBox) const;
    void CodingRules(bool tx, bool locked);
    void ShowRateBounded(const char* box, const Range& limits);
    void SetFrequencyBand();

    int model_ = 330;
    Options opt_;
    bool rxOnly_ = false;
    bool framed_ = false;
    bool statsLogPresent_ = false;
    double version_ = 0;
    char band_ = '1';
    Range freq_{52, 88};
    Range txRate_{2.4, 2048}, rxRate_{2.4, 2048};

private:
    std::string Caption() const;
    std::vector<std::string> FecEntriesNow() const;
    std::vector<std::string> FecCodes() const;
    bool FecPresent(int code, double version) const;
};

} // namespace linvar
