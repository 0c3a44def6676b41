#pragma once
// The C-band transceivers of the VORN family and their YRAN siblings: up and down
// converters (either may be missing), the LNA supply, eighteen alarms, maintenance
// readings, the redundancy controller of a 1:1 pair, frequency limits behind the factory
// access, the mute mode and a store of events read five at a time.

#include "Unit.h"

#include <deque>
#include <string>

namespace linvar::sim {

class VornBehaviour : public FamilyBehaviour {
public:
    VornBehaviour(Unit& unit, bool yran);

    std::optional<std::string> payload(Unit& unit, const std::string& mnemonic, bool query,
                                       const std::string& value, int64_t nowMs) override;

    // What a test or the demo sets.
    void setUpConverter(bool present) { up_.present = present; }
    void setDownConverter(bool present) { down_.present = present; }
    void setLnaSupply(bool present) { lnaSupply_ = present; }
    void setFactoryAccess(bool allowed) { factoryAllowed_ = allowed; }
    void setMuteMode(int mode) { muteMode_ = mode; }
    // Eighteen alarm characters ("0" OK, "1" alarm, "2" or "X" not available).
    void setAlarms(const std::string& chars) { alarms_ = chars; }
    // The RF output power field as the unit writes it ("012.5", "34.0+", "XXXXX").
    void setRfPower(const std::string& field) { rfPower_ = field; }
    void setRedundancyReply(const std::string& text) { rrs_ = text; }
    void setStoredEventCount(size_t n, int64_t nowMs);
    void addStoredEvent(const std::string& text, int64_t nowMs);
    size_t unreadEvents() const { return events_.size() - eventsRead_; }
    size_t storedEvents() const { return events_.size(); }

    // The unit's state as a re-read reports it.
    double upFrequency() const { return up_.tenths / 10.0; }
    double downFrequency() const { return down_.tenths / 10.0; }
    double upAttenuation() const { return up_.hundredths / 100.0; }
    bool factoryAccessOn() const { return factoryOn_; }
    int muteMode() const { return muteMode_; }
    bool redundancyAuto() const { return autoMode_; }
    bool upMuted() const { return up_.mute; }
    bool downMuted() const { return down_.mute; }
    int calibrations() const { return calibrations_; }

private:
    struct Converter {
        bool present = true;
        long tenths = 0;     // frequency in tenths of a MHz
        long hundredths = 0; // attenuation in hundredths of a dB
        int lowMhz = 0;      // band: lowMhz .. lowMhz + spanMhz
        int spanMhz = 0;
        char slopeMode = '1';
        int slope = 5;      // tenths of a dB, 0-10
        int gainOffset = 0; // quarters of a dB below 0, 0-16
        bool mute = false;
        bool on = true; // amplifier (up) or receiver (down)
    };

    std::optional<std::string> query(Unit& unit, const std::string& m, int64_t nowMs) const;
    std::optional<std::string> setting(Unit& unit, const std::string& m, const std::string& value,
                                       int64_t nowMs);
    std::string ccs(const Unit& unit) const;
    std::string cms(const Unit& unit, int64_t nowMs) const;
    std::string alarms() const;
    std::string limits(const Converter& c) const;
    std::string readEvents();

    Unit& unit_;
    Converter up_;
    Converter down_;
    bool yran_;
    bool lnaSupply_ = true;
    char lnaSource_ = '1';
    int lnaWindow_ = 35; // percent, 99 = disabled
    char lnaFaultLogic_ = '1';
    int attenMax_ = 20;
    int ref_ = 128;
    char extFaultLogic_ = '0';
    char autoRecovery_ = '1';
    char coldStart_ = '0';
    int muteMode_ = 0;
    bool autoMode_ = true;
    bool factoryAllowed_ = true;
    bool factoryOn_ = false;
    std::string alarms_ = std::string(18, '0');
    std::string rfPower_ = "012.5";
    std::string rrs_ = "TX SW=OK RX SW=OK 5V=5.1 12V=12.1";
    std::deque<std::string> events_;
    size_t eventsRead_ = 0;
    int calibrations_ = 0;
};

} // namespace linvar::sim
