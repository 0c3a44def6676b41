#pragma once
// The Ku-band transceivers of the PLD family: an up converter with a high power amplifier
// and a down converter fed by an LNA or, in the LNB variant (model "PLD-LNB"), by a low
// noise block converter with three receive bands. Either converter may be missing; the
// frequency limits are behind the factory access; lock mode keeps the settings as they are.

#include "Unit.h"

#include <string>

namespace linvar::sim {

class PldBehaviour : public FamilyBehaviour {
public:
    explicit PldBehaviour(Unit& unit);

    std::optional<std::string> payload(Unit& unit, const std::string& mnemonic, bool query,
                                       const std::string& value, int64_t nowMs) override;

    // What a test or the demo sets.
    void setUpConverter(bool present) { up_.present = present; }
    void setDownConverter(bool present) { down_.present = present; }
    void setFactoryAccess(bool allowed) { factoryAllowed_ = allowed; }
    // Alarm characters of one reply: "CFS", "CES", "CRS", "CAS", "CUS", "CDS" or "CHS".
    void setAlarms(const std::string& reply, const std::string& chars);
    void setAgc(char mode) { agc_ = mode; }

    // The unit's state as a re-read reports it.
    bool lnb() const { return lnb_; }
    int upFrequency() const { return up_.mhz; }
    int downFrequency() const { return down_.mhz; }
    char rfOutput() const { return rf_; }
    char band() const { return band_; }
    bool locked() const { return lock_ == '1'; }
    bool factoryAccessOn() const { return factoryOn_; }
    int calibrations() const { return calibrations_; }

private:
    struct Converter {
        bool present = true;
        int mhz = 0;
        int db = 0; // attenuation
        int lowMhz = 0;
        int spanMhz = 0;
    };

    std::string rcs() const;
    std::string limits(const Converter& c) const;
    std::string* alarms(const std::string& reply);
    bool inBand(int mhz) const;

    bool lnb_;
    Converter up_;
    Converter down_;
    char rf_ = '1';  // 0 off, 1 on, 2 warm
    char agc_ = '1'; // 0 off, 1 on, 2 burst
    char hpa_ = '1';
    char hpaFault_ = '1';
    char lnaPower_ = '1';
    char lnaFault_ = '1';
    char lock_ = '0';
    char band_ = 'B';
    int ref_ = 128;
    bool factoryAllowed_ = true;
    bool factoryOn_ = false;
    int calibrations_ = 0;
    std::string cfs_ = "0000000", ces_ = "00000", crs_ = "110000", cas_ = "000", cus_ = "0000",
                cds_ = "0000", chs_ = "00000";
};

} // namespace linvar::sim
